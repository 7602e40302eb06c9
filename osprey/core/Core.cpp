#include "osprey/core/Core.h"

#include "osprey/core/Commands.h"
#include "osprey/core/PrintPathVariant.h"
#include "platform/process/Processes.h"
#include "platform/registry/Registry.h"
#include "platform/sys/Strings.h"
#include "platform/sys/System.h"
#include "platform/ui/App.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <stdexcept>

namespace osprey {

Core::Core(const CoreServices& services)
    : CoreShell(services.app, services.system, services.processes, services.spooler,
                printPathOptions()),
      network_(&services.network), registry_(&services.registry) {
    // The registry reads the printer's address (GetPortIPAddress); why none was found goes
    // into the log.
    registry_->onLookupProblem = [this](const std::string& why) {
        WriteLog("...GetPortIPAddress: " + why);
    };
    // Its lookups wait as every wait of the wizard does: events run, the window answers.
    registry_->lookupWait = net::WaitLoop{[this] { return app().now(); },
                                          [this](std::int64_t ms) {
                                              app().DoEvents();
                                              app().Sleep(ms);
                                          }};
}

Core::~Core() {
    registry_->onLookupProblem = nullptr;
    registry_->lookupWait = {};
}

PageSet& Core::pages() const {
    if (!pages_)
        throw std::logic_error("the core has no pages yet");
    return *pages_;
}

// ---------------------------------------------------------------- start-up and log

void Core::Main(const std::string& commandLine) {
    ws.ExitAsked = false;
    ws.PrinterError = false;
    ws.ModelOption = false;
    ws.PartnerModel = false;
    ws.LogEnabled = false;
    ws.CdMenuMode = false;
    ws.CdMenuProgram = "Dunlin.exe";

    const std::string upper = sys::upperAscii(commandLine);
    if (upper.find("LOG") != std::string::npos) {
        ws.LogEnabled = true;
        ws.KvtLogEnabled = false;
        WriteLog("Entering Debug Mode");
    }
    if (upper.find("KVT") != std::string::npos) {
        ws.KvtLogEnabled = true;
        ws.LogEnabled = false;
        WriteLog("Entering KVT Debug Mode");
    }
    if (upper.find("CD") != std::string::npos) {
        ws.CdMenuMode = true;
        ws.CdMenuArg = commandLine.size() > 2 ? commandLine.substr(2) : std::string();
        WriteLog("Dunlin CD Menu Enabled");
    }
    ui::Form& welcome = pages().form(ws.PartnerModel ? "HaldenIntro" : "Intro");
    welcome.Show();
    welcome.setFocus();
}

std::string Core::CopyrightText() {
    return "Copyright (C) 2003-2025 Corvane Corporation.";
}

// ---------------------------------------------------------------- messages

void Core::ShowRequestSent() {
    MsgBox("Printer Setup Request Successfully Sent", ui::mb::OkOnly | ui::mb::Information,
           "Process Successful");
    ws.RequestSent = true;
}

void Core::ShowPrinterUpdateError(const std::string& frontPanel) {
    ws.PrinterError = true;
    MsgBox(printpath::printerUpdateErrorText(frontPanel), ui::mb::OkOnly | ui::mb::Critical,
           "Printer Error");
    ws.RequestSent = false;
}

void Core::ShowPrinterError(const std::string& message, bool fatal) {
    std::string t = message + "\r\n";
    if (fatal)
        t += "The wizard will exit.";
    MsgBox(t, ui::mb::OkOnly | ui::mb::Critical, "Printer Error");
    if (fatal)
        ExitWizard();
}

void Core::ShowProgramError(const std::string& text, bool exitFlag, const std::string& title) {
    std::string t = text;
    if (exitFlag)
        t += "\r\nThe wizard will exit.";
    MsgBox(t, ui::mb::OkOnly | ui::mb::Critical, title.empty() ? "Printer Error" : title);
    if (exitFlag)
        ExitWizard();
}

bool Core::AskFileQuestion(const std::string& question) {
    return MsgBox(question, ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2,
                  "File Exist Error") == ui::mb::Yes;
}

// ---------------------------------------------------------------- exit

void Core::ConfirmExit(ui::Form& page) {
    if (ws.RequestSent) {
        ExitWizard();
        return;
    }
    const int answer = MsgBox("Printer setting is not complete. If you quit\r\n"
                              "the wizard now, the printer will not be updated.\r\n"
                              "Do you want to exit the wizard?",
                              ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2,
                              "Caution Exiting Wizard");
    ws.ExitAnswer = static_cast<std::int16_t>(answer);
    if (answer == ui::mb::Yes) {
        ExitWizard();
        return;
    }
    page.Show();
}

bool Core::AskSaveBeforeExit() {
    ws.SettingsChanged = false;
    ws.ExitAsked = true;
    const int answer =
        MsgBox("You are about to exit this wizard after making changes.\r\n"
               "Once you exit, all of your settings will be lost.\r\n"
               "Would you like to save your settings before you exit?",
               ui::mb::YesNo | ui::mb::Question, "Leaving Wizard Without Saving Settings");
    if (answer != ui::mb::Yes)
        return false;
    pages().setDialogMode(2);
    pages().form("Dialog").Show();
    return true;
}

void Core::CheckSettingsChanged() {
    auto& o = pages().operation();
    auto& p = pages().printerSetup();
    const std::array<int, 9> boxes = {
        o.MediaTypeCB->value(), o.MediaSizeCB->value(),  o.OrientationCB->value(),
        o.DispenseCB->value(),  p.PrintSpeedCB->value(), p.GapCB->value(),
        p.HorzCB->value(),      p.VertCB->value(),       p.EmulationCB->value(),
    };
    const ChangedFlags f = changedFromBoxes(boxes);
    ws.SettingsChanged = f.settings;
    ws.MediaChanged = f.media;
}

void Core::unloadPages() {
    for (ui::Form* page : pages().all())
        page->Unload(); // a page never loaded stays so
}

void Core::ExitWizard() {
    CheckSettingsChanged();
    if (ws.SettingsChanged && !ws.ExitAsked && AskSaveBeforeExit())
        return;
    if (ws.CdMenuMode)
        processes().startHidden(ws.CdMenuProgram + " max " + ws.CdMenuArg); // failure ignored
    unloadPages();
    app().End();
}

// ---------------------------------------------------------------- print path variants

std::string Core::CheckPrinter(std::string& printerPart, std::string& jobPart) {
    return printPath().CheckPrinter(printerPart, jobPart);
}

void Core::PurgePrintQueue() {
    printPath().PurgePrintQueue();
}

void Core::KillPrintJob(const std::string& printer, std::uint32_t jobId) {
    printPath().KillPrintJob(printer, jobId);
}

bool Core::SendToPrinter(const std::string& jobText) {
    // The job goes to the printer the user chose or nowhere.
    if (!printPath().IsCurrentPrinter(ws.SelectedPrinter)) {
        if (ws.LogEnabled)
            WriteLog("...SendToPrinter: the chosen printer " + ws.SelectedPrinter +
                     " is not current; nothing sent");
        return false;
    }
    return printPath().SendToPrinter(jobText);
}

bool Core::RunAndWait(const std::string& commandLine, std::string& message,
                      std::int64_t timeoutMs) {
    return printPath().RunAndWait(commandLine, message, timeoutMs);
}

// ---------------------------------------------------------------- printer command jobs

bool Core::sendJob(const std::string& builder, const std::string& job, bool dump) {
    const bool whole = SendToPrinter(job);
    if (dump && (ws.LogEnabled || ws.KvtLogEnabled)) {
        WriteLog("KVTOutput [" + builder + "]: \r\n" + job);
        WriteLog("KVTOutput [end] \r\n");
    }
    return whole;
}

bool Core::LoadCfgCmd(std::int16_t n) {
    return sendJob("LoadCfgCmd", loadCfgJob(n));
}

bool Core::SendNullCmd() {
    return sendJob("SendNullCmd", nullJob(), false);
}

bool Core::SendEmuCmd(std::int16_t n) {
    const int index = pages().printerSetup().EmulationCombo->listIndex();
    std::string slot;
    if (index >= 0 && index < kEmulationSlots)
        slot = ws.EmulationCmds[static_cast<std::size_t>(index)];
    auto job = emuJob(n, slot);
    if (!job) {
        WriteLog("...SendEmuCmd: no emulation chosen, nothing sent");
        return false;
    }
    return sendJob("SendEmuCmd", *job);
}

Core::CfgSend Core::SendCfgCmd() {
    auto& o = pages().operation();
    auto& p = pages().printerSetup();
    SettingsChoice c;
    c.MediaTypeCB = o.MediaTypeCB->value();
    c.MediaTypeIndex = o.MediaTypeCombo->listIndex();
    c.MediaSizeCB = o.MediaSizeCB->value();
    c.LabelLengthIndex = o.LabelLengthCombo->listIndex();
    c.LabelWidthIndex = o.LabelWidthCombo->listIndex();
    c.OrientationCB = o.OrientationCB->value();
    c.OrientationIndex = o.OrientationCombo->listIndex();
    c.DispenseCB = o.DispenseCB->value();
    c.DispenseIndex = o.DispenseCombo->listIndex();
    c.PrintSpeedCB = p.PrintSpeedCB->value();
    c.PrintSpeedIndex = p.PrintSpeedCombo->listIndex();
    c.GapCB = p.GapCB->value();
    c.GapIndex = p.GapCombo->listIndex();
    c.HorzCB = p.HorzCB->value();
    c.HorzShift = p.HorzShiftHScroll->value();
    c.VertCB = p.VertCB->value();
    c.VertShift = p.VertShiftHScroll->value();

    const SettingsJob job = settingsJob(c, ws);
    if (!job.ok) {
        // Never a partial job: the printer would take half a configuration. The user asked
        // for the setting, so this is a failed step, not "nothing to send".
        WriteLog("...SendCfgCmd: no valid entry for the " + job.fault + ", nothing sent");
        return CfgSend::Failed;
    }
    if (job.text.empty())
        return CfgSend::Nothing;
    return sendJob("SendCfgCmd", job.text) ? CfgSend::Sent : CfgSend::Failed;
}

bool Core::SendCalibrateCmd() {
    return sendJob("SendCalibrateCmd", calibrateJob());
}

bool Core::SendSaveCfgCmd(std::int16_t n) {
    return sendJob("SendSaveCfgCmd", saveCfgJob(n));
}

bool Core::SendSetPowerUpCmd(std::int16_t p) {
    return sendJob("SendSetPowerUpCmd", powerUpJob(p));
}

} // namespace osprey
