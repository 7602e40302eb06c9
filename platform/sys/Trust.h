// Which files a program may take as the user's own: the rule the file writer applies to a
// file others may have planted, for the readers and loaders too.
#pragma once
#include "platform/sys/Fd.h"

#include <optional>
#include <string>
#include <sys/stat.h>

namespace sys {

// A sticky folder that everyone may write (such as /tmp).
bool stickyForAll(const struct stat& folder);

// Another user's file or FIFO in a sticky folder that everyone may write, which the folder's
// owner does not own either: someone else may have planted it there. The kernel's
// protected_regular and protected_fifos rules refuse to open such a file for writing; our
// programs apply the rule whatever the machine's setting, never write such a file and never
// read, load or run it as their own.
bool plantedInStickyFolder(const struct stat& file, const struct stat& folder);

// Why a file found in the open `folder` may not be taken as the user's own regular file, or
// 0: a folder (EISDIR), a planted file (kNotOurFile), anything else that is no regular file
// (kNotRegularFile); errno when the folder cannot be looked at.
int foundFileCause(const struct stat& file, int folder);

// Why the path may not be taken as the user's own regular file, or 0: paths and links as the
// file writer walks them; a planted file is kNotOurFile, a FIFO, socket or device
// kNotRegularFile; else errno.
int ownFileCause(const std::string& path);

// Opens the user's own regular file for reading (close-on-exec), checked as ownFileCause
// checks it, on the very file opened. Never blocks on a FIFO. 0 and the descriptor, or why not.
int openOwnFile(const std::string& path, int& fd);

// Opens a folder for reading (close-on-exec), its path walked as the file writer walks it:
// no link that another user planted in a sticky folder everyone may write is followed.
// Closed (false) when it cannot be opened so.
Fd openFolder(const std::string& path);

} // namespace sys
