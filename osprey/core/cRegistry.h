#pragma once
#include "platform/registry/Registry.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace osprey {

// A value as the registry class hands it out: nothing (an empty default), a text, a 32-bit
// number or a byte array.
using RegValue = std::variant<std::monostate, std::string, std::int32_t, std::vector<std::uint8_t>>;

// The value as text: "" for nothing, numbers in decimal, bytes one character each.
std::string regValueText(const RegValue& value);

// An error the registry class raises: its number and source ("<program>.cRegistry").
struct RegistryError : std::runtime_error {
    RegistryError(std::int32_t number, std::string source, const std::string& description)
        : std::runtime_error(description), Number(number), Source(std::move(source)) {}
    std::int32_t Number;
    std::string Source;
};

inline constexpr std::int32_t kRegErrKey = 26001;
// The object error base plus 27049: a failed value write.
inline constexpr std::int32_t kRegErrValueWrite = static_cast<std::int32_t>(0x800469A9u);

// General registry access: the properties name a value (root, key path, value name, type,
// default), and the operations read it. Reading never raises: every failure gives Default.
// The registry this system runs on is read-only, so the writing operations raise their
// errors.
class cRegistry {
  public:
    explicit cRegistry(registry::Registry& registry, std::string programName = "Osprey");

    // Another computer's name; a name of 3 or more characters gets "\\" in front when it
    // lacks it, a shorter one empties the property.
    const std::string& Machine() const { return machine_; }
    void setMachine(const std::string& name);
    registry::Root ClassKey() const { return classKey_; }
    void setClassKey(registry::Root root) { classKey_ = root; }
    const std::string& SectionKey() const { return sectionKey_; }
    void setSectionKey(const std::string& path) { sectionKey_ = path; }
    const std::string& ValueKey() const { return valueKey_; }
    void setValueKey(const std::string& name) { valueKey_ = name; }
    std::uint32_t ValueType() const { return valueType_; }
    void setValueType(std::uint32_t type) { valueType_ = type; }
    const RegValue& Default() const { return default_; }
    void setDefault(RegValue value) { default_ = std::move(value); }

    bool KeyExists();
    // Reads ValueKey of SectionKey below ClassKey; sets ValueType to the type found. Texts
    // lose their terminating zero, expandable texts get their %NAME% references expanded,
    // other kinds of data come as bytes with one zero element more than stored.
    RegValue Value();
    RegValue ValueEx(registry::Root root, const std::string& path, const std::string& name,
                     std::uint32_t type, RegValue defaultValue);
    // Names in the registry's order; false when the key does not open.
    bool EnumerateValues(std::vector<std::string>& names, int& count);
    bool EnumerateSections(std::vector<std::string>& names, int& count);

    // Writing operations: raise RegistryError.
    bool CreateKey();
    bool DeleteKey();
    bool DeleteValue();
    void setValue(const RegValue& value);

  private:
    registry::Registry* target(); // this computer's registry or the Machine's; null if none
    [[noreturn]] void raise(std::int32_t number, const std::string& description) const;
    std::string classKeyText() const;

    registry::Registry* registry_;
    std::string source_;
    std::string machine_;
    registry::Root classKey_ = 0;
    std::string sectionKey_;
    std::string valueKey_;
    std::uint32_t valueType_ = 0;
    RegValue default_;
};

} // namespace osprey
