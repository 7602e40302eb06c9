#include "platform/registry/LinuxRegistry.h"

#include "platform/sys/System.h"

#include <array>

namespace registry {

namespace {

std::optional<std::string> percentDecode(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out.push_back(s[i]);
            continue;
        }
        if (i + 2 >= s.size())
            return std::nullopt;
        int hi = sys::hexDigitValue(s[i + 1]);
        int lo = sys::hexDigitValue(s[i + 2]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

} // namespace

std::optional<std::string> hostOfNetworkPort(std::string_view portName) {
    std::size_t sep = portName.find("://");
    if (sep == std::string_view::npos)
        return std::nullopt;
    static constexpr std::array<std::string_view, 6> kSchemes = {"socket", "ipp",   "ipps",
                                                                 "http",   "https", "lpd"};
    std::string_view scheme = portName.substr(0, sep);
    bool known = false;
    for (auto s : kSchemes)
        known = known || sameName(s, scheme);
    if (!known)
        return std::nullopt;

    std::string_view rest = portName.substr(sep + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (std::size_t at = rest.rfind('@'); at != std::string_view::npos)
        rest = rest.substr(at + 1);
    std::string_view host;
    if (rest.starts_with('[')) {
        std::size_t close = rest.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = rest.substr(1, close - 1);
    } else {
        host = rest.substr(0, rest.find(':'));
    }
    auto decoded = percentDecode(host);
    if (!decoded || decoded->empty())
        return std::nullopt;
    for (unsigned char c : *decoded)
        if (c <= ' ' || c == 0x7F)
            return std::nullopt;
    return decoded;
}

LinuxRegistry::LinuxRegistry(std::string systemInformationTool) {
    fixed_.addKey(HKEY_LOCAL_MACHINE, kTcpIpPortsKey);
    if (!systemInformationTool.empty())
        fixed_.setValue(HKEY_LOCAL_MACHINE, kSysInfoKey, "PATH", textValue(systemInformationTool));
}

std::optional<std::string> LinuxRegistry::portHost(Root root, const std::string& path) const {
    if (root != HKEY_LOCAL_MACHINE)
        return std::nullopt;
    auto prefix = splitKeyPath(kTcpIpPortsKey);
    auto parts = splitKeyPath(path);
    if (parts.size() != prefix.size() + 1)
        return std::nullopt;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (!sameName(prefix[i], parts[i]))
            return std::nullopt;
    return hostOfNetworkPort(parts.back());
}

bool LinuxRegistry::keyExists(Root root, const std::string& path) {
    return portHost(root, path).has_value() || fixed_.keyExists(root, path);
}

long LinuxRegistry::queryValue(Root root, const std::string& path, const std::string& name,
                               RawValue& out) {
    if (auto host = portHost(root, path)) {
        if (!sameName(name, "IPAddress"))
            return ERROR_FILE_NOT_FOUND;
        out = textValue(*host);
        return ERROR_SUCCESS;
    }
    return fixed_.queryValue(root, path, name, out);
}

long LinuxRegistry::enumValueNames(Root root, const std::string& path,
                                   std::vector<std::string>& out) {
    if (portHost(root, path)) {
        out = {"IPAddress"};
        return ERROR_SUCCESS;
    }
    return fixed_.enumValueNames(root, path, out);
}

long LinuxRegistry::enumKeyNames(Root root, const std::string& path,
                                 std::vector<std::string>& out) {
    // The ports key lists nothing: which network ports exist is the spooler's to say.
    if (portHost(root, path)) {
        out.clear();
        return ERROR_SUCCESS;
    }
    return fixed_.enumKeyNames(root, path, out);
}

} // namespace registry
