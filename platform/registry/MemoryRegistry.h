#pragma once
#include "platform/registry/Registry.h"

#include <map>
#include <memory>

namespace registry {

// A registry held in memory: the store of LinuxRegistry, and what tests fill.
class MemoryRegistry : public Registry {
  public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    // Creates the key and every key above it (any root; tests use it).
    void addKey(Root root, const std::string& path);
    // Makes another computer's registry reachable under this name (leading "\\" ignored).
    void addMachine(const std::string& machine, Registry& remote);

    bool keyExists(Root root, const std::string& path) override;
    long queryValue(Root root, const std::string& path, const std::string& name,
                    RawValue& out) override;
    long enumValueNames(Root root, const std::string& path, std::vector<std::string>& out) override;
    long enumKeyNames(Root root, const std::string& path, std::vector<std::string>& out) override;
    Registry* connect(const std::string& machine) override;

    // Writing: only below the named roots, and with key names of at most 255 characters.
    long createKey(Root root, const std::string& path) override;
    long deleteKey(Root root, const std::string& path) override;
    long setValue(Root root, const std::string& path, const std::string& name,
                  const RawValue& value) override;
    long deleteValue(Root root, const std::string& path, const std::string& name) override;
    long openKeyForWriting(Root root, const std::string& path) override;

    // The keys and values as text, one line each, in the registry's order: a first line
    // "registry 2"; "key ROOT\PATH"; "value TYPE NAME DATA" for each value of the key above
    // it, the name "@" for the default value, the data in hex ("-" for none); a last line
    // "end". Names carry "%", "@", blanks and control characters as %XX.
    std::string toText() const;
    // Replaces the keys and values by those of such a text; false, and nothing changed, when
    // the text is not one or lacks its end line (it was cut short). A text written before
    // the end line existed (first line "registry 1", no end line) still reads.
    bool fromText(std::string_view text);

    struct Key;

  private:
    Key* find(Root root, const std::string& path);
    Key& make(Root root, const std::string& path);

    std::map<Root, std::unique_ptr<Key>> roots_;
    std::vector<std::pair<std::string, Registry*>> machines_;
};

} // namespace registry
