#include "kestrel/pages/LoadDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

namespace {
constexpr int kPollMs = 500;
}

void LoadDlg::Build() {
    setCaption("Load Wizard Settings");
    label("Label1", "Load Kestrel Settings ").asHeading();
    label("Label6", "Please specify if you would like to retrieve the wizard settings you made in "
                    "a previous session or start new.");
    option(StartNew, "&Start New")
        .setToolTip("Select this option if this is the first time you ran this wizard, or if "
                    "you didn't save your previous work.")
        .setValue(1);
    label(Label2, "Use the default settings.").beside();
    option(Load, "&Load Previously Saved Wizard Settings ")
        .setToolTip("Select this option if you want to use the settings from your previous "
                    "session with this wizard that you saved to file.");
    label(Label3, "Use the wizard settings you previously saved to a file.").beside();
    navigationRow();
    timer(Timer1).onTimer = [this] { Timer1_Timer(); };
}

void LoadDlg::Form_Load() {
    // The untouched pages are the baseline the settings-changed test compares with.
    core().RecordInitialSettings();
}

void LoadDlg::Next_Click() {
    // Only one welcome page is ever shown; unloading one that is not loaded does nothing.
    pages().get<Intro>().Unload();
    pages().get<HaldenIntro>().Unload();
    if (StartNew->checked()) {
        Hide();
        pages().get<PortSelect>().Show();
    } else if (Load->checked()) {
        Dialog& dialog = pages().get<Dialog>();
        dialog.Mode = 0;
        dialog.Show();
        Hide();
        startTimer(*Timer1, kPollMs);
    }
}

void LoadDlg::Timer1_Timer() {
    ui::Control& t = *Timer1;
    if (core().ending()) {
        // The wizard is on its way out; nothing more to show.
        t.setEnabled(false);
        return;
    }
    switch (core().ws.FinishAction) {
    case finish::Done:
        t.setEnabled(false);
        Hide();
        pages().get<PortSelect>().Show();
        break;
    case finish::Cancelled:
        t.setEnabled(false);
        StartNew->setValue(1);
        Show();
        break;
    default:
        // The dialog is still open.
        t.setInterval(kPollMs);
        t.setEnabled(true);
        break;
    }
}

void LoadDlg::Prev_Click() {
    const WizardState& ws = core().ws;
    if (ws.GoMode) {
        // Started by another program: there is no welcome page to go back to.
        core().EndWizard();
        return;
    }
    if (ws.PartnerEdition)
        pages().get<HaldenIntro>().Show();
    else
        pages().get<Intro>().Show();
    Hide();
}

} // namespace kestrel
