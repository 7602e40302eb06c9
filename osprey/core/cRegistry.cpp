#include "osprey/core/cRegistry.h"

#include "platform/sys/System.h"

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
    names.clear();
    count = 0;
    registry::Registry* r = target();
    if (!r || r->enumValueNames(classKey_, sectionKey_, names) != registry::ERROR_SUCCESS)
        return false;
    count = static_cast<int>(names.size());
    return true;
}

bool cRegistry::EnumerateSections(std::vector<std::string>& names, int& count) {
    names.clear();
    count = 0;
    registry::Registry* r = target();
    if (!r || r->enumKeyNames(classKey_, sectionKey_, names) != registry::ERROR_SUCCESS)
        return false;
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
    raise(kRegErrKey, "Failed to create registry Key: '" + sectionKey_);
}

bool cRegistry::DeleteKey() {
    raise(kRegErrKey,
          "Failed to delete registry Key: '" + classKeyText() + "',Section: '" + sectionKey_);
}

bool cRegistry::DeleteValue() {
    raise(kRegErrKey, "Failed to open key '" + classKeyText() + "',Section: '" + sectionKey_ +
                          "' for delete access");
}

void cRegistry::setValue(const RegValue& value) {
    raise(kRegErrValueWrite, "Failed to set registry value Key: '" + classKeyText() +
                                 "',Section: '" + sectionKey_ + "',Key: '" + valueKey_ +
                                 "' to value: '" + regValueText(value) + "'");
}

} // namespace osprey
