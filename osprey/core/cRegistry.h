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
// The object error base plus 27049: a failed value write; plus 27052 and 27053: the
// additional associations' bad list and missing class.
inline constexpr std::int32_t kRegErrValueWrite = static_cast<std::int32_t>(0x800469A9u);
inline constexpr std::int32_t kRegErrAssociationList = static_cast<std::int32_t>(0x800469ACu);
inline constexpr std::int32_t kRegErrAssociationClass = static_cast<std::int32_t>(0x800469ADu);

// A file type for a program, as CreateEXEAssociation registers it.
struct ExeAssociation {
    std::string ProgramPath;
    std::string ClassName;
    std::string Description;
    std::string Extension;       // with or without its leading "."
    std::string OpenMenuText;    // "" gives "&Open"
    std::string PrintMenuText;   // "" gives "&Print"
    std::string InstallMenuText; // "" gives "&Install " and the extension
    std::string NewMenuText;     // "" gives "&New"
    bool Print = false;          // the print, install and new commands are registered
    bool Install = false;        // only when switched on
    bool New = false;
    int IconIndex = 0;
};

// General registry access: the properties name a value (root, key path, value name, type,
// default), and the operations read or write it. Reading never raises: every failure gives
// Default. The writing operations raise RegistryError when they fail.
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
    // Names in the registry's order, and their count; a key that does not open has none.
    // Always true.
    bool EnumerateValues(std::vector<std::string>& names, int& count);
    bool EnumerateSections(std::vector<std::string>& names, int& count);

    // Writing operations. Each returns true or raises RegistryError.
    bool CreateKey();
    bool DeleteKey();
    bool DeleteValue();
    // Writes ValueKey of SectionKey (created when missing) by ValueType: 1 and 2 from text
    // (REG_EXPAND_SZ when a "%" is followed, not directly, by another), 3 and 11 from bytes
    // without their last element (11 stored as type 0), 4 and 5 from a number as a REG_DWORD.
    void setValue(const RegValue& value);
    void setValueEx(registry::Root root, const std::string& path, const std::string& name,
                    std::uint32_t type, RegValue defaultValue, const RegValue& value);

    // Registers a file type for a program, below HKEY_CLASSES_ROOT and below
    // HKEY_LOCAL_MACHINE\SOFTWARE\Classes alike.
    void CreateEXEAssociation(const ExeAssociation& association);
    // Name, Text, Command triples: "shell\<Name>" of the class gets Text, its "command" key
    // gets Command. The class must exist and the list hold whole triples.
    void CreateAdditionalEXEAssociations(const std::string& className,
                                         const std::vector<std::string>& items);

  private:
    registry::Registry* target(); // this computer's registry or the Machine's; null if none
    [[noreturn]] void raise(std::int32_t number, const std::string& description) const;
    std::string classKeyText() const;
    // Writes the text as ValueKey of SectionKey below HKEY_CLASSES_ROOT, then below
    // HKEY_LOCAL_MACHINE\SOFTWARE\Classes; the root and key path stay as they were.
    void ClassPathOf(const std::string& text);

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
