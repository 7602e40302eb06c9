#include "kestrel/pages/KeyChecks.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

const std::string kFormatNotice =
    "Invalid key format.\r\nEnter key in double or quad-digit HEX numbers separated by colon(:) "
    "or dash(-) characters.\r\nExample: A7E3-5B19-C2D4-80F6-1E9A-7C3B-6D";
const std::string kSizeNotice =
    "Invalid key size.\r\n40/64 Bit Key requires 10 hex numbers (characters).\r\n104/128 Bit Key "
    "requires 26 hex numbers (characters).";

TEST(IsHexString, AcceptsBothCasesAndRejectsAnythingElse) {
    EXPECT_TRUE(IsHexString("0123456789ABCDEF"));
    EXPECT_TRUE(IsHexString("abcdef"));
    EXPECT_TRUE(IsHexString(""));
    for (const char* bad : {"G1", "1/", " 1", "12 ", "0x", "\xC3\xA9"})
        EXPECT_FALSE(IsHexString(bad)) << bad;
}

TEST(CheckKeyGroups, CountsDigitsUpToTheFirstBadGroup) {
    struct Case {
        std::vector<std::string> parts;
        int result;
        int digits;
    };
    const Case cases[] = {
        {{"12", "345", "6789"}, 0, 9},
        {{"12", "1", "34"}, 1, 3}, // too short: stops at the bad group
        {{"12345", "12"}, 1, 5},   // too long
        {{"12", "", "34"}, 1, 2},  // empty piece between two separators
        {{"1G"}, 1, 2},            // not hex
        {{"ab", "CD"}, 0, 4},
    };
    for (const Case& c : cases) {
        int digits = 0;
        EXPECT_EQ(CheckKeyGroups(c.parts, digits), c.result);
        EXPECT_EQ(digits, c.digits);
    }
}

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

TEST(HexKeyNotice, TextsByResult) {
    EXPECT_EQ(HexKeyNotice(kKeysBadFormat), kFormatNotice);
    EXPECT_EQ(HexKeyNotice(kKeysBadSize), kSizeNotice);
    EXPECT_EQ(HexKeyNotice(kKeysOk), "");
    EXPECT_EQ(HexKeyNotice(kKeysFirstEmpty), "");
}

TEST(KeyConfirmNotice, FirstMaskedRowThatDiffersIsNamed) {
    const std::array<std::string, 4> keys{"a", "b", "c", "d"};
    EXPECT_EQ(KeyConfirmNotice(keys, {"a", "b", "c", "d"}, {}), "");
    EXPECT_EQ(KeyConfirmNotice(keys, {"x", "b", "x", "d"}, {}),
              "Inputs for Key 1 does not match, please re-enter the key again.");
    EXPECT_EQ(KeyConfirmNotice(keys, {"x", "B", "x", "d"}, {true, false, false, false}),
              "Inputs for Key 2 does not match, please re-enter the key again.");
    EXPECT_EQ(KeyConfirmNotice(keys, {"x", "x", "x", "x"}, {true, true, true, true}), "");
}

TEST(WpaPassphraseNotice, LengthThenConfirmation) {
    const std::string tooLong = "Passphrase too long.\r\nMaximum number of characters allowed is "
                                "63.\r\nPlease enter a valid Passphrase.";
    const std::string mismatch =
        "Inputs for the passphrase does not match, please re-enter the phrase again.";
    const std::string p63(63, 'p'), p64(64, 'p');
    struct Case {
        std::string phrase, confirm;
        bool clear;
        std::string notice;
    };
    const Case cases[] = {
        {p63, p63, false, ""},
        {p64, p64, false, tooLong},
        {p64, "x", false, tooLong}, // length first
        {"", "", false, ""},
        {"short", "short", false, ""},
        {"with blank", "with blank", false, ""},
        {"abc", "ABC", false, mismatch},
        {"abc", "ABC", true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WpaPassphraseNotice(c.phrase, c.confirm, c.clear), c.notice) << c.phrase;
    // characters, not bytes: 63 two-byte letters pass
    std::string umlauts;
    for (int i = 0; i < 63; ++i)
        umlauts += "\xC3\xA4";
    EXPECT_EQ(WpaPassphraseNotice(umlauts, umlauts, false), "");
}

TEST(LeapNotice, UserThenPasswordThenConfirmation) {
    const std::string userLong = "User Name too long.\r\nMaximum number of characters allowed "
                                 "is 32.\r\nPlease enter a valid User Name.";
    const std::string passLong = "Password too long.\r\nMaximum number of characters allowed is "
                                 "32.\r\nPlease enter a valid password.";
    const std::string mismatch =
        "Inputs for the password does not match, please re-enter the password again.";
    const std::string s32(32, 's'), s33(33, 's');
    struct Case {
        std::string user, pass, confirm;
        bool clear;
        std::string notice;
    };
    const Case cases[] = {
        {s32, s32, s32, false, ""},
        {s33, s33, "x", false, userLong},
        {s32, s33, "x", false, passLong},
        {"", "", "", false, ""},
        {"u", "Secret", "secret", false, mismatch},
        {"u", "Secret", "secret", true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LeapNotice(c.user, c.pass, c.confirm, c.clear), c.notice);
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
    for (const char* bad : {"3\r\nreboot", "a\nb", "tab\t", "\x7F", "\xE2\x88\x9E", "\xFF"})
        EXPECT_FALSE(IsSendableText(bad)) << bad;
    EXPECT_EQ(UnsendableNotice({"fine", "fine too"}), "");
    EXPECT_NE(UnsendableNotice({"fine", "x\r\ny"}), "");
}

} // namespace
} // namespace kestrel
