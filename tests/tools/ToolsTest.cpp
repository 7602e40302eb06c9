#include "platform/process/Processes.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/Batch.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

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
    int runPlover(const std::string& argument) {
        proc::RealProcessRunner runner(fs::path(PLOVER_PATH).parent_path().string());
        proc::Handle h = runner.start("\"" + std::string(PLOVER_PATH) + "\" " + argument);
        EXPECT_NE(h, 0);
        return runner.wait(h);
    }
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

TEST(Dunlin, DoesNothing) {
    proc::RealProcessRunner runner("/nonexistent");
    proc::Handle h = runner.start("\"" + std::string(DUNLIN_PATH) + "\" max x");
    ASSERT_NE(h, 0);
    EXPECT_EQ(runner.wait(h), 0);
}

} // namespace
