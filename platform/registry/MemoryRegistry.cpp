#include "platform/registry/MemoryRegistry.h"

#include "platform/sys/Strings.h"

#include <algorithm>
#include <cstdio>

namespace registry {

struct MemoryRegistry::Key {
    std::string name;
    // In insertion order, as the registry enumerates them.
    std::vector<std::pair<std::string, RawValue>> values;
    std::vector<std::unique_ptr<Key>> children;

    Key* child(const std::string& n) {
        for (auto& c : children)
            if (sameName(c->name, n))
                return c.get();
        return nullptr;
    }
};

MemoryRegistry::MemoryRegistry() = default;
MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Key* MemoryRegistry::find(Root root, const std::string& path) {
    auto it = roots_.find(root);
    if (it == roots_.end())
        return nullptr;
    Key* k = it->second.get();
    for (const auto& part : splitKeyPath(path)) {
        k = k->child(part);
        if (!k)
            return nullptr;
    }
    return k;
}

MemoryRegistry::Key& MemoryRegistry::make(Root root, const std::string& path) {
    auto& slot = roots_[root];
    if (!slot)
        slot = std::make_unique<Key>();
    Key* k = slot.get();
    for (const auto& part : splitKeyPath(path)) {
        Key* c = k->child(part);
        if (!c) {
            k->children.push_back(std::make_unique<Key>());
            c = k->children.back().get();
            c->name = part;
        }
        k = c;
    }
    return *k;
}

void MemoryRegistry::addKey(Root root, const std::string& path) {
    make(root, path);
}

long MemoryRegistry::createKey(Root root, const std::string& path) {
    if (rootName(root).empty())
        return ERROR_INVALID_HANDLE;
    if (!validKeyPath(path))
        return ERROR_INVALID_PARAMETER;
    make(root, path);
    return ERROR_SUCCESS;
}

long MemoryRegistry::deleteKey(Root root, const std::string& path) {
    if (rootName(root).empty())
        return ERROR_INVALID_HANDLE;
    auto parts = splitKeyPath(path);
    if (parts.empty())
        return ERROR_ACCESS_DENIED; // a root is never deleted
    Key* k = find(root, path);
    if (!k)
        return ERROR_FILE_NOT_FOUND;
    if (!k->children.empty())
        return ERROR_ACCESS_DENIED;
    parts.pop_back();
    std::string parentPath;
    for (const auto& p : parts)
        parentPath += p + "\\";
    auto& siblings = find(root, parentPath)->children;
    std::erase_if(siblings, [k](const std::unique_ptr<Key>& c) { return c.get() == k; });
    return ERROR_SUCCESS;
}

long MemoryRegistry::setValue(Root root, const std::string& path, const std::string& name,
                              const RawValue& value) {
    if (long r = createKey(root, path); r != ERROR_SUCCESS)
        return r;
    Key& k = make(root, path);
    for (auto& [n, v] : k.values) {
        if (sameName(n, name)) {
            v = value;
            return ERROR_SUCCESS;
        }
    }
    k.values.emplace_back(name, value);
    return ERROR_SUCCESS;
}

long MemoryRegistry::deleteValue(Root root, const std::string& path, const std::string& name) {
    Key* k = find(root, path);
    if (!k)
        return ERROR_FILE_NOT_FOUND;
    auto gone = std::erase_if(k->values, [&](const auto& v) { return sameName(v.first, name); });
    return gone > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

long MemoryRegistry::openKeyForWriting(Root root, const std::string& path) {
    return find(root, path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

void MemoryRegistry::addMachine(const std::string& machine, Registry& remote) {
    std::string m = machine.starts_with("\\\\") ? machine.substr(2) : machine;
    machines_.emplace_back(m, &remote);
}

bool MemoryRegistry::keyExists(Root root, const std::string& path) {
    return find(root, path) != nullptr;
}

long MemoryRegistry::queryValue(Root root, const std::string& path, const std::string& name,
                                RawValue& out) {
    Key* k = find(root, path);
    if (!k)
        return ERROR_FILE_NOT_FOUND;
    for (const auto& [n, v] : k->values) {
        if (sameName(n, name)) {
            out = v;
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

long MemoryRegistry::enumValueNames(Root root, const std::string& path,
                                    std::vector<std::string>& out) {
    out.clear();
    Key* k = find(root, path);
    if (!k)
        return ERROR_FILE_NOT_FOUND;
    for (const auto& v : k->values)
        out.push_back(v.first);
    return ERROR_SUCCESS;
}

long MemoryRegistry::enumKeyNames(Root root, const std::string& path,
                                  std::vector<std::string>& out) {
    out.clear();
    Key* k = find(root, path);
    if (!k)
        return ERROR_FILE_NOT_FOUND;
    for (const auto& c : k->children)
        out.push_back(c->name);
    return ERROR_SUCCESS;
}

Registry* MemoryRegistry::connect(const std::string& machine) {
    std::string m = machine.starts_with("\\\\") ? machine.substr(2) : machine;
    for (auto& [name, r] : machines_)
        if (sameName(name, m))
            return r;
    return nullptr;
}

// ---- the text form ----

namespace {

constexpr std::string_view kTextHeader = "registry 2";
// The text form before it had an end line: whether such a text is whole cannot be told.
constexpr std::string_view kOldTextHeader = "registry 1";
constexpr std::string_view kEndLine = "end";

std::string escapeName(std::string_view name) {
    std::string out;
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c == 0x7F || c == '%' || c == '@') {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out;
}

// Value data as lower-case hex; "-" for none.
std::string hexBytes(std::string_view data) {
    return data.empty() ? "-" : sys::hexEncode(data, true);
}

std::optional<std::string> fromHex(std::string_view text) {
    if (text == "-")
        return std::string();
    if (text.empty() || !sys::isHexText(text))
        return std::nullopt;
    return sys::hexDecode(text);
}

std::optional<std::uint32_t> typeNumber(std::string_view text) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::uint64_t v = std::stoull(std::string(text));
    if (v > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<std::uint32_t>(v);
}

std::optional<Root> rootNamed(std::string_view name) {
    for (Root r : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                   HKEY_CURRENT_CONFIG})
        if (rootName(r) == name)
            return r;
    return std::nullopt;
}

void writeKey(std::string& out, const std::string& path, const MemoryRegistry::Key& key) {
    out += "key " + path + "\n";
    for (const auto& [name, value] : key.values)
        out += "value " + std::to_string(value.type) + " " +
               (name.empty() ? std::string("@") : escapeName(name)) + " " + hexBytes(value.data) +
               "\n";
    for (const auto& child : key.children)
        writeKey(out, path + "\\" + escapeName(child->name), *child);
}

} // namespace

std::string MemoryRegistry::toText() const {
    std::string out(kTextHeader);
    out += "\n";
    for (const auto& [root, key] : roots_) {
        const std::string name = rootName(root);
        if (!name.empty())
            writeKey(out, name, *key);
    }
    out += kEndLine;
    out += "\n";
    return out;
}

bool MemoryRegistry::fromText(std::string_view text) {
    MemoryRegistry read;
    std::optional<Root> root;
    std::string path;
    bool first = true, ended = false, needsEnd = true;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (first) {
            needsEnd = line == kTextHeader;
            if (!needsEnd && line != kOldTextHeader)
                return false;
            first = false;
            continue;
        }
        if (line.empty())
            continue;
        if (ended)
            return false; // nothing follows the end line
        if (line == kEndLine && needsEnd) {
            ended = true;
            continue;
        }
        auto f = sys::splitOn(line, ' ');
        if (f[0] == "key" && f.size() == 2) {
            auto parts = splitKeyPath(f[1]);
            root = parts.empty() ? std::nullopt : rootNamed(parts[0]);
            if (!root)
                return false;
            path.clear();
            for (std::size_t i = 1; i < parts.size(); ++i) {
                auto name = sys::percentDecode(parts[i]);
                if (!name || name->empty() || name->find('\\') != std::string::npos)
                    return false;
                path += (i > 1 ? "\\" : "") + *name;
            }
            read.make(*root, path);
        } else if (f[0] == "value" && f.size() == 4 && root) {
            auto type = typeNumber(f[1]);
            auto name = f[2] == "@" ? std::optional<std::string>("") : sys::percentDecode(f[2]);
            auto data = fromHex(f[3]);
            if (!type || !name || !data)
                return false;
            read.setValue(*root, path, *name, RawValue{*type, *data});
        } else {
            return false;
        }
    }
    if (first || ended != needsEnd)
        return false;
    roots_ = std::move(read.roots_);
    return true;
}

} // namespace registry
