#include "kestrel/pages/FinishDialog.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

void FinishDialog::Build() {
    setCaption("Send Wizard Settings");
    label("Label1", "Wizard Settings are Ready to be Sent").asHeading();
    label("Label3", "The wizard settings are ready to be sent to the printer ");
    label("Label2",
          "Your configuration settings for the network adapter are about to be sent to the "
          "printer. Would you like to save your entries to a file for future reference?",
          0);
    // Yes and No answer the question above them: their frame is named after it.
    frame("Frame1", "");
    option(Option1, "&Yes").in("Frame1");
    option(Option2, "&No").in("Frame1").beside();
    label("Label2",
          "Note: After sending the configuration changes for the network adapter, the printer "
          "will be rebooted.",
          1);
    button(Back, "< Back").asBack();
    button(OKButton, "Finish").beside().setDefault(true);
    button(CancelButton, "Exit").beside().setCancel(true);
    button(SaveExit, "Save and Exit").beside();
    timer(Timer1, 0, false);

    OKButton->onClick = [this] { OKButton_Click(); };
    SaveExit->onClick = [this] { SaveExit_Click(); };
    Timer1->onTimer = [this] { Timer1_Timer(); };
    Back->onClick = [this] { Back_Click(); };
    CancelButton->onClick = [this] { CancelButton_Click(); };
}

void FinishDialog::Form_Load() {
    core().WriteLog("in FinishDialog");
    core().BuildSetupCommands();
    SaveExitChosen = false;
    if (core().SettingsDiffer())
        Option1->setValue(1);
    else
        Option2->setValue(1);
}

void FinishDialog::Form_QueryUnload(int& cancel, int unloadMode) {
    (void)cancel;
    if (unloadMode == ui::kUnloadUser)
        core().ExitWizard();
}

void FinishDialog::openSaveDialog() {
    pages().setDialogMode(1);
    pages().get<Dialog>().Show();
}

void FinishDialog::startPolling() {
    startTimer(*Timer1, 500);
}

void FinishDialog::OKButton_Click() {
    auto& ws = core().ws;
    if (Option1->checked()) {
        ws.DialogClosed = false;
        openSaveDialog();
        // The dialog is modeless: let its events (and this page's) run until it closes.
        while (!ws.DialogClosed) {
            app().DoEvents();
            if (ws.DialogClosed)
                break;
            app().Sleep(20);
        }
        if (core().ending())
            return;
        if (ws.FinishAction == finish::Cancelled)
            return;
    } else if (Option2->checked()) {
        ws.FinishAction = finish::Done;
    }
    startPolling();
}

void FinishDialog::SaveExit_Click() {
    SaveExitChosen = true;
    openSaveDialog();
    startPolling();
}

void FinishDialog::Timer1_Timer() {
    auto& ws = core().ws;
    Timer1->setEnabled(false);
    if (core().ending())
        return;
    if (ws.FinishAction == finish::Open) {
        startPolling();
        return;
    }
    if (ws.FinishAction == finish::Cancelled) {
        // A cancelled Save and Exit lapses, so a later Finish sends as the user expects.
        SaveExitChosen = false;
        Show();
        return;
    }
    if (SaveExitChosen)
        core().ExitWizard();
    Show();
    bool fileRoute = pages().get<PortSelect>().PortFile->checked();
    if (!fileRoute &&
        core().AskYesNo("Warning! The configuration changes are about to be sent to the "
                        "printer.\r\nAfterwards, the printer will be rebooted, cancelling all "
                        "pending print jobs.\r\nDo you want to continue?",
                        "Warning") == ui::mb::No)
        return;
    Hide();
    core().WriteLog("Calling ProgressDlg");
    pages().get<ProgressDlg>().Show();
    core().WriteLog("Exit routine");
}

void FinishDialog::Back_Click() {
    ui::Form* previous = PrevForm;
    Unload();
    if (previous)
        previous->Show();
}

void FinishDialog::CancelButton_Click() {
    core().ConfirmExit();
}

} // namespace kestrel
