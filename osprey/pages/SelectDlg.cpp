#include "osprey/pages/SelectDlg.h"

#include "osprey/core/Core.h"
#include "osprey/pages/HaldenIntro.h"
#include "osprey/pages/Intro.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/Selection.h"
#include "platform/sys/System.h"
#include "printpath/PrintPath.h"

namespace osprey {

namespace {
constexpr std::int64_t kWaitForeverMs = 2000000000;
}

void SelectDlg::Build() {
    setCaption("Select Operation");
    label("Label1", "Select Wizard Operation").asHeading();
    label("Label2", "Please specify what settings you would like to configure with this wizard.");
    option(CfgNic, "&Network interface card (NIC) settings");
    label("Label3", "Configure Ethernet or Wireless network adapter settings.");
    option(CfgPrinter, "&Printer Settings");
    label("Label4", "Configure basic printer settings");
    label("Label5", "Select this option only after the NIC settings have been configured and a "
                    "Windows driver for the printer has been installed.");
    navigationRow();
}

void SelectDlg::Form_Load() {
    CfgNic->setValue(1);
}

void SelectDlg::Next_Click() {
    pages().get<Intro>().Unload();
    pages().get<HaldenIntro>().Unload();
    Hide();
    if (CfgPrinter->checked()) {
        // A fresh selection page fills its list and marks an entry in its load.
        pages().get<Selection>().Show();
        if (!core().ws.SelectedPrinter.empty())
            Unload();
        else
            No_Driver_Found();
    } else if (CfgNic->checked()) {
        if (RunKestrel()) {
            Hide();
            CfgPrinter->setValue(1);
            Show();
        }
    }
}

bool SelectDlg::programFileExists(const std::string& path) {
    // The programs carry no ".exe" on this system; either name will do.
    if (core().FileExists(path))
        return true;
    const std::string ext = ".exe";
    return path.size() > ext.size() &&
           path.compare(path.size() - ext.size(), ext.size(), ext) == 0 &&
           core().FileExists(path.substr(0, path.size() - ext.size()));
}

bool SelectDlg::RunKestrel() {
    WizardState& ws = core().ws;
    const std::string path = sys::joinPath(core().sys().programFolder(),
                                           ws.PartnerModel ? "TavixKestrel.exe" : "Kestrel.exe");
    if (!programFileExists(path)) {
        core().ShowPrinterError("Error unable to locate the Kestrel application:\r\n" + path +
                                    "\r\n\r\nPlease install the Kestrel from your Quick Start CD.",
                                false);
        core().ExitWizard();
        return false;
    }
    // Quoted, so that a program folder with blanks still starts the program.
    const std::string commandLine = printpath::programCommandLine(
        core().sys().programFolder(), ws.PartnerModel ? "TavixKestrel.exe" : "Kestrel.exe",
        "GO /VERYSILENT");
    if (ws.LogEnabled)
        core().WriteLog("Running Kestrel: " + commandLine + "\r\n");
    std::string message;
    core().RunAndWait(commandLine, message, kWaitForeverMs);
    return true;
}

void SelectDlg::No_Driver_Found() {
    WizardState& ws = core().ws;
    ws.SettingsChanged = false;
    if (ws.LogEnabled)
        core().WriteLog("No Driver Found\r\n");
    const int answer = app().MsgBox(
        "No compatible Windows driver found!\r\n"
        "You must have at least one compatible Windows printer driver installed before you can "
        "use this application.\r\n"
        "Would you like to install a Windows printer driver now?",
        ui::mb::YesNo | ui::mb::Question, "No Compatible Drivers Found");
    if (answer != ui::mb::Yes) {
        core().ExitWizard();
        return;
    }
    const std::string folder = core().sys().programFolder();
    const std::string path = sys::joinPath(folder, "Tindrel.exe");
    if (!programFileExists(path)) {
        core().ShowPrinterError("Error unable to locate the Windows driver setup file.\r\n"
                                "Please install the Windows driver using your Quick Start CD.",
                                true);
        return;
    }
    const std::string commandLine =
        printpath::programCommandLine(folder, "Tindrel.exe", "/VERYSILENT");
    if (ws.LogEnabled)
        core().WriteLog("Running driver install: " + commandLine + "\r\n");
    std::string message;
    core().RunAndWait(commandLine, message, kWaitForeverMs);
    // A fresh selection page lists the printers again; with still none, the offer returns.
    pages().get<Selection>().Unload();
    Next_Click();
}

void SelectDlg::Prev_Click() {
    if (core().ws.PartnerModel)
        pages().get<HaldenIntro>().Show();
    else
        pages().get<Intro>().Show();
    Unload();
}

} // namespace osprey
