#include "platform/sys/System.h"
#include "tests/fixtures/Children.h"
#include "tests/fixtures/TempFolder.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace {

using test_fixtures::TempFolder;

// A program whose path is longer than /proc/self/exe can name still finds its folder, from
// its mappings, whose names the kernel escapes.
TEST(ProgramFolder, FoundPastTheLengthTheKernelNames) {
    TempFolder top("long-program-folder", TempFolder::Enter::Yes);
    const std::string part = std::string(99, 'd') + " \n" + std::string(99, 'd');
    // No path names the deepest folders at once: rm takes them down step by step.
    struct RemoveDeep {
        std::string path;
        ~RemoveDeep() {
            test_fixtures::inChild(STDOUT_FILENO, [&] {
                return ::execl("/bin/rm", "rm", "-rf", path.c_str(), nullptr), 127;
            });
        }
    } removeDeep{(top.path / part).string()};
    std::string expected = top.path.string();
    for (int i = 0; i < 22; ++i) {
        ASSERT_EQ(::mkdir(part.c_str(), 0755) | ::chdir(part.c_str()), 0);
        expected += "/" + part;
    }
    ASSERT_GT(expected.size(), 4096u);
    {
        std::ifstream in(PROGRAM_FOLDER_PROBE, std::ios::binary);
        std::ofstream("probe", std::ios::binary) << in.rdbuf();
    }
    ASSERT_EQ(::chmod("probe", 0755), 0);
    const auto probe = test_fixtures::inChild(
        STDOUT_FILENO, [] { return ::execl("./probe", "probe", nullptr), 127; });
    EXPECT_EQ(probe.output, expected + "\n");
}

// Without /proc the folder is unknown, and nothing stands in for it.
TEST(ProgramFolder, UnknownWithoutProc) {
    const int status = test_fixtures::atOnce(1, [](int) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0)
            return 3;
        return sys::executableFolder().empty() && sys::RealSystem().programFolder().empty() ? 0 : 1;
    })[0];
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "cannot hide /proc here (needs root and a mount namespace)";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(sys::executableFolder().empty()) << "found while /proc is there";
}

} // namespace
