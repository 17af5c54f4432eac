#include "platform/os/app_dirs.h"

#ifdef _WIN32
#include <QStandardPaths>
#endif
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kFolder = "/drive-console";

// The folder an XDG base variable names; it counts only when it holds an
// absolute path. Empty otherwise.
std::string XdgBase(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && std::filesystem::path(value).is_absolute() ? value : "";
}

#ifdef _WIN32
// The user's local application data (C:/Users/NAME/AppData/Local).
std::string LocalAppData()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
}
#else
std::string Home()
{
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] == '/' ? home : "";
}
#endif

}  // namespace

std::string ConsoleConfigDir()
{
    const std::string xdg = XdgBase("XDG_CONFIG_HOME");
    if (!xdg.empty()) return xdg + kFolder;
#ifdef _WIN32
    return LocalAppData() + kFolder;
#else
    return Home() + "/.config" + kFolder;
#endif
}

std::string ConsoleStateDir()
{
    const std::string xdg = XdgBase("XDG_STATE_HOME");
    if (!xdg.empty()) return xdg + kFolder;
#ifdef _WIN32
    return LocalAppData() + kFolder + "/state";
#else
    return Home() + "/.local/state" + kFolder;
#endif
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
