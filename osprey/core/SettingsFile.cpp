#include "osprey/core/SettingsFile.h"

#include "osprey/core/Commands.h"
#include "platform/sys/Encoding.h"
#include "platform/sys/Strings.h"

#include <cerrno>
#include <charconv>
#include <limits>

namespace osprey {

namespace {

constexpr std::size_t kMaxText = 65535;

void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void putNumber(std::string& out, std::int16_t v) {
    put16(out, kNumberRecord);
    put16(out, static_cast<std::uint16_t>(v));
}

bool putText(std::string& out, const std::string& utf8) {
    auto bytes = sys::toWindows1252(utf8);
    if (!bytes || bytes->size() > kMaxText)
        return false;
    put16(out, kTextRecord);
    put16(out, static_cast<std::uint16_t>(bytes->size()));
    out += *bytes;
    return true;
}

bool box(std::int16_t v) {
    return v >= 0 && v <= 2; // clear, ticked, greyed
}

bool index(std::int16_t v, int count) {
    return v >= 0 && v < count;
}

} // namespace

// ---------------------------------------------------------------- writer

std::optional<std::string> encodeSettings(const SettingsRecords& r) {
    std::string out;
    if (!putText(out, r.version))
        return std::nullopt;
    putNumber(out, r.printerWidth.value_or(0));
    putNumber(out, r.MediaTypeCB);
    putNumber(out, r.MediaTypeCombo);
    putNumber(out, r.MediaSizeCB);
    if (r.customLengths.size() > 32767 || r.customWidths.size() > 32767)
        return std::nullopt;
    putNumber(out, static_cast<std::int16_t>(r.customLengths.size()));
    putNumber(out, static_cast<std::int16_t>(r.customWidths.size()));
    for (const auto* sizes : {&r.customLengths, &r.customWidths})
        for (const auto& s : *sizes)
            if (!putText(out, s.value) || !putText(out, s.text))
                return std::nullopt;
    for (std::int16_t v :
         {r.LabelLengthCombo, r.LabelWidthCombo, r.OrientationCB, r.OrientationCombo, r.DispenseCB,
          r.DispenseCombo, r.PrintSpeedCB, r.PrintSpeedCombo, r.GapCB, r.GapCombo, r.HorzCB,
          r.HorzShiftHScroll, r.VertCB, r.VertShiftHScroll, r.EmulationCB, r.EmulationCombo})
        putNumber(out, v);
    return out;
}

// ---------------------------------------------------------------- reader

bool RecordReader::read16(std::size_t at, std::uint16_t& v) const {
    if (at > bytes_.size() || bytes_.size() - at < 2)
        return false;
    v = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes_[at]) |
                                   (static_cast<unsigned char>(bytes_[at + 1]) << 8));
    return true;
}

void RecordReader::fail(int error, std::size_t at) {
    error_ = error;
    errorOffset_ = at;
}

bool RecordReader::readType(std::uint16_t& type) {
    if (error_ != 0)
        return false;
    if (!read16(offset_, type)) {
        fail(fileerr::PastEnd, offset_);
        return false;
    }
    return true;
}

std::int16_t RecordReader::nextNumber() {
    std::uint16_t type = 0;
    if (!readType(type))
        return 0;
    const std::size_t at = offset_;
    if (type == kNumberRecord) {
        std::uint16_t v = 0;
        if (!read16(at + 2, v)) {
            fail(fileerr::PastEnd, at);
            return 0;
        }
        offset_ = at + 4;
        return static_cast<std::int16_t>(v);
    }
    if (type == kLongRecord) {
        std::uint16_t lo = 0, hi = 0;
        if (!read16(at + 2, lo) || !read16(at + 4, hi)) {
            fail(fileerr::PastEnd, at);
            return 0;
        }
        auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(lo) |
                                           (static_cast<std::uint32_t>(hi) << 16));
        if (v < std::numeric_limits<std::int16_t>::min() ||
            v > std::numeric_limits<std::int16_t>::max()) {
            fail(fileerr::Overflow, at);
            return 0;
        }
        offset_ = at + 6;
        return static_cast<std::int16_t>(v);
    }
    if (type == kTextRecord) {
        std::string text = nextText();
        if (error_ != 0)
            return 0;
        // A text holding a whole number (blanks around it allowed) converts.
        std::string t = sys::trim(text, " \t");
        int v = 0;
        auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (t.empty() || ec != std::errc() || end != t.data() + t.size()) {
            offset_ = at;
            fail(ec == std::errc::result_out_of_range ? fileerr::Overflow : fileerr::TypeMismatch,
                 at);
            return 0;
        }
        if (v < std::numeric_limits<std::int16_t>::min() ||
            v > std::numeric_limits<std::int16_t>::max()) {
            offset_ = at;
            fail(fileerr::Overflow, at);
            return 0;
        }
        return static_cast<std::int16_t>(v);
    }
    fail(fileerr::TypeMismatch, at);
    return 0;
}

std::string RecordReader::nextText() {
    std::uint16_t type = 0;
    if (!readType(type))
        return {};
    const std::size_t at = offset_;
    if (type == kTextRecord) {
        std::uint16_t length = 0;
        if (!read16(at + 2, length) || bytes_.size() - (at + 4) < length) {
            fail(fileerr::PastEnd, at);
            return {};
        }
        offset_ = at + 4 + length;
        return sys::fromWindows1252(bytes_.substr(at + 4, length));
    }
    if (type == kNumberRecord || type == kLongRecord) {
        std::int16_t v = nextNumber();
        return error_ == 0 ? std::to_string(v) : std::string();
    }
    fail(fileerr::TypeMismatch, at);
    return {};
}

std::string RecordReader::errorText() const {
    const char* what = error_ == fileerr::PastEnd        ? "the file ends inside a record"
                       : error_ == fileerr::Overflow     ? "a number out of range"
                       : error_ == fileerr::TypeMismatch ? "a record of the wrong kind"
                                                         : "no error";
    return std::string(what) + " at offset " + std::to_string(errorOffset_);
}

bool versionMatches(const std::string& version) {
    return version.rfind(kSettingsVersion, 0) == 0;
}

bool readSettingsBody(RecordReader& in, SettingsRecords& r) {
    r.MediaTypeCB = in.nextNumber();
    r.MediaTypeCombo = in.nextNumber();
    r.MediaSizeCB = in.nextNumber();
    const int lengths = in.nextNumber();
    const int widths = in.nextNumber();
    r.customLengths.clear();
    r.customWidths.clear();
    // A count below 1 adds nothing; each pair is read before it counts, so a count larger
    // than the file stops at its end.
    for (int i = 0; in.ok() && i < lengths; ++i) {
        CustomSize s;
        s.value = in.nextText();
        s.text = in.nextText();
        if (in.ok())
            r.customLengths.push_back(std::move(s));
    }
    for (int i = 0; in.ok() && i < widths; ++i) {
        CustomSize s;
        s.value = in.nextText();
        s.text = in.nextText();
        if (in.ok())
            r.customWidths.push_back(std::move(s));
    }
    for (std::int16_t* v :
         {&r.LabelLengthCombo, &r.LabelWidthCombo, &r.OrientationCB, &r.OrientationCombo,
          &r.DispenseCB, &r.DispenseCombo, &r.PrintSpeedCB, &r.PrintSpeedCombo, &r.GapCB,
          &r.GapCombo, &r.HorzCB, &r.HorzShiftHScroll, &r.VertCB, &r.VertShiftHScroll,
          &r.EmulationCB, &r.EmulationCombo})
        *v = in.nextNumber();
    return in.ok();
}

int checkSettings(const SettingsRecords& r, const ControlLimits& l, std::string& item) {
    struct Check {
        const char* name;
        bool ok;
    };
    const int lengthCount = l.lengthCount + static_cast<int>(r.customLengths.size());
    const int widthCount = l.widthCount + static_cast<int>(r.customWidths.size());
    bool sizesOk = true;
    for (const auto* sizes : {&r.customLengths, &r.customWidths})
        for (const auto& s : *sizes)
            sizesOk = sizesOk && isLabelSizeValue(s.value);
    // Size lists may hold no entry (-1; typed text saved as such) or point past the end.
    const Check checks[] = {
        {"MediaTypeCB", box(r.MediaTypeCB)},
        {"MediaTypeCombo", index(r.MediaTypeCombo, l.mediaTypeCount)},
        {"MediaSizeCB", box(r.MediaSizeCB)},
        {"LabelKVT", sizesOk},
        {"LabelLengthCombo", r.LabelLengthCombo >= -1 && lengthCount > 0},
        {"LabelWidthCombo", r.LabelWidthCombo >= -1 && widthCount > 0},
        {"OrientationCB", box(r.OrientationCB)},
        {"OrientationCombo", index(r.OrientationCombo, l.orientationCount)},
        {"DispenseCB", box(r.DispenseCB)},
        {"DispenseCombo", index(r.DispenseCombo, l.dispenseCount)},
        {"PrintSpeedCB", box(r.PrintSpeedCB)},
        {"PrintSpeedCombo", index(r.PrintSpeedCombo, l.speedCount)},
        {"GapCB", box(r.GapCB)},
        {"GapCombo", index(r.GapCombo, l.gapCount)},
        {"HorzCB", box(r.HorzCB)},
        {"HorzShiftHScroll", r.HorzShiftHScroll >= l.horzMin && r.HorzShiftHScroll <= l.horzMax},
        {"VertCB", box(r.VertCB)},
        {"VertShiftHScroll", r.VertShiftHScroll >= l.vertMin && r.VertShiftHScroll <= l.vertMax},
        {"EmulationCB", box(r.EmulationCB)},
        {"EmulationCombo", index(r.EmulationCombo, l.emulationCount)},
    };
    // The tables' last index is a 16-bit number.
    constexpr int kMaxIndex = std::numeric_limits<std::int16_t>::max();
    const Check sizeCounts[] = {
        {"CustomLengths",
         r.customLengths.size() <= static_cast<std::size_t>(kMaxIndex - l.lengthOrg)},
        {"CustomWidths", r.customWidths.size() <= static_cast<std::size_t>(kMaxIndex - l.widthOrg)},
    };
    for (const auto& c : sizeCounts) {
        if (!c.ok) {
            item = c.name;
            return fileerr::Overflow;
        }
    }
    for (const auto& c : checks) {
        if (!c.ok) {
            item = c.name;
            return fileerr::InvalidValue;
        }
    }
    item.clear();
    return 0;
}

int clampSizeIndex(int stored, int count) {
    return stored >= count ? count - 1 : stored;
}

int saveErrorNumber(int e) {
    switch (e) {
    case ENOENT:
    case ENOTDIR:
        return 76; // path not found
    case EACCES:
    case EPERM:
        return 70; // permission denied
    case ENOSPC:
        return 61; // disk full
    default:
        return 75; // path/file access error
    }
}

} // namespace osprey
