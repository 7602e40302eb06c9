#include "kestrel/pages/PortLists.h"

namespace kestrel {

bool isSafePortName(std::string_view name) {
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F)
            return false;
        switch (ch) {
        case '"':
        case '%':
        case '&':
        case '|':
        case '<':
        case '>':
        case '^':
            return false;
        default:
            break;
        }
    }
    return true;
}

PortKind portKind(std::string_view name) {
    if (!isSafePortName(name))
        return PortKind::None;
    std::string_view head = name.substr(0, 3);
    bool colon = !name.empty() && name.back() == ':';
    if (head == "LPT" && colon)
        return PortKind::LPT;
    if (head == "COM" && colon)
        return PortKind::COM;
    if (head == "USB")
        return PortKind::USB;
    return PortKind::None;
}

PortLists sortPorts(const std::vector<std::string>& names) {
    PortLists lists;
    for (const auto& name : names) {
        switch (portKind(name)) {
        case PortKind::LPT:
            lists.lpt.push_back(name);
            break;
        case PortKind::COM:
            lists.com.push_back(name);
            break;
        case PortKind::USB:
            lists.usb.push_back(name);
            break;
        case PortKind::None:
            break;
        }
    }
    return lists;
}

} // namespace kestrel
