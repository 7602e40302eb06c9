#include "osprey/core/cRegistry.h"

#include "platform/sys/Encoding.h"

namespace osprey {

std::string regValueText(const RegValue& value) {
    if (auto s = std::get_if<std::string>(&value))
        return *s;
    if (auto n = std::get_if<std::int32_t>(&value))
        return std::to_string(*n);
    if (auto b = std::get_if<std::vector<std::uint8_t>>(&value))
        return sys::fromWindows1252(std::string(b->begin(), b->end()));
    return {};
}

cRegistry::cRegistry(registry::Registry& registry, std::string programName)
    : registry_(&registry), source_(std::move(programName) + ".cRegistry") {}

void cRegistry::setMachine(const std::string& name) {
    if (name.size() < 3)
        machine_.clear();
    else if (name.starts_with("\\\\"))
        machine_ = name;
    else
        machine_ = "\\\\" + name;
}

registry::Registry* cRegistry::target() {
    if (machine_.empty())
        return registry_;
    return registry_->connect(machine_);
}

bool cRegistry::KeyExists() {
    registry::Registry* r = target();
    return r && r->keyExists(classKey_, sectionKey_);
}

RegValue cRegistry::Value() {
    registry::Registry* r = target();
    if (!r)
        return default_;
    registry::RawValue raw;
    if (r->queryValue(classKey_, sectionKey_, valueKey_, raw) != registry::ERROR_SUCCESS)
        return default_;
    valueType_ = raw.type;
    const std::string& d = raw.data;
    switch (raw.type) {
    case registry::REG_SZ:
    case registry::REG_MULTI_SZ:
    case registry::REG_EXPAND_SZ: {
        // Only a terminating zero is dropped: a text stored without one keeps its last
        // character.
        std::string text = d;
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        text = sys::fromWindows1252(text);
        if (raw.type == registry::REG_EXPAND_SZ)
            text = registry::expandEnvironmentStrings(text);
        return text;
    }
    case registry::REG_DWORD:
    case registry::REG_DWORD_BIG_ENDIAN: {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < 4 && i < d.size(); ++i)
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(d[i])) << (8 * i);
        if (raw.type == registry::REG_DWORD_BIG_ENDIAN)
            v = ((v & 0xFF) << 24) | ((v & 0xFF00) << 8) | ((v >> 8) & 0xFF00) | (v >> 24);
        return static_cast<std::int32_t>(v);
    }
    default: {
        std::vector<std::uint8_t> bytes(d.begin(), d.end());
        bytes.push_back(0);
        return bytes;
    }
    }
}

RegValue cRegistry::ValueEx(registry::Root root, const std::string& path, const std::string& name,
                            std::uint32_t type, RegValue defaultValue) {
    classKey_ = root;
    sectionKey_ = path;
    valueKey_ = name;
    valueType_ = type;
    default_ = std::move(defaultValue);
    return Value();
}

bool cRegistry::EnumerateValues(std::vector<std::string>& names, int& count) {
    registry::Registry* r = target();
    if (!r || r->enumValueNames(classKey_, sectionKey_, names) != registry::ERROR_SUCCESS)
        names.clear();
    count = static_cast<int>(names.size());
    return true;
}

bool cRegistry::EnumerateSections(std::vector<std::string>& names, int& count) {
    registry::Registry* r = target();
    if (!r || r->enumKeyNames(classKey_, sectionKey_, names) != registry::ERROR_SUCCESS)
        names.clear();
    count = static_cast<int>(names.size());
    return true;
}

std::string cRegistry::classKeyText() const {
    return std::to_string(static_cast<std::int32_t>(classKey_));
}

void cRegistry::raise(std::int32_t number, const std::string& description) const {
    throw RegistryError(number, source_, description);
}

bool cRegistry::CreateKey() {
    registry::Registry* r = target();
    if (!r || r->createKey(classKey_, sectionKey_) != registry::ERROR_SUCCESS)
        raise(kRegErrKey, "Failed to create registry Key: '" + sectionKey_);
    return true;
}

bool cRegistry::DeleteKey() {
    registry::Registry* r = target();
    if (!r || r->deleteKey(classKey_, sectionKey_) != registry::ERROR_SUCCESS)
        raise(kRegErrKey,
              "Failed to delete registry Key: '" + classKeyText() + "',Section: '" + sectionKey_);
    return true;
}

bool cRegistry::DeleteValue() {
    registry::Registry* r = target();
    const std::string where = "'" + classKeyText() + "',Section: '" + sectionKey_;
    if (!r || r->openKeyForWriting(classKey_, sectionKey_) != registry::ERROR_SUCCESS)
        raise(kRegErrKey, "Failed to open key " + where + "' for delete access");
    if (r->deleteValue(classKey_, sectionKey_, valueKey_) != registry::ERROR_SUCCESS)
        raise(kRegErrKey, "Failed to delete registry Key: " + where + "',Key: '" + valueKey_);
    return true;
}

namespace {

// Some "%" followed, not directly, by a later one ("100%% %", "%%PATH%"): the text may hold
// an environment reference. The first and the last "%" are the pair farthest apart.
bool holdsReference(const std::string& text) {
    std::size_t first = text.find('%');
    std::size_t last = text.rfind('%');
    return first != std::string::npos && last > first + 1;
}

} // namespace

void cRegistry::setValue(const RegValue& value) {
    auto fail = [&](std::int32_t number) {
        raise(number, "Failed to set registry value Key: '" + classKeyText() + "',Section: '" +
                          sectionKey_ + "',Key: '" + valueKey_ + "' to value: '" +
                          regValueText(value) + "'");
    };
    registry::RawValue raw;
    switch (valueType_) {
    case registry::REG_SZ:
    case registry::REG_EXPAND_SZ: {
        // Stored in the ANSI code page; a character without a form there is not written.
        auto ansi = sys::toWindows1252(regValueText(value));
        if (!ansi)
            fail(kRegErrValueWrite);
        raw = registry::textValue(*ansi, holdsReference(*ansi) ? registry::REG_EXPAND_SZ
                                                               : registry::REG_SZ);
        break;
    }
    case registry::REG_BINARY:
    case 11: {
        auto bytes = std::get_if<std::vector<std::uint8_t>>(&value);
        if (!bytes)
            fail(kRegErrKey);
        // A read gives one element more than the data, so the last one is not data.
        raw = {valueType_ == registry::REG_BINARY ? registry::REG_BINARY : registry::REG_NONE,
               std::string(bytes->begin(), bytes->empty() ? bytes->end() : bytes->end() - 1)};
        break;
    }
    case registry::REG_DWORD:
    case registry::REG_DWORD_BIG_ENDIAN: {
        // A value that is not a number is refused rather than silently not written.
        auto number = std::get_if<std::int32_t>(&value);
        if (!number)
            fail(kRegErrValueWrite);
        raw = registry::dwordValue(static_cast<std::uint32_t>(*number));
        break;
    }
    default:
        fail(kRegErrValueWrite);
    }
    registry::Registry* r = target();
    if (!r || r->setValue(classKey_, sectionKey_, valueKey_, raw) != registry::ERROR_SUCCESS)
        fail(kRegErrValueWrite);
}

void cRegistry::setValueEx(registry::Root root, const std::string& path, const std::string& name,
                           std::uint32_t type, RegValue defaultValue, const RegValue& value) {
    classKey_ = root;
    sectionKey_ = path;
    valueKey_ = name;
    valueType_ = type;
    default_ = std::move(defaultValue);
    setValue(value);
}

void cRegistry::ClassPathOf(const std::string& text) {
    struct Restore {
        cRegistry& r;
        registry::Root root;
        std::string path;
        ~Restore() {
            r.classKey_ = root;
            r.sectionKey_ = path;
        }
    } restore{*this, classKey_, sectionKey_};
    classKey_ = registry::HKEY_CLASSES_ROOT;
    setValue(text);
    classKey_ = registry::HKEY_LOCAL_MACHINE;
    sectionKey_ = "SOFTWARE\\Classes\\" + restore.path;
    setValue(text);
}

void cRegistry::CreateEXEAssociation(const ExeAssociation& a) {
    const std::string extension =
        a.Extension.starts_with('.') ? a.Extension.substr(1) : a.Extension;
    const std::string file = " \"%1\"";
    valueKey_ = "";
    valueType_ = registry::REG_SZ;
    auto write = [&](const std::string& path, const std::string& text) {
        sectionKey_ = path;
        ClassPathOf(text);
    };
    write("." + extension, a.ClassName);
    write(a.ClassName, a.Description);
    const std::string shell = a.ClassName + "\\shell\\";
    auto verb = [&](const std::string& name, const std::string& text, const std::string& fallback,
                    const std::string& switches) {
        write(shell + name, text.empty() ? fallback : text);
        write(shell + name + "\\command", a.ProgramPath + switches + file);
    };
    verb("open", a.OpenMenuText, "&Open", "");
    if (a.Print)
        verb("print", a.PrintMenuText, "&Print", " /p");
    if (a.Install)
        verb("add", a.InstallMenuText, "&Install " + extension, " /a");
    if (a.New)
        verb("new", a.NewMenuText, "&New", " /n");
    write(a.ClassName + "\\DefaultIcon", a.ProgramPath + "," + std::to_string(a.IconIndex));
}

void cRegistry::CreateAdditionalEXEAssociations(const std::string& className,
                                                const std::vector<std::string>& items) {
    if (items.size() % 3 != 0)
        raise(kRegErrAssociationList, "Invalid parameter list passed to "
                                      "CreateAdditionalEXEAssociations - expected "
                                      "Name/Text/Command");
    classKey_ = registry::HKEY_CLASSES_ROOT;
    sectionKey_ = className;
    if (!KeyExists())
        raise(kRegErrAssociationClass,
              "Error - attempt to create additional associations before class defined.");
    valueKey_ = "";
    valueType_ = registry::REG_SZ;
    for (std::size_t i = 0; i < items.size(); i += 3) {
        sectionKey_ = className + "\\shell\\" + items[i];
        ClassPathOf(items[i + 1]);
        sectionKey_ += "\\command";
        ClassPathOf(items[i + 2]);
    }
}

} // namespace osprey
