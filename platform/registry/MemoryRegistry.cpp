#include "platform/registry/MemoryRegistry.h"

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

void MemoryRegistry::setValue(Root root, const std::string& path, const std::string& name,
                              RawValue value) {
    Key& k = make(root, path);
    for (auto& [n, v] : k.values) {
        if (sameName(n, name)) {
            v = std::move(value);
            return;
        }
    }
    k.values.emplace_back(name, std::move(value));
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

} // namespace registry
