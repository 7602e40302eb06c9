#include "kestrel/pages/FieldChecks.h"
#include "tests/fixtures/Locale.h"
#include "tests/fixtures/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace kestrel {
namespace {

struct NumberCase {
    const char* text;
    double value;
};

TEST(LeadingNumber, TakesTheNumberTheTextBeginsWith) {
    const NumberCase cases[] = {
        {"254", 254}, {"  12ab", 12}, {"\t\n7", 7},  {"", 0},       {"abc", 0},
        {"-1", -1},   {"+3", 3},      {"&HFE", 254}, {"&hff", 255}, {"&O17", 15},
        {"&o9", 0},   {"&X1", 0},     {"1e3", 1000}, {"2D2", 200},  {"1.5x", 1.5},
        {".5", 0.5},  {"1e", 1},      {"1e+", 1},    {"- 1", 0},    {"007", 7},
        {" 1 2", 1},  {"\r5", 0},     {"&H", 0},     {"-0", 0},     {"3.", 3},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(c.value, leadingNumber(c.text)) << '"' << c.text << '"';
}

// Switches LC_NUMERIC to a locale whose decimal mark is a comma: the installed de_DE.UTF-8,
// else one that localedef compiles into `folder` (found through LOCPATH). Returns what is
// missing when neither works, "" on success.
std::string useCommaLocale(const std::string& folder) {
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        return "";
    // Its exit code counts warnings too; whether the locale loads decides.
    if (test_fixtures::compileLocale(folder, "de_DE", "UTF-8") < 0)
        return "the program localedef (package libc-bin)";
    ::setenv("LOCPATH", folder.c_str(), 1);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        return "";
    ::unsetenv("LOCPATH");
    return "the de_DE.UTF-8 locale and its sources for localedef (package locales)";
}

// The toolkit switches the process to the user's locale, where the decimal mark may be a
// comma; a typed "5.5" must still read as five and a half.
TEST(LeadingNumber, ReadsAPointWhateverTheLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    test_fixtures::TempFolder folder("comma-locale");
    const std::string missing = useCommaLocale(folder.path.string());
    if (!missing.empty())
        GTEST_SKIP() << "missing: " << missing;
    const char mark = *std::localeconv()->decimal_point;
    const double value = leadingNumber("5.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    ::unsetenv("LOCPATH");
    ASSERT_EQ(',', mark) << "the locale does not have the comma the test needs";
    EXPECT_DOUBLE_EQ(5.5, value);
}

const std::string kEmptyTcp = "IP Address cannot be empty when the TCP port option is "
                              "selected.\r\nPlease enter a valid IP Address";
const std::string kFormat = "Invalid IP Address format.\r\nCorrect format is "
                            "###.###.###.###\r\nExample: 10.2.123.254\r\nPlease enter a valid "
                            "IP Address";
const std::string kSegment = "Invalid IP Address format. Segment value must be between 0 and "
                             "254\r\nPlease enter a valid IP Address";

struct CheckCase {
    const char* text;
    const std::string* error; // null: passes
};

TEST(PortAddress, ChecksInOrder) {
    const CheckCase cases[] = {
        {"10.2.123.254", nullptr},  {"10.2.123.255", &kSegment},
        {"10.2.123", &kFormat},     {"10.2.123.1.5", &kFormat},
        {"1..2.3", nullptr},        {"a.b.c.d", nullptr},
        {"-1.0.0.0", &kSegment},    {"", &kEmptyTcp},
        {"0.0.0.0", nullptr},       {"&HFF.1.1.1", &kSegment},
        {"1e3.1.1.1", &kSegment},   {" 12ab.1.1.1", nullptr},
        {"1e999.1.1.1", &kSegment}, {"1e-999.1.1.1", nullptr},
        {"255.300.1", &kFormat},
    };
    for (const auto& c : cases) {
        auto error = portAddressError(c.text);
        if (c.error)
            EXPECT_EQ(*c.error, error.value_or("(passed)")) << c.text;
        else
            EXPECT_FALSE(error) << c.text << ": " << *error;
    }
}

TEST(CommandFileName, RefusesCharactersThatBreakAPath) {
    const std::pair<std::string, bool> cases[] = {
        {"C:\\out\\cmds.txt", true},
        {"/tmp/a:b/cmds.txt", true},
        {"caf\xC3\xA9.txt", true},               // é has a Windows-1252 form
        {"\xE6\x97\xA5\xE6\x9C\xAC.txt", false}, // these do not
        {"a?b", false},
        {"a\"b", false},
        {"a*b", false},
        {"a<b", false},
        {"a>b", false},
        {"a|b", false},
        {"a\tb", false},
        {"a\nb", false},
        {"a\rb", false},
        {std::string("a\0b", 3), false},
    };
    for (const auto& [name, ok] : cases)
        EXPECT_EQ(ok, hasNoBadChars(name)) << name;
}

} // namespace
} // namespace kestrel
