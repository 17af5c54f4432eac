#include "serial/port_binding.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "platform/os/app_dirs.h"
#include "platform/port/net_address.h"
#include "platform/port/serial.h"
#include "serial/port_watch.h"

namespace {

const char* const kReconnectKey = "ports/reconnect";

QString BindingKey(int port)
{
    return QStringLiteral("ports/com%1").arg(port);
}

QString SettingsPath()
{
    return QString::fromStdString(ConsoleSettingsFile());
}

template <typename Change>
bool Store(Change change, std::string* error)
{
    const QString path = SettingsPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error != nullptr) *error = "cannot create the folder of " + path.toStdString();
        return false;
    }
    QSettings settings(path, QSettings::IniFormat);
    change(settings);
    settings.sync();
    if (settings.status() != QSettings::NoError || !settings.isWritable()) {
        if (error != nullptr) *error = "cannot write " + path.toStdString();
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> LoadPortChoices()
{
    std::vector<std::string> problems;
    QSettings settings(SettingsPath(), QSettings::IniFormat);
    for (int port = 1; port <= kMaxComPort; ++port) {
        const std::string path = settings.value(BindingKey(port)).toString().toStdString();
        if (path.empty()) continue;
        const std::string problem = netport::NetworkPathProblem(path);
        if (!problem.empty()) {
            problems.push_back("COM" + std::to_string(port) + " in " + SettingsPath().toStdString() + ": " +
                               problem);
            continue;
        }
        SetComBinding(port, path);
    }
    SetReconnectEnabled(settings.value(kReconnectKey, false).toBool());
    return problems;
}

std::vector<BoundNetworkDevice> BoundNetworkDevices()
{
    std::vector<BoundNetworkDevice> bound;
    for (int port = 1; port <= kMaxComPort; ++port) {
        std::string path = ComDevicePath(port);
        if (netport::IsNetworkPath(path)) bound.push_back({port, std::move(path)});
    }
    return bound;
}

bool SaveComBinding(int port, const std::string& devicePath, std::string* error)
{
    if (port < 1 || port > kMaxComPort) {
        if (error != nullptr) *error = "no such port number";
        return false;
    }
    return Store(
        [&](QSettings& s) {
            if (devicePath.empty()) {
                s.remove(BindingKey(port));
            } else {
                s.setValue(BindingKey(port), QString::fromStdString(devicePath));
            }
        },
        error);
}

bool SaveReconnectChoice(bool on, std::string* error)
{
    return Store([on](QSettings& s) { s.setValue(kReconnectKey, on); }, error);
}
