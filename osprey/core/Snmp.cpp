#include "osprey/core/Snmp.h"

#include "platform/sys/Encoding.h"
#include "platform/sys/Strings.h"

#include <arpa/inet.h>
#include <cstring>

namespace osprey {

namespace {

void setError(std::string* error, const std::string& text) {
    if (error)
        *error = text;
}

void appendSubidentifier(std::vector<std::uint8_t>& out, std::uint32_t v) {
    std::uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<std::uint8_t>(v & 0x7F);
        v >>= 7;
    } while (v != 0);
    while (n-- > 0)
        out.push_back(static_cast<std::uint8_t>(groups[n] | (n > 0 ? 0x80 : 0x00)));
}

// VB's Hex: upper case, no leading zeros.
std::string hexText(unsigned v) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), digits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    return s;
}

} // namespace

std::optional<std::vector<std::uint8_t>> encodeObjectIdentifier(std::string_view oid,
                                                                std::string* error) {
    const std::string text = sys::trim(oid);
    std::vector<std::string_view> parts = sys::splitOn(text, '.');
    if (parts.size() > 1 && parts.back().empty())
        parts.pop_back();
    if (parts.size() < 2 || parts[0] != "1" || parts[1] != "3") {
        setError(error, "object identifier does not begin with 1.3: \"" + std::string(oid) + "\"");
        return std::nullopt;
    }
    std::vector<std::uint8_t> out{0x2B};
    for (std::size_t i = 2; i < parts.size(); ++i) {
        std::string_view p = parts[i];
        std::uint64_t v = 0;
        bool good = !p.empty() && p.size() <= 10;
        for (char ch : p) {
            good = good && ch >= '0' && ch <= '9';
            if (good)
                v = v * 10 + static_cast<std::uint64_t>(ch - '0');
        }
        if (!good || v > 0xFFFFFFFFull) {
            setError(error, "object identifier part " + std::to_string(i + 1) +
                                " is not a 32-bit number: \"" + std::string(oid) + "\"");
            return std::nullopt;
        }
        appendSubidentifier(out, static_cast<std::uint32_t>(v));
    }
    return out;
}

std::optional<SnmpRequest> makeGetRequest(std::string_view community, std::string_view oid,
                                          std::uint8_t pduType, std::string* error) {
    auto name = encodeObjectIdentifier(oid, error);
    if (!name)
        return std::nullopt;
    auto ansi = sys::toWindows1252(sys::trim(community));
    if (!ansi) {
        setError(error, "community holds a character that cannot be sent");
        return std::nullopt;
    }
    const std::size_t c = ansi->size();
    const std::size_t n = name->size();
    // Content of the message: 24 + c + n bytes, written with single-byte lengths.
    if (24 + c + n >= 128) {
        setError(error, "request too long for a short-form message length");
        return std::nullopt;
    }
    SnmpRequest r;
    r.CommunityLength = static_cast<std::uint8_t>(c);
    r.Community.assign(ansi->begin(), ansi->end());
    r.PduType = pduType;
    r.NameLength = static_cast<std::uint8_t>(n);
    r.Name = std::move(*name);
    r.VarbindLength = static_cast<std::uint8_t>(n + 4);
    r.VarbindListLength = static_cast<std::uint8_t>(n + 6);
    r.PduLength = static_cast<std::uint8_t>(n + 17);
    return r;
}

std::size_t snmpEncode(const SnmpRequest& r, SnmpSendBuffer& buffer) {
    std::vector<std::uint8_t> m;
    auto put = [&](std::uint8_t b) { m.push_back(b); };
    auto putAll = [&](const std::vector<std::uint8_t>& v) {
        m.insert(m.end(), v.begin(), v.end());
    };
    put(r.MessageTag);
    put(0); // the message length, set below
    put(r.VersionTag);
    put(r.VersionLength);
    putAll(r.Version);
    put(r.CommunityTag);
    put(r.CommunityLength);
    putAll(r.Community);
    put(r.PduType);
    put(r.PduLength);
    put(r.RequestIdTag);
    put(r.RequestIdLength);
    putAll(r.RequestId);
    put(r.ErrorStatusTag);
    put(r.ErrorStatusLength);
    putAll(r.ErrorStatus);
    put(r.ErrorIndexTag);
    put(r.ErrorIndexLength);
    putAll(r.ErrorIndex);
    put(r.VarbindListTag);
    put(r.VarbindListLength);
    put(r.VarbindTag);
    put(r.VarbindLength);
    put(r.NameTag);
    put(r.NameLength);
    putAll(r.Name);
    put(r.ValueTag);
    put(r.ValueLength);
    // The length byte holds total - 2; anything longer cannot be told in it.
    if (m.size() > buffer.size() || m.size() - 2 > 0xFF)
        return 0;
    m[1] = static_cast<std::uint8_t>(m.size() - 2);
    std::memcpy(buffer.data(), m.data(), m.size());
    return m.size();
}

// ---- cursor ----

void BerCursor::fail(const std::string& what) {
    if (error_.empty())
        error_ = "offset " + std::to_string(offset_) + ": " + what;
}

std::optional<std::uint8_t> BerCursor::peek() {
    if (!ok())
        return std::nullopt;
    if (offset_ >= bytes_.size()) {
        fail("unexpected end of data");
        return std::nullopt;
    }
    return bytes_[offset_];
}

std::optional<std::uint8_t> BerCursor::byte() {
    auto b = peek();
    if (b)
        ++offset_;
    return b;
}

std::optional<std::size_t> BerCursor::length() {
    auto first = peek();
    if (!first)
        return std::nullopt;
    if (*first < 0x80) {
        ++offset_;
        return *first;
    }
    std::size_t count = *first & 0x7F;
    if (count == 0 || count > 4) {
        fail("unsupported length form " + hexText(*first));
        return std::nullopt;
    }
    if (offset_ + 1 + count > bytes_.size()) {
        fail("length runs past the end of data");
        return std::nullopt;
    }
    std::size_t v = 0;
    for (std::size_t i = 1; i <= count; ++i)
        v = (v << 8) | bytes_[offset_ + i];
    offset_ += 1 + count;
    return v;
}

std::optional<std::span<const std::uint8_t>> BerCursor::take(std::size_t n) {
    if (!ok())
        return std::nullopt;
    if (n > bytes_.size() - offset_) {
        fail("item of " + std::to_string(n) + " bytes runs past the end of data");
        return std::nullopt;
    }
    auto s = bytes_.subspan(offset_, n);
    offset_ += n;
    return s;
}

bool BerCursor::skip(std::size_t n) {
    return take(n).has_value();
}

bool BerCursor::seek(std::size_t offset) {
    if (!ok())
        return false;
    if (offset > bytes_.size()) {
        fail("position " + std::to_string(offset) + " past the end of data");
        return false;
    }
    offset_ = offset;
    return true;
}

// ---- decoding ----

namespace {

std::string numberText(std::span<const std::uint8_t> content, bool isSigned, BerCursor& c) {
    std::size_t n = content.size();
    std::size_t skipLead = (!isSigned && n == 9 && content[0] == 0) ? 1 : 0;
    if (n - skipLead > 8) {
        c.fail("number longer than 8 bytes");
        return {};
    }
    if (n == 0)
        return "0";
    if (isSigned) {
        std::int64_t v = static_cast<std::int8_t>(content[0]);
        for (std::size_t i = 1; i < n; ++i)
            v = static_cast<std::int64_t>(static_cast<std::uint64_t>(v) << 8) | content[i];
        return std::to_string(v);
    }
    std::uint64_t v = 0;
    for (std::size_t i = skipLead; i < n; ++i)
        v = (v << 8) | content[i];
    return std::to_string(v);
}

std::string oidText(std::span<const std::uint8_t> content, BerCursor& c) {
    std::vector<std::uint64_t> subs;
    std::uint64_t v = 0;
    bool open = false;
    for (std::uint8_t b : content) {
        if (v > (UINT64_MAX >> 7)) {
            c.fail("object identifier part too large");
            return {};
        }
        v = (v << 7) | (b & 0x7F);
        open = (b & 0x80) != 0;
        if (!open) {
            subs.push_back(v);
            v = 0;
        }
    }
    if (open) {
        c.fail("object identifier ends inside a part");
        return {};
    }
    std::string s;
    for (std::size_t i = 0; i < subs.size(); ++i) {
        if (i == 0) {
            std::uint64_t first = subs[0] < 40 ? 0 : subs[0] < 80 ? 1 : 2;
            s = std::to_string(first) + "." + std::to_string(subs[0] - first * 40);
        } else {
            s += "." + std::to_string(subs[i]);
        }
    }
    return s;
}

// Decodes the value whose tag is at the cursor into `result` and leaves the cursor behind its
// content. False when the value cannot be read.
bool decodeValue(BerCursor& c, std::string& result) {
    auto tag = c.byte();
    if (!tag)
        return false;
    switch (*tag) {
    case 0x04: {
        auto len = c.length();
        if (!len)
            return false;
        auto content = c.take(*len);
        if (!content)
            return false;
        // The content and the byte after it: the next item's first byte, or a zero when the
        // text ends the datagram.
        std::string text(reinterpret_cast<const char*>(content->data()), content->size());
        text.push_back(c.offset() < c.size() ? static_cast<char>(*c.peek()) : '\0');
        result = sys::fromWindows1252(text);
        return true;
    }
    case 0x40:
    case 0x05: {
        auto len = c.length();
        if (!len)
            return false;
        if (*len > 4) {
            c.fail("address longer than 4 bytes");
            return false;
        }
        auto content = c.take(*len);
        if (!content)
            return false;
        std::uint32_t n = 0;
        for (std::uint8_t b : *content)
            n = (n << 8) | b;
        result = LongToIPString(ntohl(n)) + "\r\n";
        return true;
    }
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x08:
    case 0x41:
    case 0x42:
    case 0x43: {
        auto len = c.length();
        auto content = len ? c.take(*len) : std::nullopt;
        if (!content)
            return false;
        std::string text = numberText(*content, *tag == 0x02 || *tag == 0x01, c);
        if (!c.ok())
            return false;
        result = text + "\r\n";
        return true;
    }
    case 0x06: {
        auto len = c.length();
        auto content = len ? c.take(*len) : std::nullopt;
        if (!content)
            return false;
        std::string text = oidText(*content, c);
        if (!c.ok())
            return false;
        result = text + "\r\n";
        return true;
    }
    default:
        result = "Unknown &H" + hexText(*tag);
        // Step over the content when it is there, so a scan goes on behind it.
        if (c.offset() >= c.size())
            return true;
        if (auto len = c.length(); len && *len <= c.size() - c.offset())
            c.skip(*len);
        return c.ok();
    }
}

} // namespace

std::string snmpErrorStatusText(std::uint32_t errorStatus) {
    static const char* const kNames[] = {"tooBig", "noSuchName", "badValue", "readOnly", "genErr"};
    std::string text = "Error status " + std::to_string(errorStatus);
    if (errorStatus >= 1 && errorStatus <= 5)
        text += std::string(" (") + kNames[errorStatus - 1] + ")";
    return text;
}

SnmpDecoded snmpDecode(std::string_view reply) {
    // Structure is read from the datagram alone; only a text value's extra character may
    // lie behind it (as a zero).
    const std::vector<std::uint8_t> b(reply.begin(), reply.end());
    const std::size_t dataLen = b.size();
    BerCursor c(b);

    auto enter = [&] {
        c.byte();
        return c.length();
    };
    auto skipItem = [&] {
        c.byte();
        if (auto len = c.length())
            c.skip(*len);
    };
    auto invalid = [&] { return SnmpDecoded{kSnmpInvalidDevice, c.error()}; };

    // Message, version, community, PDU, request-id, error-status, error-index, varbind list,
    // first varbind; tags are not checked.
    auto contentLength = enter();
    skipItem();
    skipItem();
    enter();
    skipItem();
    c.byte();
    std::uint32_t errorStatus = 0; // one that does not fit stays at the largest value
    if (auto len = c.length())
        if (auto content = c.take(*len))
            for (std::uint8_t v : *content)
                errorStatus = errorStatus > 0xFFFFFFu ? 0xFFFFFFFFu : (errorStatus << 8) | v;
    skipItem();
    enter();
    enter();
    if (!c.ok() || dataLen < 2)
        return invalid();
    if (errorStatus != 0)
        return {snmpErrorStatusText(errorStatus), "", errorStatus};
    if (c.offset() >= dataLen) {
        c.fail("no variable binding");
        return invalid();
    }

    std::string result;
    const std::uint8_t first = b[c.offset()];
    if (first != 0x06 && first != 0x01) {
        if (!decodeValue(c, result))
            return invalid();
        return {result, ""};
    }
    // Scan for names: each one found has its value decoded; the last value wins. The scan
    // runs to two bytes before the message's stated end, and never past the datagram.
    const std::int64_t limit = static_cast<std::int64_t>(*contentLength) - 2;
    std::size_t p = c.offset();
    while (static_cast<std::int64_t>(p) <= limit && p < dataLen) {
        if (b[p] == 0x06) {
            c.seek(p);
            c.byte();
            if (auto len = c.length())
                c.skip(*len);
            if (!c.ok() || !decodeValue(c, result))
                return invalid();
            p = c.offset();
        }
        ++p;
    }
    return {result, ""};
}

std::string snmpDecode(WizardState& ws, std::string_view reply) {
    SnmpDecoded d = snmpDecode(reply);
    ws.SnmpResult = d.text;
    return d.error;
}

std::string LongToIPString(std::uint32_t address) {
    unsigned char b[4];
    std::memcpy(b, &address, 4);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

std::string dropLastCharacter(const std::string& text) {
    const std::size_t characters = sys::charCount(text);
    return characters == 0 ? std::string() : sys::leftChars(text, characters - 1);
}

} // namespace osprey
