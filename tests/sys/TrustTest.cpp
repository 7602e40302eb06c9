#include "platform/sys/Trust.h"
#include "platform/sys/System.h"
#include "tests/fixtures/Children.h"
#include "tests/fixtures/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;
using test_fixtures::TempFolder;

constexpr uid_t kOther = 61237;

// A file, folder, link or FIFO of `uid` (root only for another user), with `mode`.
void plant(const std::string& path, uid_t uid, mode_t mode, const char* kind = "file") {
    const std::string k = kind;
    if (k == "folder")
        ASSERT_EQ(::mkdir(path.c_str(), 0700), 0) << path;
    else if (k == "fifo")
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
    else if (k == "link")
        ASSERT_EQ(::symlink("../mine", path.c_str()), 0) << path;
    else
        std::ofstream(path) << "planted";
    ASSERT_EQ(::lchown(path.c_str(), uid, uid), 0) << path;
    if (k != "link") {
        ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
    }
}

// Which files a program takes as its own, read as readOwnFile reads them.
TEST(OwnFile, ThePlantedRuleOfTheWriterForReaders) {
    const bool root = ::geteuid() == 0;
    const uid_t me = ::geteuid();
    struct Case {
        const char* what;
        std::function<void()> setUp; // in a folder of our own; "t" is a sticky folder
        const char* path;
        int error;
        bool needsRoot;
    } cases[] = {
        {"ours", [&] { plant("f", me, 0644); }, "f", 0, false},
        {"ours, read-only", [&] { plant("f", me, 0444); }, "f", 0, false},
        {"ours in a sticky folder", [&] { plant("t/f", me, 0644); }, "t/f", 0, false},
        {"missing", [] {}, "t/f", ENOENT, false},
        {"a folder", [&] { plant("t/f", me, 0755, "folder"); }, "t/f", EISDIR, false},
        {"a FIFO, never waited on", [&] { plant("f", me, 0600, "fifo"); }, "f",
         sys::kNotRegularFile, false},
        {"another's file in a sticky folder", [] { plant("t/f", kOther, 0644); }, "t/f",
         sys::kNotOurFile, true},
        {"another's FIFO in a sticky folder", [] { plant("t/f", kOther, 0666, "fifo"); }, "t/f",
         sys::kNotOurFile, true},
        {"another's link in a sticky folder", [] { plant("t/f", kOther, 0, "link"); }, "t/f",
         EACCES, true},
        {"the folder owner's file in a sticky folder",
         [] { ::chown("t", kOther, kOther), plant("t/f", kOther, 0644); }, "t/f", 0, true},
        {"another's file in a folder of ours", [] { plant("f", kOther, 0644); }, "f", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && !root)
            continue; // only root can make another user's files
        TempFolder folder("own-file", TempFolder::Enter::Yes);
        std::ofstream("mine") << "mine";
        ASSERT_EQ(::mkdir("t", 0) | ::chmod("t", 01777), 0);
        c.setUp();
        sys::RealSystem system;
        int error = -1;
        const auto text = system.readOwnFile(c.path, error);
        EXPECT_EQ(error, c.error) << sys::fileErrorText(error);
        EXPECT_EQ(text.has_value(), c.error == 0);
        if (text) {
            EXPECT_EQ(*text, test_fixtures::readAll(c.path));
        }
    }
    if (!root)
        GTEST_SKIP() << "the cases of another user's files need root; the others passed";
}

TEST(ProgramFolder, MappedPathsOfTheRunningFile) {
    const std::string maps =
        "55d0c0a00000-55d0c0a02000 r--p 00000000 fd:01 4242                       "
        "/opt/my wizards/Kestrel\n"
        "55d0c0a02000-55d0c0a09000 r-xp 00002000 fd:01 4242                       "
        "/opt/my wizards/Kestrel\n"
        "55d0c1000000-55d0c1021000 rw-p 00000000 00:00 0                          [heap]\n"
        "7f00a0000000-7f00a0001000 r--p 00000000 fd:01 424                        /lib/x.so\n"
        "7f00a0002000-7f00a0003000 r--p 00000000 fd:01 4242                       "
        "/a\\012b/Kestrel (deleted)\n";
    EXPECT_EQ(sys::mappedPaths(maps, 4242),
              (std::vector<std::string>{"/opt/my wizards/Kestrel", "/opt/my wizards/Kestrel",
                                        "/a\nb/Kestrel (deleted)"}));
    EXPECT_EQ(sys::mappedPaths(maps, 42), std::vector<std::string>{});
    EXPECT_EQ(sys::mappedPaths("", 0), std::vector<std::string>{});
}

// Runs `program` from the folder reached through `steps` one at a time (however long its
// path) and returns what it printed.
std::string runIn(const std::vector<std::string>& steps, const std::string& program) {
    return test_fixtures::inChild(STDOUT_FILENO,
                                  [&] {
                                      for (const auto& step : steps)
                                          if (::chdir(step.c_str()) != 0)
                                              return 2;
                                      ::execl(program.c_str(), program.c_str(), nullptr);
                                      return 127;
                                  })
        .output;
}

// A program whose path is longer than /proc/self/exe can name still finds its folder.
TEST(ProgramFolder, FoundPastTheLengthTheKernelNames) {
    TempFolder top("long-program-folder", TempFolder::Enter::Yes);
    const std::string part(200, 'd');
    constexpr int kDepth = 22;
    std::vector<std::string> steps{top.path.string()};
    std::string expected = top.path.string();
    // Taken down step by step: no path can name the deepest entries at once.
    struct TakeDown {
        std::vector<std::string>& steps;
        const std::string& part;
        ~TakeDown() {
            for (const auto& step : steps)
                if (::chdir(step.c_str()) != 0)
                    break;
            ::unlink("probe");
            for (std::size_t i = 1; i < steps.size(); ++i)
                if (::chdir("..") != 0 || ::rmdir(part.c_str()) != 0)
                    break;
        }
    } takeDown{steps, part};
    for (int i = 0; i < kDepth; ++i) {
        ASSERT_EQ(::mkdir(part.c_str(), 0755) | ::chdir(part.c_str()), 0);
        steps.push_back(part);
        expected += "/" + part;
    }
    ASSERT_GT(expected.size(), 4096u);
    {
        std::ifstream in(PROGRAM_FOLDER_PROBE, std::ios::binary);
        std::ofstream("probe", std::ios::binary) << in.rdbuf();
    }
    ASSERT_EQ(::chmod("probe", 0755), 0);
    fs::current_path(top.path);
    EXPECT_EQ(runIn(steps, "./probe"), expected + "\n");
}

// Without /proc the folder is unknown, and nothing stands in for it.
TEST(ProgramFolder, UnknownWithoutProc) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0)
            ::_exit(3);
        ::_exit(sys::executableFolder().empty() && sys::RealSystem().programFolder().empty() ? 0
                                                                                             : 1);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "cannot hide /proc here (needs root and a mount namespace)";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(sys::executableFolder().empty()) << "found while /proc is there";
}

} // namespace
