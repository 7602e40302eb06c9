#include "platform/sys/System.h"
#include "tests/fixtures/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

TEST(Wildcards, Table) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {{"*.txt", "ports.txt", true},     {"*.txt", "ports.txt.bak", false},
                 {"p?rts.txt", "ports.txt", true}, {"p?rts.txt", "prts.txt", false},
                 {"*", "anything", true},          {"a*b*c", "axxbyyc", true},
                 {"a*b*c", "axxbyy", false},       {"*.KSF", "x.ksf", false},
                 {"exact", "exact", true},         {"", "", true}};
    for (const auto& c : cases)
        EXPECT_EQ(sys::wildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

class FileExistsTest : public ::testing::Test {
  protected:
    FileExistsTest() {
        std::ofstream("ports.txt") << "LPT1:\r\n";
        std::ofstream(".hidden") << "x";
        std::filesystem::create_directory("folder.txt");
        std::filesystem::create_directory("sub");
        std::ofstream("sub/a.ksf") << "x";
    }
    test_fixtures::TempFolder folder{"fileexists", test_fixtures::TempFolder::Enter::Yes};
    sys::RealSystem system{"/nowhere"};
};

TEST_F(FileExistsTest, Table) {
    struct Case {
        std::string path;
        bool exists;
    } cases[] = {{"", false},
                 {"ports.txt", true},
                 {"./ports.txt", true},
                 {(folder.path / "ports.txt").string(), true},
                 {"missing.txt", false},
                 {"sub/", false},
                 {"sub", false},
                 {"folder.txt", false},
                 {".hidden", false},
                 {"*.txt", true},
                 {"p?rts.*", true},
                 {"*.ksf", false},
                 {"sub/*.ksf", true},
                 {"*/a.ksf", false},
                 {".h*", false}};
    for (const auto& c : cases)
        EXPECT_EQ(system.fileExists(c.path), c.exists) << c.path;
}

TEST_F(FileExistsTest, CurrentFolder) {
    EXPECT_EQ(std::filesystem::canonical(system.currentFolder()),
              std::filesystem::canonical(folder.path));
    EXPECT_TRUE(system.setCurrentFolder("sub"));
    EXPECT_TRUE(system.fileExists("a.ksf"));
    EXPECT_FALSE(system.setCurrentFolder("missing"));
}

} // namespace
