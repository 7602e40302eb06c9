#include "platform/sys/System.h"

#include "platform/sys/Log.h"
#include "platform/sys/Strings.h"
#include "platform/sys/Walk.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <thread>
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
    case EINTR:
    case EIO:
    case ENXIO:
    case ENODEV:
        return true;
    default:
        return false;
    }
}

Deadline deadlineIn(int ms) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}

int takeBefore(Deadline deadline, const std::function<int()>& take) {
    using namespace std::chrono;
    // Short pauses first: a program of ours holds a lock for a few milliseconds at most.
    steady_clock::duration pause = milliseconds(1);
    for (;;) {
        const int e = take();
        if (e != kInUse)
            return e;
        const auto now = steady_clock::now();
        if (now >= deadline)
            return kInUse;
        std::this_thread::sleep_for(std::min(pause, deadline - now));
        pause = std::min<steady_clock::duration>(pause * 2, milliseconds(8));
    }
}

std::vector<std::string> mappedPaths(std::string_view maps, ino_t inode) {
    std::vector<std::string> paths;
    for (std::string_view line : splitOn(maps, '\n')) {
        // address, permissions, offset, device, inode, then blanks and the path
        std::size_t at = 0;
        std::string_view fields[5];
        for (auto& field : fields) {
            at = line.find_first_not_of(' ', at);
            const std::size_t end = line.find(' ', at);
            if (at == std::string_view::npos || end == std::string_view::npos)
                break;
            field = line.substr(at, end - at);
            at = end;
        }
        if (fields[4] != std::to_string(inode))
            continue;
        at = line.find('/', at);
        if (at == std::string_view::npos)
            continue;
        // The kernel writes a line end in a name as "\012".
        std::string path;
        for (std::string_view rest = line.substr(at); !rest.empty();) {
            const bool lineEnd = rest.starts_with("\\012");
            path += lineEnd ? '\n' : rest.front();
            rest.remove_prefix(lineEnd ? 4 : 1);
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

namespace {

// The running program's path. /proc/self/exe names it only up to 4095 bytes; a longer one
// the kernel shows in the list of the process's mappings, taken when it leads to the very
// file that runs.
std::optional<std::string> executablePath() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
    if (n > 0 && static_cast<std::size_t>(n) < sizeof buf)
        return std::string(buf, static_cast<std::size_t>(n));
    struct stat running {};
    if (n >= 0 || errno != ENAMETOOLONG || ::stat("/proc/self/exe", &running) != 0)
        return std::nullopt;
    std::ifstream in("/proc/self/maps", std::ios::binary);
    const std::string maps{std::istreambuf_iterator<char>(in), {}};
    for (const std::string& path : mappedPaths(maps, running.st_ino)) {
        walk::Place place;
        if (walk::resolve(path, place) == 0 && place.exists && walk::sameFile(place.st, running))
            return path;
    }
    return std::nullopt;
}

} // namespace

std::string executableFolder() {
    const auto path = executablePath();
    const std::size_t slash = path ? path->rfind('/') : std::string::npos;
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? "/" : path->substr(0, slash);
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

bool makeOwnFolders(const std::filesystem::path& folder) {
    std::filesystem::path made;
    for (const auto& part : folder)
        if (made /= part; ::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    return true;
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

// Walked as the reader and the writer walk it, so that any file they reach is found.
bool isOrdinaryFile(const std::string& path) {
    walk::Place place;
    return walk::resolve(path, place) == 0 && place.exists && S_ISREG(place.st.st_mode);
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

LocalTime RealSystem::localTime() {
    if (timeSource_)
        return timeSource_();
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

const MonthNames& RealSystem::monthNames() {
    if (!monthNames_)
        monthNames_ = logMonthNames(localeMonthNames(""));
    return *monthNames_;
}

} // namespace sys
