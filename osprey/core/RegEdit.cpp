#include "osprey/core/RegEdit.h"

#include "osprey/core/cRegistry.h"

namespace osprey {

std::string GetPortIPAddress(registry::Registry& registry, const std::string& portName) {
    cRegistry reg(registry);
    reg.setClassKey(registry::HKEY_LOCAL_MACHINE);
    reg.setSectionKey(std::string(kTcpIpPortKeyPrefix) + portName);
    reg.setValueKey("IPAddress");
    reg.setValueType(registry::REG_SZ);
    return regValueText(reg.Value());
}

} // namespace osprey
