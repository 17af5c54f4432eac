#include "platform/os/csv_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Bytes as written, the same on every system: no carriage return is put
// before a line break on Windows.
#ifdef _WIN32
constexpr int kAppendFlags = O_WRONLY | O_APPEND | O_CREAT | O_BINARY;
#else
constexpr int kAppendFlags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC;
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

bool CsvAppendLines(const std::string& path, const std::string& header, const std::deque<std::string>& lines,
                    std::string* reason)
{
    const int fd = ::open(path.c_str(), kAppendFlags, 0644);
    if (fd < 0) return failed(reason);
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0;
    std::string text = sized && st.st_size == 0 ? header + "\n" : std::string();
    for (const std::string& line : lines) text += line + "\n";
    bool ok = sized || failed(reason);
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
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
    // No half-written line stays behind: the lines are tried again whole.
    if (!ok && sized && ::ftruncate(fd, st.st_size) != 0 && reason != nullptr) {
        *reason += " (and the file could not be cut back)";
    }
    if (::close(fd) != 0 && ok) ok = failed(reason);
    return ok;
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
