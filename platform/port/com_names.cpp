#include "platform/port/com_names.h"

#include <algorithm>
#include <cctype>

namespace winserial {

std::string ComDeviceName(const std::string& name)
{
    std::string n = name;
    if (n.rfind("\\\\.\\", 0) == 0) n.erase(0, 4);
    if (n.size() < 4 || n.size() > 6) return {};
    std::string stem = n.substr(0, 3);
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (stem != "COM" || n[3] == '0') return {};
    int number = 0;
    for (std::size_t i = 3; i < n.size(); ++i) {
        if (n[i] < '0' || n[i] > '9') return {};
        number = number * 10 + (n[i] - '0');
    }
    if (number < 1 || number > 256) return {};
    return "\\\\.\\COM" + std::to_string(number);
}

}  // namespace winserial
