#include "platform/registry/Registry.h"

#include "platform/sys/Strings.h"

#include <cstdlib>

namespace registry {

std::vector<std::string> splitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    for (std::string_view part : sys::splitOn(path, '\\'))
        if (!part.empty())
            parts.emplace_back(part);
    return parts;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           sys::upperAscii(std::string(a)) == sys::upperAscii(std::string(b));
}

std::string rootName(Root root) {
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS:
        return "HKEY_USERS";
    case HKEY_CURRENT_CONFIG:
        return "HKEY_CURRENT_CONFIG";
    default:
        return "";
    }
}

bool validKeyPath(std::string_view path) {
    for (const auto& part : splitKeyPath(path)) {
        std::size_t characters = 0;
        for (char c : part)
            characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
        if (characters > kMaxKeyNameLength)
            return false;
    }
    return true;
}

std::string expandEnvironmentStrings(
    std::string_view text,
    const std::function<std::optional<std::string>(const std::string&)>& lookup) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t open = text.find('%', i);
        if (open == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, open - i));
        std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(open));
            break;
        }
        std::string name(text.substr(open + 1, close - open - 1));
        std::optional<std::string> value;
        if (!name.empty() && lookup)
            value = lookup(name);
        if (value) {
            out += *value;
            i = close + 1;
        } else {
            out.append(text.substr(open, close - open + 1));
            i = close + 1;
        }
    }
    return out;
}

std::string expandEnvironmentStrings(std::string_view text) {
    return expandEnvironmentStrings(text,
                                    [](const std::string& name) -> std::optional<std::string> {
                                        if (const char* v = std::getenv(name.c_str()))
                                            return std::string(v);
                                        return std::nullopt;
                                    });
}

RawValue textValue(std::string_view text, std::uint32_t type) {
    RawValue v{type, std::string(text)};
    v.data.push_back('\0');
    return v;
}

RawValue dwordValue(std::uint32_t value) {
    RawValue v{REG_DWORD, std::string(4, '\0')};
    for (int i = 0; i < 4; ++i)
        v.data[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return v;
}

} // namespace registry
