#include "platform/sys/Log.h"
#include "platform/sys/System.h"
#include "tests/fixtures/Locale.h"
#include "tests/fixtures/TempFolder.h"

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <gtest/gtest.h>

namespace {

TEST(LogTime, Format) {
    EXPECT_EQ(sys::formatLogTime({2026, 12, 7, 15, 5, 0}), "Dec 07,2026 15:05:00");
    EXPECT_EQ(sys::formatLogTime({2000, 1, 1, 0, 0, 9}), "Jan 01,2000 00:00:09");
    EXPECT_EQ(sys::formatLogLine({2026, 5, 31, 23, 59, 59}, "Entering Debug Mode"),
              "May 31,2026 23:59:59 - Entering Debug Mode\r\n");
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(sys::formatLogTime({2001, m, 10, 1, 2, 3}).substr(0, 3), months[m - 1]);
}

TEST(LogTime, MonthNamesOfTheUsersLanguage) {
    const sys::MonthNames german = {"Jan", "Feb", "M\u00e4r", "Apr", "Mai", "Jun",
                                    "Jul", "Aug", "Sep",      "Okt", "Nov", "Dez"};
    sys::MonthNames russian = german, oneEmpty = german;
    russian[11] = "\u0434\u0435\u043a"; // no Windows-1252 form
    oneEmpty[4] = "";
    EXPECT_EQ(sys::logMonthNames(german), german);
    EXPECT_EQ(sys::logMonthNames(russian), sys::englishMonthNames());
    EXPECT_EQ(sys::logMonthNames(oneEmpty), sys::englishMonthNames());
    EXPECT_EQ(sys::logMonthNames(std::nullopt), sys::englishMonthNames());
    EXPECT_EQ(sys::formatLogTime({2026, 12, 7, 15, 5, 0}, german), "Dez 07,2026 15:05:00");
    EXPECT_EQ(sys::localeMonthNames("C"), sys::englishMonthNames());
    EXPECT_EQ(sys::localeMonthNames("xx_NOWHERE.UTF-8"), std::nullopt);
}

// A German locale in Latin-1, built for this test (the machine may have none installed):
// the log line takes its month name, converted to the log file's Windows-1252.
TEST(LogTime, WizardLogWritesTheLocaleMonthInWindows1252) {
    test_fixtures::TempFolder folder("logmonth", test_fixtures::TempFolder::Enter::Yes);
    const int built = test_fixtures::compileLocale(folder.path, "de_DE", "ISO-8859-1");
    if (built < 0 || built > 1)
        GTEST_SKIP() << "localedef or the de_DE locale source is not installed";

    const char* lcAll = std::getenv("LC_ALL");
    const std::string saved = lcAll ? lcAll : "";
    ::unsetenv("LC_ALL");
    ::setenv("LC_TIME", "de_DE.ISO-8859-1", 1);
    ::setenv("LOCPATH", folder.path.c_str(), 1);
    sys::RealSystem system(folder.path);
    system.setTimeSource([] { return sys::LocalTime{2026, 3, 9, 8, 4, 5}; });
    const std::string line = sys::logLine(system, "Entering Debug Mode");
    ::unsetenv("LOCPATH");
    ::unsetenv("LC_TIME");
    if (lcAll)
        ::setenv("LC_ALL", saved.c_str(), 1);

    EXPECT_EQ(line, "M\xE4r 09,2026 08:04:05 - Entering Debug Mode\r\n");
}

// Appends fail with scripted errors, then succeed.
class FlakySystem : public sys::RealSystem {
  public:
    using RealSystem::RealSystem;
    std::deque<int> errors;
    std::string written;
    int attempts = 0;
    sys::IoResult appendFile(const std::string&, const std::string& bytes) override {
        ++attempts;
        if (!errors.empty()) {
            int e = errors.front();
            if (errors.size() > 1 || !keepLast)
                errors.pop_front();
            return {false, e};
        }
        written += bytes;
        return {true, 0};
    }
    bool keepLast = false;
};

TEST(AppendLogLine, RetriesSharingErrorsThenWrites) {
    FlakySystem system("/x");
    system.errors = {EACCES, EBUSY, EIO};
    int slept = 0;
    EXPECT_TRUE(sys::appendLogLine(system, "Log.txt", "line\r\n", 5, [&](int ms) { slept += ms; }));
    EXPECT_EQ(system.written, "line\r\n");
    EXPECT_EQ(slept, 1500);
}

TEST(AppendLogLine, GivesUpAfterBoundedRetries) {
    FlakySystem system("/x");
    system.errors = {EACCES};
    system.keepLast = true;
    int sleeps = 0;
    EXPECT_FALSE(sys::appendLogLine(system, "Log.txt", "line", 3, [&](int) { ++sleeps; }));
    EXPECT_EQ(system.attempts, 4);
    EXPECT_EQ(sleeps, 3);
}

TEST(AppendLogLine, OtherErrorsDropTheLineAtOnce) {
    FlakySystem system("/x");
    system.errors = {ENOSPC};
    EXPECT_FALSE(sys::appendLogLine(system, "Log.txt", "line", 3, [](int) { FAIL(); }));
    EXPECT_EQ(system.attempts, 1);
}

} // namespace
