#include "serial/port_binding.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "platform/os/app_dirs.h"
#include "platform/port/net_address.h"
#include "platform/port/serial.h"
#include "serial/reconnect.h"

namespace {

const char* const kReconnectKey = "ports/reconnect";
const char* const kRecentKey = "ports/recent";

// The recent network devices as stored, well-formed ones only, newest first.
QStringList StoredRecent(const QSettings& settings)
{
    QStringList recent;
    for (const QString& entry : settings.value(kRecentKey).toStringList()) {
        const std::string path = entry.toStdString();
        if (!netport::IsNetworkPath(path) || !netport::NetworkPathProblem(path).empty()) continue;
        if (!recent.contains(entry)) recent.append(entry);
        if (recent.size() == kRecentNetworkDevices) break;
    }
    return recent;
}

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

std::vector<std::string> RecentNetworkDevices()
{
    const QSettings settings(SettingsPath(), QSettings::IniFormat);
    std::vector<std::string> recent;
    for (const QString& entry : StoredRecent(settings)) recent.push_back(entry.toStdString());
    return recent;
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
                const QString path = QString::fromStdString(devicePath);
                s.setValue(BindingKey(port), path);
                if (netport::IsNetworkPath(devicePath)) {
                    QStringList recent = StoredRecent(s);
                    recent.removeAll(path);
                    recent.prepend(path);
                    while (recent.size() > kRecentNetworkDevices) recent.removeLast();
                    s.setValue(kRecentKey, recent);
                }
            }
        },
        error);
}

bool SaveReconnectChoice(bool on, std::string* error)
{
    return Store([on](QSettings& s) { s.setValue(kReconnectKey, on); }, error);
}
