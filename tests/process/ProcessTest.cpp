#include "platform/process/Processes.h"
#include "platform/sys/System.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/FakeProcessRunner.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using test_fixtures::TempFolder;

using Args = std::vector<std::string>;

struct SplitCase {
    std::string line;
    Args args;
};

class SplitCommandLine : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, Table) {
    EXPECT_EQ(proc::splitCommandLine(GetParam().line), GetParam().args) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitCommandLine,
    ::testing::Values(
        SplitCase{"", {}}, SplitCase{"   \t ", {}},
        SplitCase{"Plover Wren.exe", {"Plover", "Wren.exe"}},
        SplitCase{"  a   b\tc  ", {"a", "b", "c"}},
        SplitCase{"\"/opt/my wizard/Plover\" Wren.exe", {"/opt/my wizard/Plover", "Wren.exe"}},
        // The program name knows no escapes.
        SplitCase{"C:\\dir\\prog.exe x", {"C:\\dir\\prog.exe", "x"}},
        SplitCase{"\"C:\\dir\\\" x", {"C:\\dir\\", "x"}},
        SplitCase{"p \"a b\" c", {"p", "a b", "c"}}, SplitCase{"p a\"b c\"d", {"p", "ab cd"}},
        SplitCase{"p \"\"", {"p", ""}}, SplitCase{"p \\\"a", {"p", "\"a"}}, // 1 backslash + quote
        SplitCase{"p \\\\\"a b\"", {"p", "\\a b"}}, // 2 backslashes + quote opens
        SplitCase{"p \\\\\\\"a", {"p", "\\\"a"}},   // 3 backslashes + quote
        SplitCase{"p a\\\\b", {"p", "a\\\\b"}},     // backslashes without quote stay
        SplitCase{"p \"a\"\"b\"", {"p", "a\"b"}},   // doubled quote inside a group
        SplitCase{"p \"open ended", {"p", "open ended"}},
        SplitCase{"rundll32 printui.dll,PrintUIEntry /q /dl /n \"Kestrel\"",
                  {"rundll32", "printui.dll,PrintUIEntry", "/q", "/dl", "/n", "Kestrel"}},
        SplitCase{
            "rundll32 printui.dll,PrintUIEntry /q /u /if /b \"Kestrel\" /f \\inf\\ntprint.inf "
            "/r \"LPT1:\" /m \"Generic / Text Only\"",
            {"rundll32", "printui.dll,PrintUIEntry", "/q", "/u", "/if", "/b", "Kestrel", "/f",
             "\\inf\\ntprint.inf", "/r", "LPT1:", "/m", "Generic / Text Only"}}));

TEST(QuoteArgument, RoundTrips) {
    for (std::string a :
         {"plain", "with blank", "", "q\"uote", "tail\\", "both \\\" x\\\\", "tab\there"}) {
        auto args = proc::splitCommandLine("prog " + proc::quoteArgument(a));
        ASSERT_EQ(args.size(), 2u) << a;
        EXPECT_EQ(args[1], a);
    }
}

void makeExecutable(const fs::path& p) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "x";
    fs::permissions(p, fs::perms::owner_all);
}

TEST(FindProgram, SearchOrderAndExeSuffix) {
    TempFolder tmp("findprogram", TempFolder::Enter::Yes);
    fs::path root = tmp.path;
    makeExecutable(root / "prog dir" / "Wren");
    makeExecutable(root / "cur" / "Wren");
    makeExecutable(root / "cur" / "Tool.exe");
    makeExecutable(root / "path1" / "Other");
    std::ofstream(root / "path1" / "Plain") << "not executable";
    const std::string prog = (root / "prog dir").string(), cur = (root / "cur").string();
    const std::string path = "/nonexistent:" + (root / "path1").string();

    EXPECT_EQ(proc::findProgram("Wren.exe", prog, cur, path), prog + "/Wren");
    EXPECT_EQ(proc::findProgram("Wren", "/nowhere", cur, path), cur + "/Wren");
    EXPECT_EQ(proc::findProgram("Tool.exe", prog, cur, path), cur + "/Tool.exe");
    EXPECT_EQ(proc::findProgram("Other.exe", prog, cur, path), (root / "path1" / "Other").string());
    EXPECT_EQ(proc::findProgram("Plain", prog, cur, path), std::nullopt);
    EXPECT_EQ(proc::findProgram("Missing", prog, cur, path), std::nullopt);
    EXPECT_EQ(proc::findProgram("", prog, cur, path), std::nullopt);
    // A name with a folder is a path, relative to the current folder.
    EXPECT_EQ(proc::findProgram("../cur/Wren", prog, (root / "path1").string(), ""),
              (root / "path1").string() + "/../cur/Wren");
    EXPECT_EQ(proc::findProgram("./Other", prog, cur, path), std::nullopt);
}

// Why nothing was found, and where the search looks without the program's own folder.
TEST(FindProgram, CausesAndNoCurrentFolderWithoutTheProgramsFolder) {
    TempFolder tmp("findprogram-why", TempFolder::Enter::Yes);
    fs::path root = tmp.path;
    makeExecutable(root / "cur" / "Wren");
    makeExecutable(root / "path1" / "Other");
    std::ofstream(root / "path1" / "Plain") << "not executable";
    fs::create_directories(root / "path1" / "Folder");
    const std::string cur = (root / "cur").string(), path = (root / "path1").string();
    const struct {
        const char* name;
        const char* programFolder;
        std::optional<std::string> found;
        int why;
    } cases[] = {
        {"Wren", "", std::nullopt, ENOENT}, // the current folder does not stand in
        {"Wren", "/nowhere", cur + "/Wren", 0}, {"Other.exe", "", path + "/Other", 0},
        {"Missing", "", std::nullopt, ENOENT},  {"Plain", "", std::nullopt, EACCES},
        {"Folder", "", std::nullopt, EISDIR},
    };
    for (const auto& c : cases) {
        int why = -1;
        EXPECT_EQ(proc::findProgram(c.name, c.programFolder, cur, path, &why), c.found) << c.name;
        EXPECT_EQ(why, c.why) << c.name;
    }
    // PATH entries that hide nothing: a file, and a folder the user cannot look into.
    fs::create_directories(root / "locked");
    fs::permissions(root / "locked", fs::perms::none);
    int why = -1;
    const std::string hiding = path + "/Plain:" + (root / "locked").string() + ":" + path;
    EXPECT_EQ(proc::findProgram("Missing", "", cur, hiding, &why), std::nullopt);
    EXPECT_EQ(why, ENOENT);
    fs::permissions(root / "locked", fs::perms::owner_all);
}

// A program another user planted in a sticky folder everyone may write is never found there.
TEST(FindProgram, PassesOverAnotherUsersProgramInAStickyFolder) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make another user's files";
    constexpr uid_t kOther = 61238;
    TempFolder tmp("findprogram-planted");
    const fs::path shared = tmp.path / "shared", later = tmp.path / "later";
    fs::create_directories(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    makeExecutable(shared / "Tool");
    makeExecutable(later / "Tool");
    ASSERT_EQ(::chown((shared / "Tool").c_str(), kOther, kOther), 0);
    const std::string both = shared.string() + ":" + later.string();
    int why = -1;
    EXPECT_EQ(proc::findProgram("Tool", "", "/", shared.string(), &why), std::nullopt);
    EXPECT_EQ(why, sys::kNotOurFile);
    EXPECT_EQ(proc::findProgram("Tool", "", "/", both), (later / "Tool").string());
    EXPECT_EQ(proc::findProgram("Tool", shared.string(), "/", ""), std::nullopt);
    // The folder's owner's program is taken.
    ASSERT_EQ(::chown(shared.c_str(), kOther, kOther), 0);
    EXPECT_EQ(proc::findProgram("Tool", "", "/", both), (shared / "Tool").string());
}

bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    for (int i = 0; i < ms / 10; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

TEST(RealProcessRunner, RunsQuotedProgramFromFolderWithBlanks) {
    TempFolder tmp("runner", TempFolder::Enter::Yes);
    fs::path dir = tmp.path / "my wizard";
    fs::create_directories(dir);
    fs::copy_file("/usr/bin/touch", dir / "Toucher");
    proc::RealProcessRunner runner(dir.string());
    proc::Handle h = runner.start("\"" + (dir / "Toucher").string() + "\" \"made here.txt\"");
    ASSERT_NE(h, 0);
    EXPECT_TRUE(waitFor([&] { return !runner.isRunning(h); }));
    EXPECT_EQ(h, 0);
    EXPECT_TRUE(fs::exists(tmp.path / "made here.txt")); // in the current folder
    // Found by name in the program's folder, ".exe" dropped.
    h = runner.start("Toucher.exe second.txt");
    ASSERT_NE(h, 0);
    EXPECT_EQ(runner.wait(h), 0);
    EXPECT_TRUE(fs::exists("second.txt"));
    EXPECT_FALSE(runner.isRunning(h));
}

TEST(RealProcessRunner, MissingProgramGivesNoHandle) {
    proc::RealProcessRunner runner("/nonexistent");
    EXPECT_EQ(runner.start("NoSuchProgramAnywhere.exe"), 0);
    EXPECT_EQ(runner.start(""), 0);
    EXPECT_FALSE(runner.startHidden("NoSuchProgramAnywhere"));
    proc::Handle zero = 0;
    EXPECT_FALSE(runner.isRunning(zero));
}

TEST(RealProcessRunner, RunningProgramIsSeenRunning) {
    proc::RealProcessRunner runner("/nonexistent");
    proc::Handle h = runner.start("sleep 0.3");
    ASSERT_NE(h, 0);
    EXPECT_TRUE(runner.isRunning(h));
    EXPECT_NE(h, 0);
    EXPECT_TRUE(waitFor([&] { return !runner.isRunning(h); }));
}

TEST(RealProcessRunner, CollectsStandardErrorOnceTheProcessHasEnded) {
    proc::RealProcessRunner runner("/nonexistent");
    proc::Handle h = runner.startCollectingErrors("ls /nonexistent-kvt-folder"), started = h;
    EXPECT_TRUE(waitFor([&] { return !runner.isRunning(h); }));
    EXPECT_NE(runner.takeErrors(started).find("nonexistent-kvt-folder"), std::string::npos);
    EXPECT_EQ(runner.takeErrors(started), "") << "handed out once";
}

TEST(RealProcessRunner, HiddenStartIsNotWaitedFor) {
    TempFolder tmp("hidden", TempFolder::Enter::Yes);
    proc::RealProcessRunner runner("/nonexistent");
    EXPECT_TRUE(runner.startHidden("touch hidden.txt"));
    EXPECT_TRUE(waitFor([] { return fs::exists("hidden.txt"); }));
}

// Our programs ignore SIGXFSZ; every program they start has it back at its default, so that
// a program under a file-size limit stops at it as it would anywhere else.
TEST(RealProcessRunner, StartedProgramsHaveTheFileSizeSignalAtItsDefault) {
    sys::ignoreFileSizeSignal();
    TempFolder tmp("sigxfsz", TempFolder::Enter::Yes);
    proc::RealProcessRunner runner("/nonexistent");
    // What each started program's /proc/self/status says of its ignored signals.
    const std::function<bool(const std::string&)> starts[] = {
        [&](const std::string& line) {
            proc::Handle h = runner.start(line);
            return h != 0 && runner.wait(h) == 0;
        },
        [&](const std::string& line) {
            proc::Handle h = runner.startCollectingErrors(line);
            return h != 0 && runner.wait(h) == 0;
        },
        [&](const std::string& line) { return runner.startHidden(line); },
    };
    for (std::size_t i = 0; i < std::size(starts); ++i) {
        const std::string copy = "status" + std::to_string(i);
        ASSERT_TRUE(starts[i]("cp /proc/self/status " + copy)) << i;
        std::string ignored;
        // A hidden start is not waited for: its copy is read once it holds the line.
        ASSERT_TRUE(waitFor([&] {
            std::ifstream in(copy);
            for (std::string line; std::getline(in, line);)
                if (line.starts_with("SigIgn:") && !in.eof())
                    ignored = line.substr(7);
            return !ignored.empty();
        })) << i;
        const unsigned long long mask = std::stoull(ignored, nullptr, 16);
        EXPECT_EQ(mask & (1ull << (SIGXFSZ - 1)), 0u) << "start " << i << ": SigIgn" << ignored;
    }

    // A program that writes past the limit is stopped by the signal.
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        proc::Handle h = runner.start("dd if=/dev/zero of=big bs=65536 count=1");
        int status = 0;
        ::waitpid(static_cast<pid_t>(h), &status, 0);
        ::_exit(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(FakeProcessRunner, EndsOnTheClockAndRunsHooksOnce) {
    ui::VirtualClock clock;
    proc::FakeProcessRunner runner(clock);
    int started = 0, ended = 0;
    runner.on("job", {1000, [&] { ++started; }, [&] { ++ended; }, false});
    runner.on("broken", {0, {}, {}, true});
    proc::Handle h = runner.start("job");
    EXPECT_NE(h, 0);
    EXPECT_EQ(started, 1);
    clock.sleepMs(999);
    EXPECT_TRUE(runner.isRunning(h));
    clock.sleepMs(1);
    EXPECT_FALSE(runner.isRunning(h));
    EXPECT_EQ(h, 0);
    EXPECT_FALSE(runner.isRunning(h));
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(runner.start("broken"), 0);
    EXPECT_EQ(runner.start("unknown"), 0);
    EXPECT_FALSE(runner.startHidden("unknown"));
    runner.onAnyOther({});
    EXPECT_TRUE(runner.startHidden("Dunlin.exe max x"));
    EXPECT_EQ(runner.started(), (Args{"job", "broken", "unknown"}));
    EXPECT_EQ(runner.startedHidden(), (Args{"unknown", "Dunlin.exe max x"}));
}

} // namespace

TEST(JoinArguments, BlanksOnlyBetweenArguments) {
    // The CD argument is the command line from its third character: no blank may lead.
    const char* cd[] = {"Kestrel", "CD", "X:"};
    EXPECT_EQ(proc::joinArguments(3, cd), "CD X:");
    const char* none[] = {"Kestrel"};
    EXPECT_EQ(proc::joinArguments(1, none), "");
}

TEST(JoinArguments, SplitsBackIntoTheSameArguments) {
    const Args rows[] = {{"CD", "/media/My Disc"}, {"a  b", "", "q\"t", "x\\"}, {"LOG"}};
    for (const Args& row : rows) {
        std::vector<const char*> argv{"Kestrel"};
        for (const auto& a : row)
            argv.push_back(a.c_str());
        Args back = proc::splitCommandLine(
            "Dunlin.exe " + proc::joinArguments(static_cast<int>(argv.size()), argv.data()));
        EXPECT_EQ(Args(back.begin() + 1, back.end()), row);
    }
}
