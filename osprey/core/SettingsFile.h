#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace osprey {

// The settings file ("*.osp"): records one after another, no header or terminator. A
// record is a 16-bit little-endian type code, then the value: type 2 a 16-bit signed
// number, type 8 a 16-bit length and that many Windows-1252 bytes. The writer uses only
// these two; the reader also takes type 3 (32-bit number) and converts between numbers
// and texts the way each field needs.
constexpr std::uint16_t kNumberRecord = 2;
constexpr std::uint16_t kLongRecord = 3;
constexpr std::uint16_t kTextRecord = 8;
inline constexpr const char* kSettingsVersion = "V2.0";

// Error numbers of the "File corrupted [ErrCode:N]" message.
namespace fileerr {
constexpr int Overflow = 6;       // a number that does not fit 16 bits
constexpr int TypeMismatch = 13;  // a record of a kind the field cannot take
constexpr int PastEnd = 62;       // the file ends inside or before a record
constexpr int InvalidValue = 380; // a value the control cannot take
} // namespace fileerr

struct CustomSize {
    std::string value; // five digits, 1/1000 inch
    std::string text;  // the list entry (Windows-1252 bytes in the file, UTF-8 in memory)
};

// The values the file holds, in file order.
struct SettingsRecords {
    std::string version = kSettingsVersion;
    std::optional<std::int16_t> printerWidth; // absent: read past a foreign version
    std::int16_t MediaTypeCB = 1, MediaTypeCombo = 0, MediaSizeCB = 1;
    std::vector<CustomSize> customLengths, customWidths;
    std::int16_t LabelLengthCombo = 0, LabelWidthCombo = 0;
    std::int16_t OrientationCB = 1, OrientationCombo = 0;
    std::int16_t DispenseCB = 1, DispenseCombo = 0;
    std::int16_t PrintSpeedCB = 1, PrintSpeedCombo = 0;
    std::int16_t GapCB = 1, GapCombo = 0;
    std::int16_t HorzCB = 1, HorzShiftHScroll = 0;
    std::int16_t VertCB = 1, VertShiftHScroll = 0;
    std::int16_t EmulationCB = 1, EmulationCombo = 0;
};

// The whole file. Texts are UTF-8 and written as Windows-1252. Nothing when a text has
// no Windows-1252 form or does not fit a record (the file is then not written at all).
std::optional<std::string> encodeSettings(const SettingsRecords& records);

// Reads records in turn. A failure is sticky: the offset stays at the record that failed,
// later reads fail too, and error() / errorText() tell what and where.
class RecordReader {
  public:
    explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}
    std::int16_t nextNumber();
    std::string nextText(); // UTF-8
    bool ok() const { return error_ == 0; }
    int error() const { return error_; }
    std::size_t offset() const { return offset_; }
    std::string errorText() const;

  private:
    bool readType(std::uint16_t& type);
    bool read16(std::size_t at, std::uint16_t& v) const;
    void fail(int error, std::size_t at);

    std::string_view bytes_;
    std::size_t offset_ = 0;
    int error_ = 0;
    std::size_t errorOffset_ = 0;
};

// True when the version text begins with "V2.0".
bool versionMatches(const std::string& version);

// Reads records 3 to 18 (after the version and, when there is one, the width) into `out`.
// False on the first failure; the reader tells which.
bool readSettingsBody(RecordReader& reader, SettingsRecords& out);

// What the pages' controls accept, to check a file's values before any is applied.
struct ControlLimits {
    int mediaTypeCount = 0, lengthCount = 0, widthCount = 0; // built-in entries
    int lengthOrg = 0, widthOrg = 0; // index of the last built-in entry of each size table
    int orientationCount = 0, dispenseCount = 0, speedCount = 0, gapCount = 0, emulationCount = 0;
    int horzMin = 0, horzMax = 0, vertMin = 0, vertMax = 0;
};

// 0 when every value fits its control, else the error number with `item` naming the first
// that does not: fileerr::Overflow for custom sizes whose last index would pass the largest
// 16-bit number, fileerr::InvalidValue for the rest. Size list indexes past the end are
// fine (the last entry is taken).
int checkSettings(const SettingsRecords& records, const ControlLimits& limits, std::string& item);

// The index a size list takes for a stored index: the last entry when past the end.
int clampSizeIndex(int stored, int count);

// Error number of the save failure message for an errno value.
int saveErrorNumber(int errnoValue);

} // namespace osprey
