#include "kestrel/core/Core.h"

#include "kestrel/core/JobFrame.h"
#include "platform/net/Tcp.h"
#include "platform/process/Processes.h"
#include "platform/spooler/Spooler.h"
#include "platform/sys/Encoding.h"
#include "platform/sys/Strings.h"
#include "platform/sys/System.h"
#include "platform/ui/App.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <stdexcept>

namespace kestrel {

Core::Core(const CoreServices& services)
    : CoreShell(services.app, services.system, services.processes, services.spooler,
                {.documentName = "Kestrel Command"}),
      network_(&services.network) {}

PageSet& Core::pages() const {
    if (!pages_)
        throw std::logic_error("the core has no pages yet");
    return *pages_;
}

// ---------------------------------------------------------------- start-up and log

void Core::Main(const std::string& commandLine) {
    ws.SettingsSaved = false;
    ws.PrinterError = false;
    ws.PartnerEdition = false;
    ws.GoMode = false;
    ws.LogEnabled = false;
    ws.CdMenuMode = false;
    ws.CdMenuProgram = "Dunlin.exe";
    ws.PrinterName = "";

    const std::string upper = sys::upperAscii(commandLine);
    if (upper.find("LOG") != std::string::npos) {
        ws.LogEnabled = true;
        WriteLog("Entering Debug Mode");
    }
    if (upper.find("CD") != std::string::npos) {
        ws.CdMenuMode = true;
        ws.CdMenuArg = commandLine.size() > 2 ? commandLine.substr(2) : std::string();
        WriteLog("Dunlin CD Menu Enabled");
    }
    if (upper.find("GO") != std::string::npos) {
        ws.GoMode = true;
        pages().form("LoadDlg").Show();
        return;
    }
    ui::Form& welcome = pages().form(ws.PartnerEdition ? "HaldenIntro" : "Intro");
    welcome.Show();
    welcome.setFocus();
}

std::string Core::GetCopyright() {
    return "Copyright (C) 2003-2025. All rights reserved.";
}

// ---------------------------------------------------------------- messages and exit

void Core::ShowProgramError(const std::string& text, bool exitFlag, const std::string& title) {
    std::string t = text;
    if (exitFlag)
        t += "\r\nThe wizard will exit.";
    MsgBox(t, ui::mb::OkOnly | ui::mb::Critical, title.empty() ? "Program Error" : title);
    if (!exitFlag)
        return;
    exiting_ = true;
    // Only a progress page that runs has anything to clean up; never create it here.
    if (pages().progressDlg().form.loaded())
        pages().progressCleanUp();
    ExitWizard();
}

int Core::AskYesNo(const std::string& text, const std::string& title) {
    const bool titled = !title.empty();
    return MsgBox(text, ui::mb::YesNo | (titled ? ui::mb::Exclamation : ui::mb::Critical),
                  titled ? title : "Error");
}

void Core::ConfirmExit() {
    if (ws.RequestSent)
        ExitWizard();
    const int answer = MsgBox("NIC setting is not complete. If you quit\r\n"
                              "the wizard now, the printer will not be updated.\r\n"
                              "Do you want to exit the wizard?",
                              ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2,
                              "Caution Exiting Wizard");
    if (answer == ui::mb::Yes)
        ExitWizard();
}

bool Core::AskSaveBeforeExit() {
    const int answer =
        MsgBox("You are about to exit this wizard after making changes.\r\n"
               "Once you exit, all of your settings will be lost.\r\n"
               "Would you like to save your settings before you exit?",
               ui::mb::YesNo | ui::mb::Question, "Leaving Wizard Without Saving Settings");
    if (answer != ui::mb::Yes) {
        cdMenuMax();
        EndWizard();
    }
    pages().setDialogMode(1);
    ws.DialogClosed = false;
    ui::Form& dialog = pages().form("Dialog");
    dialog.Show();
    // The dialog unloads itself on OK and Cancel; a dialog gone without telling must not
    // keep us waiting for ever.
    while (!ws.DialogClosed && dialog.loaded()) {
        app().DoEvents();
        if (!ws.DialogClosed)
            app().Sleep(10);
    }
    return true;
}

void Core::ShowRequestSent() {
    MsgBox("Kestrel Request Successfully Sent", ui::mb::OkOnly | ui::mb::Information,
           "Process Successful");
    ws.RequestSent = true;
}

void Core::ShowPrinterUpdateError(const std::string& frontPanel) {
    ws.PrinterError = true;
    MsgBox(printpath::printerUpdateErrorText(frontPanel), ui::mb::OkOnly | ui::mb::Critical,
           "Printer Error");
    ws.RequestSent = false;
}

void Core::cdMenuMax() {
    if (ws.CdMenuMode)
        processes().startHidden(ws.CdMenuProgram + " max " + ws.CdMenuArg);
}

void Core::unloadPages(bool withDialog) {
    for (ui::Form* page : pages().all())
        if (withDialog || page->name() != "Dialog")
            page->Unload();
}

void Core::ExitWizard() {
    exiting_ = true;
    if (SettingsDiffer() && !ws.SettingsSaved && AskSaveBeforeExit()) {
        ws.ExitAfterSave = true;
        unloadPages(false);
        // No window is left: the program ends here, without restoring the CD menu.
        app().End();
    }
    cdMenuMax();
    EndWizard();
}

void Core::EndWizard() {
    exiting_ = true;
    if (!app().ended())
        unloadPages(true);
    app().End();
}

bool Core::ending() const {
    return exiting_ || app().ended();
}

// ---------------------------------------------------------------- delivery

bool Core::SendSetupCmd(const std::string& commands, net::TcpClient* pwSocket) {
    if (ending())
        return false;
    const std::string job = nicSetupJob(commands);
    PortSelectControls& port = pages().portSelect();

    auto unsendable = [this] {
        ShowProgramError("The settings hold a character that cannot be sent to the printer.", false,
                         "");
        ws.PrinterError = true;
        return false;
    };

    if (port.PortTCP->checked()) {
        if (!pwSocket || pwSocket->state() != net::state::Connected) {
            ProgressDlgControls& progress = pages().progressDlg();
            progress.Timer1->setEnabled(false);
            ws.PrinterError = true;
            ui::Control& status = *progress.StatusLog;
            status.setText(status.text() + "\r\nProcess Failed");
            ShowProgramError("Unable to communicate with printer. It maybe offline", true,
                             "Communication Error");
            return false; // not reached: the error leaves the wizard
        }
        auto bytes = sys::toWindows1252(job);
        if (!bytes)
            return unsendable();
        if (!pwSocket->send(*bytes)) {
            WriteLog("...SendSetupCmd: send failed: " + pwSocket->errorText());
            ws.PrinterError = true;
            return false;
        }
        return true;
    }

    if (port.PortFile->checked()) {
        const std::string path = port.FileName->text();
        auto bytes = sys::toWindows1252(job + "\r\n");
        if (!bytes)
            return unsendable();
        if (!sys().writeFile(path, *bytes).ok) {
            ShowProgramError("Unable to write the settings to the file\r\n" + path, false,
                             "File Error");
            ws.PrinterError = true;
            return false;
        }
        return true;
    }

    if (port.PortLPT->checked() || port.PortCOM->checked() || port.PortUSB->checked()) {
        // The job goes to the temporary printer or nowhere.
        if (spooler().currentPrinter() != kTempPrinterName) {
            WriteLog("...SendSetupCmd: printer " + std::string(kTempPrinterName) +
                     " is not current; nothing sent");
            ws.PrinterError = true;
            return false;
        }
        if (!printPath().SendToPrinter(job)) {
            ws.PrinterError = true;
            return false;
        }
        return true;
    }
    return false;
}

} // namespace kestrel
