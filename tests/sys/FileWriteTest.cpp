// The writer and reader of files (FileWrite.cpp) and the walk of their paths (Walk.cpp).
#include "platform/sys/Log.h"
#include "platform/sys/System.h"
#include "tests/fixtures/Children.h"
#include "tests/fixtures/TempFolder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

using test_fixtures::TempFolder;

// Ids for files of other users; the plain user is a member of kShared.
constexpr uid_t kUser = 61234, kOther = 61235;
constexpr gid_t kShared = 61236;

class FileWriteTest : public ::testing::Test {
  protected:
    FileWriteTest() {
        std::ofstream("ports.txt") << "LPT1:\r\n";
        std::filesystem::create_directory("sub");
        std::ofstream("sub/a.ksf") << "x";
    }
    TempFolder folder{"filewrite", TempFolder::Enter::Yes};
    sys::RealSystem system{"/nowhere"};
};

TEST_F(FileWriteTest, WriteReadAppendDelete) {
    EXPECT_TRUE(system.writeFile("out.bin", std::string("a\0b\r\n", 5)).ok);
    EXPECT_TRUE(system.appendFile("out.bin", "tail").ok);
    EXPECT_EQ(system.readFile("out.bin"), std::string("a\0b\r\ntail", 9));
    EXPECT_TRUE(system.writeFile("out.bin", "new").ok);
    EXPECT_EQ(system.readFile("out.bin"), "new");
    EXPECT_TRUE(system.deleteFile("out.bin"));
    EXPECT_FALSE(system.readFile("out.bin"));
    auto r = system.writeFile("no/such/folder/x", "y");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOENT);
    EXPECT_FALSE(r.retryable());
}

// The folder's entries, to see that no temporary file is left behind.
std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(FileWriteTest, FailedWriteAtAnyStepKeepsTheOldFileWhole) {
    std::filesystem::permissions("ports.txt", std::filesystem::perms(0640));
    const auto before = entries(".");
    for (sys::WriteStep failing : sys::kWriteSteps) {
        system.setWriteFault([&](sys::WriteStep s) { return s == failing ? ENOSPC : 0; });
        auto r = system.writeFile("ports.txt", std::string(10000, 'n'));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, ENOSPC);
        EXPECT_EQ(system.readFile("ports.txt"), "LPT1:\r\n") << static_cast<int>(failing);
        EXPECT_EQ(entries("."), before) << static_cast<int>(failing);
        // A new file is not left half made either.
        EXPECT_FALSE(system.writeFile("new.txt", "x").ok);
        EXPECT_FALSE(std::filesystem::exists("new.txt"));
    }
    system.setWriteFault(nullptr);
    ASSERT_TRUE(system.writeFile("ports.txt", "COM1:\r\n").ok);
    EXPECT_EQ(system.readFile("ports.txt"), "COM1:\r\n");
    EXPECT_EQ(std::filesystem::status("ports.txt").permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(entries("."), before);
    // A new file gets the usual rights, not the temporary file's private ones.
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(system.writeFile("new.txt", "x").ok);
    ::umask(mask);
    EXPECT_EQ(std::filesystem::status("new.txt").permissions(), std::filesystem::perms(0644));
}

TEST_F(FileWriteTest, WriteBeyondTheFileSizeLimitKeepsTheOldFile) {
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    auto r = system.writeFile("ports.txt", std::string(10000, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EFBIG);
    EXPECT_EQ(system.readFile("ports.txt"), "LPT1:\r\n");
    EXPECT_EQ(entries("."), (std::vector<std::string>{"ports.txt", "sub"}));
}

// Two programs saving one file at once, 100 times each, and one reading it meanwhile: every
// text read or left is one save's whole, on the in-place path (a second hard link) and on
// the rename path alike; run by root, also as a plain user.
TEST_F(FileWriteTest, SavesAtOnceNeverMix) {
    const std::string texts[] = {std::string(60000, 'a'), std::string(40000, 'b')};
    for (int run = 0; run < (::geteuid() == 0 ? 4 : 2); ++run) {
        const bool linked = run % 2 == 0, plain = run >= 2;
        ASSERT_TRUE(system.writeFile("both.txt", texts[0]).ok);
        if (linked) {
            ASSERT_EQ(::link("both.txt", "other.txt"), 0);
        }
        if (plain) {
            ASSERT_EQ(::chown(".", kUser, kUser) | ::chown("both.txt", kUser, kUser), 0);
        }
        const auto statuses = test_fixtures::atOnce(3, [&](int p) {
            if (plain && !test_fixtures::becomeUser(kUser))
                return 2;
            sys::RealSystem own("/x");
            for (int i = 0; i < 100; ++i) {
                const auto text = own.readFile("both.txt");
                if (p < 2 ? !own.writeFile("both.txt", texts[p]).ok
                          : text != texts[0] && text != texts[1])
                    return 1;
            }
            return 0;
        });
        EXPECT_EQ(statuses, std::vector<int>(3, 0))
            << (linked ? "in place" : "by rename") << (plain ? ", user" : "");
        const auto left = system.readFile("both.txt");
        EXPECT_TRUE(left == texts[0] || left == texts[1]);
        if (linked) {
            EXPECT_EQ(system.readFile("other.txt"), left);
            ::unlink("other.txt");
        }
    }
}

// Anyone who may read a file can hold a read lock on it for as long as they like: a save, an
// append and a log line end their wait within their limit with the cause and change nothing;
// a read is held up only by a write lock, and as long at most.
TEST_F(FileWriteTest, ALockHeldElsewhereEndsTheWaitInTime) {
    using namespace std::chrono_literals;
    EXPECT_EQ(sys::fileErrorText(sys::kInUse), "in use by another program");
    ::chmod(".", 0755);
    system.setLockLimits({300, 100});
    const struct {
        const char* what;
        uid_t user; // 0: the user's own other program (an open file description lock)
        short type;
    } holders[] = {
        {"another program's read lock", 0, F_RDLCK},
        {"another user's read lock", kOther, F_RDLCK},
        {"another user's write lock", kOther, F_WRLCK},
    };
    for (const auto& h : holders) {
        SCOPED_TRACE(h.what);
        if (h.user != 0 && ::geteuid() != 0)
            GTEST_SKIP() << "only root can hold a lock as another user";
        test_fixtures::writeAll("f", "old");
        ::chmod("f", 0666);
        {
            const test_fixtures::HeldElsewhere holder(h.user, [&] {
                struct flock l {};
                l.l_type = h.type;
                const int fd = ::open("f", h.type == F_RDLCK ? O_RDONLY : O_RDWR);
                return ::fcntl(fd, h.user ? F_SETLK : F_OFD_SETLK, &l) == 0;
            });
            ASSERT_TRUE(holder.held());
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(system.writeFile("f", "new").error, sys::kInUse);
            const auto waited = std::chrono::steady_clock::now() - start;
            EXPECT_GE(waited, 300ms);
            EXPECT_LT(waited, 30s) << "no wait without a limit";
            EXPECT_EQ(system.appendFile("f", "line").error, sys::kInUse);
            int sleeps = 0;
            EXPECT_FALSE(sys::appendLogLine(system, "f", "line", 2, [&](int) { ++sleeps; }));
            EXPECT_EQ(sleeps, 0) << "a log line in use is left out at once";
            const auto unlessWritten =
                h.type == F_RDLCK ? std::optional<std::string>("old") : std::nullopt;
            EXPECT_EQ(system.readFile("f"), unlessWritten);
            int error = 0;
            EXPECT_EQ(system.readOwnFile("f", error), unlessWritten) << "nor one run as ours";
            EXPECT_EQ(test_fixtures::readAll("f"), "old");
            EXPECT_EQ(entries("."), (std::vector<std::string>{"f", "ports.txt", "sub"}));
        }
        EXPECT_TRUE(system.writeFile("f", "new").ok) << "released, the save goes through";
    }
}

// A save killed between naming its new file and the rename leaves the whole new file beside
// the old one; the next save removes it, and nothing that is not such a leftover of ours.
TEST_F(FileWriteTest, ASaveKilledAtTheRenameIsClearedByTheNext) {
    std::filesystem::create_directory("t");
    test_fixtures::writeAll("t/T", "old");
    const int status = test_fixtures::atOnce(1, [](int) {
        sys::RealSystem killed("/x");
        killed.setWriteFault([](sys::WriteStep step) {
            return step == sys::WriteStep::Rename ? ::raise(SIGKILL) : 0;
        });
        return killed.writeFile("t/T", "new").ok ? 0 : 1;
    })[0];
    ASSERT_TRUE(WIFSIGNALED(status));
    const auto left = entries("t");
    ASSERT_EQ(left.size(), 2u);
    EXPECT_TRUE(sys::leftoverOf("T", left.front())) << left.front(); // "." sorts first
    EXPECT_EQ(test_fixtures::readAll("t/" + left.front()), "new") << "the whole new file";
    EXPECT_EQ(system.readFile("t/T"), "old");
    EXPECT_TRUE(
        sys::leftoverOf(std::string(250, 'a'), "." + std::string(200, 'a') + ".new-a1B2c3"));

    // Beside it: what a leftover is (removed), and what is not (kept).
    struct flock writeLock {};
    writeLock.l_type = F_WRLCK;
    auto file = [](const std::string& p) { test_fixtures::writeAll(p, "x"); };
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
        bool removed;
    } beside[] = {
        {".T.new-AAAAAA", file, true},
        {".T.new-BBBBBB", // the new file of a save under way
         [&](auto& p) { file(p), ::fcntl(::open(p.c_str(), O_RDWR), F_OFD_SETLK, &writeLock); },
         false},
        {".T.new-CCCCCC", [](auto& p) { ::symlink("T", p.c_str()); }, false},
        {".T.new-DDDDDD", [](auto& p) { ::mkfifo(p.c_str(), 0600); }, false},
        {".T.new-EEEEEE", [](auto& p) { ::mkdir(p.c_str(), 0700); }, false},
        {".T.new-FFFFFF", [&](auto& p) { file(p), ::link(p.c_str(), "t/other"); }, false},
        {".T.new-GGGGGG", [&](auto& p) { file(p), ::chown(p.c_str(), kOther, kOther); },
         ::geteuid() != 0},
        {".T.a1B2c3", file, false},
        {".T.new-a1B2c", file, false},
        {".T.new-a1B2c3d", file, false},
        {".T.new-a1.2c3", file, false},
        {".U.new-a1B2c3", file, false},
    };
    std::vector<std::string> kept = {"T", "other"};
    for (const auto& b : beside) {
        b.make("t/" + std::string(b.name));
        if (!b.removed)
            kept.push_back(b.name);
    }
    ASSERT_TRUE(system.writeFile("t/T", "newer").ok);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(entries("t"), kept);
    EXPECT_EQ(system.readFile("t/T"), "newer");
}

// Links of /proc that stand for folders lead there, as the kernel takes them (used from "/").
TEST_F(FileWriteTest, PathsThroughFolderLinksOfProc) {
    const std::string here = std::filesystem::current_path().string();
    const int pinned = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::chdir("/"), 0);
    for (const std::string& path :
         {"/proc/self/root" + here + "/a", "/proc/self/root/proc/self/root" + here + "/sub/../b",
          "/proc/self/cwd" + here + "/c", "/dev/fd/" + std::to_string(pinned) + "/sub/d"}) {
        const sys::IoResult saved = system.writeFile(path, "saved");
        EXPECT_TRUE(saved.ok) << path << ": " << sys::fileErrorText(saved.error);
        EXPECT_TRUE(system.appendFile(path, "+").ok) << path;
        EXPECT_TRUE(system.namedFileExists(path)) << path;
        EXPECT_EQ(system.readFile(path), "saved+") << path;
    }
    EXPECT_EQ(system.writeFile("/proc/self/cwd", "x").error, EISDIR) << "still a folder";
    ASSERT_EQ(::chdir(here.c_str()), 0);
    for (const char* name : {"a", "b", "c", "sub/d"})
        EXPECT_EQ(test_fixtures::readAll(name), "saved+") << name;
    ::close(pinned);
}

// A path longer than one system call takes is saved, found and loaded again.
TEST_F(FileWriteTest, APathOfAnyLengthIsSavedAndLoaded) {
    std::string path;
    while (path.size() < 4200)
        path += "sub/../";
    EXPECT_TRUE(system.writeFile(path + "long.ksf", "saved").ok);
    EXPECT_TRUE(system.namedFileExists(path + "long.ksf"));
    EXPECT_EQ(system.readFile(path + "long.ksf"), "saved");
}

TEST_F(FileWriteTest, WriteThroughALinkReplacesItsTarget) {
    std::filesystem::create_symlink("sub/a.ksf", "link.ksf");
    ASSERT_TRUE(system.writeFile("link.ksf", "new").ok);
    EXPECT_TRUE(std::filesystem::is_symlink("link.ksf"));
    EXPECT_EQ(system.readFile("sub/a.ksf"), "new");
    EXPECT_EQ(system.writeFile("sub", "x").error, EISDIR);
}

void make(const std::string& path, mode_t mode, uid_t uid = kUser, gid_t gid = kUser) {
    std::ofstream(path) << "old";
    ASSERT_EQ(::chown(path.c_str(), uid, gid) | ::chmod(path.c_str(), mode), 0) << path;
}
void symlinkOf(const std::string& target, const std::string& path, uid_t uid = kUser) {
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()) | ::lchown(path.c_str(), uid, uid), 0);
}
void folder(const std::string& path, mode_t mode) {
    ASSERT_EQ(::mkdir(path.c_str(), 0) | ::chmod(path.c_str(), mode), 0);
}
// A FIFO; with `reader`, one end is held open here to see that nothing reaches it.
int fifoReader = -1;
void fifo(const std::string& path, uid_t uid, bool reader) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0) | ::chmod(path.c_str(), 0666) |
                  ::chown(path.c_str(), uid, uid),
              0);
    if (reader)
        fifoReader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
}
// Opens the file as descriptor `fd`, which the child inherits: /proc/self/fd/<fd>.
void openAs(int fd, int opened) {
    ASSERT_EQ(::dup2(opened, fd), fd);
    ::close(opened);
}
void run(std::vector<const char*> argv) {
    argv.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execv(argv[0], const_cast<char**>(argv.data()));
        ::_exit(127);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    ASSERT_EQ(status, 0) << argv[0] << " " << argv[1];
}

// What a name carries: owner, group, mode, link count, inode flags and extended attributes
// (ACLs too) but `skipped`.
std::string carried(const std::string& path, const std::string& skipped = "") {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return "missing";
    std::string out = std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) + " " +
                      std::to_string(st.st_mode) + " " + std::to_string(st.st_nlink);
    int flags = 0;
    if (const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW); fd >= 0)
        out += ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 ? " flags " + std::to_string(flags) : "",
            ::close(fd);
    char names[4096], value[4096];
    const ssize_t n = ::llistxattr(path.c_str(), names, sizeof names);
    for (ssize_t at = 0; at < n; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        if (names + at == skipped)
            continue;
        const ssize_t v = ::lgetxattr(path.c_str(), names + at, value, sizeof value);
        out += std::string(" ") + (names + at) + "=" + std::string(value, std::max<ssize_t>(v, 0));
    }
    return out;
}

// Each case on real files, written by root and by a plain user (a child that takes the ids).
TEST(Writer, RealFilesAsRootAndAsAPlainUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make files of other users and become a plain user";
    const char* acl = "u:61235:rw";
    const char* fd = "/proc/self/fd/100";
    // Capabilities the kernel would drop on the first write (version 2, CAP_NET_RAW).
    const std::string capability("\x01\0\0\x02\0\x20\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20);
    struct Case {
        const char* what;
        std::function<void()> setUp; // in the case's folder
        const char* path;
        const char* file; // whose bytes and attributes are looked at
        int error;
        bool fullDisk = false, append = false;
        const char* dropped = ""; // an attribute the new content must not have
    } cases[] = {
        {"read-only", [] { make("f", 0444); }, "f", "f", EACCES},
        {"another's, the group may write", [] { make("f", 0664, kOther, kShared); }, "f", "f", 0},
        {"ACL and attribute",
         [&] {
             make("f", 0640);
             run({"/usr/bin/setfacl", "-m", acl, "f"});
             run({"/usr/bin/setfattr", "-n", "user.note", "-v", "kept", "f"});
         },
         "f", "f", 0},
        {"folder's default ACL, file without",
         [&] {
             run({"/usr/bin/setfacl", "-d", "-m", acl, "."});
             make("f", 0644);
             run({"/usr/bin/setfacl", "-b", "f"});
         },
         "f", "f", 0},
        {"a group the user is not in", [] { make("f", 0664, kUser, kOther); }, "f", "f", 0},
        {"hard link", [] { make("f", 0644), ::link("f", "g"); }, "g", "f", 0},
        {"dangling link", [] { symlinkOf("made", "d"); }, "d", "made", 0},
        {"loop", [] { symlinkOf("b", "a"), symlinkOf("a", "b"); }, "a", "a", ELOOP},
        {"another's link in a sticky folder",
         [] { make("secret", 0600, 0, 0), folder("t", 01777), symlinkOf("../secret", "t/p"); },
         "t/p", "secret", EACCES},
        {"the folder owner's link in a sticky folder",
         [] { make("f", 0666), folder("t", 01777), symlinkOf("../f", "t/p", 0); }, "t/p", "f", 0},
        {"another's file in a sticky folder",
         [] { folder("t", 01777), make("t/f", 0666, kOther, kOther); }, "t/f", "t/f", EACCES},
        {"the folder owner's file in a sticky folder",
         [] { folder("t", 01777), make("t/f", 0666, 0, 0); }, "t/f", "t/f", 0},
        {"another's FIFO in a sticky folder", [] { folder("t", 01777), fifo("t/f", kOther, true); },
         "t/f", "t/f", EACCES},
        {"FIFO without a reader", [] { fifo("f", kUser, false); }, "f", "f", sys::kNotRegularFile},
        {"FIFO, append", [] { fifo("f", kUser, true); }, "f", "f", sys::kNotRegularFile, false,
         true},
        {"pipe",
         [] {
             int p[2];
             ::pipe(p), ::close(p[0]), openAs(100, p[1]);
         },
         fd, fd, sys::kNotRegularFile},
        {"deleted file",
         [] { make("gone", 0666), openAs(100, ::open("gone", O_RDWR)), ::unlink("gone"); }, fd, fd,
         ENOENT},
        {"capabilities",
         [&] {
             make("f", 0755);
             ASSERT_EQ(::setxattr("f", "security.capability", capability.data(), 20, 0), 0);
         },
         "f", "f", 0, false, false, "security.capability"},
        {"no-dump flag",
         [] {
             make("f", 0644), run({"/usr/bin/chattr", "+d", "f"});
         },
         "f", "f", 0},
        {"unwritable folder", [] { folder("r", 0555), make("r/f", 0666); }, "r/f", "r/f", 0},
        {"full disk", [] { make("f", 0644); }, "f", "f", EFBIG, true},
        {"full disk, in place", [] { make("f", 0644), ::link("f", "g"); }, "f", "f", EFBIG, true},
        {"append", [] { make("f", 0644); }, "f", "f", 0, false, true},
        {"full disk, append", [] { make("f", 0644); }, "f", "f", EFBIG, true, true},
        {"full disk, new file", [] {}, "n", "n", EFBIG, true},
    };
    TempFolder top("writer", TempFolder::Enter::Yes);
    ::chmod(top.path.c_str(), 0755);
    for (const Case& c : cases) {
        for (bool plain : {false, true}) {
            const std::string where =
                top.path.string() + "/" + c.what + (plain ? " user" : " root");
            folder(where, 0755);
            ASSERT_EQ(::chown(where.c_str(), kUser, kUser), 0);
            std::filesystem::current_path(where);
            c.setUp();
            const std::string bytes = c.fullDisk ? std::string(10000, 'n') : "new";
            const std::string before = carried(c.file, c.dropped),
                              link = carried(c.path, c.dropped);
            const auto oldBytes = sys::RealSystem("/x").readFile(c.file);
            auto entries = [&] {
                return std::distance(std::filesystem::recursive_directory_iterator(where), {});
            };
            auto count = entries();
            const int status = test_fixtures::atOnce(1, [&](int) {
                const rlimit small{4096, 4096};
                const gid_t groups[] = {kUser, kShared};
                sys::ignoreFileSizeSignal();
                ::alarm(5); // a FIFO is never waited on
                if ((c.fullDisk && ::setrlimit(RLIMIT_FSIZE, &small) != 0) ||
                    (plain && (::setgroups(2, groups) | ::setgid(kUser) | ::setuid(kUser) |
                               ::prctl(PR_SET_DUMPABLE, 1)))) // /proc/self stays its own
                    return 255;
                sys::RealSystem system("/x");
                auto r =
                    c.append ? system.appendFile(c.path, bytes) : system.writeFile(c.path, bytes);
                return r.ok ? 0 : r.error;
            })[0];
            const std::string ctx = std::string(c.what) + (plain ? " (user)" : " (root)");
            EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.error) << ctx;
            const auto expected = c.error ? oldBytes : (c.append ? "old" + bytes : bytes);
            EXPECT_EQ(sys::RealSystem("/x").readFile(c.file), expected) << ctx;
            EXPECT_EQ(carried(c.path), link) << ctx;
            if (before != "missing") {
                EXPECT_EQ(carried(c.file), before) << ctx;
            } else if (!c.error) {
                ++count;
            }
            EXPECT_EQ(entries(), count) << ctx << ": nothing left behind";
            char byte = 0;
            if (fifoReader >= 0) {
                EXPECT_LE(::read(fifoReader, &byte, 1), 0) << ctx << ": nothing reached the FIFO";
                ::close(std::exchange(fifoReader, -1));
            }
        }
    }
    ::close(100);
}

} // namespace
