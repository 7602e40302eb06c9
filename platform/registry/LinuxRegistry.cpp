#include "platform/registry/LinuxRegistry.h"

#include "platform/net/Resolver.h"
#include "platform/sys/Fd.h"
#include "platform/sys/Strings.h"
#include "platform/sys/System.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace registry {

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
    auto decoded = sys::percentDecode(host);
    if (!decoded || decoded->empty())
        return std::nullopt;
    for (unsigned char c : *decoded)
        if (c <= ' ' || c == 0x7F)
            return std::nullopt;
    return decoded;
}

std::string
userStorePath(const std::string& folder,
              const std::function<std::optional<std::string>(const std::string&)>& env) {
    std::string base;
    if (auto config = env("XDG_CONFIG_HOME"); config && config->starts_with('/')) {
        base = *config;
    } else {
        std::string home = env("HOME").value_or("");
        if (home.empty()) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw && pw->pw_dir ? pw->pw_dir : "/";
        }
        base = sys::joinPath(home, ".config");
    }
    return sys::joinPath(sys::joinPath(base, folder), "registry");
}

std::string userStorePath(const std::string& folder) {
    return userStorePath(folder, [](const std::string& name) -> std::optional<std::string> {
        if (const char* v = std::getenv(name.c_str()))
            return std::string(v);
        return std::nullopt;
    });
}

LinuxRegistry::LinuxRegistry(sys::System& system, std::string storePath,
                             std::string systemInformationTool, net::AddressResolver* resolver)
    : system_(system), storePath_(std::move(storePath)),
      sysInfoConfigured_(!systemInformationTool.empty()), resolver_(resolver) {
    fixed_.addKey(HKEY_LOCAL_MACHINE, kTcpIpPortsKey);
    if (sysInfoConfigured_)
        fixed_.setValue(HKEY_LOCAL_MACHINE, kSysInfoKey, "PATH", textValue(systemInformationTool));
}

std::optional<std::string> LinuxRegistry::networkPort(Root root, const std::string& path) const {
    if (root != HKEY_LOCAL_MACHINE)
        return std::nullopt;
    auto prefix = splitKeyPath(kTcpIpPortsKey);
    auto parts = splitKeyPath(path);
    if (parts.size() != prefix.size() + 1)
        return std::nullopt;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (!sameName(prefix[i], parts[i]))
            return std::nullopt;
    if (hostOfNetworkPort(parts.back()) || net::serviceOfUri(parts.back()))
        return parts.back();
    return std::nullopt;
}

std::optional<std::string> LinuxRegistry::portAddress(const std::string& port) {
    std::unique_ptr<net::PendingLookup> pending;
    if (auto service = net::serviceOfUri(port)) {
        if (!resolver_)
            return std::nullopt;
        pending = resolver_->lookUpService(*service, kAddressLookupMs);
    } else {
        auto host = hostOfNetworkPort(port);
        if (!host || !resolver_ || net::isNumericAddress(*host))
            return host;
        pending = resolver_->lookUpHost(*host);
    }
    const net::Lookup found = net::awaitLookup(*pending, kAddressLookupMs, lookupWait);
    if (found.address.empty()) {
        if (onLookupProblem)
            onLookupProblem("no address for " + port + ": " + found.problem);
        return std::nullopt;
    }
    return found.address;
}

bool LinuxRegistry::fixedKey(Root root, const std::string& path) const {
    if (root != HKEY_LOCAL_MACHINE)
        return false;
    auto below = [parts = splitKeyPath(path)](const char* key) {
        auto prefix = splitKeyPath(key);
        if (parts.size() < prefix.size())
            return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if (!sameName(prefix[i], parts[i]))
                return false;
        return true;
    };
    return below(kTcpIpPortsKey) || (sysInfoConfigured_ && below(kSysInfoKey));
}

bool LinuxRegistry::load(MemoryRegistry& store) {
    std::error_code ec;
    if (!std::filesystem::exists(storePath_, ec))
        return !ec; // no store yet: empty
    auto text = system_.readFile(storePath_);
    return text && store.fromText(*text);
}

namespace {

// Holds the store's lock while it lives, so that programs changing the store at once take
// turns and each change is made on what the last one wrote. The lock is on the store's
// folder: each change replaces the store file, but never the folder, so every program locks
// the same thing, and no file that someone else made or linked is needed for it.
// Anyone who may read the folder can hold a lock on it, so the wait has a limit.
class StoreLock {
  public:
    StoreLock(const std::filesystem::path& folder, int limitMs) {
        sys::Fd fd(
            ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd && sys::takeBefore(sys::deadlineIn(limitMs), [&fd] {
                      if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0)
                          return 0;
                      return errno == EWOULDBLOCK || errno == EINTR ? sys::kInUse : errno;
                  }) == 0)
            fd_ = std::move(fd);
    }
    bool held() const { return bool(fd_); }

  private:
    sys::Fd fd_;
};

} // namespace

long LinuxRegistry::change(const std::function<long(MemoryRegistry&)>& apply) {
    // The folders of the store are the user's own.
    std::filesystem::path folder = std::filesystem::path(storePath_).parent_path();
    if (!sys::makeOwnFolders(folder))
        return ERROR_ACCESS_DENIED;
    StoreLock lock(folder, lockLimitMs_);
    if (!lock.held())
        return ERROR_LOCK_FAILED; // changed unlocked, another program's change could be lost
    MemoryRegistry store;
    if (!load(store))
        return ERROR_BADDB;
    if (long r = apply(store); r != ERROR_SUCCESS)
        return r;
    sys::IoResult written = system_.writeFile(storePath_, store.toText());
    if (written.ok)
        return ERROR_SUCCESS;
    return written.error == EACCES || written.error == EPERM || written.error == EROFS
               ? ERROR_ACCESS_DENIED
               : ERROR_WRITE_FAULT;
}

bool LinuxRegistry::keyExists(Root root, const std::string& path) {
    if (networkPort(root, path) || fixed_.keyExists(root, path))
        return true;
    MemoryRegistry store;
    return load(store) && store.keyExists(root, path);
}

long LinuxRegistry::queryValue(Root root, const std::string& path, const std::string& name,
                               RawValue& out) {
    if (auto port = networkPort(root, path)) {
        if (!sameName(name, "IPAddress"))
            return ERROR_FILE_NOT_FOUND;
        auto address = portAddress(*port);
        if (!address)
            return ERROR_FILE_NOT_FOUND;
        out = textValue(*address);
        return ERROR_SUCCESS;
    }
    if (fixed_.queryValue(root, path, name, out) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    MemoryRegistry store;
    if (fixedKey(root, path) || !load(store))
        return ERROR_FILE_NOT_FOUND;
    return store.queryValue(root, path, name, out);
}

namespace {

// The names of both sides, the fixed ones first, each name once.
long mergedNames(long fixedResult, std::vector<std::string> fixed, long storeResult,
                 const std::vector<std::string>& stored, std::vector<std::string>& out) {
    out.clear();
    if (fixedResult != ERROR_SUCCESS && storeResult != ERROR_SUCCESS)
        return ERROR_FILE_NOT_FOUND;
    if (fixedResult == ERROR_SUCCESS)
        out = std::move(fixed);
    if (storeResult == ERROR_SUCCESS)
        for (const auto& n : stored)
            if (std::none_of(out.begin(), out.end(), [&](const auto& o) { return sameName(o, n); }))
                out.push_back(n);
    return ERROR_SUCCESS;
}

} // namespace

long LinuxRegistry::enumValueNames(Root root, const std::string& path,
                                   std::vector<std::string>& out) {
    if (networkPort(root, path)) {
        out = {"IPAddress"};
        return ERROR_SUCCESS;
    }
    std::vector<std::string> fixed, stored;
    long f = fixed_.enumValueNames(root, path, fixed);
    MemoryRegistry store;
    long s = load(store) ? store.enumValueNames(root, path, stored) : ERROR_FILE_NOT_FOUND;
    return mergedNames(f, std::move(fixed), s, stored, out);
}

long LinuxRegistry::enumKeyNames(Root root, const std::string& path,
                                 std::vector<std::string>& out) {
    // The ports key lists nothing: which network ports exist is the spooler's to say.
    if (networkPort(root, path)) {
        out.clear();
        return ERROR_SUCCESS;
    }
    std::vector<std::string> fixed, stored;
    long f = fixed_.enumKeyNames(root, path, fixed);
    MemoryRegistry store;
    long s = load(store) ? store.enumKeyNames(root, path, stored) : ERROR_FILE_NOT_FOUND;
    return mergedNames(f, std::move(fixed), s, stored, out);
}

long LinuxRegistry::createKey(Root root, const std::string& path) {
    if (fixedKey(root, path))
        return keyExists(root, path) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    return change([&](MemoryRegistry& store) { return store.createKey(root, path); });
}

long LinuxRegistry::deleteKey(Root root, const std::string& path) {
    if (fixedKey(root, path) || fixed_.keyExists(root, path))
        return ERROR_ACCESS_DENIED;
    return change([&](MemoryRegistry& store) { return store.deleteKey(root, path); });
}

long LinuxRegistry::setValue(Root root, const std::string& path, const std::string& name,
                             const RawValue& value) {
    if (fixedKey(root, path))
        return ERROR_ACCESS_DENIED;
    return change([&](MemoryRegistry& store) { return store.setValue(root, path, name, value); });
}

long LinuxRegistry::deleteValue(Root root, const std::string& path, const std::string& name) {
    if (fixedKey(root, path))
        return ERROR_ACCESS_DENIED;
    return change([&](MemoryRegistry& store) { return store.deleteValue(root, path, name); });
}

long LinuxRegistry::openKeyForWriting(Root root, const std::string& path) {
    if (fixedKey(root, path))
        return ERROR_ACCESS_DENIED;
    return keyExists(root, path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

} // namespace registry
