#include "tests/osprey_pages/PrinterSetupFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace osprey_test {
namespace {

const char* const kEmulationNotice =
    "Changing the active emulation requires you to save the configuration.\r\n"
    "Please select a configuration number to hold this change.";
const char* const kCalibration =
    "Warning! One or more of the settings you specified require calibration to be "
    "performed.\r\nCalibration may interfere with current jobs sent to the printer.\r\n\r\n"
    "Do you want to continue?";
const char* const kOverwrite = "Warning! You may overwrite a previously saved configuration.\r\n"
                               "Are you sure you want to continue?";
const char* const kAborted = "Setting download aborted. No printer settings were changed";

constexpr int kWarnNoDefault = ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2;

class FinishPageTest : public SetupPagesTest {
  protected:
    // Settings chosen on the setup page; the save question was asked (and declined).
    void chooseOnSetup(std::initializer_list<ui::ControlRef> boxesToClear) {
        showSetup();
        for (const auto& box : boxesToClear)
            h.click(box);
        h.run([&] { core.CheckSettingsChanged(); });
        core.ws.SettingsChanged = false;
        core.ws.ExitAsked = true;
    }
    // The success box and the end of the program that a clean run leads to.
    void expectRunToSucceed() {
        h.boxes.expect("Process Successful", "Printer Setup Request Successfully Sent");
    }
};

TEST_F(FinishPageTest, OpensWithBothOperationsIgnored) {
    chooseOnSetup({setup().PrintSpeedCB});
    auto& f = showFinish();
    EXPECT_EQ(f.caption(), "Send Wizard Settings");
    EXPECT_EQ(f.SelectedPrinterName->caption(), kLabelPrinter);
    for (const auto& box : {f.SaveCfgCB, f.SetPwrUpCB})
        EXPECT_EQ(box->value(), 1) << box.name();
    EXPECT_FALSE(f.SaveCombo->enabled());
    EXPECT_FALSE(f.PowerUpCombo->enabled());
    EXPECT_EQ(f.SaveCombo->text(), "Configuration 1");
    EXPECT_EQ(f.PowerUpCombo->text(), "Factory");
    EXPECT_EQ(f.OKButton->caption(), "Finish");
}

TEST_F(FinishPageTest, EmulationChangeTurnsBothOperationsOn) {
    chooseOnSetup({setup().EmulationCB});
    auto& f = showFinish();
    EXPECT_EQ(f.SaveCfgCB->value(), 0);
    EXPECT_EQ(f.SetPwrUpCB->value(), 0);
    EXPECT_TRUE(f.SaveCombo->enabled());
    EXPECT_TRUE(f.PowerUpCombo->enabled());
    EXPECT_EQ(f.SaveCombo->text(), "Configuration 1");
    EXPECT_EQ(f.PowerUpCombo->text(), "Configuration 1");

    // Back, then on again with another slot: the power-up choice follows the slot.
    h.click(f.Back);
    EXPECT_EQ(h.visibleForm(), "PrinterSetup");
    h.run([&] { f.SaveCombo->setListIndex(2); });
    showFinish();
    EXPECT_EQ(f.PowerUpCombo->text(), "Configuration 3");
}

TEST_F(FinishPageTest, IgnoreBoxesResetTheirLists) {
    chooseOnSetup({setup().PrintSpeedCB});
    auto& f = showFinish();
    h.click(f.SaveCfgCB);
    h.select(f.SaveCombo, 4);
    h.click(f.SetPwrUpCB);
    h.select(f.PowerUpCombo, 6);
    h.click(f.SaveCfgCB);
    h.click(f.SetPwrUpCB);
    EXPECT_EQ(f.SaveCombo->listIndex(), 0);
    EXPECT_EQ(f.PowerUpCombo->listIndex(), 0);
    EXPECT_FALSE(f.SaveCombo->enabled());
    EXPECT_FALSE(f.PowerUpCombo->enabled());
}

TEST_F(FinishPageTest, EmulationChangeWithoutSlotIsRefused) {
    chooseOnSetup({setup().EmulationCB});
    auto& f = showFinish();
    h.click(f.SaveCfgCB); // tick: no slot
    h.boxes.expect("Notice", kEmulationNotice, ui::mb::Ok, ui::mb::OkOnly | ui::mb::Information);
    h.click(f.OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(f.SaveCfgCB->value(), 0);
    EXPECT_TRUE(f.SaveCombo->enabled());
    EXPECT_EQ(h.visibleForm(), "FinishDialog");
    EXPECT_FALSE(core.ws.RequestSent);
    EXPECT_TRUE(jobsSent().empty());
}

TEST_F(FinishPageTest, CalibrationDeclinedAbortsToTheSetupPage) {
    chooseOnSetup({setup().GapCB});
    ASSERT_TRUE(core.ws.MediaChanged);
    auto& f = showFinish();
    h.boxes.expect("Calibration Required", kCalibration, ui::mb::No, kWarnNoDefault);
    h.boxes.expect("Printer Setting Not Saved", kAborted, ui::mb::Ok,
                   ui::mb::OkOnly | ui::mb::Exclamation);
    h.click(f.OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(h.visibleForm(), "PrinterSetup");
    EXPECT_FALSE(core.ws.RequestSent);
    EXPECT_TRUE(jobsSent().empty());
}

TEST_F(FinishPageTest, OverwriteDeclinedAbortsAndConfirmedSendsTheSlot) {
    chooseOnSetup({setup().PrintSpeedCB});
    auto& f = showFinish();
    h.click(f.SaveCfgCB);
    h.select(f.SaveCombo, 2);
    h.boxes.expect("Configuration Overwrite Warning", kOverwrite, ui::mb::No, kWarnNoDefault);
    h.boxes.expect("Printer Setting Not Saved", kAborted);
    h.click(f.OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(h.visibleForm(), "PrinterSetup");
    EXPECT_TRUE(jobsSent().empty());

    // The choices stay for the next visit.
    h.run([&] {
        setup().Hide();
        f.Show();
    });
    EXPECT_EQ(f.SaveCombo->text(), "Configuration 3");
    h.boxes.expect("Configuration Overwrite Warning", kOverwrite, ui::mb::Yes);
    expectRunToSucceed();
    h.click(f.OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(core.ws.SaveCfgFlag);
    EXPECT_EQ(core.ws.SaveCfgNumber, 3);
    EXPECT_FALSE(core.ws.SetPowerUpFlag);
    EXPECT_TRUE(core.ws.RequestSent);
    EXPECT_TRUE(anyJobHolds("~PAPER;SPEED IPS 4\r\n"));
    EXPECT_TRUE(anyJobHolds("CONFIG-SAVE;3\r\n"));
    EXPECT_FALSE(anyJobHolds("CONFIG-POWERUP;"));
    EXPECT_TRUE(h.ended());
}

TEST_F(FinishPageTest, NothingExtraGoesStraightToTheRun) {
    chooseOnSetup({setup().HorzCB});
    auto& f = showFinish();
    expectRunToSucceed();
    h.click(f.OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_FALSE(core.ws.SaveCfgFlag);
    EXPECT_FALSE(core.ws.SetPowerUpFlag);
    EXPECT_FALSE(anyJobHolds("CONFIG-SAVE;"));
    EXPECT_FALSE(anyJobHolds("~PAPER;CALIBRATE"));
}

TEST_F(FinishPageTest, FactoryPowerUpIsSent) {
    chooseOnSetup({setup().HorzCB});
    auto& f = showFinish();
    h.click(f.SetPwrUpCB);
    expectRunToSucceed();
    h.click(f.OKButton);
    EXPECT_TRUE(core.ws.SetPowerUpFlag);
    EXPECT_EQ(core.ws.PowerUpNumber, 0);
    EXPECT_TRUE(anyJobHolds("CONFIG-POWERUP;0\r\n"));
}

TEST_F(FinishPageTest, CancelWithSaveChosenLeavesTheSaveDialogOpen) {
    chooseOnSetup({setup().HorzCB});
    core.ws.ExitAsked = false; // a box was cleared after the save question
    auto& f = showFinish();
    h.boxes.expectContaining("Caution Exiting Wizard", "Do you want to exit", ui::mb::Yes);
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings", "save your settings",
                             ui::mb::Yes);
    h.click(f.CancelButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_FALSE(h.ended());
    EXPECT_TRUE(pages.form("Dialog").visible());
}

} // namespace
} // namespace osprey_test
