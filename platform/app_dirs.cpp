#include "platform/app_dirs.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kFolder = "/drive-console";

// An XDG base variable counts only when it holds an absolute path.
std::string BaseDir(const char* variable, const char* homeRelative)
{
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') return value;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && home[0] == '/' ? home : "") + homeRelative;
}

}  // namespace

std::string ConsoleConfigDir()
{
    return BaseDir("XDG_CONFIG_HOME", "/.config") + kFolder;
}

std::string ConsoleStateDir()
{
    return BaseDir("XDG_STATE_HOME", "/.local/state") + kFolder;
}

std::string ConsoleSettingsFile()
{
    return ConsoleConfigDir() + "/drive-console.conf";
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
