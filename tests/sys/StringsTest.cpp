#include "platform/sys/Strings.h"

#include <gtest/gtest.h>

namespace {

TEST(Hex, EncodeIsTwoUpperCaseDigitsPerByte) {
    EXPECT_EQ(sys::hexEncode("abc"), "616263");
    EXPECT_EQ(sys::hexEncode(""), "");
    EXPECT_EQ(sys::hexEncode(std::string("\x01\xff\r\n", 4)), "01FF0D0A");
    EXPECT_EQ(sys::hexEncode("\xab\xcd", true), "abcd");
}

TEST(Hex, DecodeReadsPairsAsFarAsTheirDigitsGo) {
    struct Case {
        const char* hex;
        std::string bytes;
    } cases[] = {
        {"616263", "abc"},
        {"ff", "\xff"},
        {"FF", "\xff"},
        {"6", "\x06"},                        // a last single character alone
        {"6G", "\x06"},                       // stops at the first non-digit
        {"G6", std::string("\0", 1)},         // no leading digit: 0
        {"41 42", std::string("A\0\x02", 3)}, // " 4" has no leading digit
    };
    for (const auto& c : cases)
        EXPECT_EQ(sys::hexDecode(c.hex), c.bytes) << c.hex;
    EXPECT_TRUE(sys::isHexText("0aFF"));
    EXPECT_FALSE(sys::isHexText("0aF"));
    EXPECT_FALSE(sys::isHexText("0G"));
}

TEST(Trim, DropsOnlyTheGivenBlanksAtBothEnds) {
    EXPECT_EQ(sys::trim("  a b  "), "a b");
    EXPECT_EQ(sys::trim("\t a \t"), "\t a \t");
    EXPECT_EQ(sys::trim("\t a \t", " \t"), "a");
    EXPECT_EQ(sys::trim("   "), "");
}

// Command lines may carry UTF-8 folder names: only ASCII letters change.
TEST(UpperAscii, ChangesOnlyAsciiLetters) {
    EXPECT_EQ(sys::upperAscii("/log cd=Dunlin.exe"), "/LOG CD=DUNLIN.EXE");
    EXPECT_EQ(sys::upperAscii("\xc3\xa9t\xc3\xa9 z{"), "\xc3\xa9T\xc3\xa9 Z{");
    EXPECT_EQ(sys::upperAscii(""), "");
}

} // namespace
