#include "tests/support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <thread>

#include "model/register_catalogue.h"

namespace testsupport {

bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (predicate()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return predicate();
}

StreamCapture::StreamCapture() : file_(std::tmpfile())
{
    if (file_ == nullptr) throw std::runtime_error("tmpfile failed");
}

StreamCapture::~StreamCapture()
{
    std::fclose(file_);
}

std::string StreamCapture::text()
{
    std::fflush(file_);
    std::rewind(file_);
    std::string out;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0) out.append(buffer, n);
    return out;
}

EditedResources::EditedResources()
{
    // A folder of its own: create_directory is true only for a new one.
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    std::random_device random;
    for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
        const std::filesystem::path p = base / ("dsc-uir-" + std::to_string(random()));
        if (std::filesystem::create_directory(p, ec)) dir_ = p.string();
    }
    if (dir_.empty()) throw std::runtime_error("no temporary folder for the panel files");
    if (const char* old = std::getenv("DSC_UIR_DIR")) {
        hadDir_ = true;
        oldDir_ = old;
    }
    std::filesystem::copy(DSC_SOURCE_DIR "/app/uir", dir_, std::filesystem::copy_options::recursive);
    setenv("DSC_UIR_DIR", dir_.c_str(), 1);
    ResetCatalogue();
}

EditedResources::~EditedResources()
{
    if (hadDir_) {
        setenv("DSC_UIR_DIR", oldDir_.c_str(), 1);
    } else {
        unsetenv("DSC_UIR_DIR");
    }
    ResetCatalogue();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

bool EditedResources::replace(const std::string& file, const std::string& from, const std::string& to)
{
    const std::string path = dir_ + "/" + file;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t at = bytes.find(from);
    if (at == std::string::npos) return false;
    bytes.replace(at, from.size(), to);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    ResetCatalogue();
    return true;
}

void EditedResources::remove(const std::string& file)
{
    std::error_code ec;
    std::filesystem::remove(dir_ + "/" + file, ec);
    ResetCatalogue();
}

std::vector<unsigned char> FromHex(const std::string& hex)
{
    std::vector<unsigned char> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

std::string ToHex(const std::vector<unsigned char>& bytes)
{
    std::string s;
    char b[3];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02x", c);
        s += b;
    }
    return s;
}

std::vector<std::vector<std::string>> ReadCsv(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::string field;
        bool quoted = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
            } else if (c == ',' && !quoted) {
                fields.push_back(field);
                field.clear();
            } else {
                field += c;
            }
        }
        fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

}  // namespace testsupport

#ifdef _WIN32
int setenv(const char* name, const char* value, int overwrite)
{
    if (overwrite == 0 && std::getenv(name) != nullptr) return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

int unsetenv(const char* name)
{
    return _putenv_s(name, "") == 0 ? 0 : -1;
}
#endif
