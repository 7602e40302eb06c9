#include "kestrel/core/SettingsFile.h"

#include "platform/sys/Strings.h"

namespace kestrel {

namespace {

std::uint16_t le16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

} // namespace

bool appendTextRecord(std::string& out, std::string_view bytes) {
    if (bytes.size() > kMaxRecordBytes)
        return false;
    auto put16 = [&out](std::size_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>((v >> 8) & 0xFF);
    };
    put16(kTextRecordType);
    put16(bytes.size());
    out.append(bytes);
    return true;
}

std::optional<std::string> settingsFileFromHex(std::string_view passwordHex,
                                               const std::array<std::string, 8>& recordsHex) {
    std::string out;
    if (!appendTextRecord(out, kSettingsTag) || !appendTextRecord(out, passwordHex))
        return std::nullopt;
    for (const auto& r : recordsHex)
        if (!appendTextRecord(out, r))
            return std::nullopt;
    return out;
}

std::optional<std::string> encodeSettingsFile(std::string_view password,
                                              const std::array<std::string, 8>& records) {
    std::array<std::string, 8> hex;
    for (std::size_t i = 0; i < records.size(); ++i)
        hex[i] = sys::hexEncode(records[i]);
    return settingsFileFromHex(sys::hexEncode(password), hex);
}

std::optional<std::string> RecordCursor::nextText() {
    if (!ok())
        return std::nullopt;
    auto fail = [this](const std::string& what) {
        error_ = "record at offset " + std::to_string(offset_) + ": " + what;
        return std::nullopt;
    };
    if (bytes_.size() - offset_ < 4)
        return fail("the file ends early");
    std::uint16_t type = le16(bytes_, offset_);
    if (type != kTextRecordType)
        return fail("type " + std::to_string(type) + " is not text");
    std::size_t length = le16(bytes_, offset_ + 2);
    if (bytes_.size() - offset_ - 4 < length)
        return fail("the file ends early");
    std::string text(bytes_.substr(offset_ + 4, length));
    offset_ += 4 + length;
    return text;
}

} // namespace kestrel
