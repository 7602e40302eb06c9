#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// ---- records of the settings file ----

constexpr std::uint16_t kTextRecordType = 8;
constexpr std::size_t kMaxRecordBytes = 65535;
inline constexpr const char* kSettingsTag = "V1.1";
constexpr int kSettingsFileRecords = 10; // tag, password, eight settings records

// Appends one text record (type 8, 16-bit little-endian length, the bytes). False, and
// nothing appended, when the text is longer than a record holds.
bool appendTextRecord(std::string& out, std::string_view bytes);

// The whole file: the tag, then the password and the eight records hex-encoded. All
// arguments are Windows-1252 bytes. Nothing when a record would not fit.
std::optional<std::string> encodeSettingsFile(std::string_view password,
                                              const std::array<std::string, 8>& records);

// The same from texts already hex-encoded (the password and the eight records).
std::optional<std::string> settingsFileFromHex(std::string_view passwordHex,
                                               const std::array<std::string, 8>& recordsHex);

// Reads text records one after the other. A failure is sticky: later reads fail too,
// and error() names the offset where it happened.
class RecordCursor {
  public:
    explicit RecordCursor(std::string_view bytes) : bytes_(bytes) {}
    std::optional<std::string> nextText();
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    std::size_t offset() const { return offset_; }

  private:
    std::string_view bytes_;
    std::size_t offset_ = 0;
    std::string error_;
};

} // namespace kestrel
