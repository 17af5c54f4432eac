#include "platform/os/csv_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#endif

#include <cerrno>
#include <cstring>

namespace {

// Bytes as written, the same on every system: no carriage return is put
// before a line break on Windows.
// Opened for reading too: the first line is compared with the header.
#ifdef _WIN32
constexpr int kAppendFlags = O_RDWR | O_APPEND | O_CREAT | O_BINARY;
#else
constexpr int kAppendFlags = O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC;
#endif

bool failed(std::string* reason)
{
    if (reason != nullptr) *reason = std::strerror(errno);
    return false;
}

bool notOpen(std::string* reason)
{
    if (reason != nullptr) *reason = "the file is not open";
    return false;
}

}  // namespace

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        line += CsvField(fields[i]);
    }
    return line;
}

namespace {

// Holds the file against the other processes that append to it (two consoles
// on one machine share their journals) for as long as it lives.
class AppendLock {
public:
    explicit AppendLock(int fd) : fd_(fd)
    {
#ifdef _WIN32
        handle_ = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
        OVERLAPPED at{};
        held_ = handle_ != INVALID_HANDLE_VALUE &&
                LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &at) != 0;
#else
        while (!(held_ = ::flock(fd_, LOCK_EX) == 0) && errno == EINTR) {
        }
#endif
    }
    ~AppendLock()
    {
        if (!held_) return;
#ifdef _WIN32
        OVERLAPPED at{};
        UnlockFileEx(handle_, 0, MAXDWORD, MAXDWORD, &at);
#else
        ::flock(fd_, LOCK_UN);
#endif
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;
    bool held() const
    {
        return held_;
    }

private:
    int fd_;
    bool held_ = false;
#ifdef _WIN32
    HANDLE handle_ = INVALID_HANDLE_VALUE;
#endif
};

// True when the open file `fd` is still the one at `path` (another process
// may have renamed it away while this one waited for its lock).
bool StillAt(int fd, const std::string& path)
{
#ifdef _WIN32
    (void)fd;
    (void)path;
    return true;  // a file open here cannot be renamed by another process
#else
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_ino == named.st_ino &&
           open.st_dev == named.st_dev;
#endif
}

// The file's first line begins with `header` and a line end (or the file is empty).
bool StartsWith(int fd, const std::string& header, off_t size)
{
    if (size == 0) return true;
    std::string first(header.size() + 1, '\0');
    if (::lseek(fd, 0, SEEK_SET) != 0) return true;  // cannot tell: appended to as it is
    std::size_t got = 0;
    while (got < first.size()) {
        const auto n = ::read(fd, &first[got], static_cast<unsigned>(first.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    first.resize(got);
    return first == header + "\n";
}

// `stale`, or the first of stale-2, stale-3 ... (before its extension) not taken.
std::string FreeName(const std::string& stale)
{
    const std::size_t dot = stale.rfind('.');
    const std::size_t slash = stale.find_last_of("/\\");
    const bool hasDot = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string stem = hasDot ? stale.substr(0, dot) : stale;
    const std::string ext = hasDot ? stale.substr(dot) : std::string();
    std::string name = stale;
    struct stat st {};
    for (int n = 2; ::stat(name.c_str(), &st) == 0 && n < 1000; ++n)
        name = stem + "-" + std::to_string(n) + ext;
    return name;
}

}  // namespace

bool CsvAppendLines(const std::string& path, const std::string& header, const std::deque<std::string>& lines,
                    std::string* reason, const std::string& staleName, std::string* renamedTo)
{
    for (int attempt = 0;; ++attempt) {
        const int fd = ::open(path.c_str(), kAppendFlags, 0644);
        if (fd < 0) return failed(reason);
        bool ok = true;
        bool again = false;
        std::string stale;  // the name the file is given
        const auto rename = [&](const std::string& to) {
            if (std::rename(path.c_str(), to.c_str()) != 0) return false;
            if (renamedTo != nullptr) *renamedTo = to;
            return true;
        };
        {
            const AppendLock lock(fd);
            struct stat st {};
            const bool sized = ::fstat(fd, &st) == 0;
            if (lock.held() && attempt < 3 && !StillAt(fd, path)) {
                again = true;  // renamed away meanwhile: the new file at `path`
            } else if (sized && !staleName.empty() && attempt < 3 && !StartsWith(fd, header, st.st_size)) {
                // Another layout: kept under a name of its own, and a new file
                // begun. (Windows renames no open file: there it is renamed
                // once closed.)
                stale = FreeName(staleName);
                again = true;
#ifndef _WIN32
                if (!rename(stale)) again = ok = failed(reason);
                stale.clear();
#endif
            }
            if (!again && ok) {
                std::string text = sized && st.st_size == 0 ? header + "\n" : std::string();
                for (const std::string& line : lines) text += line + "\n";
                ok = sized || failed(reason);
                for (std::size_t done = 0; ok && done < text.size();) {
                    const auto n = ::write(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
                    if (n < 0 && errno == EINTR) continue;
                    if (n <= 0) {
                        if (n < 0) {
                            failed(reason);
                        } else if (reason != nullptr) {
                            *reason = "nothing written";
                        }
                        ok = false;
                        break;
                    }
                    done += static_cast<std::size_t>(n);
                }
                // No half-written line stays behind: the lines are tried again
                // whole. (Under the lock, nothing of another process is cut.)
                if (!ok && sized && ::ftruncate(fd, st.st_size) != 0 && reason != nullptr) {
                    *reason += " (and the file could not be cut back)";
                }
            }
        }
        if (::close(fd) != 0 && ok && !again) ok = failed(reason);
        if (!stale.empty() && !rename(stale)) return failed(reason);
        if (!again) return ok;
    }
}

CsvFile::~CsvFile()
{
    close(nullptr);
}

bool CsvFile::open(const std::string& path, Mode mode, std::string* reason)
{
    close(nullptr);
    file_ = std::fopen(path.c_str(), mode == Mode::Append ? "ab" : "wb");
    return file_ != nullptr || failed(reason);
}

bool CsvFile::writeHeader(const std::string& header, std::string* reason)
{
    if (file_ == nullptr) return notOpen(reason);
    if (std::fseek(file_, 0, SEEK_END) != 0) return failed(reason);
    if (std::ftell(file_) != 0) return true;
    return writeLine(header, reason);
}

bool CsvFile::writeLine(const std::string& line, std::string* reason)
{
    if (file_ == nullptr) return notOpen(reason);
    if (std::fputs(line.c_str(), file_) == EOF || std::fputc('\n', file_) == EOF) return failed(reason);
    return true;
}

bool CsvFile::flush(std::string* reason)
{
    if (file_ == nullptr) return notOpen(reason);
    if (std::fflush(file_) != 0 || std::ferror(file_) != 0) return failed(reason);
    return true;
}

bool CsvFile::close(std::string* reason)
{
    if (file_ == nullptr) return true;
    bool ok = std::fflush(file_) == 0 || failed(reason);
    if (std::fclose(file_) != 0 && ok) ok = failed(reason);
    file_ = nullptr;
    return ok;
}
