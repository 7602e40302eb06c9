#include "tests/osprey_pages/PrinterSetupFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace osprey_test {
namespace {

namespace lists = osprey::setup_lists;

// ---------------------------------------------------------------- pure pieces

TEST(SetupLists, SpeedListByPrinterWidthAndResolution) {
    struct Case {
        int width, resolution, highest;
        const char* last;
    } cases[] = {
        {4, 2, 10, "10 in/sec (254 mm/sec)"}, {4, 3, 10, "10 in/sec (254 mm/sec)"},
        {6, 2, 10, "10 in/sec (254 mm/sec)"}, {6, 3, 8, "8 in/sec (203.2 mm/sec)"},
        {8, 2, 8, "8 in/sec (203.2 mm/sec)"}, {8, 3, 6, "6 in/sec (152.4 mm/sec)"},
        {0, 0, 10, "10 in/sec (254 mm/sec)"},
    };
    for (const auto& c : cases) {
        int highest = lists::highestSpeed(c.width, c.resolution);
        EXPECT_EQ(highest, c.highest) << c.width << "/" << c.resolution;
        auto entries = lists::speedEntries(highest);
        ASSERT_EQ(static_cast<int>(entries.size()), c.highest);
        EXPECT_EQ(entries.back(), c.last);
        EXPECT_EQ(entries.front(), "1 in/sec (25.4 mm/sec)");
    }
    EXPECT_EQ(lists::speedEntries(10)[4], "5 in/sec (127 mm/sec)");
}

TEST(SetupLists, ShiftShownInTheChosenUnit) {
    struct Case {
        int value, unit;
        const char* text;
    } cases[] = {
        {0, 0, "0.00"},      {0, 1, "0.00"},     {-35, 1, "-8.89"}, {1280, 0, "12.80"},
        {1280, 1, "325.12"}, {-100, 0, "-1.00"}, {100, 1, "25.40"}, {1, 1, "0.25"},
        {-1, 1, "-0.25"},    {5, 0, "0.05"},     {-5, 0, "-0.05"},  {99, 1, "25.15"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lists::shiftText(c.value, c.unit), c.text) << c.value << " unit " << c.unit;
}

// ---------------------------------------------------------------- the page

TEST_F(SetupPagesTest, OpensWithEverythingIgnoredAndTablesFilled) {
    auto& p = showSetup();
    for (const char* box : {"PrintSpeedCB", "GapCB", "HorzCB", "VertCB", "EmulationCB"})
        EXPECT_EQ(p.ctl(box).value(), 1) << box;
    for (const char* c :
         {"PrintSpeedCombo", "GapCombo", "HorzShiftHScroll", "HorzLabel", "HorzShiftUnit",
          "VertShiftHScroll", "VertLabel", "VertShiftUnit", "EmulationCombo"})
        EXPECT_FALSE(p.ctl(c).enabled()) << c;
    EXPECT_EQ(p.ctl("PrintSpeedCombo").text(), "4 in/sec (101.6 mm/sec)");
    EXPECT_EQ(p.ctl("GapCombo").text(), "Gap");
    EXPECT_EQ(p.ctl("EmulationCombo").text(), "JQL");
    EXPECT_EQ(p.ctl("HorzShiftUnit").text(), "inch");
    EXPECT_EQ(p.ctl("HorzLabel").caption(), "0.00");
    EXPECT_EQ(p.ctl("VertLabel").caption(), "0.00");

    const auto& ws = core.ws;
    EXPECT_EQ(ws.SpeedCmds[9], "~PAPER;SPEED IPS 10\r\n");
    EXPECT_EQ(ws.SpeedCmds[10], "");
    const char* gaps[] = {"0", "2", "1", "3", "4"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ws.GapCmds[i], std::string("~PAPER;LABELS ") + gaps[i] + "\r\n");
    EXPECT_EQ(ws.GapCmds[5], "");
    EXPECT_EQ(ws.EmulationCmds[8], "");
    EXPECT_EQ(ws.EmulationCmds[9], "");
}

TEST_F(SetupPagesTest, NarrowSpeedListOnAWideHighResolutionPrinter) {
    printer(8, 3);
    auto& p = showSetup();
    EXPECT_EQ(p.ctl("PrintSpeedCombo").listCount(), 6);
    EXPECT_EQ(p.ctl("PrintSpeedCombo").listIndex(), 3);
    EXPECT_EQ(core.ws.SpeedCmds[9], "~PAPER;SPEED IPS 10\r\n"); // stored whatever is listed
}

TEST_F(SetupPagesTest, ModelOptionSendsAdvancedGapUnlessTicked) {
    printer(4, 3, true);
    core.ws.SettingsChanged = false;
    auto& p = showSetup();
    EXPECT_EQ(p.ctl("Label1").caption(), "Quick Setup - Page 2");
    EXPECT_EQ(p.ctl("GapCombo").items(), lists::gapEntries(true));
    EXPECT_EQ(p.ctl("GapCombo").text(), "Advanced Gap");
    EXPECT_EQ(p.ctl("GapCB").value(), 0);
    EXPECT_TRUE(p.ctl("GapCombo").enabled());
    EXPECT_EQ(p.ctl("PrintSpeedCombo").listIndex(), 5);
    EXPECT_EQ(p.ctl("EmulationCombo").list(8), "EQL");
    EXPECT_EQ(core.ws.EmulationCmds[8], "uqtswitch   .e  0   0x0\r\n");
    // The box cleared by the load is not a change of the user's.
    EXPECT_FALSE(core.ws.SettingsChanged);
}

TEST_F(SetupPagesTest, LoadKeepsTheChangedFlagAndShowsExitOnceSent) {
    core.ws.SettingsChanged = true;
    core.ws.RequestSent = true;
    auto& p = showSetup();
    EXPECT_TRUE(core.ws.SettingsChanged);
    EXPECT_EQ(p.ctl("Cancel").caption(), "Exit");
}

TEST_F(SetupPagesTest, IgnoreBoxesGovernTheirControls) {
    struct Case {
        const char* box;
        std::vector<const char*> governed;
    } cases[] = {
        {"PrintSpeedCB", {"PrintSpeedCombo"}},
        {"GapCB", {"GapCombo"}},
        {"HorzCB", {"HorzShiftHScroll", "HorzLabel", "HorzShiftUnit"}},
        {"VertCB", {"VertShiftHScroll", "VertLabel", "VertShiftUnit"}},
        {"EmulationCB", {"EmulationCombo"}},
    };
    auto& p = showSetup();
    for (const auto& c : cases) {
        core.ws.ExitAsked = true;
        h.click(p, c.box); // clear
        EXPECT_EQ(p.ctl(c.box).value(), 0);
        EXPECT_FALSE(core.ws.ExitAsked) << c.box;
        for (const char* g : c.governed)
            EXPECT_TRUE(p.ctl(g).enabled()) << c.box << " " << g;
        h.run([&] { p.ctl(c.box).setValue(2); }); // neither ticked nor clear
        for (const char* g : c.governed)
            EXPECT_TRUE(p.ctl(g).enabled()) << c.box << " " << g;
        h.run([&] { p.ctl(c.box).setValue(1); });
        for (const char* g : c.governed)
            EXPECT_FALSE(p.ctl(g).enabled()) << c.box << " " << g;
    }
}

TEST_F(SetupPagesTest, ShiftDisplayFollowsScrollAndUnit) {
    auto& p = showSetup();
    h.click(p, "HorzCB");
    h.click(p, "VertCB");
    h.run([&] { p.ctl("HorzShiftHScroll").setValue(-35); });
    EXPECT_EQ(p.ctl("HorzLabel").caption(), "-0.35");
    core.ws.ExitAsked = true;
    h.select(p, "HorzShiftUnit", 1);
    EXPECT_EQ(p.ctl("HorzLabel").caption(), "-8.89");
    EXPECT_FALSE(core.ws.ExitAsked);
    h.run([&] { p.ctl("VertShiftHScroll").setValue(5000); }); // held at its maximum
    EXPECT_EQ(p.ctl("VertLabel").caption(), "12.80");
    EXPECT_EQ(p.ctl("HorzLabel").caption(), "-8.89");
}

TEST_F(SetupPagesTest, TickingTheEmulationBoxTicksTheFinishPageBoxes) {
    auto& p = showSetup();
    h.click(p, "EmulationCB");
    auto& f = showFinish();
    EXPECT_EQ(f.ctl("SaveCfgCB").value(), 0);
    EXPECT_EQ(f.ctl("SetPwrUpCB").value(), 0);
    h.run([&] {
        f.Hide();
        p.Show();
    });
    h.click(p, "EmulationCB");
    EXPECT_EQ(f.ctl("SaveCfgCB").value(), 1);
    EXPECT_EQ(f.ctl("SetPwrUpCB").value(), 1);
    EXPECT_FALSE(f.ctl("SaveCombo").enabled());
    EXPECT_FALSE(f.ctl("PowerUpCombo").enabled());
}

TEST_F(SetupPagesTest, FinishWithNothingToSendStays) {
    auto& p = showSetup();
    h.boxes.expect("Notice",
                   "No settings selected. Please select a setting to change or press cancel to "
                   "exit");
    h.click(p, "Finish");
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(h.visibleForm(), "PrinterSetup");
    EXPECT_EQ(testing_support::Harness::focusOf(p), "PrintSpeedCB")
        << "the settings' first Ignore box";
}

TEST_F(SetupPagesTest, FinishAsksToSaveThenGoesOn) {
    auto& p = showSetup();
    h.click(p, "PrintSpeedCB");
    h.boxes.expect("Save Wizard Settings",
                   "Would you like to save the changes you made in the wizard\r\nso you can use "
                   "it the next time you run this wizard?",
                   ui::mb::No, ui::mb::YesNo | ui::mb::Question);
    h.click(p, "Finish");
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(h.visibleForm(), "FinishDialog");
    EXPECT_FALSE(core.ws.SettingsChanged);
    EXPECT_TRUE(core.ws.ExitAsked);
    EXPECT_EQ(finish().ctl("SelectedPrinterName").caption(), kLabelPrinter);
}

TEST_F(SetupPagesTest, FinishWithSaveOpensTheSaveDialog) {
    auto& p = showSetup();
    h.click(p, "VertCB");
    h.boxes.expectContaining("Save Wizard Settings", "Would you like to save", ui::mb::Yes);
    h.click(p, "Finish");
    EXPECT_TRUE(pages.form("Dialog").visible());
    EXPECT_FALSE(finish().visible());
}

TEST_F(SetupPagesTest, CloseBoxKeepsValuesWhileTheSaveDialogIsOpen) {
    auto& p = showSetup();
    h.click(p, "PrintSpeedCB");
    h.select(p, "PrintSpeedCombo", 7);
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings", "save your settings",
                             ui::mb::Yes);
    h.close(p);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_FALSE(h.ended());
    ASSERT_TRUE(p.loaded());
    EXPECT_EQ(p.ctl("PrintSpeedCB").value(), 0);
    EXPECT_EQ(p.ctl("PrintSpeedCombo").listIndex(), 7);
}

} // namespace
} // namespace osprey_test
