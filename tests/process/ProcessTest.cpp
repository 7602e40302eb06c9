#include "platform/process/Processes.h"
#include "platform/sys/System.h"
#include "tests/fixtures/Children.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/FakeProcessRunner.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

#include <csignal>
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

// Why nothing was found, and what is never searched: the current folder in place of an
// unknown program folder, another user's program planted in a sticky folder everyone may
// write. A PATH entry that is no folder, or one the user cannot look into, hides nothing.
TEST(FindProgram, CausesAndFoldersThatAreNotSearched) {
    const bool asRoot = ::geteuid() == 0;
    TempFolder tmp("findprogram-why", TempFolder::Enter::Yes);
    const fs::path root = tmp.path;
    makeExecutable(root / "cur" / "Wren");
    makeExecutable(root / "path1" / "Other");
    std::ofstream(root / "path1" / "Plain") << "not executable";
    fs::create_directories(root / "path1" / "Folder");
    fs::create_directories(root / "locked");
    fs::permissions(root / "locked", fs::perms::none);
    makeExecutable(root / "shared" / "Other");
    makeExecutable(root / "owned" / "Other");
    if (asRoot) {
        ASSERT_TRUE(test_fixtures::plantShared(root / "shared" / "Other"));
        ASSERT_TRUE(test_fixtures::plantShared(root / "owned" / "Other"));
        const uid_t other = test_fixtures::kOtherUser;
        ASSERT_EQ(::chown((root / "owned").c_str(), other, other), 0); // the folder owner's
    }
    const std::string cur = (root / "cur").string(), path = (root / "path1").string();
    const std::string shared = (root / "shared").string(), owned = (root / "owned").string();
    const struct {
        const char* name;
        std::string path;
        std::optional<std::string> found;
        int why;
        bool rootOnly = false;
    } cases[] = {
        {"Wren", path, std::nullopt, ENOENT}, // the program's folder unknown: not in `cur`
        {"Plain", path, std::nullopt, EACCES},
        {"Folder", path, std::nullopt, EISDIR},
        {"Missing", path + "/Plain:" + (root / "locked").string() + ":" + path, std::nullopt,
         ENOENT},
        {"Other", shared, std::nullopt, sys::kNotOurFile, true},
        {"Other", shared + ":" + path, path + "/Other", 0, true},
        {"Other", owned + ":" + path, owned + "/Other", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in " + c.path);
        if (c.rootOnly && !asRoot)
            continue;
        int why = -1;
        EXPECT_EQ(proc::findProgram(c.name, "", cur, c.path, &why), c.found);
        EXPECT_EQ(why, c.why);
    }
    fs::permissions(root / "locked", fs::perms::owner_all);
    if (!asRoot)
        GTEST_SKIP() << "another user's programs need root; the other cases passed";
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
    for (const bool hidden : {false, true}) {
        const std::string copy = hidden ? "hidden" : "waited";
        const std::string command = "cp /proc/self/status " + copy;
        proc::Handle h = hidden ? 0 : runner.start(command);
        ASSERT_TRUE(hidden ? runner.startHidden(command) : h != 0 && runner.wait(h) == 0) << copy;
        // A hidden start is not waited for: its copy is read once it holds the line.
        std::string ignored;
        ASSERT_TRUE(waitFor([&] {
            std::ifstream in(copy);
            for (std::string line; std::getline(in, line);)
                if (line.starts_with("SigIgn:") && !in.eof())
                    ignored = line.substr(7);
            return !ignored.empty();
        })) << copy;
        EXPECT_EQ(std::stoull(ignored, nullptr, 16) & (1ull << (SIGXFSZ - 1)), 0u)
            << copy << ": SigIgn" << ignored;
    }
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
