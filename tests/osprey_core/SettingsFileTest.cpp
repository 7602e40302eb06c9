#include "osprey/core/SettingsFile.h"

#include <gtest/gtest.h>

namespace osprey {
namespace {

std::string n16(std::int16_t v) {
    auto u = static_cast<std::uint16_t>(v);
    return {'\x02', '\x00', static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
}

std::string text(const std::string& bytes) {
    std::string r = {'\x08', '\x00', static_cast<char>(bytes.size() & 0xFF),
                     static_cast<char>(bytes.size() >> 8)};
    return r + bytes;
}

SettingsRecords sample() {
    SettingsRecords r;
    r.printerWidth = 4;
    r.MediaTypeCB = 0, r.MediaTypeCombo = 1, r.MediaSizeCB = 1;
    r.LabelLengthCombo = 5, r.LabelWidthCombo = 4;
    r.OrientationCB = 1, r.OrientationCombo = 0;
    r.DispenseCB = 0, r.DispenseCombo = 2;
    r.PrintSpeedCB = 1, r.PrintSpeedCombo = 3;
    r.GapCB = 0, r.GapCombo = 1;
    r.HorzCB = 0, r.HorzShiftHScroll = -35;
    r.VertCB = 1, r.VertShiftHScroll = 1280;
    r.EmulationCB = 1, r.EmulationCombo = 0;
    return r;
}

std::string sampleBody() {
    return n16(0) + n16(1) + n16(1) + n16(0) + n16(0) + n16(5) + n16(4) + n16(1) + n16(0) + n16(0) +
           n16(2) + n16(1) + n16(3) + n16(0) + n16(1) + n16(0) + n16(-35) + n16(1) + n16(1280) +
           n16(1) + n16(0);
}

TEST(SettingsFileWriter, NoCustomSizesIs96Bytes) {
    auto bytes = encodeSettings(sample());
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 96u);
    EXPECT_EQ(*bytes, text("V2.0") + n16(4) + sampleBody());
}

TEST(SettingsFileWriter, TextsAreWindows1252AndUnencodableTextsRefused) {
    SettingsRecords r = sample();
    r.customWidths = {{"02000", "2.0\u00bd"}};
    auto bytes = encodeSettings(r);
    ASSERT_TRUE(bytes);
    EXPECT_NE(bytes->find(text("2.0\xbd")), std::string::npos);
    r.customWidths = {{"02000", "\u4e00"}};
    EXPECT_FALSE(encodeSettings(r));
}

TEST(SettingsFileReader, RoundTrip) {
    SettingsRecords r = sample();
    r.customWidths = {{"02400", "2.4\" (61.0mm)"}};
    auto bytes = encodeSettings(r);
    ASSERT_TRUE(bytes);
    RecordReader in(*bytes);
    SettingsRecords back;
    back.version = in.nextText();
    back.printerWidth = in.nextNumber();
    ASSERT_TRUE(readSettingsBody(in, back)) << in.errorText();
    EXPECT_EQ(in.offset(), bytes->size());
    EXPECT_EQ(back.version, "V2.0");
    EXPECT_EQ(back.printerWidth, 4);
    EXPECT_EQ(back.HorzShiftHScroll, -35);
    EXPECT_EQ(back.VertShiftHScroll, 1280);
    ASSERT_EQ(back.customWidths.size(), 1u);
    EXPECT_EQ(back.customWidths[0].value, "02400");
    EXPECT_EQ(back.customWidths[0].text, "2.4\" (61.0mm)");
    EXPECT_EQ(back.EmulationCB, 1);
}

// One record read as a number: valid, odd-but-valid and invalid rows.
struct NumberRow {
    const char* name;
    std::string bytes;
    std::int16_t value;
    int error;
    std::size_t offsetAfter;
};

class ReadNumber : public ::testing::TestWithParam<NumberRow> {};

TEST_P(ReadNumber, Row) {
    const NumberRow& row = GetParam();
    RecordReader in(row.bytes);
    std::int16_t v = in.nextNumber();
    EXPECT_EQ(in.error(), row.error) << in.errorText();
    EXPECT_EQ(in.offset(), row.offsetAfter);
    if (row.error == 0) {
        EXPECT_EQ(v, row.value);
    }
    // A failure is sticky: the next read fails too and does not move.
    if (row.error != 0) {
        in.nextText();
        EXPECT_EQ(in.error(), row.error);
        EXPECT_EQ(in.offset(), row.offsetAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadNumber,
    ::testing::Values(
        NumberRow{"Int16", n16(-1), -1, 0, 4},
        NumberRow{"Long", std::string("\x03\x00\x10\x00\x00\x00", 6), 16, 0, 6},
        NumberRow{"NegativeLong", std::string("\x03\x00\xff\xff\xff\xff", 6), -1, 0, 6},
        NumberRow{"TextNumber", text(" 12 "), 12, 0, 8},
        NumberRow{"Empty", "", 0, fileerr::PastEnd, 0},
        NumberRow{"HalfType", std::string("\x02", 1), 0, fileerr::PastEnd, 0},
        NumberRow{"TruncatedValue", std::string("\x02\x00\x01", 3), 0, fileerr::PastEnd, 0},
        NumberRow{"LongTooBig", std::string("\x03\x00\x00\x00\x01\x00", 6), 0, fileerr::Overflow,
                  0},
        NumberRow{"TextNotANumber", text("abc"), 0, fileerr::TypeMismatch, 0},
        NumberRow{"TextTooBig", text("40000"), 0, fileerr::Overflow, 0},
        NumberRow{"UnknownType", std::string("\x05\x00\x00\x00\x00\x00\x00\x00", 8), 0,
                  fileerr::TypeMismatch, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFileReader, TextLongerThanTheFileIsPastEnd) {
    std::string bytes = text("V2.0") + std::string("\x08\x00\x09\x00"
                                                   "abc",
                                                   7);
    RecordReader in(bytes);
    EXPECT_EQ(in.nextText(), "V2.0");
    in.nextText();
    EXPECT_EQ(in.error(), fileerr::PastEnd);
    EXPECT_EQ(in.offset(), 8u);
    EXPECT_NE(in.errorText().find("offset 8"), std::string::npos);
}

TEST(SettingsFileReader, BodyEndingEarlyFails) {
    const std::string body = sampleBody();
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, body.size() - 1}) {
        const std::string part = body.substr(0, cut);
        RecordReader in(part);
        SettingsRecords r;
        EXPECT_FALSE(readSettingsBody(in, r)) << cut;
        EXPECT_EQ(in.error(), fileerr::PastEnd);
    }
}

TEST(SettingsFileReader, NegativeCustomCountAddsNothing) {
    std::string body = n16(1) + n16(0) + n16(1) + n16(-3) + n16(0);
    for (int i = 0; i < 16; ++i)
        body += n16(0);
    RecordReader in(body);
    SettingsRecords r;
    ASSERT_TRUE(readSettingsBody(in, r));
    EXPECT_TRUE(r.customLengths.empty());
}

TEST(SettingsFileReader, VersionOnlyHasToBegin) {
    EXPECT_TRUE(versionMatches("V2.0"));
    EXPECT_TRUE(versionMatches("V2.0b"));
    EXPECT_FALSE(versionMatches("V1.5"));
    EXPECT_FALSE(versionMatches("V2."));
}

// ---------------------------------------------------------------- values against the controls

ControlLimits limits() {
    ControlLimits l;
    l.mediaTypeCount = 2, l.lengthCount = 7, l.widthCount = 5;
    l.orientationCount = 4, l.dispenseCount = 5, l.speedCount = 10, l.gapCount = 3;
    l.emulationCount = 8;
    l.horzMin = -100, l.horzMax = 100, l.vertMin = -100, l.vertMax = 1280;
    return l;
}

struct CheckRow {
    const char* name;
    std::function<void(SettingsRecords&)> change;
    const char* item; // "" when the values fit
};

class CheckValues : public ::testing::TestWithParam<CheckRow> {};

TEST_P(CheckValues, Row) {
    SettingsRecords r = sample();
    GetParam().change(r);
    std::string item;
    const int error = checkSettings(r, limits(), item);
    EXPECT_EQ(item, GetParam().item);
    EXPECT_EQ(error, *GetParam().item ? fileerr::InvalidValue : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CheckValues,
    ::testing::Values(
        CheckRow{"Sample", [](auto&) {}, ""},
        CheckRow{"LengthPastEndIsTaken", [](auto& r) { r.LabelLengthCombo = 9; }, ""},
        CheckRow{"NoSizeEntry", [](auto& r) { r.LabelWidthCombo = -1; }, ""},
        CheckRow{"GreyedBox", [](auto& r) { r.GapCB = 2; }, ""},
        CheckRow{"SizeBelowNone", [](auto& r) { r.LabelWidthCombo = -2; }, "LabelWidthCombo"},
        CheckRow{"BoxValue", [](auto& r) { r.HorzCB = 3; }, "HorzCB"},
        CheckRow{"NegativeBox", [](auto& r) { r.MediaTypeCB = -1; }, "MediaTypeCB"},
        CheckRow{"MediaTypePastList", [](auto& r) { r.MediaTypeCombo = 2; }, "MediaTypeCombo"},
        CheckRow{"NoOrientation", [](auto& r) { r.OrientationCombo = -1; }, "OrientationCombo"},
        CheckRow{"EmulationPastList", [](auto& r) { r.EmulationCombo = 8; }, "EmulationCombo"},
        CheckRow{"HorzOutOfRange", [](auto& r) { r.HorzShiftHScroll = 101; }, "HorzShiftHScroll"},
        CheckRow{"VertOutOfRange", [](auto& r) { r.VertShiftHScroll = -101; }, "VertShiftHScroll"},
        CheckRow{"SizeValueWithCommand",
                 [](auto& r) {
                     r.customLengths = {{"1\r\nCONFIG-SAVE;1", "x"}};
                 },
                 "LabelKVT"},
        CheckRow{"CustomWidthCounts",
                 [](auto& r) {
                     r.customWidths = {{"02400", "2.4"}};
                     r.LabelWidthCombo = 5;
                 },
                 ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace osprey
