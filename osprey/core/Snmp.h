#pragma once
#include "osprey/core/WizardState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace osprey {

// SNMP version 1 messages of one variable binding: the GetRequest the wizard sends and the
// reply it reads back as text.

inline constexpr std::uint8_t kSnmpGetRequest = 0xA0;
// The result of a reply that cannot be read (also what a datagram of under two bytes gives).
inline constexpr const char* kSnmpInvalidDevice = "Error, invalid device";

using SnmpSendBuffer = std::array<std::uint8_t, 256>;

// The GetRequest record, field by field in message order. Lengths are single bytes.
struct SnmpRequest {
    std::uint8_t MessageTag = 0x30;
    std::uint8_t MessageLength = 0; // not used: snmpEncode computes it
    std::uint8_t VersionTag = 0x02;
    std::uint8_t VersionLength = 1;
    std::vector<std::uint8_t> Version{0x00}; // version 1
    std::uint8_t CommunityTag = 0x04;
    std::uint8_t CommunityLength = 0;
    std::vector<std::uint8_t> Community;
    std::uint8_t PduType = kSnmpGetRequest;
    std::uint8_t PduLength = 0;
    std::uint8_t RequestIdTag = 0x02;
    std::uint8_t RequestIdLength = 1;
    std::vector<std::uint8_t> RequestId{0x01};
    std::uint8_t ErrorStatusTag = 0x02;
    std::uint8_t ErrorStatusLength = 1;
    std::vector<std::uint8_t> ErrorStatus{0x00};
    std::uint8_t ErrorIndexTag = 0x02;
    std::uint8_t ErrorIndexLength = 1;
    std::vector<std::uint8_t> ErrorIndex{0x00};
    std::uint8_t VarbindListTag = 0x30;
    std::uint8_t VarbindListLength = 0;
    std::uint8_t VarbindTag = 0x30;
    std::uint8_t VarbindLength = 0;
    std::uint8_t NameTag = 0x06;
    std::uint8_t NameLength = 0;
    std::vector<std::uint8_t> Name; // the encoded object identifier
    std::uint8_t ValueTag = 0x05;   // NULL
    std::uint8_t ValueLength = 0;
};

// The BER form of a dotted object identifier (blanks around it and one trailing "." are
// ignored). It must begin with the arcs 1.3; every part must be a decimal number of at most
// 32 bits. Nothing, with the reason in *error, otherwise.
std::optional<std::vector<std::uint8_t>> encodeObjectIdentifier(std::string_view oid,
                                                                std::string* error = nullptr);

// The record of one request: the community (trimmed of blanks, one Windows-1252 byte per
// character), the PDU type, request-id 1, error-status and error-index 0, the object
// identifier's name and a NULL value, with every length filled in. Nothing, with the reason
// in *error, when the identifier is unusable, the community holds a character without a
// Windows-1252 form, or the message content would reach 128 bytes (single-byte lengths).
std::optional<SnmpRequest> makeGetRequest(std::string_view community, std::string_view oid,
                                          std::uint8_t pduType, std::string* error = nullptr);

// Writes the message from index 0 and its length (total - 2) at index 1; bytes behind it keep
// what was there. Returns the total length, or 0 (nothing written) when the record's message
// would not fit the buffer.
std::size_t snmpEncode(const SnmpRequest& request, SnmpSendBuffer& buffer);

// Reads a byte array by BER. A failed read does not move the cursor; the first failure sticks
// and names its offset, and every later read fails too.
class BerCursor {
  public:
    explicit BerCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t offset() const { return offset_; }
    std::size_t size() const { return bytes_.size(); }
    bool ok() const { return error_.empty(); }
    // "offset N: what went wrong"; "" while ok.
    const std::string& error() const { return error_; }

    std::optional<std::uint8_t> peek();
    std::optional<std::uint8_t> byte();
    // A length: a byte below 80 hex, or 81 to 84 followed by that many bytes.
    std::optional<std::size_t> length();
    std::optional<std::span<const std::uint8_t>> take(std::size_t n);
    bool skip(std::size_t n);
    bool seek(std::size_t offset);
    // Records a failure at the current offset (when none is recorded yet).
    void fail(const std::string& what);

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
    std::string error_;
};

struct SnmpDecoded {
    std::string text;  // kSnmpInvalidDevice when the reply cannot be read
    std::string error; // why it cannot ("offset N: ..."), "" when read
    // The reply's error status; 0 when the agent answered with the value. An agent that
    // lacks the object (noSuchName and the like) echoes the request's NULL, which is no value
    // of the printer's: such a reply's text is snmpErrorStatusText instead.
    std::uint32_t errorStatus = 0;
};

// "Error status 2 (noSuchName)": the text of a reply with a non-zero error status.
std::string snmpErrorStatusText(std::uint32_t errorStatus);

// The text of a reply: walks to the first variable binding and decodes each binding's value
// in turn; the last one gives the text. A reply with an error status gives that status. An OCTET
// STRING gives its bytes and the byte after them (the datagram's end counts as a zero byte),
// Windows-1252 to UTF-8, without line end; IpAddress and NULL a dotted address, numbers their
// decimal value, an object identifier its dotted form, each with CR LF; any other type "Unknown &H"
// and the type in hex.
SnmpDecoded snmpDecode(std::string_view reply);
// The same into ws.SnmpResult; returns the error ("" when the reply was read).
std::string snmpDecode(WizardState& ws, std::string_view reply);

// Dotted text of an address held as the sockets' in_addr holds it (bytes in memory order).
std::string LongToIPString(std::uint32_t address);

// The text without its last character (one UTF-8 character, not one byte): a decoded text
// value carries one character more than its content.
std::string dropLastCharacter(const std::string& text);

} // namespace osprey
