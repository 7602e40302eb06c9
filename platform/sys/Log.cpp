#include "platform/sys/Log.h"

#include "platform/sys/Encoding.h"

#include <cstdio>
#include <cstdlib>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

namespace sys {

namespace {

// The locale that decides dates: LC_ALL, then LC_TIME, then LANG; an empty one counts as unset.
std::string userTimeLocale() {
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v)
            return v;
    }
    return "C";
}

// The bytes of `text` in `codeset`, as UTF-8; nothing when they do not convert.
std::optional<std::string> toUtf8(const std::string& text, const char* codeset) {
    iconv_t cd = ::iconv_open("UTF-8", codeset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(text.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* o = out.data();
    std::size_t outLeft = out.size();
    const std::size_t r = ::iconv(cd, &in, &inLeft, &o, &outLeft);
    ::iconv_close(cd);
    if (r == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

const MonthNames& englishMonthNames() {
    static const MonthNames names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return names;
}

std::optional<MonthNames> localeMonthNames(const std::string& localeName) {
    const std::string name = localeName.empty() ? userTimeLocale() : localeName;
    // The character set comes from the same locale, so the names are read in their own.
    locale_t loc = ::newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name.c_str(), nullptr);
    if (loc == nullptr)
        return std::nullopt;
    const std::string codeset = ::nl_langinfo_l(CODESET, loc);
    const bool utf8 = codeset == "UTF-8" || codeset == "utf8";
    MonthNames names;
    bool ok = true;
    for (int m = 0; m < 12 && ok; ++m) {
        const std::string raw = ::nl_langinfo_l(ABMON_1 + m, loc);
        auto text = utf8 ? std::optional<std::string>(raw) : toUtf8(raw, codeset.c_str());
        ok = text.has_value();
        if (ok)
            names[static_cast<std::size_t>(m)] = *text;
    }
    ::freelocale(loc);
    if (!ok)
        return std::nullopt;
    return names;
}

MonthNames logMonthNames(const std::optional<MonthNames>& local) {
    if (!local)
        return englishMonthNames();
    for (const auto& name : *local)
        if (name.empty() || !toWindows1252(name))
            return englishMonthNames();
    return *local;
}

std::string formatLogTime(const LocalTime& t, const MonthNames& months) {
    const std::string month = t.month >= 1 && t.month <= 12 ? months[t.month - 1] : "???";
    char buf[64];
    std::snprintf(buf, sizeof buf, " %02d,%04d %02d:%02d:%02d", t.day, t.year, t.hour, t.minute,
                  t.second);
    return month + buf;
}

std::string formatLogLine(const LocalTime& t, const std::string& message,
                          const MonthNames& months) {
    return formatLogTime(t, months) + " - " + message + "\r\n";
}

bool appendLogLine(System& system, const std::string& path, const std::string& line, int retries,
                   const std::function<void(int ms)>& sleep) {
    for (int attempt = 0;; ++attempt) {
        IoResult r = system.appendFile(path, line);
        if (r.ok)
            return true;
        if (!r.retryable() || attempt >= retries)
            return false;
        if (sleep)
            sleep(500);
    }
}

std::string logLine(System& system, const std::string& message) {
    return ansiText(formatLogLine(system.localTime(), message, system.monthNames()));
}

} // namespace sys
