#include "platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string folderUnder(const char* variable, const char* fallback)
{
    const char* base = std::getenv(variable);
    if (base != nullptr && base[0] != '\0') return std::string(base) + "/drive-console";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/" + fallback + "/drive-console";
}

}  // namespace

std::string StateFolder()
{
    return folderUnder("XDG_STATE_HOME", ".local/state");
}

std::string ConfigFolder()
{
    return folderUnder("XDG_CONFIG_HOME", ".config");
}

bool MakeFolder(const std::string& folder, std::string* error)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        if (error != nullptr) *error = ec.message();
        return false;
    }
    return true;
}
