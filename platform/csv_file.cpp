#include "platform/csv_file.h"

#include <cerrno>
#include <cstring>

namespace {

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

CsvFile::~CsvFile()
{
    close(nullptr);
}

bool CsvFile::open(const std::string& path, Mode mode, std::string* reason)
{
    close(nullptr);
    file_ = std::fopen(path.c_str(), mode == Mode::Append ? "a" : "w");
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
