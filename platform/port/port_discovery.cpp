#include "platform/port/port_discovery.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <QSerialPortInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/port/com_names.h"
#include "platform/port/port_drivers.h"

namespace {

namespace fs = std::filesystem;

class SystemEnumerator final : public PortEnumerator {
public:
    std::vector<SerialPortEntry> ports() override
    {
        const std::map<std::string, std::string> byId = ByIdLinks();
        std::vector<SerialPortEntry> out;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
            SerialPortEntry e;
#ifdef _WIN32
            e.path = info.portName().toStdString();  // COM7: what the technician knows it by
#else
            e.path = info.systemLocation().toStdString();
#endif
            if (e.path.empty()) continue;
            const auto link = byId.find(Canonical(e.path));
            if (link != byId.end()) e.byIdPath = link->second;
            e.manufacturer = info.manufacturer().trimmed().toStdString();
            e.product = info.description().trimmed().toStdString();
            e.serialNumber = info.serialNumber().trimmed().toStdString();
            if (info.hasVendorIdentifier()) e.vendorId = info.vendorIdentifier();
            if (info.hasProductIdentifier()) e.productId = info.productIdentifier();
#ifdef _WIN32
            e.byIdPath = StablePortName(e);
#endif
            out.push_back(std::move(e));
        }
        return out;
    }

    static std::string Canonical(const std::string& path)
    {
        std::error_code ec;
        const fs::path p = fs::canonical(path, ec);
        return ec ? path : p.string();
    }
};

std::atomic<PortEnumerator*> g_enumerator{nullptr};

}  // namespace

void SetPortEnumerator(PortEnumerator* enumerator)
{
    g_enumerator.store(enumerator);
}

std::vector<SerialPortEntry> ListSerialPorts()
{
    static SystemEnumerator system;
    PortEnumerator* e = g_enumerator.load();
    std::vector<SerialPortEntry> ports = (e != nullptr ? *e : static_cast<PortEnumerator&>(system)).ports();
    std::sort(ports.begin(), ports.end(),
              [](const SerialPortEntry& a, const SerialPortEntry& b) { return a.path < b.path; });
    return ports;
}

std::map<std::string, std::string> ByIdLinks(const std::string& dir)
{
    std::map<std::string, std::string> out;
    std::error_code ec;
    std::vector<fs::path> links;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_symlink(ec)) links.push_back(it->path());
    }
    std::sort(links.begin(), links.end());
    for (const fs::path& link : links) {
        const fs::path target = fs::canonical(link, ec);
        if (!ec) out.emplace(target.string(), link.string());
    }
    return out;
}

std::string DescribePort(const SerialPortEntry& entry)
{
    std::string text;
    auto add = [&text](const std::string& part) {
        if (part.empty()) return;
        if (!text.empty()) text += ", ";
        text += part;
    };
    std::string name = entry.manufacturer;
    if (!entry.product.empty() && entry.product != entry.manufacturer) {
        name += (name.empty() ? "" : " ") + entry.product;
    }
    add(name);
    if (!entry.serialNumber.empty()) add("serial " + entry.serialNumber);
    if (entry.vendorId >= 0 && entry.productId >= 0) {
        char ids[16];
        std::snprintf(ids, sizeof ids, "%04x:%04x", entry.vendorId & 0xFFFF, entry.productId & 0xFFFF);
        add(ids);
    }
    return text;
}

std::string PortListLine(const SerialPortEntry& entry)
{
    std::string line = entry.path + "\t" + (entry.byIdPath.empty() ? "-" : entry.byIdPath);
    const std::string description = DescribePort(entry);
    if (!description.empty()) line += "\t" + description;
    return line;
}

const SerialPortEntry* FindPort(const std::vector<SerialPortEntry>& ports, const std::string& path)
{
    if (path.empty()) return nullptr;
    for (const SerialPortEntry& e : ports) {
        if (e.path == path || e.byIdPath == path) return &e;
    }
    std::error_code ec;
    const fs::path target = fs::canonical(path, ec);
    if (ec) return nullptr;
    for (const SerialPortEntry& e : ports) {
        if (e.path == target.string()) return &e;
    }
    return nullptr;
}

std::string StablePortName(const SerialPortEntry& entry)
{
    if (entry.serialNumber.empty() || entry.vendorId < 0 || entry.productId < 0) return {};
    char ids[32];
    std::snprintf(ids, sizeof ids, "USB\\VID_%04X&PID_%04X\\", entry.vendorId & 0xFFFF,
                  entry.productId & 0xFFFF);
    return ids + entry.serialNumber;
}

namespace {

enum class Presence { There, Gone, Unknown };

// What the system says of `path`: there, certainly not there, or nothing
// certain (permissions, a device that cannot be asked).
Presence PresenceOf(const std::string& path)
{
    if (path.empty()) return Presence::Gone;
    bool claimed = false;
    const bool present = ClaimedDevicePresent(path, &claimed);
    if (claimed) return present ? Presence::There : Presence::Gone;
#ifdef _WIN32
    const std::string device = winserial::ComDeviceName(path);
    if (device.empty())
        return FindPort(ListSerialPorts(), path) != nullptr ? Presence::There : Presence::Gone;
    const std::string name = device.substr(4);  // COMn, without the \\.\ prefix
    const std::wstring wide(name.begin(), name.end());
    wchar_t target[512];
    if (QueryDosDeviceW(wide.c_str(), target, 512) != 0) return Presence::There;
    // A port that Wine makes from a link in its dosdevices folder has no DOS
    // device name: asking for the device with no access rights finds it (one
    // in use answers "access denied"). On Windows an absent port ends here.
    const std::wstring wideDevice(device.begin(), device.end());
    const HANDLE h = CreateFileW(wideDevice.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return Presence::There;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) return Presence::There;
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Presence::Gone
                                                                          : Presence::Unknown;
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISCHR(st.st_mode) ? Presence::There : Presence::Gone;
    return errno == ENOENT || errno == ENOTDIR ? Presence::Gone : Presence::Unknown;
#endif
}

}  // namespace

bool SerialDeviceExists(const std::string& path)
{
    return PresenceOf(path) == Presence::There;
}

bool SerialDeviceGone(const std::string& path)
{
    return PresenceOf(path) == Presence::Gone;
}
