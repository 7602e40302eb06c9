#include "wizard/FileBrowse.h"

#include <gtest/gtest.h>

namespace {

using wizard::LeadingBlanks;

TEST(BrowsedFileName, AnswerBecomesTheFileName) {
    std::string accented; // 300 characters, 600 bytes: cut at 256 characters
    for (int i = 0; i < 300; ++i)
        accented += "\xC3\xA9";
    const std::string euro = "\xE2\x82\xAC";
    const struct {
        std::string answer;
        const char* extension;
        LeadingBlanks blanks;
        std::string name;
    } rows[] = {
        {"/a/b.ksf", ".ksf", LeadingBlanks::Drop, "/a/b.ksf"},
        {"   /a/b", ".ksf", LeadingBlanks::Drop, "/a/b.ksf"},
        {"   /a/b", ".osp", LeadingBlanks::Keep, "   /a/b.osp"},
        {std::string("/a/b\0/c.txt", 11), ".ksf", LeadingBlanks::Drop, "/a/b.ksf"},
        {std::string("/a/b\0junk", 9), ".osp", LeadingBlanks::Keep, "/a/b.osp"},
        {"settings", ".osp", LeadingBlanks::Keep, "settings.osp"},
        {"/a.d/b", ".ksf", LeadingBlanks::Drop, "/a.d/b"}, // a dot anywhere counts
        {"/home/u.v/settings", ".osp", LeadingBlanks::Keep, "/home/u.v/settings"},
        {std::string(300, 'a'), ".ksf", LeadingBlanks::Drop, std::string(256, 'a') + ".ksf"},
        {std::string(300, 'x'), ".osp", LeadingBlanks::Keep, std::string(256, 'x') + ".osp"},
        {accented, ".ksf", LeadingBlanks::Drop, accented.substr(0, 512) + ".ksf"},
        // 255 letters and a euro sign are 256 characters: the sign stays whole.
        {std::string(255, 'x') + euro + "yz", ".osp", LeadingBlanks::Keep,
         std::string(255, 'x') + euro + ".osp"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(wizard::browsedFileName(r.answer, r.extension, r.blanks), r.name) << r.answer;
}

TEST(BrowsedFileName, RefusedNames) {
    for (const char* bad : {"", " ", "/home/u/", "folder/", "\xD0\x96urnal"})
        EXPECT_TRUE(wizard::isInvalidFileName(bad)) << bad;
    for (const char* good : {"a", "  a", "a.osp", "/home/u/a"})
        EXPECT_FALSE(wizard::isInvalidFileName(good)) << good;
}

} // namespace
