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
    for (const auto& box : {p.PrintSpeedCB, p.GapCB, p.HorzCB, p.VertCB, p.EmulationCB})
        EXPECT_EQ(box->value(), 1) << box.name();
    for (const auto& c :
         {p.PrintSpeedCombo, p.GapCombo, p.HorzShiftHScroll, p.HorzLabel, p.HorzShiftUnit,
          p.VertShiftHScroll, p.VertLabel, p.VertShiftUnit, p.EmulationCombo})
        EXPECT_FALSE(c->enabled()) << c.name();
    EXPECT_EQ(p.PrintSpeedCombo->text(), "4 in/sec (101.6 mm/sec)");
    EXPECT_EQ(p.GapCombo->text(), "Gap");
    EXPECT_EQ(p.EmulationCombo->text(), "JQL");
    EXPECT_EQ(p.HorzShiftUnit->text(), "inch");
    EXPECT_EQ(p.HorzLabel->caption(), "0.00");
    EXPECT_EQ(p.VertLabel->caption(), "0.00");

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
    EXPECT_EQ(p.PrintSpeedCombo->listCount(), 6);
    EXPECT_EQ(p.PrintSpeedCombo->listIndex(), 3);
    EXPECT_EQ(core.ws.SpeedCmds[9], "~PAPER;SPEED IPS 10\r\n"); // stored whatever is listed
}

TEST_F(SetupPagesTest, ModelOptionSendsAdvancedGapUnlessTicked) {
    printer(4, 3, true);
    core.ws.SettingsChanged = false;
    auto& p = showSetup();
    EXPECT_EQ(p.Label1->caption(), "Quick Setup - Page 2");
    EXPECT_EQ(p.GapCombo->items(), lists::gapEntries(true));
    EXPECT_EQ(p.GapCombo->text(), "Advanced Gap");
    EXPECT_EQ(p.GapCB->value(), 0);
    EXPECT_TRUE(p.GapCombo->enabled());
    EXPECT_EQ(p.PrintSpeedCombo->listIndex(), 5);
    EXPECT_EQ(p.EmulationCombo->list(8), "EQL");
    EXPECT_EQ(core.ws.EmulationCmds[8], "uqtswitch   .e  0   0x0\r\n");
    // The box cleared by the load is not a change of the user's.
    EXPECT_FALSE(core.ws.SettingsChanged);
}

TEST_F(SetupPagesTest, LoadKeepsTheChangedFlagAndShowsExitOnceSent) {
    core.ws.SettingsChanged = true;
    core.ws.RequestSent = true;
    auto& p = showSetup();
    EXPECT_TRUE(core.ws.SettingsChanged);
    EXPECT_EQ(p.Cancel->caption(), "Exit");
}

TEST_F(SetupPagesTest, IgnoreBoxesGovernTheirControls) {
    auto& p = showSetup();
    struct Case {
        ui::ControlRef box;
        std::vector<ui::ControlRef> governed;
    } cases[] = {
        {p.PrintSpeedCB, {p.PrintSpeedCombo}},
        {p.GapCB, {p.GapCombo}},
        {p.HorzCB, {p.HorzShiftHScroll, p.HorzLabel, p.HorzShiftUnit}},
        {p.VertCB, {p.VertShiftHScroll, p.VertLabel, p.VertShiftUnit}},
        {p.EmulationCB, {p.EmulationCombo}},
    };
    for (const auto& c : cases) {
        core.ws.ExitAsked = true;
        h.click(c.box); // clear
        EXPECT_EQ(c.box->value(), 0);
        EXPECT_FALSE(core.ws.ExitAsked) << c.box.name();
        for (const auto& g : c.governed)
            EXPECT_TRUE(g->enabled()) << c.box.name() << " " << g.name();
        h.run([&] { c.box->setValue(2); }); // neither ticked nor clear
        for (const auto& g : c.governed)
            EXPECT_TRUE(g->enabled()) << c.box.name() << " " << g.name();
        h.run([&] { c.box->setValue(1); });
        for (const auto& g : c.governed)
            EXPECT_FALSE(g->enabled()) << c.box.name() << " " << g.name();
    }
}

TEST_F(SetupPagesTest, ShiftDisplayFollowsScrollAndUnit) {
    auto& p = showSetup();
    h.click(p.HorzCB);
    h.click(p.VertCB);
    h.run([&] { p.HorzShiftHScroll->setValue(-35); });
    EXPECT_EQ(p.HorzLabel->caption(), "-0.35");
    core.ws.ExitAsked = true;
    h.select(p.HorzShiftUnit, 1);
    EXPECT_EQ(p.HorzLabel->caption(), "-8.89");
    EXPECT_FALSE(core.ws.ExitAsked);
    h.run([&] { p.VertShiftHScroll->setValue(5000); }); // held at its maximum
    EXPECT_EQ(p.VertLabel->caption(), "12.80");
    EXPECT_EQ(p.HorzLabel->caption(), "-8.89");
}

TEST_F(SetupPagesTest, TickingTheEmulationBoxTicksTheFinishPageBoxes) {
    auto& p = showSetup();
    h.click(p.EmulationCB);
    auto& f = showFinish();
    EXPECT_EQ(f.SaveCfgCB->value(), 0);
    EXPECT_EQ(f.SetPwrUpCB->value(), 0);
    h.run([&] {
        f.Hide();
        p.Show();
    });
    h.click(p.EmulationCB);
    EXPECT_EQ(f.SaveCfgCB->value(), 1);
    EXPECT_EQ(f.SetPwrUpCB->value(), 1);
    EXPECT_FALSE(f.SaveCombo->enabled());
    EXPECT_FALSE(f.PowerUpCombo->enabled());
}

TEST_F(SetupPagesTest, FinishWithNothingToSendStays) {
    auto& p = showSetup();
    h.boxes.expect("Notice",
                   "No settings selected. Please select a setting to change or press cancel to "
                   "exit");
    h.click(p.Finish);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(h.visibleForm(), "PrinterSetup");
    EXPECT_EQ(testing_support::Harness::focusOf(p), p.PrintSpeedCB.name())
        << "the settings' first Ignore box";
}

TEST_F(SetupPagesTest, FinishAsksToSaveThenGoesOn) {
    auto& p = showSetup();
    h.click(p.PrintSpeedCB);
    h.boxes.expect("Save Wizard Settings",
                   "Would you like to save the changes you made in the wizard\r\nso you can use "
                   "it the next time you run this wizard?",
                   ui::mb::No, ui::mb::YesNo | ui::mb::Question);
    h.click(p.Finish);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(h.visibleForm(), "FinishDialog");
    EXPECT_FALSE(core.ws.SettingsChanged);
    EXPECT_TRUE(core.ws.ExitAsked);
    EXPECT_EQ(finish().SelectedPrinterName->caption(), kLabelPrinter);
}

TEST_F(SetupPagesTest, FinishWithSaveOpensTheSaveDialog) {
    auto& p = showSetup();
    h.click(p.VertCB);
    h.boxes.expectContaining("Save Wizard Settings", "Would you like to save", ui::mb::Yes);
    h.click(p.Finish);
    EXPECT_TRUE(pages.form("Dialog").visible());
    EXPECT_FALSE(finish().visible());
}

TEST_F(SetupPagesTest, CloseBoxKeepsValuesWhileTheSaveDialogIsOpen) {
    auto& p = showSetup();
    h.click(p.PrintSpeedCB);
    h.select(p.PrintSpeedCombo, 7);
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings", "save your settings",
                             ui::mb::Yes);
    h.close(p);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_FALSE(h.ended());
    ASSERT_TRUE(p.loaded());
    EXPECT_EQ(p.PrintSpeedCB->value(), 0);
    EXPECT_EQ(p.PrintSpeedCombo->listIndex(), 7);
}

} // namespace
} // namespace osprey_test
