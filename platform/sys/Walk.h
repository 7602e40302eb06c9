// Inside platform/sys: paths walked one component at a time from open folders, for the file
// reader and writer.
#pragma once
#include "platform/sys/Fd.h"

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace sys::walk {

using sys::Fd;

// The folder that holds the name a path leads to, and the name in it. The name is no
// symbolic link when it was looked at; `exists` tells whether it was there at all and `st`
// is what it was then.
struct Place {
    Fd folder;
    std::string name;
    bool exists = false;
    struct stat st {};
};

// Walks the path from open folders, so that its length is not bounded and nothing can be
// swapped in behind a check. A link is followed only where the kernel's protected_symlinks
// rule would allow it (applied whatever the machine's setting); a dangling link leads to
// the name its target would have. A link of /proc (/proc/self/fd/N, /dev/stdout) that ends
// the path counts only when its text leads to the very file it stands for: a pipe, a socket
// or a device is not a regular file (kNotRegularFile), a deleted file has no name (ENOENT);
// one inside the path leads to the folder it stands for (/proc/self/root/...). errno, else 0.
int resolve(const std::string& path, Place& out);

// Whether two looks saw the same file (device and inode).
bool sameFile(const struct stat& a, const struct stat& b);

} // namespace sys::walk
