#include "osprey/pages/FinishDialog.h"

#include "osprey/core/Core.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/PrinterSetup.h"
#include "osprey/pages/ProgressDlg.h"

namespace osprey {

std::vector<std::string> FinishDialog::saveEntries() {
    std::vector<std::string> entries;
    for (int i = 1; i <= 8; ++i)
        entries.push_back("Configuration " + std::to_string(i));
    return entries;
}

std::vector<std::string> FinishDialog::powerUpEntries() {
    std::vector<std::string> entries{"Factory"};
    for (const auto& e : saveEntries())
        entries.push_back(e);
    return entries;
}

void FinishDialog::Build() {
    setCaption("Send Wizard Settings");
    label("Label1", "Wizard Settings are Ready to be Sent").asHeading();
    label("Label2", "The wizard settings are ready to be sent to the printer listed below:");
    label(SelectedPrinterName, "");
    label("Label3",
          "Please select any additional operation you would like performed after the settings "
          "are sent to the printer. If \"Ignore\" is checked, that operation will not be "
          "performed.");
    label("Ignore", "Ignore");
    checkBox(SaveCfgCB, "").setAccessibleName("Ignore Save Settings to Printer Configuration");
    label("Label4", "Save Settings to Printer Configuration").beside();
    combo(SaveCombo, ui::ComboStyle::DropDownList, saveEntries()).beside();
    label("Label5",
          "This option allows you to save up to eight unique printer settings to meet different "
          "print job requirements. This eliminates the need to change the printer settings for "
          "each new job. When this option is selected, the configurations are stored in memory "
          "and will not be lost if you turn off the printer. If the settings are not saved, "
          "they will be lost when the printer is turned off.");
    checkBox(SetPwrUpCB, "").setAccessibleName("Ignore Set Power-Up Configuration");
    label("Label6", "Set Power-Up Configuration to ").beside();
    combo(PowerUpCombo, ui::ComboStyle::DropDownList, powerUpEntries()).beside();
    label("Label7",
          "You can specify any one of nine configurations (1-8 saved custom configurations or "
          "Factory) as the power-up configuration. The selected configuration will be loaded "
          "when the printer is turned on.");
    button(Back, "< Back").asBack();
    button(OKButton, "Finish").beside().setDefault(true);
    button(CancelButton, "Cancel").beside().setCancel(true);

    SaveCfgCB->onClick = [this] { SaveCfgCB_Click(); };
    SetPwrUpCB->onClick = [this] { SetPwrUpCB_Click(); };
    OKButton->onClick = [this] { OKButton_Click(); };
    Back->onClick = [this] { Back_Click(); };
    CancelButton->onClick = [this] { CancelButton_Click(); };
}

bool FinishDialog::emulationToChange() {
    return pages().get<PrinterSetup>().EmulationCB->value() == 0;
}

void FinishDialog::Form_Load() {
    SaveCombo->setListIndex(0);
    PowerUpCombo->setListIndex(0);
    SaveCfgCB->setValue(1);
    SetPwrUpCB->setValue(1);
    SaveCombo->setEnabled(false);
    PowerUpCombo->setEnabled(false);
    if (emulationToChange()) {
        PowerUpCombo->setListIndex(SaveCombo->listIndex() + 1);
        SaveCfgCB->setValue(0);
        SetPwrUpCB->setValue(0);
    }
    SelectedPrinterName->setCaption(core().ws.SelectedPrinter);
}

void FinishDialog::Form_QueryUnload(int& cancel, int unloadMode) {
    (void)cancel;
    if (unloadMode == ui::kUnloadUser)
        core().ExitWizard();
}

void FinishDialog::SetComboBoxes() {
    if (!emulationToChange())
        return;
    SaveCfgCB->setValue(0);
    SetPwrUpCB->setValue(0);
    SaveCombo->setEnabled(true);
    PowerUpCombo->setEnabled(true);
    PowerUpCombo->setListIndex(SaveCombo->listIndex() + 1);
}

void FinishDialog::SaveCfgCB_Click() {
    int value = SaveCfgCB->value();
    if (value == 1) {
        SaveCombo->setEnabled(false);
        SaveCombo->setListIndex(0);
    } else if (value == 0) {
        SaveCombo->setEnabled(true);
    }
}

void FinishDialog::SetPwrUpCB_Click() {
    int value = SetPwrUpCB->value();
    if (value == 1) {
        PowerUpCombo->setEnabled(false);
        PowerUpCombo->setListIndex(0);
    } else if (value == 0) {
        PowerUpCombo->setEnabled(true);
    }
}

bool FinishDialog::ConfirmCalibration() {
    return core().MsgBox("Warning! One or more of the settings you specified require "
                         "calibration to be performed.\r\n"
                         "Calibration may interfere with current jobs sent to the printer.\r\n"
                         "\r\n"
                         "Do you want to continue?",
                         ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2,
                         "Calibration Required") == ui::mb::Yes;
}

bool FinishDialog::ConfirmCfgOverwrite() {
    return core().MsgBox("Warning! You may overwrite a previously saved configuration.\r\n"
                         "Are you sure you want to continue?",
                         ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2,
                         "Configuration Overwrite Warning") == ui::mb::Yes;
}

void FinishDialog::ReportAborted() {
    core().MsgBox("Setting download aborted. No printer settings were changed",
                  ui::mb::OkOnly | ui::mb::Exclamation, "Printer Setting Not Saved");
}

void FinishDialog::abortToSetup() {
    ReportAborted();
    pages().get<PrinterSetup>().Show();
    Hide();
}

void FinishDialog::OKButton_Click() {
    auto& ws = core().ws;
    if (emulationToChange() && SaveCfgCB->value() == 1) {
        core().ShowNotice("Changing the active emulation requires you to save the "
                          "configuration.\r\n"
                          "Please select a configuration number to hold this change.");
        SaveCfgCB->setValue(0);
        return;
    }
    if (ws.MediaChanged && !ConfirmCalibration()) {
        abortToSetup();
        return;
    }
    if (SaveCfgCB->value() == 0) {
        ws.SaveCfgFlag = true;
        ws.SaveCfgNumber = static_cast<std::int16_t>(SaveCombo->listIndex() + 1);
        if (!ConfirmCfgOverwrite()) {
            abortToSetup();
            return;
        }
    } else {
        ws.SaveCfgFlag = false;
    }
    if (SetPwrUpCB->value() == 0) {
        ws.SetPowerUpFlag = true;
        ws.PowerUpNumber = static_cast<std::int16_t>(PowerUpCombo->listIndex());
    } else {
        ws.SetPowerUpFlag = false;
    }
    ws.RequestSent = true;
    Hide();
    auto& progress = pages().get<ProgressDlg>();
    progress.Show();
    progress.Start_Job();
}

void FinishDialog::Back_Click() {
    Hide();
    pages().get<PrinterSetup>().Show();
}

void FinishDialog::CancelButton_Click() {
    core().ConfirmExit(*this);
    // ConfirmExit comes back after a Yes only when ExitWizard left the save dialog open for
    // the user; a second ExitWizard would end the program under it and lose the save.
    if (core().ws.ExitAnswer == kAnswerYes && !pages().form("Dialog").visible())
        core().ExitWizard();
}

} // namespace osprey
