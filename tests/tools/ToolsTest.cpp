#include "platform/process/Processes.h"
#include "tests/fixtures/Children.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/Batch.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

tools::Lookup vars(std::map<std::string, std::string> values) {
    return [values](const std::string& name) -> std::optional<std::string> {
        auto it = values.find(name);
        if (it == values.end())
            return std::nullopt;
        return it->second;
    };
}

TEST(ExpandVariables, Table) {
    auto lookup = vars({{"windir", "C:\\Windows"}, {"X", "1"}});
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"/f %windir%\\inf\\ntprint.inf", "/f C:\\Windows\\inf\\ntprint.inf"},
                 {"%X%%X%", "11"},
                 {"%UNSET%tail", "tail"},
                 {"100%% done", "100% done"},
                 {"lone % sign", "lone % sign"},
                 {"no vars", "no vars"}};
    for (const auto& c : cases)
        EXPECT_EQ(tools::expandVariables(c.in, lookup), c.out) << c.in;
}

TEST(BatchCommands, LinesCommentsAndVariables) {
    std::string text = "@echo off\r\nREM a comment\r\n:: another\r\n\r\n"
                       "rundll32 printui.dll,PrintUIEntry /q /u /if /b \"Kestrel\" /f "
                       "%windir%\\inf\\ntprint.inf /r \"LPT1:\" /m \"Generic / Text Only\"\r\n"
                       "  @touch \"%NAME%.txt\"  \nremote host\n";
    auto commands = tools::batchCommands(text, vars({{"NAME", "a b"}}));
    EXPECT_EQ(commands, (std::vector<std::string>{
                            "rundll32 printui.dll,PrintUIEntry /q /u /if /b \"Kestrel\" /f "
                            "\\inf\\ntprint.inf /r \"LPT1:\" /m \"Generic / Text Only\"",
                            "touch \"a b.txt\"", "remote host"}));
}

TEST(BatchFile, Names) {
    EXPECT_TRUE(tools::isBatchFile("kestrel.bat"));
    EXPECT_TRUE(tools::isBatchFile("RUN.CMD"));
    EXPECT_FALSE(tools::isBatchFile("Wren.exe"));
    EXPECT_FALSE(tools::isBatchFile("bat"));
}

TEST(CommandLineFromArguments, SeveralSurviveSplittingOneIsTheCommandLine) {
    std::vector<std::string> args{"rundll32", "printui.dll,PrintUIEntry", "/n", "Name With Blank",
                                  "q\"uote"};
    EXPECT_EQ(proc::splitCommandLine(tools::commandLineFromArguments(args)), args);
    // One argument is a whole command line, split as a batch line is.
    const struct {
        const char* line;
        std::vector<std::string> words;
    } single[] = {
        {"ls -d /tmp", {"ls", "-d", "/tmp"}},
        {"Wren.exe", {"Wren.exe"}},
        {"rundll32 printui.dll,PrintUIEntry /n \"Name With Blank\"",
         {"rundll32", "printui.dll,PrintUIEntry", "/n", "Name With Blank"}},
    };
    for (const auto& c : single)
        EXPECT_EQ(proc::splitCommandLine(tools::commandLineFromArguments({c.line})), c.words)
            << c.line;
}

// The real launcher, started as the wizard starts it.
class PloverTest : public ::testing::Test {
  protected:
    // Its exit code; what it wrote on standard error is in `errors`.
    int runPlover(const std::string& argument) {
        proc::RealProcessRunner runner(fs::path(PLOVER_PATH).parent_path().string());
        proc::Handle h =
            runner.startCollectingErrors("\"" + std::string(PLOVER_PATH) + "\" " + argument);
        const proc::Handle started = h;
        EXPECT_NE(h, 0);
        const int code = runner.wait(h);
        errors = runner.takeErrors(started);
        return code;
    }
    std::string errors;
    test_fixtures::TempFolder folder{"plover", test_fixtures::TempFolder::Enter::Yes};
};

TEST_F(PloverTest, RunsBatchLinesInTurnInTheCurrentFolder) {
    ::setenv("PLOVER_TEST_NAME", "from env", 1);
    std::ofstream("kestrel.bat") << "@echo off\r\ntouch \"%PLOVER_TEST_NAME%.txt\"\r\n"
                                    "mkdir made\r\ntouch made/second.txt\r\n";
    runPlover("kestrel.bat");
    EXPECT_TRUE(fs::exists("from env.txt"));
    EXPECT_TRUE(fs::exists("made/second.txt")); // the line before it had ended
}

TEST_F(PloverTest, RunsWrenFromItsOwnFolder) {
    ASSERT_TRUE(fs::exists(fs::path(PLOVER_PATH).parent_path() / "Wren"));
    EXPECT_EQ(runPlover("Wren.exe"), 0);
    EXPECT_TRUE(fs::exists("ports.txt"));
}

TEST_F(PloverTest, OneArgumentRunsAsACommandLine) {
    EXPECT_EQ(runPlover("\"touch one 'two three'\""), 0);
    EXPECT_TRUE(fs::exists("one"));
    EXPECT_TRUE(fs::exists("'two"));
    EXPECT_TRUE(fs::exists("three'"));
}

TEST_F(PloverTest, EndsOnlyAfterTheCommand) {
    std::ofstream("wait.bat") << "sleep 0.3\r\ntouch done.txt\r\n";
    runPlover("wait.bat");
    EXPECT_TRUE(fs::exists("done.txt"));
}

TEST_F(PloverTest, MissingProgramOrBatchEndsQuietly) {
    EXPECT_NE(runPlover("NoSuchProgram.exe"), 0);
    EXPECT_NE(runPlover("missing.bat"), 0);
    std::ofstream("bad.bat") << "NoSuchProgram\r\ntouch after.txt\r\n";
    runPlover("bad.bat");
    EXPECT_TRUE(fs::exists("after.txt"));
}

// What Plover says when it cannot run a program or read a batch file: the name and the cause.
// A batch file another user planted in a sticky folder everyone may write is never run.
TEST_F(PloverTest, SaysWhyItCannotRunOrRead) {
    const bool root = ::geteuid() == 0;
    fs::create_directory("folder.bat");
    ASSERT_EQ(::mkfifo("fifo.bat", 0600), 0);
    fs::create_directory("shared");
    std::ofstream("shared/kestrel.bat") << "touch planted-ran\r\n";
    if (root) {
        ASSERT_TRUE(test_fixtures::plantShared("shared/kestrel.bat"));
    }
    const std::pair<const char*, const char*> cases[] = {
        {"NoSuchProgram.exe", "cannot run 'NoSuchProgram.exe': No such file or directory"},
        {"missing.bat", "cannot read 'missing.bat': No such file or directory"},
        {"folder.bat", "cannot read 'folder.bat': Is a directory"},
        {"fifo.bat", "cannot read 'fifo.bat': not a regular file"},
        {"shared/kestrel.bat", root ? "cannot read 'shared/kestrel.bat': another user's file in a "
                                      "folder everyone may write"
                                    : ""},
    };
    for (const auto& [argument, says] : cases) {
        EXPECT_EQ(runPlover(argument) == 0, *says == 0) << argument;
        EXPECT_EQ(errors, *says ? "Plover: " + std::string(says) + "\n" : "") << argument;
    }
    EXPECT_NE(fs::exists("planted-ran"), root);
    if (!root)
        GTEST_SKIP() << "another user's batch file needs root; the user's own ran";
}

TEST(Dunlin, DoesNothing) {
    proc::RealProcessRunner runner("/nonexistent");
    proc::Handle h = runner.start("\"" + std::string(DUNLIN_PATH) + "\" max x");
    ASSERT_NE(h, 0);
    EXPECT_EQ(runner.wait(h), 0);
}

} // namespace
