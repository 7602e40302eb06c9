#pragma once
#include "platform/registry/Registry.h"

#include <map>
#include <memory>

namespace registry {

// An in-process registry for tests: keys and values are put in by the test.
class MemoryRegistry : public Registry {
  public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    // Creates the key and every key above it.
    void addKey(Root root, const std::string& path);
    // Creates the key when needed and sets the value (replacing one of the same name).
    void setValue(Root root, const std::string& path, const std::string& name, RawValue value);
    // Makes another computer's registry reachable under this name (leading "\\" ignored).
    void addMachine(const std::string& machine, Registry& remote);

    bool keyExists(Root root, const std::string& path) override;
    long queryValue(Root root, const std::string& path, const std::string& name,
                    RawValue& out) override;
    long enumValueNames(Root root, const std::string& path, std::vector<std::string>& out) override;
    long enumKeyNames(Root root, const std::string& path, std::vector<std::string>& out) override;
    Registry* connect(const std::string& machine) override;

    struct Key;

  private:
    Key* find(Root root, const std::string& path);
    Key& make(Root root, const std::string& path);

    std::map<Root, std::unique_ptr<Key>> roots_;
    std::vector<std::pair<std::string, Registry*>> machines_;
};

} // namespace registry
