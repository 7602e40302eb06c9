#include "tests/osprey_pages/OspreyFixture.h"

namespace osprey_test {
namespace {

using registry::HKEY_LOCAL_MACHINE;

const char* const kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char* const kUnavailable = "System Information Is Unavailable At This Time";

class AboutTest : public OspreyFixture {
  protected:
    // Opens the About box from `welcome`, runs `inside` while it is up, then presses OK.
    void openAbout(osprey::WelcomePage& welcome, osprey::AboutBox& box,
                   const std::function<void()>& inside) {
        h.later(10, [&, inside] {
            inside();
            h.click(box.cmdOK);
        });
        h.click(welcome.About);
    }
    osprey::AboutBox& about() { return pages.get<osprey::frmAbout>(); }
};

TEST_F(AboutTest, EachEditionFillsItsTextsOnLoad) {
    start();
    struct Seen {
        std::string caption, title, version, copyright;
    } maker, partner;
    auto grab = [](osprey::AboutBox& f, Seen& s) {
        s = {f.caption(), f.lblTitle->caption(), f.lblVersion->caption(),
             f.lblCopyright->caption()};
    };
    openAbout(pages.get<osprey::Intro>(), about(), [&] { grab(about(), maker); });
    h.run([&] {
        pages.get<osprey::Intro>().Hide();
        pages.get<osprey::HaldenIntro>().Show();
    });
    openAbout(pages.get<osprey::HaldenIntro>(), pages.get<osprey::HaldenAbout>(),
              [&] { grab(pages.get<osprey::HaldenAbout>(), partner); });

    EXPECT_EQ(maker.caption, "About Osprey");
    EXPECT_EQ(maker.title, "Osprey");
    EXPECT_EQ(maker.version, "Version: 5.00B");
    EXPECT_EQ(partner.version, "Version 5.00B");
    EXPECT_EQ(maker.copyright, osprey::Core::CopyrightText() + "\r\nAll rights reserved");
    EXPECT_EQ(partner.caption, maker.caption);
    EXPECT_FALSE(about().loaded()) << "unloaded once closed";
    EXPECT_FALSE(h.ended());
}

// The two hidden switches.
constexpr auto kIcon = &osprey::AboutBox::picIcon;
constexpr auto kTitle = &osprey::AboutBox::lblTitle;

struct SwitchCase {
    std::vector<ui::ControlRef osprey::AboutBox::*> clicks;
    bool log;
    bool kvt;
};

class AboutSwitchTest : public AboutTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(AboutSwitchTest, TheLastClickedSwitchChoosesTheLog) {
    start();
    openAbout(pages.get<osprey::Intro>(), about(), [&] {
        for (auto c : GetParam().clicks)
            h.click(about().*c);
    });
    EXPECT_EQ(core.ws.LogEnabled, GetParam().log);
    EXPECT_EQ(core.ws.KvtLogEnabled, GetParam().kvt);
}

INSTANTIATE_TEST_SUITE_P(Clicks, AboutSwitchTest,
                         ::testing::Values(SwitchCase{{}, false, false},
                                           SwitchCase{{kIcon}, true, false},
                                           SwitchCase{{kTitle}, false, true},
                                           SwitchCase{{kTitle, kIcon}, true, false},
                                           SwitchCase{{kIcon, kTitle}, false, true}));

TEST_F(AboutTest, SwitchOutlivesTheBoxAndWritesTheChosenLog) {
    start();
    openAbout(pages.get<osprey::Intro>(), about(), [&] { h.click(about().lblTitle); });
    h.run([&] { core.WriteLog("after the box"); });
    EXPECT_TRUE(read("KVTLog.txt").has_value());
    EXPECT_FALSE(read("Log.txt").has_value());
}

struct SysInfoCase {
    const char* name;
    std::optional<std::string> pathValue;     // MSINFO "PATH"
    std::optional<std::string> locationValue; // Shared Tools Location "MSINFO"
    bool toolFileInLocation;
    bool toolStarts;
    std::string expectedStart; // "" when nothing is started
};

class SysInfoTest : public AboutTest, public ::testing::WithParamInterface<SysInfoCase> {};

TEST_P(SysInfoTest, FindsTheToolOrSaysItIsUnavailable) {
    const SysInfoCase& c = GetParam();
    if (c.pathValue)
        registry.setValue(HKEY_LOCAL_MACHINE, kMsinfoKey, "PATH",
                          registry::textValue(*c.pathValue));
    if (c.locationValue) {
        const std::string folderValue =
            c.locationValue->empty() ? folder.path.string() : *c.locationValue;
        registry.setValue(HKEY_LOCAL_MACHINE, kLocationKey, "MSINFO",
                          registry::textValue(folderValue));
        if (c.toolFileInLocation)
            write("MSINFO32.EXE", "");
    }
    std::string expected = c.expectedStart;
    const std::string marker = "<folder>";
    if (auto at = expected.find(marker); at != std::string::npos)
        expected.replace(at, marker.size(), folder.path.string());
    if (c.toolStarts)
        processes.on(expected, {});

    start();
    bool unavailable = c.expectedStart.empty() || !c.toolStarts;
    if (unavailable)
        h.boxes.expect("Osprey", kUnavailable, ui::mb::Ok, ui::mb::OkOnly);
    openAbout(pages.get<osprey::Intro>(), about(), [&] {
        h.click(about().cmdSysInfo);
        EXPECT_TRUE(about().visible()) << "the box stays open";
    });
    EXPECT_TRUE(h.boxes.allShown());
    if (c.expectedStart.empty())
        EXPECT_TRUE(processes.started().empty());
    else
        EXPECT_EQ(processes.started(), std::vector<std::string>{expected});
    EXPECT_FALSE(h.ended());
}

INSTANTIATE_TEST_SUITE_P(Registry, SysInfoTest,
                         ::testing::Values(
                             // The "PATH" value is taken without any file test.
                             SysInfoCase{"PathValue", "/opt/tools/msinfo32", std::nullopt, false,
                                         true, "/opt/tools/msinfo32"},
                             SysInfoCase{"PathWithBlanksIsOneProgram", "/opt/my tools/msinfo32",
                                         std::nullopt, false, true, "\"/opt/my tools/msinfo32\""},
                             SysInfoCase{"PathThatDoesNotStart", "/opt/tools/msinfo32",
                                         std::nullopt, false, false, "/opt/tools/msinfo32"},
                             SysInfoCase{"LocationWithTool", std::nullopt, "", true, true,
                                         "<folder>/MSINFO32.EXE"},
                             SysInfoCase{"LocationWithoutTool", std::nullopt, "", false, false, ""},
                             SysInfoCase{"NoValues", std::nullopt, std::nullopt, false, false, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AboutTest, CloseBoxOfTheAboutBoxLeavesTheWizard) {
    start();
    h.later(10, [&] { h.close(about()); });
    h.click(pages.get<osprey::Intro>().About);
    EXPECT_TRUE(h.ended());
}

// ---- GetKeyValue ----

class GetKeyValueTest : public ::testing::Test {
  protected:
    registry::MemoryRegistry reg;
    const std::string key = "SOFTWARE\\Test";
};

TEST_F(GetKeyValueTest, ReadsTextsAndNumbersAndLeavesOtherTypesAlone) {
    reg.setValue(HKEY_LOCAL_MACHINE, key, "Text", registry::textValue("C:/tools"));
    reg.setValue(HKEY_LOCAL_MACHINE, key, "Expand",
                 registry::textValue("%WINDIR%/x", registry::REG_EXPAND_SZ));
    reg.setValue(HKEY_LOCAL_MACHINE, key, "Number", registry::dwordValue(4000000000u));
    reg.setValue(HKEY_LOCAL_MACHINE, key, "Bytes", {registry::REG_BINARY, std::string("\x01\x02")});
    reg.setValue(HKEY_LOCAL_MACHINE, key, "NoZero", {registry::REG_SZ, "abc"});
    reg.setValue(HKEY_LOCAL_MACHINE, key, "Big",
                 registry::textValue(std::string(1024, 'x'))); // 1025 bytes with its zero

    struct Row {
        const char* value;
        bool result;
        std::string keyVal;
    };
    const Row rows[] = {
        {"Text", true, "C:/tools"},
        {"Expand", true, "%WINDIR%/x"}, // not expanded
        {"Number", true, "4000000000"},
        {"Bytes", true, "before"},
        {"NoZero", true, "abc"},
        {"Missing", false, ""},
        {"Big", false, ""},
    };
    for (const Row& r : rows) {
        std::string v = "before";
        EXPECT_EQ(osprey::GetKeyValue(reg, HKEY_LOCAL_MACHINE, key, r.value, v), r.result)
            << r.value;
        EXPECT_EQ(v, r.keyVal) << r.value;
    }
    std::string v = "before";
    EXPECT_FALSE(osprey::GetKeyValue(reg, HKEY_LOCAL_MACHINE, "SOFTWARE\\None", "Text", v));
    EXPECT_EQ(v, "");
}

} // namespace
} // namespace osprey_test
