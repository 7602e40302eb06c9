#pragma once
#include "platform/sys/System.h"

#include <functional>
#include <optional>
#include <string>

namespace sys {

// "Jan" to "Dec": the names of the C locale.
const MonthNames& englishMonthNames();
// The abbreviated month names of a locale, as it writes them, in UTF-8. "" names the user's
// LC_TIME locale (LC_ALL, else LC_TIME, else LANG, else C). Nothing when that locale is not
// installed or its names cannot be read.
std::optional<MonthNames> localeMonthNames(const std::string& localeName);
// The names log lines use: the locale's, unless one of them is empty or has no Windows-1252
// form (log files are Windows-1252); then all twelve English ones, so a line stays readable
// and never mixes languages.
MonthNames logMonthNames(const std::optional<MonthNames>& local);

// "MMM DD,YYYY hh:mm:ss" ("Dec 07,2026 15:05:00" with the English names).
std::string formatLogTime(const LocalTime& t, const MonthNames& months = englishMonthNames());
// One log line: the time, " - ", the message and CR LF.
std::string formatLogLine(const LocalTime& t, const std::string& message,
                          const MonthNames& months = englishMonthNames());

// Appends one line to a log file. A retryable failure is tried again after `sleep(500)`,
// at most `retries` more times; then the line is dropped. A log in use by another program
// (kInUse) is not tried again: the append already waited as long as a log line may. True
// when it was written.
bool appendLogLine(System& system, const std::string& path, const std::string& line, int retries,
                   const std::function<void(int ms)>& sleep);

// One log line of the message at the PC's local time with its month names, in the log files'
// Windows-1252 (messages carry system texts too: printer names, paths).
std::string logLine(System& system, const std::string& message);

} // namespace sys
