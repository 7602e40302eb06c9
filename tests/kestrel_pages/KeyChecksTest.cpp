#include "kestrel/pages/KeyChecks.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct KeysCase {
    const char* name;
    std::array<std::string, 4> keys;
    int size;
    int result;
};

class ValidateKeysTest : public ::testing::TestWithParam<KeysCase> {};

TEST_P(ValidateKeysTest, Result) {
    const KeysCase& c = GetParam();
    EXPECT_EQ(ValidateKeys(c.keys, c.size), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ValidateKeysTest,
    ::testing::Values(
        KeysCase{"AllEmpty", {"", "", "", ""}, 1, kKeysFirstEmpty},
        KeysCase{"Sample26", {std::string(kSampleHexKey), "", "", ""}, 1, kKeysOk},
        KeysCase{"FiveGroupsOf2Size0", {"12:34:56:78:9A", "", "", ""}, 0, kKeysOk},
        KeysCase{"FiveGroupsOf2Size1", {"12:34:56:78:9A", "", "", ""}, 1, kKeysBadSize},
        KeysCase{"MixedGroupLengths", {"123-4567-890", "", "", ""}, 0, kKeysOk},
        KeysCase{"LowerCase", {"ab:cd:ef:01:23", "", "", ""}, 0, kKeysOk},
        KeysCase{"EmptySecondStops", {"12:34:56:78:9A", "", "zz", "--"}, 0, kKeysOk},
        KeysCase{"NoSeparatorTakenAsIs", {"1234567890", "bad:key", "", ""}, 0, kKeysOk},
        KeysCase{"NoSeparatorAnyText", {"G", "", "", ""}, 1, kKeysOk},
        KeysCase{"GroupOf1", {"1:2345:6789:0", "", "", ""}, 0, kKeysBadFormat},
        KeysCase{"GroupOf5", {"12345:67890", "", "", ""}, 0, kKeysBadFormat},
        KeysCase{"LetterG", {"12:34:56:78:9G", "", "", ""}, 0, kKeysBadFormat},
        KeysCase{"Slash", {"12:34:56:78:9/", "", "", ""}, 0, kKeysBadFormat},
        KeysCase{"MixedSeparatorsSplitAtColonOnly", {"D1:C2-B3", "", "", ""}, 0, kKeysBadFormat},
        KeysCase{"TrailingColon", {"12:34:56:78:9A:", "", "", ""}, 0, kKeysBadFormat},
        KeysCase{"FirstBadDecides", {"12:3", "12:34:56:78:9A", "", ""}, 0, kKeysBadFormat},
        KeysCase{"FirstSizeDecides", {"12:34", "1:2", "", ""}, 0, kKeysBadSize},
        KeysCase{"LaterKeyBad",
                 {"12:34:56:78:9A", "12:34:56:78:9A", "12:34:56:78:9", ""},
                 0,
                 kKeysBadFormat},
        KeysCase{"AllFourGood",
                 {"12:34:56:78:9A", "1234-5678-9a", "ab:cd:ef:01:23", "0000:0000:00"},
                 0,
                 kKeysOk}),
    [](const auto& info) { return std::string(info.param.name); });

// Lengths are counted in characters, not bytes: 63 and 32 two-byte letters pass.
TEST(LengthChecks, CountCharactersNotBytes) {
    std::string a63, a32;
    for (int i = 0; i < 63; ++i)
        a63 += "\xC3\xA4";
    for (int i = 0; i < 32; ++i)
        a32 += "\xC3\xA4";
    EXPECT_EQ(WpaPassphraseNotice(a63, a63, false), "");
    EXPECT_EQ(LeapNotice(a32, a32, a32, false), "");
}

TEST(PingNotice, PacketThenPeriodByLeadingNumber) {
    const std::string packet = "Invalid packet value. Please enter a value from 1 to 5";
    const std::string period = "Invalid time period. Please enter a value from 1 to 5";
    struct Case {
        const char* packet;
        const char* period;
        std::string notice;
    };
    const Case cases[] = {
        {"1", "5", ""},      {"5", "1", ""},       {"2.5", "5", ""},     {"3abc", "5", ""},
        {"  4", "5", ""},    {"0", "5", packet},   {"6", "5", packet},   {"", "5", packet},
        {"x3", "5", packet}, {"5.5", "5", packet}, {"-1", "5", packet},  {"1", "0", period},
        {"1", "", period},   {"0", "0", packet},   {"1", "0.9", period},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PingNotice(c.packet, c.period), c.notice) << c.packet << " / " << c.period;
}

TEST(IsSendableText, RefusesControlCharactersAndCharactersOutsideWindows1252) {
    for (const char* ok : {"", "plain text", "caf\xC3\xA9", "\xE2\x82\xAC 5", "a|b"})
        EXPECT_TRUE(IsSendableText(ok)) << ok;
    for (const char* bad : {"3\r\nreboot", "a\nb", "tab\t", "\x7F", "\xE2\x88\x9E", "\xFF",
                            "\xC2\x81", "x\xC2\x9D"}) // the unassigned bytes as read from a file
        EXPECT_FALSE(IsSendableText(bad)) << bad;
    EXPECT_EQ(UnsendableNotice({"fine", "fine too"}), "");
    EXPECT_NE(UnsendableNotice({"fine", "x\r\ny"}), "");
}

} // namespace
} // namespace kestrel
