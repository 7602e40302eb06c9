// The SNMP codec: any datagram decodes to a text or the invalid-device text; any community
// and object identifier either make a request that fits its buffer or are refused.
#include "osprey/core/Snmp.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in = fuzz::bytes(data, size);
    const osprey::SnmpDecoded reply = osprey::snmpDecode(in);
    fuzz::check(reply.error.empty() || reply.text == osprey::kSnmpInvalidDevice,
                "an unreadable reply gives the invalid-device text");

    const auto at = in.find('\0');
    const std::string_view community = in.substr(0, at);
    const std::string_view oid = at == std::string_view::npos ? "" : in.substr(at + 1);
    if (auto request = osprey::makeGetRequest(community, oid, osprey::kSnmpGetRequest)) {
        osprey::SnmpSendBuffer buffer{};
        const std::size_t n = osprey::snmpEncode(*request, buffer);
        fuzz::check(n > 0 && n <= buffer.size(), "a request that was made fits its buffer");
        fuzz::check(buffer[1] == n - 2, "the message length counts the rest");
        osprey::snmpDecode(std::string_view(reinterpret_cast<const char*>(buffer.data()), n));
    }
    return 0;
}
