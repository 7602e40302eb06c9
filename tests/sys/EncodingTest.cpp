#include "platform/sys/Encoding.h"

#include <gtest/gtest.h>

namespace {

struct CodecCase {
    std::string utf8;
    std::optional<std::string> ansi;
};

class Windows1252Encode : public ::testing::TestWithParam<CodecCase> {};

TEST_P(Windows1252Encode, Table) {
    EXPECT_EQ(sys::toWindows1252(GetParam().utf8), GetParam().ansi);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Windows1252Encode,
    ::testing::Values(CodecCase{"", std::string()}, CodecCase{"abc\r\n", std::string("abc\r\n")},
                      CodecCase{"\xE2\x82\xAC", std::string("\x80")}, // euro sign
                      CodecCase{"\xC3\xA9", std::string("\xE9")},     // e acute
                      CodecCase{"\xC2\xA0", std::string("\xA0")},     // no-break space
                      CodecCase{"\xC3\xBF", std::string("\xFF")},     // y diaeresis
                      CodecCase{"\xE2\x84\xA2", std::string("\x99")}, // trade mark
                      CodecCase{"\xC5\xB8", std::string("\x9F")},     // Y diaeresis
                      CodecCase{"\xC4\x80", std::nullopt},            // A macron: no form
                      CodecCase{"\xC2\x81", std::string("\x81")},     // unassigned slot
                      CodecCase{"\xC2\x9D", std::string("\x9D")},     // unassigned slot
                      CodecCase{"\xC2\x80", std::nullopt},            // byte 0x80 is the euro
                      CodecCase{"\xF0\x9F\x98\x80", std::nullopt},    // emoji
                      CodecCase{"\xC3", std::nullopt},                // cut short
                      CodecCase{"\xC0\xAF", std::nullopt},            // overlong
                      CodecCase{"\xED\xA0\x80", std::nullopt},        // surrogate
                      CodecCase{"a\xFF"
                                "b",
                                std::nullopt}));

TEST(Windows1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        std::string byte(1, static_cast<char>(b));
        std::string utf8 = sys::fromWindows1252(byte);
        EXPECT_EQ(sys::toWindows1252(utf8), byte) << b;
        const bool unassigned = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        EXPECT_EQ(sys::hasC1Control(utf8), unassigned) << b;
        all += byte;
    }
    EXPECT_EQ(sys::toWindows1252(sys::fromWindows1252(all)), all);
}

// A byte outside any well-formed sequence is a character of its own: counting and cutting
// agree on any input and never split a well-formed character.
TEST(Utf8Characters, CountAndCut) {
    EXPECT_EQ(sys::charCount("a\xC3"), 2u);
    EXPECT_EQ(sys::charCount("\xA9\xA9\xF0\x9F\x98\x80"), 3u);
    EXPECT_EQ(sys::leftChars("\xA9\xA9\xF0\x9F\x98\x80", 2), "\xA9\xA9");
    EXPECT_EQ(sys::leftChars("\xF0\x9F\x98\x80x", 1), "\xF0\x9F\x98\x80");
}

} // namespace
