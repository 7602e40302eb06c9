#include "platform/sys/System.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sys {

bool IoResult::retryable() const {
    if (ok)
        return false;
    switch (error) {
    case EACCES:
    case EPERM:
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
    case EINTR:
    case EIO:
    case ENXIO:
    case ENODEV:
        return true;
    default:
        return false;
    }
}

std::string executableFolder() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return ".";
    std::string path(buf, static_cast<std::size_t>(n));
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

namespace {

bool namesAFolder(const std::string& path) {
    return path.empty() || path.back() == '/' || path.back() == '\\';
}

} // namespace

bool typedFileExists(System& system, const std::string& path) {
    return !namesAFolder(path) && system.fileExists(path);
}

bool typedNamedFileExists(System& system, const std::string& path) {
    return !namesAFolder(path) && system.namedFileExists(path);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    // Iterative match with backtracking to the last "*".
    std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

RealSystem::RealSystem() : programFolder_(executableFolder()) {}
RealSystem::RealSystem(std::string programFolder) : programFolder_(std::move(programFolder)) {}

std::string RealSystem::currentFolder() {
    char buf[PATH_MAX];
    if (!::getcwd(buf, sizeof buf))
        return ".";
    return buf;
}

bool RealSystem::setCurrentFolder(const std::string& path) {
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

namespace {

bool isOrdinaryFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// An ordinary file by that path; hidden names count only when `hiddenCount` (and then a
// wildcard matches one only when the pattern itself begins with ".").
bool fileFound(const std::string& path, bool hiddenCount) {
    if (path.empty() || path.back() == '/')
        return false;
    auto slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || (name[0] == '.' && !hiddenCount))
        return false;
    if (hiddenCount && isOrdinaryFile(path))
        return true; // the name as written, whatever it holds
    if (name.find_first_of("*?") == std::string::npos)
        return isOrdinaryFile(path);
    // Wildcards may stand only in the last component, as in a directory search.
    if (folder.find_first_of("*?") != std::string::npos)
        return false;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (dirent* e = ::readdir(dir)) {
        std::string entry = e->d_name;
        if (entry.empty() || (entry[0] == '.' && name[0] != '.') || !wildcardMatch(name, entry))
            continue;
        if (isOrdinaryFile(joinPath(folder, entry))) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

bool RealSystem::fileExists(const std::string& path) {
    return fileFound(path, false);
}

bool RealSystem::namedFileExists(const std::string& path) {
    return fileFound(path, true);
}

bool RealSystem::deleteFile(const std::string& path) {
    return !path.empty() && ::unlink(path.c_str()) == 0;
}

std::optional<std::string> RealSystem::readFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string out;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}

LocalTime RealSystem::localTime() {
    if (timeSource_)
        return timeSource_();
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
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

void writeWizardLog(System& system, const std::string& fileName, const std::string& message,
                    const std::function<void(int ms)>& sleep) {
    const std::string line = formatLogLine(system.localTime(), message, system.monthNames());
    // Messages carry system texts too (printer names, paths): every line is Windows-1252.
    const std::string bytes = ansiText(line);
    appendLogLine(system, joinPath(system.programFolder(), fileName), bytes, 2, sleep);
}

std::vector<std::string_view> splitOn(std::string_view text, char separator) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(separator, start);
        out.push_back(text.substr(start, at == std::string_view::npos ? text.npos : at - start));
        if (at == std::string_view::npos)
            return out;
        start = at + 1;
    }
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> percentDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        int hi = hexDigitValue(text[i + 1]);
        int lo = hexDigitValue(text[i + 2]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

} // namespace sys
