// The one writer of whole files and of appended lines.
#include "platform/sys/System.h"

#include "platform/sys/Strings.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <deque>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

namespace sys {

namespace {

// An open file descriptor, closed when it goes.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes now; errno of a failed close, else 0.
    int close() {
        const int r = ::close(std::exchange(fd_, -1));
        return r == 0 ? 0 : errno;
    }

  private:
    void reset() {
        if (fd_ >= 0)
            ::close(std::exchange(fd_, -1));
    }
    int fd_ = -1;
};

// The folder that holds the name to write and the name in it. The name is no symbolic link
// when it was looked at; `exists` tells whether it was there at all.
struct Place {
    Fd folder;
    std::string name;
    bool exists = false;
    struct stat st {};
};

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

// The rule of fs.protected_symlinks=1, whatever the machine's setting: a link in a sticky,
// world-writable folder is followed only by its owner or when the folder's owner owns it.
bool mayFollow(const struct stat& link, const struct stat& folder) {
    if (link.st_uid == ::geteuid())
        return true;
    if ((folder.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH))
        return true;
    return folder.st_uid == link.st_uid;
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

Fd openRoot(bool absolute) {
    return Fd(::open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// Walks the path one component at a time from open folders, following each link only
// where the rule above allows it, so that nothing can be swapped in behind the check.
// A dangling link leads to the name its target would have. errno on failure, else 0.
int resolve(const std::string& path, Place& out) {
    std::deque<std::string> rest;
    prependComponents(rest, path);
    Fd folder = openRoot(path.starts_with('/'));
    if (!folder)
        return errno;
    int links = 0;
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
            prependComponents(rest, target);
            if (target.starts_with('/') && !(folder = openRoot(true)))
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

// Writes all bytes at the file's position, or at `offset` when it is not negative.
int writeBytes(int fd, const char* data, std::size_t size, off_t offset = -1) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            offset < 0 ? ::write(fd, data + done, size - done)
                       : ::pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

std::optional<std::string> readWhole(int fd) {
    std::string out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, static_cast<off_t>(out.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return out;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

// The names of a file's extended attributes (ACLs are among them).
std::optional<std::vector<std::string>> attributeNames(int fd) {
    std::string buf;
    for (int tries = 0; tries < 3; ++tries) {
        ssize_t n = ::flistxattr(fd, nullptr, 0);
        if (n < 0)
            return errno == ENOTSUP ? std::optional(std::vector<std::string>{}) : std::nullopt;
        buf.resize(static_cast<std::size_t>(n));
        n = ::flistxattr(fd, buf.data(), buf.size());
        if (n < 0 && errno == ERANGE)
            continue; // grew meanwhile
        if (n < 0)
            return std::nullopt;
        buf.resize(static_cast<std::size_t>(n));
        std::vector<std::string> names;
        for (auto name : splitOn(buf, '\0'))
            if (!name.empty())
                names.emplace_back(name);
        return names;
    }
    return std::nullopt;
}

std::optional<std::string> attributeValue(int fd, const std::string& name) {
    for (int tries = 0; tries < 3; ++tries) {
        ssize_t n = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (n < 0)
            return std::nullopt;
        std::string value(static_cast<std::size_t>(n), '\0');
        n = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (n < 0 && errno == ERANGE)
            continue;
        if (n < 0)
            return std::nullopt;
        value.resize(static_cast<std::size_t>(n));
        return value;
    }
    return std::nullopt;
}

// Gives `to` exactly the extended attributes of `from`: ACLs, the user's own attributes and
// any a folder's default ACL gave the new file. False when that cannot be done.
bool copyAttributes(int from, int to) {
    const auto wanted = attributeNames(from);
    const auto had = attributeNames(to);
    if (!wanted || !had)
        return false;
    for (const auto& name : *had)
        if (std::find(wanted->begin(), wanted->end(), name) == wanted->end() &&
            ::fremovexattr(to, name.c_str()) != 0)
            return false;
    for (const auto& name : *wanted) {
        const auto value = attributeValue(from, name);
        if (!value)
            return false;
        if (attributeValue(to, name) != value &&
            ::fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0)
            return false;
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced changes nothing.
void syncFolder(int folder) {
    Fd fd(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd)
        ::fsync(fd.get());
}

// A new, hidden file beside `name` (no file search finds it), made as open(O_CREAT) makes
// files: the umask and the folder's default ACL apply to `mode`.
Fd createTemp(int folder, const std::string& name, mode_t mode, std::string& tempName) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int tries = 0; tries < 100; ++tries) {
        unsigned char random[6] = {};
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
            return Fd();
        tempName = "." + name.substr(0, 200) + ".";
        for (unsigned char r : random)
            tempName += kLetters[r % (sizeof kLetters - 1)];
        Fd fd(::openat(folder, tempName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       mode));
        if (fd || errno != EEXIST)
            return fd;
    }
    return Fd();
}

// The rename could not keep what the old file carries: write it in place instead.
constexpr int kInPlace = -1;

bool refused(int error) {
    return error == EACCES || error == EPERM;
}

// Writes the bytes to a new file and renames it over the name; `old` is the file it
// replaces (its owner, group, mode and attributes go to the new one), or none.
// kInPlace, errno, or 0 when done.
int replaceByRename(const Place& place, const Fd* old, const std::string& bytes,
                    const std::function<int(WriteStep)>& fault) {
    std::string tempName;
    Fd fd;
    auto fail = [&](int error) {
        fd = Fd();
        ::unlinkat(place.folder.get(), tempName.c_str(), 0);
        return error;
    };

    if (int e = fault(WriteStep::Create))
        return e;
    // Private until it carries the old file's rights.
    fd = createTemp(place.folder.get(), place.name, old ? 0600 : 0666, tempName);
    if (!fd)
        return old && refused(errno) ? kInPlace : errno;

    if (int e = fault(WriteStep::Write)) {
        writeBytes(fd.get(), bytes.data(), bytes.size() / 2);
        return fail(e);
    }
    if (int e = writeBytes(fd.get(), bytes.data(), bytes.size()))
        return fail(e);

    if (int e = fault(WriteStep::Sync))
        return fail(e);
    if (::fsync(fd.get()) != 0)
        return fail(errno);

    if (int e = fault(WriteStep::Permissions))
        return fail(e);
    if (old) {
        struct stat mine {};
        if (::fstat(fd.get(), &mine) != 0)
            return fail(errno);
        const struct stat& st = place.st;
        // The owner changes hands only for root; a group of the user's is kept alone.
        if ((st.st_uid != mine.st_uid || st.st_gid != mine.st_gid) &&
            ::fchown(fd.get(), st.st_uid == mine.st_uid ? uid_t(-1) : st.st_uid,
                     st.st_gid == mine.st_gid ? gid_t(-1) : st.st_gid) != 0)
            return fail(kInPlace);
        if (::fchmod(fd.get(), st.st_mode & 07777) != 0)
            return fail(errno);
        if (!copyAttributes(old->get(), fd.get()))
            return fail(kInPlace);
    }

    if (int e = fault(WriteStep::Close))
        return fail(e);
    if (int e = fd.close())
        return fail(e);

    if (int e = fault(WriteStep::Rename))
        return fail(e);
    if (::renameat(place.folder.get(), tempName.c_str(), place.folder.get(), place.name.c_str()) !=
        0)
        return fail(old && refused(errno) ? kInPlace : errno);
    syncFolder(place.folder.get());
    return 0;
}

// Writes over the file's own bytes; a failure puts the old bytes back (these files are small).
int writeInPlace(int fd, const std::string& bytes, const std::function<int(WriteStep)>& fault) {
    const auto old = readWhole(fd);
    if (!old)
        return errno == EBADF ? EACCES : errno; // writable but not readable: no way back
    auto restore = [&](int error) {
        writeBytes(fd, old->data(), old->size(), 0);
        (void)::ftruncate(fd, static_cast<off_t>(old->size()));
        ::fsync(fd);
        return error;
    };
    // A full disk shows before any byte changes, where the file system can tell.
    if (bytes.size() > old->size() &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        return restore(errno);

    if (int e = fault(WriteStep::Write)) {
        writeBytes(fd, bytes.data(), bytes.size() / 2, 0);
        return restore(e);
    }
    if (int e = writeBytes(fd, bytes.data(), bytes.size(), 0))
        return restore(e);
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
        return restore(errno);
    if (int e = fault(WriteStep::Sync))
        return restore(e);
    if (::fsync(fd) != 0)
        return restore(errno);
    return 0;
}

// A file with no write bit is read-only, for root too.
bool readOnly(const struct stat& st) {
    return (st.st_mode & 0222) == 0;
}

} // namespace

IoResult RealSystem::writeFile(const std::string& path, const std::string& bytes) {
    if (path.empty())
        return {false, ENOENT};
    const std::function<int(WriteStep)> fault = [this](WriteStep step) {
        return writeFault_ ? writeFault_(step) : 0;
    };
    Place place;
    if (int e = resolve(path, place))
        return {false, e};
    if (!place.exists) {
        const int e = replaceByRename(place, nullptr, bytes, fault);
        return {e == 0, e};
    }
    if (S_ISDIR(place.st.st_mode))
        return {false, EISDIR};
    if (readOnly(place.st))
        return {false, EACCES};
    if (!S_ISREG(place.st.st_mode)) { // a device or a pipe cannot be replaced, only fed
        Fd fd(::openat(place.folder.get(), place.name.c_str(),
                       O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC));
        if (!fd)
            return {false, errno};
        int e = writeBytes(fd.get(), bytes.data(), bytes.size());
        if (e == 0)
            e = fd.close();
        return {e == 0, e};
    }

    // Opening it checks the user's right to write it, ACLs and all.
    Fd old(::openat(place.folder.get(), place.name.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (!old && errno == EACCES)
        old =
            Fd(::openat(place.folder.get(), place.name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!old)
        return {false, errno};
    if (::fstat(old.get(), &place.st) != 0)
        return {false, errno};
    if (readOnly(place.st))
        return {false, EACCES};

    // A new inode can carry what the old one had only when the user may give it the old
    // owner and no other name shares the old one.
    int e = kInPlace;
    if (place.st.st_nlink == 1 && (place.st.st_uid == ::geteuid() || ::geteuid() == 0))
        e = replaceByRename(place, &old, bytes, fault);
    if (e == kInPlace)
        e = writeInPlace(old.get(), bytes, fault);
    if (e == 0)
        e = old.close();
    return {e == 0, e};
}

IoResult RealSystem::appendFile(const std::string& path, const std::string& bytes) {
    if (path.empty())
        return {false, ENOENT};
    Place place;
    if (int e = resolve(path, place))
        return {false, e};
    if (place.exists && readOnly(place.st))
        return {false, EACCES};
    Fd fd(::openat(place.folder.get(), place.name.c_str(),
                   O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd)
        return {false, errno};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return {false, errno};
    const bool regular = S_ISREG(st.st_mode);
    // Appenders of ours take turns, so a failed line can be taken back whole.
    if (regular) {
        while (::flock(fd.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
        if (::fstat(fd.get(), &st) != 0)
            return {false, errno};
    }
    int e = writeBytes(fd.get(), bytes.data(), bytes.size());
    if (e != 0 && regular)
        (void)::ftruncate(fd.get(), st.st_size);
    if (e == 0)
        e = fd.close();
    return {e == 0, e};
}

} // namespace sys
