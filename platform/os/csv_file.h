// Comma-separated files, as the write journal and the status recording keep
// them: fields quoted where they need it, one line at a time, every failure
// reported with its reason.
#pragma once

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

// A field as written: quoted (with inner quotes doubled) when it holds a
// comma, a quote or a line break, else unchanged.
std::string CsvField(const std::string& text);
// The fields joined by commas, each quoted where it needs it; no line end.
std::string CsvLine(const std::vector<std::string>& fields);

// Appends `lines` (each without its line end) to the file `path` in one
// write, after `header` when the file is empty. On a failure nothing of them
// stays behind (the file is cut back to where it was), so that they can be
// tried again whole; false with the reason in *reason. The file is locked
// for the append: processes appending to the same file at once each add
// whole lines, and one header.
//
// With `staleName` given, a file that begins with another header is renamed
// to it (or to the first of staleName-2, -3 ... before the extension that is
// free; *renamedTo says which) and a new file begun.
bool CsvAppendLines(const std::string& path, const std::string& header, const std::deque<std::string>& lines,
                    std::string* reason, const std::string& staleName = std::string(),
                    std::string* renamedTo = nullptr);

// A file written line by line through a buffer (flushed when asked).
class CsvFile {
public:
    enum class Mode {
        Append,   // add to what the file holds
        Replace,  // start the file afresh
    };

    CsvFile() = default;
    ~CsvFile();
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    // Each call returns false on a failure and puts its reason (the system's
    // words) into *reason, which may be null.
    bool open(const std::string& path, Mode mode, std::string* reason);
    // Writes `header` as the first line when the file is still empty.
    bool writeHeader(const std::string& header, std::string* reason);
    // Writes `line` and a line end.
    bool writeLine(const std::string& line, std::string* reason);
    bool flush(std::string* reason);
    // Flushes and closes; closing a file that is not open succeeds.
    bool close(std::string* reason);
    bool isOpen() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
};
