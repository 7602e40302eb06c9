#include "platform/sys/Walk.h"

#include "platform/sys/Strings.h"
#include "platform/sys/System.h"
#include "platform/sys/Trust.h"

#include <cerrno>
#include <climits>
#include <deque>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>

namespace sys::walk {

namespace {

// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

// Puts the components of a path in front of the ones still to walk. A trailing "/" becomes
// a last "." so that the path can only name a folder.
void prependComponents(std::deque<std::string>& rest, std::string_view path) {
    std::deque<std::string> parts;
    for (std::string_view part : splitOn(path, '/'))
        if (!part.empty())
            parts.emplace_back(part);
    if (!path.empty() && path.back() == '/')
        parts.emplace_back(".");
    rest.insert(rest.begin(), parts.begin(), parts.end());
}

// The rule of fs.protected_symlinks=1: a link in a sticky, world-writable folder is followed
// only by its owner or when the folder's owner owns it.
bool mayFollow(const struct stat& link, const struct stat& folder) {
    return link.st_uid == ::geteuid() || !stickyForAll(folder) || folder.st_uid == link.st_uid;
}

int readLink(int folder, const std::string& name, std::string& target) {
    std::string buf(256, '\0');
    for (;;) {
        const ssize_t n = ::readlinkat(folder, name.c_str(), buf.data(), buf.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) < buf.size()) {
            buf.resize(static_cast<std::size_t>(n));
            target = std::move(buf);
            return 0;
        }
        if (buf.size() >= PATH_MAX)
            return ENAMETOOLONG;
        buf.resize(buf.size() * 2);
    }
}

Fd openRoot() {
    return Fd(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
}

bool onProcFs(int folder) {
    struct statfs fs {};
    return ::fstatfs(folder, &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
}

int walk(Fd folder, const std::string& path, Place& out, int& links);

// A link of /proc stands for an open file or folder whatever its text says. `last`: the link
// ends the path, so `out` gets the file, found by the text only when it leads back to that
// file (a file is replaced through its name). Else `folder` becomes the folder it stands for,
// as the kernel takes it ("/proc/self/root/...", whose text "/" names no file).
int followProcLink(Fd& folder, const std::string& name, const std::string& target, bool last,
                   Place& out, int& links) {
    struct stat real {};
    if (::fstatat(folder.get(), name.c_str(), &real, 0) != 0)
        return errno;
    if (!S_ISREG(real.st_mode) && !S_ISDIR(real.st_mode))
        return last ? kNotRegularFile : ENOTDIR;
    if (!last) {
        Fd next(::openat(folder.get(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        struct stat st {};
        if (!next || ::fstat(next.get(), &st) != 0)
            return errno;
        if (!sameFile(st, real))
            return ENOENT; // it changed meanwhile
        folder = std::move(next);
        return 0;
    }
    Fd from(::fcntl(folder.get(), F_DUPFD_CLOEXEC, 0));
    if (!from)
        return errno;
    Place at;
    if (int e = walk(std::move(from), target, at, links))
        return e;
    if (!at.exists || !sameFile(at.st, real))
        return ENOENT; // "... (deleted)", or a name that now holds another file
    out = std::move(at);
    return 0;
}

int walk(Fd folder, const std::string& path, Place& out, int& links) {
    std::deque<std::string> rest;
    prependComponents(rest, path);
    if (path.starts_with('/') && !(folder = openRoot()))
        return errno;
    while (!rest.empty()) {
        std::string name = std::move(rest.front());
        rest.pop_front();
        const bool last = rest.empty();
        if (name == "." || name == "..") {
            if (last)
                return EISDIR;
            if (name == "..") {
                Fd up(::openat(folder.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
                if (!up)
                    return errno;
                folder = std::move(up);
            }
            continue;
        }
        struct stat st {};
        const bool found = ::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (!found && errno != ENOENT)
            return errno;
        if (found && S_ISLNK(st.st_mode)) {
            struct stat where {};
            if (::fstat(folder.get(), &where) != 0)
                return errno;
            if (!mayFollow(st, where))
                return EACCES;
            if (++links > kMaxLinks)
                return ELOOP;
            std::string target;
            if (int e = readLink(folder.get(), name, target))
                return e;
            if (target.empty())
                return ENOENT;
            if (onProcFs(folder.get())) {
                if (int e = followProcLink(folder, name, target, last, out, links))
                    return e;
                if (last)
                    return 0;
                continue;
            }
            prependComponents(rest, target);
            if (target.starts_with('/') && !(folder = openRoot()))
                return errno;
            continue;
        }
        if (last) {
            out.folder = std::move(folder);
            out.name = std::move(name);
            out.exists = found;
            out.st = st;
            return 0;
        }
        Fd next(
            ::openat(folder.get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next)
            return errno;
        folder = std::move(next);
    }
    return EISDIR; // "/" itself
}

} // namespace

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int resolve(const std::string& path, Place& out) {
    Fd start(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!start)
        return errno;
    int links = 0;
    return walk(std::move(start), path, out, links);
}

} // namespace sys::walk
