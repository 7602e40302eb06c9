#pragma once
#include <array>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace sys {

// Local date and time, broken down (month 1-12).
struct LocalTime {
    int year = 0;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Abbreviated month names, January first, in UTF-8.
using MonthNames = std::array<std::string, 12>;

// Outcome of a file write. `error` is the errno value (0 on success).
struct IoResult {
    bool ok = false;
    int error = 0;
    // Sharing, access or device trouble (a busy or flaky device): worth another try after a
    // pause. Anything else is not, kInUse neither: the lock was already waited for as long as
    // the action may wait.
    bool retryable() const;
};

// The PC as the programs see it. Relative paths are relative to the current folder.
class System {
  public:
    virtual ~System() = default;

    // Folder of the running program, without a trailing "/"; empty when it cannot be found
    // (then nothing is looked for in its place).
    virtual std::string programFolder() = 0;
    virtual std::string currentFolder() = 0;
    virtual bool setCurrentFolder(const std::string& path) = 0;

    // True when the path is not empty, does not end in "/" and names an ordinary file.
    // Wildcards "*" and "?" in the last component match any ordinary file of that folder.
    // Names beginning with "." are hidden and never count; folders never count. For the
    // programs' own files; a file the user named is asked about with namedFileExists.
    virtual bool fileExists(const std::string& path) = 0;
    // As fileExists, but a hidden name counts: the user named it, so it is the user's file
    // (a save must not replace it unasked, a load must find it). A wildcard matches a
    // hidden name only when the pattern begins with ".".
    virtual bool namedFileExists(const std::string& path) = 0;

    virtual bool deleteFile(const std::string& path) = 0;
    // The whole regular file, or nothing when it cannot be read. Paths and links as for
    // writeFile; a save in place under way is waited for, within the limit of saves.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // As readFile, for a file the program takes as its own (one it runs, or a listing another
    // program of ours left): a file the writer would refuse as planted by another user is
    // refused (kNotOurFile). Nothing, with `error` set to why, when it cannot be read.
    virtual std::optional<std::string> readOwnFile(const std::string& path, int& error) = 0;
    // Creates or replaces the regular file with exactly these bytes, whole or not at all: a
    // write that fails leaves an earlier file as it was. A file the user may not write, or
    // one without any write bit, is refused (EACCES), for root too, and so is another user's
    // file or FIFO in a sticky, world-writable folder unless the folder's owner owns it. A
    // FIFO, socket or device is refused at once (kNotRegularFile). The file keeps its owner,
    // group, mode, ACLs, other attributes but its capabilities, inode flags and other hard
    // links. A symbolic link stays and its target gets the bytes (one that does not exist yet
    // is made), except a link in a sticky, world-writable folder that is neither the user's
    // nor the folder owner's. Saves of one file take turns through a lock of the file; a save
    // that cannot have it within its limit (LockLimits) fails with kInUse and changes nothing.
    // A save removes what killed saves of the file left beside it (leftoverOf).
    virtual IoResult writeFile(const std::string& path, const std::string& bytes) = 0;
    // Appends the bytes (creating the file when missing); open, write and close in one call.
    // A failed append leaves the file as it was; links, rights and turns as for writeFile, with
    // the shorter limit of log lines.
    virtual IoResult appendFile(const std::string& path, const std::string& bytes) = 0;

    virtual LocalTime localTime() = 0;
    // The month names of log lines (logMonthNames of the user's LC_TIME language).
    virtual const MonthNames& monthNames() = 0;
};

// A write refused because its target is not a regular file (a FIFO, a socket, a device).
inline constexpr int kNotRegularFile = EMEDIUMTYPE;
// A file that another program holds (its lock, or a lease) for longer than the action may
// wait.
inline constexpr int kInUse = EWOULDBLOCK;
// A file refused as planted by another user in a folder everyone may write (Trust.h).
inline constexpr int kNotOurFile = EOWNERDEAD;
// The text of an error of the file functions: strerror's, "not a regular file" for
// kNotRegularFile, "in use by another program" for kInUse and "another user's file in a
// folder everyone may write" for kNotOurFile.
std::string fileErrorText(int error);

// How long an action waits for a file's lock before it fails with kInUse. Programs of ours
// hold one for a few milliseconds; anyone who may read a file can hold a read lock on it for
// ever. Log lines must never hold the window up, so an append waits far less.
struct LockLimits {
    int saveMs = 3000;  // writeFile, and readFile waiting for a save in place
    int appendMs = 100; // appendFile
};

// A moment by which a wait ends.
using Deadline = std::chrono::steady_clock::time_point;
Deadline deadlineIn(int ms);
// Calls `take` until it answers anything but kInUse (another holds what it takes), with
// short pauses that grow to a few milliseconds: its answer, or kInUse when the deadline
// passes first.
int takeBefore(Deadline deadline, const std::function<int()>& take);

// Whether `name` is what a save of `target` names its new file just before the rename:
// ".TARGET.new-XXXXXX" (TARGET cut to 200 bytes, six letters or digits). A save killed
// between the two leaves it; the next save of the target removes it when it is a regular
// file of the user's, without other links, that no save under way holds.
bool leftoverOf(const std::string& target, std::string_view name);

// Makes a write past the file-size limit (ulimit -f) fail with EFBIG, as any failed write,
// instead of killing the program halfway. Every program of ours that writes files calls it
// first.
void ignoreFileSizeSignal();

// The steps of RealSystem::writeFile, in order: a temporary file is created beside the
// target (unnamed where the file system can), takes all the bytes, is flushed to the disk,
// gets the old file's owner, mode and attributes, is closed with a hidden name and is
// renamed over the target. A file that a new one could not
// stand in for (another owner's, one with other hard links, one in a folder the user cannot
// write) is written in place, through Write and Sync alone.
enum class WriteStep { Create, Write, Sync, Permissions, Close, Rename };
inline constexpr WriteStep kWriteSteps[] = {WriteStep::Create, WriteStep::Write,
                                            WriteStep::Sync,   WriteStep::Permissions,
                                            WriteStep::Close,  WriteStep::Rename};

// The real PC. The program folder comes from /proc/self/exe unless given (tests).
class RealSystem : public System {
  public:
    RealSystem();
    explicit RealSystem(std::string programFolder);

    // Replaces the local time source (tests pin the time of log lines).
    void setTimeSource(std::function<LocalTime()> source) { timeSource_ = std::move(source); }
    // Replaces the month names read from the user's locale (tests pin them too).
    void setMonthNames(const MonthNames& names) { monthNames_ = names; }
    // Makes writeFile fail a step with the errno the function returns for it (0: the step
    // runs). A failed Write has written half the bytes, as a full disk would.
    void setWriteFault(std::function<int(WriteStep)> fault) { writeFault_ = std::move(fault); }
    // Replaces the limits of the waits for locks (tests wait less).
    void setLockLimits(LockLimits limits) { lockLimits_ = limits; }

    std::string programFolder() override { return programFolder_; }
    std::string currentFolder() override;
    bool setCurrentFolder(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    bool namedFileExists(const std::string& path) override;
    bool deleteFile(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    std::optional<std::string> readOwnFile(const std::string& path, int& error) override;
    IoResult writeFile(const std::string& path, const std::string& bytes) override;
    IoResult appendFile(const std::string& path, const std::string& bytes) override;
    // As writeFile, but a file it makes is the user's alone (0600), for files that no one
    // else may change (a cache).
    IoResult writePrivateFile(const std::string& path, const std::string& bytes);
    LocalTime localTime() override;
    const MonthNames& monthNames() override;

  private:
    IoResult save(const std::string& path, const std::string& bytes, mode_t newMode);

    std::string programFolder_;
    std::function<LocalTime()> timeSource_;
    std::optional<MonthNames> monthNames_; // read on first use
    std::function<int(WriteStep)> writeFault_;
    LockLimits lockLimits_;
};

// Folder of the running executable (from /proc/self/exe, or for a path longer than the kernel
// names there, from the process's mappings); empty when it cannot be found.
std::string executableFolder();
// The paths of the mappings of file `inode` in a /proc/PID/maps text, in order, the kernel's
// "\012" decoded to a line end.
std::vector<std::string> mappedPaths(std::string_view maps, ino_t inode);

// System::fileExists for a path a user typed: one ending in "\\" names a folder, as one
// ending in "/" does, never a file.
bool typedFileExists(System& system, const std::string& path);
// The same for System::namedFileExists: a file the user named, hidden or not.
bool typedNamedFileExists(System& system, const std::string& path);

// Makes the folder and any missing folder above it, each for the user alone (0700); true
// when it is there.
bool makeOwnFolders(const std::filesystem::path& folder);

// Joins a folder and a name with "/" (no doubled separator).
std::string joinPath(const std::string& folder, const std::string& name);

// Matches a file name against a pattern of "*" (any run) and "?" (one character).
bool wildcardMatch(std::string_view pattern, std::string_view name);

} // namespace sys
