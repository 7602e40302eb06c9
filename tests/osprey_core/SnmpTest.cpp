#include "osprey/core/Snmp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace osprey;
using namespace std::string_literals;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string hex(const Bytes& b) {
    static const char* d = "0123456789ABCDEF";
    std::string s;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i)
            s += ' ';
        s += d[b[i] >> 4];
        s += d[b[i] & 15];
    }
    return s;
}

Bytes fromHex(const std::string& text) {
    Bytes b;
    for (std::size_t i = 0; i + 1 < text.size() + 1; ++i) {
        if (text[i] == ' ')
            continue;
        b.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
        ++i;
    }
    return b;
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Tag, BER length (long form from 128 on), content.
Bytes tlv(std::uint8_t tag, const Bytes& content) {
    Bytes out{tag};
    std::size_t n = content.size();
    if (n < 128) {
        out.push_back(static_cast<std::uint8_t>(n));
    } else if (n < 256) {
        out.insert(out.end(), {0x81, static_cast<std::uint8_t>(n)});
    } else {
        out.insert(out.end(),
                   {0x82, static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)});
    }
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

const Bytes kSysDescrName = fromHex("2B 06 01 02 01 01 01 00");

// A GetResponse holding the given variable bindings (each a name and a value item).
std::string response(const std::vector<Bytes>& varbinds, const Bytes& errorStatus = {0}) {
    Bytes list;
    for (const auto& vb : varbinds)
        list = cat({list, tlv(0x30, vb)});
    Bytes pdu = cat({tlv(0x02, {1}), tlv(0x02, errorStatus), tlv(0x02, {0}), tlv(0x30, list)});
    Bytes msg =
        tlv(0x30, cat({tlv(0x02, {0}), tlv(0x04, {'m', 'i', 'r', 't', 'e', 'x'}), tlv(0xA2, pdu)}));
    return std::string(msg.begin(), msg.end());
}

std::string oneValue(const Bytes& value) {
    return response({cat({tlv(0x06, kSysDescrName), value})});
}

Bytes encoded(const std::string& community, const std::string& oid) {
    auto r = makeGetRequest(community, oid, kSnmpGetRequest);
    EXPECT_TRUE(r.has_value());
    SnmpSendBuffer buf{};
    std::size_t n = snmpEncode(*r, buf);
    return Bytes(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(n));
}

} // namespace

TEST(SnmpEncode, SystemRequestsAreByteExact) {
    EXPECT_EQ(hex(encoded("mirtex", "1.3.6.1.2.1.1.1.0")),
              "30 26 02 01 00 04 06 6D 69 72 74 65 78 A0 19 02 01 01 02 01 00 02 01 00 30 0E "
              "30 0C 06 08 2B 06 01 02 01 01 01 00 05 00");
    EXPECT_EQ(hex(encoded("mirtex", "1.3.6.1.2.1.43.16.5.1.2.1.1")),
              "30 2A 02 01 00 04 06 6D 69 72 74 65 78 A0 1D 02 01 01 02 01 00 02 01 00 30 12 "
              "30 10 06 0C 2B 06 01 02 01 2B 10 05 01 02 01 01 05 00");
}

TEST(SnmpEncode, ObjectIdentifiers) {
    struct Row {
        const char* oid;
        const char* bytes; // nullptr: refused
    } rows[] = {
        {"1.3.6.1.2.1.1.1.0", "2B 06 01 02 01 01 01 00"},
        {"1.3.6.1.2.1.1.1.0.", "2B 06 01 02 01 01 01 00"}, // trailing dot
        {"  1.3.6.1  ", "2B 06 01"},                       // blanks trimmed
        {"1.3", "2B"},
        {"1.3.300", "2B 82 2C"},
        {"1.3.127.128", "2B 7F 81 00"},
        {"1.3.16384", "2B 81 80 00"},
        {"1.3.4294967295", "2B 8F FF FF FF 7F"},
        {"", nullptr},
        {"1", nullptr},
        {"2.5.4.3", nullptr},
        {"1.30.6", nullptr},
        {"1.3..6", nullptr},
        {"1.3.6..", nullptr},
        {"1.3.x", nullptr},
        {"1.3.-1", nullptr},
        {"1.3.4294967296", nullptr},
    };
    for (const auto& row : rows) {
        std::string error;
        auto b = encodeObjectIdentifier(row.oid, &error);
        if (row.bytes) {
            ASSERT_TRUE(b.has_value()) << row.oid << ": " << error;
            EXPECT_EQ(hex(*b), row.bytes) << row.oid;
        } else {
            EXPECT_FALSE(b.has_value()) << row.oid;
            EXPECT_FALSE(error.empty()) << row.oid;
        }
    }
}

TEST(SnmpEncode, RefusesWhatCannotBeSent) {
    std::string error;
    // Content of 128 bytes or more would need long-form lengths.
    EXPECT_FALSE(makeGetRequest(std::string(96, 'c'), "1.3.6.1.2.1.1.1.0", 0xA0, &error));
    EXPECT_NE(error.find("too long"), std::string::npos);
    EXPECT_TRUE(makeGetRequest(std::string(95, 'c'), "1.3.6.1.2.1.1.1.0", 0xA0));
    EXPECT_FALSE(makeGetRequest("\xCE\xA9mega", "1.3.6", 0xA0, &error)); // no Windows-1252 form
    EXPECT_FALSE(makeGetRequest("mirtex", "1.2.3", 0xA0, &error));

    // A record whose own lengths outgrow the buffer writes nothing.
    SnmpRequest big;
    big.Community.assign(300, 'x');
    SnmpSendBuffer buf{};
    buf[0] = 0x55;
    EXPECT_EQ(snmpEncode(big, buf), 0u);
    EXPECT_EQ(buf[0], 0x55);
}

TEST(SnmpEncode, TrimmedCommunityAndCallersPduType) {
    auto r = makeGetRequest("  public ", "1.3.6", 0xA1);
    ASSERT_TRUE(r);
    SnmpSendBuffer buf{};
    EXPECT_EQ(snmpEncode(*r, buf), 26u + 6 + 2);
    EXPECT_EQ(buf[6], 6);
    EXPECT_EQ(std::string(buf.begin() + 7, buf.begin() + 13), "public");
    EXPECT_EQ(buf[13], 0xA1);
}

TEST(SnmpEncode, BufferKeepsWhatLongerMessagesLeft) {
    SnmpSendBuffer buf{};
    auto longer = makeGetRequest("mirtex", "1.3.6.1.2.1.43.16.5.1.2.1.1", kSnmpGetRequest);
    auto shorter = makeGetRequest("mirtex", "1.3.6.1.2.1.1.1.0", kSnmpGetRequest);
    ASSERT_EQ(snmpEncode(*longer, buf), 44u);
    Bytes tail(buf.begin() + 40, buf.begin() + 44);
    ASSERT_EQ(snmpEncode(*shorter, buf), 40u);
    EXPECT_EQ(Bytes(buf.begin() + 40, buf.begin() + 44), tail);
    EXPECT_EQ(hex(tail), "01 01 05 00");
    EXPECT_EQ(buf[44], 0);
}

TEST(SnmpDecode, Values) {
    struct Row {
        const char* name;
        Bytes value;
        std::string text;
    } rows[] = {
        {"octet string at the end", tlv(0x04, {'A', 'B', 'C'}), std::string("ABC\0", 4)},
        {"empty octet string", tlv(0x04, {}), std::string(1, '\0')},
        {"windows-1252 text", tlv(0x04, {'c', 0xE9}), std::string("c\xC3\xA9\0", 4)},
        {"ip address", tlv(0x40, {0xC0, 0xA8, 0x00, 0x01}), "192.168.0.1\r\n"},
        {"short ip address", tlv(0x40, {0x0A, 0x0B}), "0.0.10.11\r\n"},
        {"null", tlv(0x05, {}), "0.0.0.0\r\n"},
        {"integer -1", tlv(0x02, {0xFF}), "-1\r\n"},
        {"integer 256", tlv(0x02, {0x01, 0x00}), "256\r\n"},
        {"integer min", tlv(0x02, {0x80, 0, 0, 0}), "-2147483648\r\n"},
        {"empty integer", tlv(0x02, {}), "0\r\n"},
        {"timeticks", tlv(0x43, {0x00, 0xFF, 0xFF}), "65535\r\n"},
        {"counter with lead zero", tlv(0x41, {0x00, 0xFF, 0xFF, 0xFF, 0xFF}), "4294967295\r\n"},
        {"gauge", tlv(0x42, {0x80}), "128\r\n"},
        {"bit string unsigned", tlv(0x03, {0xFF}), "255\r\n"},
        {"boolean", tlv(0x01, {0xFF}), "-1\r\n"},
        {"object identifier", tlv(0x06, {0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x2C}),
         "1.3.6.1.4.1.300\r\n"},
        {"unknown type", tlv(0x44, {0x01}), "Unknown &H44"},
        {"unknown type, one digit", tlv(0x0A, {}), "Unknown &HA"},
    };
    for (const auto& row : rows) {
        SnmpDecoded d = snmpDecode(oneValue(row.value));
        EXPECT_EQ(d.text, row.text) << row.name;
        EXPECT_EQ(d.error, "") << row.name;
    }
}

TEST(SnmpDecode, OddButValidReplies) {
    // Long-form lengths everywhere around a 200-byte text.
    Bytes longText(200, 'x');
    EXPECT_EQ(snmpDecode(oneValue(tlv(0x04, longText))).text, std::string(200, 'x') + '\0');

    // The byte after a text is the next item's first byte, or what trails the message.
    EXPECT_EQ(snmpDecode(oneValue(tlv(0x04, {'A', 'B'})) + "Z").text, "ABZ");

    // Several bindings: each is decoded in turn and the last one wins.
    std::string two = response({cat({tlv(0x06, kSysDescrName), tlv(0x04, {'A'})}),
                                cat({tlv(0x06, kSysDescrName), tlv(0x02, {0x05})})});
    EXPECT_EQ(snmpDecode(two).text, "5\r\n");

    // Tags of the walk are not checked; an item other than a name where the first binding
    // begins is decoded as a value.
    EXPECT_EQ(snmpDecode(response({tlv(0x04, {'h', 'i'})})).text, "hi\0"s);
    EXPECT_EQ(snmpDecode(response({tlv(0x02, {0x07})})).text, "7\r\n");

    // A type byte that ends the datagram still names its type.
    std::string bareTag = response({tlv(0x06, kSysDescrName)}) + "\x44";
    bareTag[1] = static_cast<char>(bareTag[1] + 1);
    EXPECT_EQ(snmpDecode(bareTag).text, "Unknown &H44");

    // Our own request decodes to its NULL value.
    Bytes req = encoded("mirtex", "1.3.6.1.2.1.1.1.0");
    EXPECT_EQ(snmpDecode(std::string(req.begin(), req.end())).text, "0.0.0.0\r\n");
}

// An agent without the object answers with an error status and echoes the NULL value.
TEST(SnmpDecode, ErrorStatusRepliesCarryNoValue) {
    const struct {
        Bytes status;
        std::string text;
        std::uint32_t errorStatus;
    } rows[] = {
        {{0x00}, "0.0.0.0\r\n", 0},
        {{0x02}, "Error status 2 (noSuchName)", 2},
        {{0x00, 0x05}, "Error status 5 (genErr)", 5},
        {{0x10}, "Error status 16", 16},
    };
    for (const auto& row : rows) {
        SnmpDecoded d =
            snmpDecode(response({cat({tlv(0x06, kSysDescrName), tlv(0x05, {})})}, row.status));
        EXPECT_EQ(d.text, row.text);
        EXPECT_EQ(d.errorStatus, row.errorStatus);
        EXPECT_EQ(d.error, "");
    }
}

TEST(SnmpDecode, BadRepliesAreRefusedWithTheirOffset) {
    std::string good = oneValue(tlv(0x04, {'A', 'B', 'C'}));
    struct Row {
        const char* name;
        std::string reply;
        std::string error;
    } rows[] = {
        {"empty", "", "offset 0: unexpected end of data"},
        {"one byte", "\x30", "offset 1: unexpected end of data"},
        {"cut in the community", good.substr(0, 9), "offset 7: item of 6 bytes runs past"},
        {"text runs past the end", good.substr(0, good.size() - 1), "runs past the end"},
        {"indefinite length", "\x30\x80", "offset 1: unsupported length form 80"},
        {"five length bytes", "\x30\x85", "offset 1: unsupported length form 85"},
        {"long length runs out", "\x30\x82\x01", "offset 1: length runs past the end"},
        {"empty binding", response({Bytes{}}), "no variable binding"},
        {"name without value", response({tlv(0x06, kSysDescrName)}), "unexpected end of data"},
        {"nine-byte integer", oneValue(tlv(0x02, Bytes(9, 0x01))), "number longer than 8 bytes"},
        {"five-byte address", oneValue(tlv(0x40, Bytes(5, 0x01))), "address longer than 4"},
        {"open identifier part", oneValue(tlv(0x06, {0x2B, 0x86})), "ends inside a part"},
    };
    for (const auto& row : rows) {
        SnmpDecoded d = snmpDecode(row.reply);
        EXPECT_EQ(d.text, kSnmpInvalidDevice) << row.name;
        EXPECT_NE(d.error.find(row.error), std::string::npos) << row.name << ": " << d.error;
        EXPECT_EQ(d.error.rfind("offset ", 0), 0u) << row.name << ": " << d.error;
    }
}

TEST(SnmpDecode, NeverReadsPastTheDatagram) {
    // Every prefix and a message whose stated length exceeds what arrived.
    std::string reply = oneValue(tlv(0x43, {0x00, 0xFF, 0xFF}));
    for (std::size_t n = 0; n < reply.size(); ++n)
        EXPECT_EQ(snmpDecode(reply.substr(0, n)).text, kSnmpInvalidDevice) << n;
    std::string lying = reply;
    lying[1] = static_cast<char>(0x7F);
    EXPECT_EQ(snmpDecode(lying).text, "65535\r\n");
}

TEST(SnmpText, AddressesAndLastCharacter) {
    std::uint32_t a;
    const unsigned char bytes[4] = {10, 0, 0, 254};
    std::memcpy(&a, bytes, 4);
    EXPECT_EQ(LongToIPString(a), "10.0.0.254");
    EXPECT_EQ(LongToIPString(0xFFFFFFFFu), "255.255.255.255");

    EXPECT_EQ(dropLastCharacter("ABC\0"s), "ABC");
    EXPECT_EQ(dropLastCharacter("X\xC3\xA9"), "X");
    EXPECT_EQ(dropLastCharacter(""), "");
}
