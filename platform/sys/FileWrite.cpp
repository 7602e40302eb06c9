// The one reader and writer of whole files and of appended lines.
#include "platform/sys/System.h"

#include "platform/sys/Strings.h"
#include "platform/sys/Trust.h"
#include "platform/sys/Walk.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

namespace sys {

namespace {

using walk::Fd;
using walk::Place;
using walk::sameFile;

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

// The kernel drops a file's capabilities whenever it is written, so new content never has them.
constexpr const char* kCapabilities = "security.capability";

// Gives `to` exactly the extended attributes of `from` but its capabilities: ACLs, the
// user's own attributes and any a folder's default ACL gave the new file. False when that
// cannot be done.
bool copyAttributes(int from, int to) {
    auto wanted = attributeNames(from);
    const auto had = attributeNames(to);
    if (!wanted || !had)
        return false;
    std::erase(*wanted, kCapabilities);
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

// The inode flags a user sets with chattr on a file (no dump, no atime update, synchronous,
// no copy on write, ...); the file system's own and root's immutable and append-only are not
// among them (a file with either cannot be opened for writing anyway).
constexpr int kUserFlags = FS_SECRM_FL | FS_UNRM_FL | FS_COMPR_FL | FS_SYNC_FL | FS_NODUMP_FL |
                           FS_NOATIME_FL | FS_NOCOMP_FL | FS_JOURNAL_DATA_FL | FS_NOTAIL_FL |
                           FS_NOCOW_FL;

// A file system without inode flags has none set.
int userFlags(int fd, bool& known) {
    int flags = 0;
    known = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    return known ? flags & kUserFlags : 0;
}

// Gives the new, still empty file the old one's flags (some only take on an empty file).
// False when they cannot be carried.
bool carryFlags(int from, int to) {
    bool known = false;
    const int wanted = userFlags(from, known);
    int flags = 0;
    if (::ioctl(to, FS_IOC_GETFLAGS, &flags) != 0)
        return wanted == 0;
    if ((flags & kUserFlags) == wanted)
        return true;
    flags = (flags & ~kUserFlags) | wanted;
    return ::ioctl(to, FS_IOC_SETFLAGS, &flags) == 0 && userFlags(to, known) == wanted && known;
}

// Makes the rename itself durable; a folder that cannot be synced changes nothing.
void syncFolder(int folder) {
    Fd fd(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd)
        ::fsync(fd.get());
}

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr std::size_t kRandomLetters = 6;

// What a new file's hidden name beside `target` begins with; six random letters follow.
std::string hiddenPrefix(const std::string& target) {
    return "." + target.substr(0, 200) + ".new-";
}

// A hidden name beside `name` that no file search finds.
bool hiddenName(const std::string& name, std::string& out) {
    unsigned char random[kRandomLetters] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
        return false;
    out = hiddenPrefix(name);
    for (unsigned char r : random)
        out += kLetters[r % (sizeof kLetters - 1)];
    return true;
}

// Takes the whole file's lock at once, or tells why not (kInUse: another holds it). 0 also
// where the file system has no locks: it was written unlocked before, and still is.
int tryLock(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return 0;
    if (errno == EAGAIN || errno == EACCES || errno == EINTR)
        return kInUse;
    return errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL ? 0 : errno;
}

// The new content, made as open(O_CREAT) makes files (the umask and the folder's default ACL
// apply to `mode`). Unnamed where the file system can (a program killed meanwhile leaves
// nothing behind) until named() gives it a hidden name beside the target; else it has one
// from the start. It holds its own lock until the rename, so that the cleaning of a later
// save (removeLeftovers) tells it from one a killed save left.
class NewFile {
  public:
    NewFile(int folder, const std::string& target) : folder_(folder), target_(target) {}
    ~NewFile() {
        fd_ = Fd();
        if (!name_.empty())
            ::unlinkat(folder_, name_.c_str(), 0);
        // hold_ goes after the name.
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    int create(mode_t mode) {
        // Naming an unnamed file goes through /proc, which needs no privilege.
        if (::access("/proc/self/fd", X_OK) == 0) {
            fd_ = Fd(::openat(folder_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
            if (fd_)
                return hold();
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                return errno;
        }
        for (int tries = 0; tries < 100; ++tries) {
            std::string name;
            if (!hiddenName(target_, name))
                return errno;
            fd_ = Fd(::openat(folder_, name.c_str(),
                              O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
            if (fd_) {
                name_ = std::move(name);
                return hold();
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }
    int fd() const { return fd_.get(); }

    // Gives the complete file its hidden name and closes it.
    int named() {
        if (name_.empty()) {
            const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
            for (int tries = 0; name_.empty(); ++tries) {
                std::string name;
                if (!hiddenName(target_, name))
                    return errno;
                if (::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                    name_ = std::move(name);
                else if (errno != EEXIST || tries >= 100)
                    return errno;
            }
        }
        return fd_.close();
    }

    // Renames it over the target; `replace` false: only while no file has that name
    // (EEXIST otherwise).
    int renameOver(bool replace) {
        int r = ::renameat2(folder_, name_.c_str(), folder_, target_.c_str(),
                            replace ? 0 : RENAME_NOREPLACE);
        if (r != 0 && !replace && errno == EINVAL) // a file system without it
            r = ::renameat(folder_, name_.c_str(), folder_, target_.c_str());
        if (r != 0)
            return errno;
        name_.clear();
        hold_ = Fd();
        return 0;
    }

  private:
    // Locks the new file through a second descriptor of it, which stays open after named()
    // closed the first (a lock of an open file goes only with its last descriptor).
    int hold() {
        if (int e = tryLock(fd_.get(), F_WRLCK); e != 0 && e != kInUse)
            return e;
        hold_ = Fd(::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0));
        return hold_ ? 0 : errno;
    }

    int folder_;
    std::string target_;
    Fd hold_;
    Fd fd_;
    std::string name_;
};

// Whether the file `st` by that name is a leftover no save holds: it takes the file's lock
// here, which the save that made it holds until the rename. A file system without locks
// cannot tell.
bool heldByNoSave(int folder, const std::string& name, const struct stat& st) {
    for (const auto& [flags, type] : {std::pair{O_RDONLY, F_RDLCK}, std::pair{O_WRONLY, F_WRLCK}}) {
        Fd fd(::openat(folder, name.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!fd)
            continue;
        struct stat open {};
        struct flock lock {};
        lock.l_type = static_cast<short>(type);
        return ::fstat(fd.get(), &open) == 0 && sameFile(open, st) &&
               ::fcntl(fd.get(), F_OFD_SETLK, &lock) == 0;
    }
    return false;
}

// Removes from the folder what saves of `target` that were killed between naming their new
// file and the rename left (leftoverOf): only the user's own regular files without other
// names that no save under way holds.
void removeLeftovers(int folder, const std::string& target) {
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!dir) {
        if (listed >= 0)
            ::close(listed);
        return;
    }
    std::vector<std::string> found;
    while (const dirent* e = ::readdir(dir))
        if (leftoverOf(target, e->d_name))
            found.emplace_back(e->d_name);
    ::closedir(dir);
    auto looked = [folder](const std::string& name, struct stat& st) {
        return ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    };
    for (const std::string& name : found) {
        struct stat st {
        }, still{};
        if (looked(name, st) && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            st.st_nlink == 1 && heldByNoSave(folder, name, st) && looked(name, still) &&
            sameFile(still, st))
            ::unlinkat(folder, name.c_str(), 0);
    }
}

// The rename could not keep what the old file carries: write it in place instead.
constexpr int kInPlace = -1;
// The name was replaced or made meanwhile: look at it again.
constexpr int kLookAgain = -2;

bool refused(int error) {
    return error == EACCES || error == EPERM;
}

// Writes the bytes to a new file and renames it over the name; `old` is the file it
// replaces (its owner, group, mode, attributes and flags go to the new one), or none.
// kInPlace, kLookAgain, errno, or 0 when done.
int replaceByRename(const Place& place, const Fd* old, const std::string& bytes,
                    const std::function<int(WriteStep)>& fault, mode_t newMode) {
    if (int e = fault(WriteStep::Create))
        return e;
    NewFile file(place.folder.get(), place.name);
    // Private until it carries the old file's rights.
    if (int e = file.create(old ? 0600 : newMode))
        return old && refused(e) ? kInPlace : e;
    const int fd = file.fd();
    if (old && !carryFlags(old->get(), fd))
        return kInPlace;

    if (int e = fault(WriteStep::Write)) {
        writeBytes(fd, bytes.data(), bytes.size() / 2);
        return e;
    }
    if (int e = writeBytes(fd, bytes.data(), bytes.size()))
        return e;

    if (int e = fault(WriteStep::Sync))
        return e;
    if (::fsync(fd) != 0)
        return errno;

    if (int e = fault(WriteStep::Permissions))
        return e;
    if (old) {
        struct stat mine {};
        if (::fstat(fd, &mine) != 0)
            return errno;
        const struct stat& st = place.st;
        // The owner changes hands only for root; a group of the user's is kept alone.
        if ((st.st_uid != mine.st_uid || st.st_gid != mine.st_gid) &&
            ::fchown(fd, st.st_uid == mine.st_uid ? uid_t(-1) : st.st_uid,
                     st.st_gid == mine.st_gid ? gid_t(-1) : st.st_gid) != 0)
            return kInPlace;
        if (::fchmod(fd, st.st_mode & 07777) != 0)
            return errno;
        if (!copyAttributes(old->get(), fd))
            return kInPlace;
    }

    if (int e = fault(WriteStep::Close))
        return e;
    if (int e = file.named())
        return old && refused(e) ? kInPlace : e;

    if (int e = fault(WriteStep::Rename))
        return e;
    if (int e = file.renameOver(old != nullptr))
        return e == EEXIST && !old ? kLookAgain : old && refused(e) ? kInPlace : e;
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

// Waits until the deadline at most for the whole file's lock (F_WRLCK on a descriptor open
// for writing, F_RDLCK for reading): kInUse when another holds it that long. It belongs to the
// open file, not to the process, and goes when it is closed.
int lockWhole(int fd, short type, Deadline deadline) {
    return takeBefore(deadline, [&] { return tryLock(fd, type); });
}

// Whether the name still holds the open file. A writer of ours changes a file only while it
// holds the lock of the file that has the name; one that waited for the lock may find that
// a rename gave the name to another file meanwhile, and starts again.
bool stillNamed(const Place& place, int fd, struct stat& st) {
    struct stat named {};
    return ::fstat(fd, &st) == 0 &&
           ::fstatat(place.folder.get(), place.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           sameFile(named, st);
}

// What any write of an existing name refuses at once: folders, another user's file planted
// in a sticky folder, FIFOs, sockets and devices (never fed, never waited on), read-only
// files. 0 when none of these.
int refusal(const Place& place, const struct stat& st, bool readOnlyToo = true) {
    const int e = foundFileCause(st, place.folder.get());
    if (e == kNotOurFile)
        return EACCES; // as the kernel refuses to write it
    if (e != 0)
        return e;
    return readOnlyToo && readOnly(st) ? EACCES : 0;
}

// Opens an existing name to write it; kLookAgain when it went or became a link meanwhile.
// Without blocking, so that a FIFO swapped in is never waited on.
int openExisting(const Place& place, int flags, Fd& fd) {
    flags |= O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    fd = Fd(::openat(place.folder.get(), place.name.c_str(), flags));
    if (!fd)
        return errno == ENOENT || errno == ELOOP ? kLookAgain : errno;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return errno;
    return refusal(place, st);
}

// A name replaced again and again by others gives up in the end.
constexpr int kMaxLooks = 1000;

// One save's way through: the fault hook, the new file's mode and when the wait for a lock
// ends.
struct Save {
    const std::function<int(WriteStep)>& fault;
    mode_t newMode;
    Deadline deadline;
};

int writeOnce(const std::string& path, const std::string& bytes, const Save& save) {
    Place place;
    if (int e = walk::resolve(path, place))
        return e;
    if (!place.exists) {
        const int e = replaceByRename(place, nullptr, bytes, save.fault, save.newMode);
        if (e == 0)
            removeLeftovers(place.folder.get(), place.name);
        return e;
    }
    if (int e = refusal(place, place.st))
        return e;

    // Opening it checks the user's right to write it, ACLs and all.
    Fd old;
    int e = openExisting(place, O_RDWR, old);
    if (e == EACCES && !old)
        e = openExisting(place, O_WRONLY, old);
    // The lock holds for the whole read, check and write: two saves of one file never mix.
    if (e == 0)
        e = lockWhole(old.get(), F_WRLCK, save.deadline);
    if (e == 0 && !stillNamed(place, old.get(), place.st))
        e = kLookAgain;
    if (e == 0)
        e = refusal(place, place.st);
    if (e != 0)
        return e;

    // A new inode can carry what the old one had only when the user may give it the old
    // owner and no other name shares the old one.
    e = kInPlace;
    if (place.st.st_nlink == 1 && (place.st.st_uid == ::geteuid() || ::geteuid() == 0))
        e = replaceByRename(place, &old, bytes, save.fault, save.newMode);
    if (e == kInPlace)
        e = writeInPlace(old.get(), bytes, save.fault);
    if (e == 0)
        e = old.close();
    if (e == 0)
        removeLeftovers(place.folder.get(), place.name);
    return e;
}

int appendOnce(const std::string& path, const std::string& bytes, Deadline deadline) {
    Place place;
    if (int e = walk::resolve(path, place))
        return e;
    if (int e = place.exists ? refusal(place, place.st) : 0)
        return e;
    Fd fd(::openat(place.folder.get(), place.name.c_str(),
                   O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
    if (!fd)
        return errno == ELOOP ? kLookAgain : errno;
    struct stat st {};
    int e = ::fstat(fd.get(), &st) == 0 ? refusal(place, st, false) : errno;
    // Appenders and writers of ours take turns, so a failed line can be taken back whole.
    if (e == 0)
        e = lockWhole(fd.get(), F_WRLCK, deadline);
    if (e == 0 && !stillNamed(place, fd.get(), st))
        e = kLookAgain;
    if (e != 0)
        return e;
    e = writeBytes(fd.get(), bytes.data(), bytes.size());
    if (e != 0)
        (void)::ftruncate(fd.get(), st.st_size);
    if (e == 0)
        e = fd.close();
    return e;
}

// The whole open file, once no save in place is under way (waited for `limitMs` at most, so
// that it is read whole); nothing, with `error` set to why, else.
std::optional<std::string> readSettled(int fd, int limitMs, int& error) {
    error = lockWhole(fd, F_RDLCK, deadlineIn(limitMs)) == kInUse ? kInUse : 0;
    auto text = error == 0 ? readWhole(fd) : std::nullopt;
    if (error == 0 && !text)
        error = errno;
    return text;
}

IoResult retried(const std::function<int()>& once) {
    for (int look = 0; look < kMaxLooks; ++look)
        if (int e = once(); e != kLookAgain)
            return {e == 0, e};
    return {false, EBUSY};
}

} // namespace

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

std::string fileErrorText(int error) {
    if (error == kNotRegularFile)
        return "not a regular file";
    if (error == kInUse)
        return "in use by another program";
    if (error == kNotOurFile)
        return "another user's file in a folder everyone may write";
    return std::strerror(error);
}

bool leftoverOf(const std::string& target, std::string_view name) {
    const std::string prefix = hiddenPrefix(target);
    return name.size() == prefix.size() + kRandomLetters && name.starts_with(prefix) &&
           name.find_first_not_of(kLetters, prefix.size()) == std::string_view::npos;
}

IoResult RealSystem::writeFile(const std::string& path, const std::string& bytes) {
    return save(path, bytes, 0666);
}

IoResult RealSystem::writePrivateFile(const std::string& path, const std::string& bytes) {
    return save(path, bytes, 0600);
}

IoResult RealSystem::save(const std::string& path, const std::string& bytes, mode_t newMode) {
    if (path.empty())
        return {false, ENOENT};
    const std::function<int(WriteStep)> fault = [this](WriteStep step) {
        return writeFault_ ? writeFault_(step) : 0;
    };
    const Save how{fault, newMode, deadlineIn(lockLimits_.saveMs)};
    return retried([&] { return writeOnce(path, bytes, how); });
}

IoResult RealSystem::appendFile(const std::string& path, const std::string& bytes) {
    if (path.empty())
        return {false, ENOENT};
    const Deadline deadline = deadlineIn(lockLimits_.appendMs);
    return retried([&] { return appendOnce(path, bytes, deadline); });
}

std::optional<std::string> RealSystem::readFile(const std::string& path) {
    Place place;
    if (path.empty() || walk::resolve(path, place) != 0 || !place.exists ||
        !S_ISREG(place.st.st_mode))
        return std::nullopt;
    Fd fd(::openat(place.folder.get(), place.name.c_str(),
                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    int error = 0;
    return readSettled(fd.get(), lockLimits_.saveMs, error);
}

std::optional<std::string> RealSystem::readOwnFile(const std::string& path, int& error) {
    int opened = -1;
    error = openOwnFile(path, opened);
    const Fd fd(opened);
    return error == 0 ? readSettled(fd.get(), lockLimits_.saveMs, error) : std::nullopt;
}

} // namespace sys
