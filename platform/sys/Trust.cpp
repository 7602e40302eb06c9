#include "platform/sys/Trust.h"

#include "platform/sys/System.h"
#include "platform/sys/Walk.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace sys {

bool stickyForAll(const struct stat& folder) {
    return (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
}

bool plantedInStickyFolder(const struct stat& file, const struct stat& folder) {
    return (S_ISREG(file.st_mode) || S_ISFIFO(file.st_mode)) && stickyForAll(folder) &&
           file.st_uid != ::geteuid() && file.st_uid != folder.st_uid;
}

int foundFileCause(const struct stat& file, int folder) {
    struct stat where {};
    if (::fstat(folder, &where) != 0)
        return errno;
    if (S_ISDIR(file.st_mode))
        return EISDIR;
    if (plantedInStickyFolder(file, where))
        return kNotOurFile;
    return S_ISREG(file.st_mode) ? 0 : kNotRegularFile;
}

namespace {

int resolveExisting(const std::string& path, walk::Place& place) {
    if (path.empty())
        return ENOENT;
    if (int e = walk::resolve(path, place))
        return e;
    return place.exists ? foundFileCause(place.st, place.folder.get()) : ENOENT;
}

} // namespace

int ownFileCause(const std::string& path) {
    walk::Place place;
    return resolveExisting(path, place);
}

int openOwnFile(const std::string& path, int& fd) {
    fd = -1;
    walk::Place place;
    if (int e = resolveExisting(path, place))
        return e;
    // Without blocking, and checked again on what was opened: the name may have changed.
    const int opened = ::openat(place.folder.get(), place.name.c_str(),
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0)
        return errno;
    struct stat st {};
    const int e = ::fstat(opened, &st) == 0 ? foundFileCause(st, place.folder.get()) : errno;
    if (e != 0) {
        ::close(opened);
        return e;
    }
    fd = opened;
    return 0;
}

Fd openFolder(const std::string& path) {
    walk::Place place;
    if (path.empty() || walk::resolve(path, place) != 0 || !place.exists ||
        !S_ISDIR(place.st.st_mode))
        return Fd();
    return Fd(::openat(place.folder.get(), place.name.c_str(),
                       O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

} // namespace sys
