#include "kestrel/pages/ProgressDlg.h"

#include "kestrel/pages/PortLists.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"
#include "platform/net/Tcp.h"
#include "platform/spooler/Spooler.h"
#include "platform/sys/System.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr int kTickMs = 500;
constexpr int kAfterPrinterSetupMs = 2000;
constexpr std::int64_t kRunTimeoutMs = 2000000000;
constexpr int kJobCheckSeconds = 15;
constexpr std::int64_t kPrinterSetupPauseMs = 5000;
constexpr std::int64_t kFailurePauseMs = 15000;
constexpr std::int64_t kWaitStepMs = 100;

constexpr int kStart = 0;
constexpr int kPreparing = 1;
constexpr int kWaitingForConnection = 2;
constexpr int kSend = 40;
constexpr int kInspecting = 50;
constexpr int kSent = 80;
constexpr int kDone = 100;

} // namespace

std::string deletePrinterCommand() {
    return std::string("rundll32 printui.dll,PrintUIEntry /q /dl /n \"") + kTempPrinterName + "\"";
}

std::string dumpPrinterCommand(const std::string& dumpPath) {
    return "rundll32 printui.dll,PrintUIEntry /q /f \"" + dumpPath + "\" /Xg /n \"" +
           kTempPrinterName + "\"";
}

std::optional<std::string> createPrinterBatchLine(const std::string& port) {
    if (port.empty() || !isSafePortName(port))
        return std::nullopt;
    return std::string("rundll32 printui.dll,PrintUIEntry /q /u /if /b \"") + kTempPrinterName +
           "\" /f %windir%\\inf\\ntprint.inf /r \"" + port + "\" /m \"Generic / Text Only\"\r\n";
}

ProgressDlg::ProgressDlg(Core& core, KestrelPages& pages)
    : ProgressMonitor(core, pages, kName), ProgressDlgControls(this) {}

ProgressDlg::~ProgressDlg() = default;

void ProgressDlg::Build() {
    buildMonitor(StatusLog);
    timer(Timer1).onTimer = [this] { Timer1_Timer(); };
}

// ---- small helpers ----

Route ProgressDlg::readRoute() {
    PortSelect& port = pages().get<PortSelect>();
    if (port.PortTCP->checked())
        return Route::Tcp;
    if (port.PortFile->checked())
        return Route::File;
    return Route::LocalPort;
}

std::string ProgressDlg::chosenPortName() {
    PortSelect& port = pages().get<PortSelect>();
    ui::Control& combo = port.PortCOM->checked()   ? *port.ComCombo
                         : port.PortUSB->checked() ? *port.USBCombo
                                                   : *port.LPTCombo;
    return combo.listIndex() >= 0 ? combo.list(combo.listIndex()) : combo.text();
}

void ProgressDlg::setBar(int value) {
    // After the program began to end the window may be gone; it is not built again.
    if (loaded())
        ProgressBar->setValue(value);
}

int ProgressDlg::bar() {
    return ProgressBar->value();
}

void ProgressDlg::restartTimer(int intervalMs) {
    startTimer(*Timer1, intervalMs);
}

void ProgressDlg::runCommand(const std::string& commandLine) {
    std::string message;
    core().printPath().RunAndWait(commandLine, message, kRunTimeoutMs);
}

bool ProgressDlg::waitMs(std::int64_t ms) {
    ui::App& a = app();
    const std::int64_t end = a.now() + ms;
    while (a.now() < end) {
        a.DoEvents();
        if (halted())
            return false;
        a.Sleep(std::min(kWaitStepMs, end - a.now()));
    }
    a.DoEvents();
    return !halted();
}

bool ProgressDlg::halted() const {
    return core().ending() || app().ended();
}

std::string ProgressDlg::programFile(const std::string& name) {
    return sys::joinPath(core().sys().programFolder(), name);
}

bool ProgressDlg::temporaryPrinterIsCurrent() {
    return core().printPath().IsCurrentPrinter(kTempPrinterName);
}

// ---- handlers ----

void ProgressDlg::Form_Load() {
    started_ = true;
    route_ = readRoute();
    restartTimer(kTickMs);
    ProgressBar->setValue(kStart);
    StatusLog->setText("Initializing ....");
    if (route() == Route::Tcp) {
        pwSocket_ = core().network().createTcpClient();
        pwSocket_->connect(pages().get<PortSelect>().IPAddr->text(), tcpPort_);
    }
}

void ProgressDlg::Form_QueryUnload(int& cancel, int unloadMode) {
    (void)cancel;
    if (unloadMode == ui::kUnloadUser)
        core().ExitWizard();
}

void ProgressDlg::Timer1_Timer() {
    // A tick that falls due while the program is ending (the save question of the exit
    // routine lets events run) must not carry the run on.
    if (halted()) {
        Timer1->setEnabled(false);
        return;
    }
    const Route r = route();
    switch (bar()) {
    case kStart:
        setBar(kPreparing);
        restartTimer(kTickMs);
        if (r == Route::Tcp && (!pwSocket_ || pwSocket_->state() != net::state::Connected)) {
            setBar(kWaitingForConnection);
            return;
        }
        if (!LoadDriver()) {
            // The temporary printer could not be prepared: nothing that was there before
            // (an older or planted batch file, an older printer) is used; the run fails.
            core().ws.PrinterError = true;
            setBar(kDone);
            return;
        }
        if (halted())
            return;
        restartTimer(kAfterPrinterSetupMs);
        return;

    case kSend:
        appendStatus(r == Route::File ? "Sending settings to file."
                                      : "Sending settings to printer.");
        restartTimer(kTickMs);
        if (!Start_Job()) {
            if (halted())
                return;
            setBar(kDone);
            // Every failed delivery, the file route's included, is a failure: it must
            // never end in "Process complete." and the success box.
            core().ws.PrinterError = true;
        }
        if (halted())
            return;
        // The next step follows half a second after the send and its inspection.
        restartTimer(kTickMs);
        return;

    case kSent:
        if (r != Route::File)
            appendStatus("Rebooting printer to enable new settings.");
        restartTimer(kTickMs);
        CleanUp();
        return;

    case kDone:
        Timer1->setEnabled(false);
        if (!core().ws.PrinterError) {
            appendStatus("Process complete.");
            std::string printerPart, jobPart;
            core().printPath().CheckPrinter(printerPart, jobPart);
            if (halted())
                return;
            if (Check_Job_Done()) {
                core().ShowRequestSent();
                CleanUp();
                core().EndWizard();
            }
            if (halted())
                return;
            JobFailure();
            if (halted())
                return;
            CleanUp();
            core().ExitWizard();
        }
        appendStatus("Process Failed");
        JobFailure();
        if (halted())
            return;
        core().ExitWizard();

    default:
        restartTimer(kTickMs);
        setBar(bar() + 1);
        return;
    }
}

bool ProgressDlg::LoadDriver() {
    core().WriteLog("...LoadDriver");
    runCommand(deletePrinterCommand());
    if (halted())
        return true;
    if (route() == Route::LocalPort) {
        const std::string port = chosenPortName();
        core().WriteLog("...LoadDriver: Creating Kestrel driver");
        if (!writePrinterBatch(port))
            return false;
        const std::string folder = core().sys().programFolder();
        core().WriteLog("...LoadDriver: change directory to [" + folder + "]");
        // The batch file runs where it was just written, or not at all.
        if (!core().sys().setCurrentFolder(folder)) {
            core().WriteLog("...LoadDriver: cannot change directory to [" + folder + "]");
            return false;
        }
        runCommand(kCreatePrinterCommand);
        if (halted())
            return true;
    }
    if (!waitMs(kPrinterSetupPauseMs))
        return true;
    setBar(kSend);
    core().WriteLog("...LoadDriver: Exiting");
    return true;
}

bool ProgressDlg::writePrinterBatch(const std::string& port) {
    // A port name that could break out of the batch line's quotes is never written there.
    const auto line = createPrinterBatchLine(port);
    if (!line) {
        core().WriteLog("...LoadDriver: refused port name [" + port + "]");
        return false;
    }
    // Without the program's folder there is no place of ours to write it.
    const std::string batch = programFile(kPrinterBatchFile);
    if (core().sys().programFolder().empty()) {
        core().WriteLog("...LoadDriver: cannot write [" + batch +
                        "]: the program's own folder cannot be found");
        return false;
    }
    const sys::IoResult written = core().sys().writeFile(batch, *line);
    if (!written.ok)
        core().WriteLog("...LoadDriver: cannot write [" + batch +
                        "]: " + sys::fileErrorText(written.error));
    batchWritten_ = written.ok;
    return written.ok;
}

bool ProgressDlg::Start_Job() {
    core().WriteLog("Begin Print");
    const Route r = route();
    int wait = r == Route::File ? 0 : kJobCheckSeconds;
    if (r == Route::LocalPort) {
        core().printPath().SelectPrinter(kTempPrinterName);
        core().ws.PrinterName = kTempPrinterName;
        if (halted())
            return false;
        // The job goes to the temporary printer or nowhere: when it was not made, the
        // printer that was current before must not get it.
        if (!temporaryPrinterIsCurrent()) {
            core().WriteLog("...Start_Job: temporary printer missing, nothing sent");
            core().ws.PrinterError = true;
            return false;
        }
    }
    if (halted())
        return false;
    bool result = core().SendSetupCmd(core().ws.SetupCommands, pwSocket_.get());
    if (halted())
        return false;
    if (result && r == Route::LocalPort)
        result = Check_Job_Status(wait);
    if (halted())
        return false;
    if (result)
        setBar(kSent);
    return result;
}

bool ProgressDlg::Check_Job_Status(int& seconds) {
    core().WriteLog("...Check_Job_Status");
    std::string printerPart, jobPart, port, driver, jobId;
    auto& path = core().printPath();
    path.CheckPrinter(printerPart, jobPart);
    path.getPrinterStatus(printerPart, port, driver);
    core().ws.StatusPortName = port;
    core().ws.StatusDriverName = driver;
    path.getJobStatus(jobPart, jobId);
    core().WriteLog("...Check_Job_Status: Got status msg");
    if (!waitMs(static_cast<std::int64_t>(seconds) * 1000))
        return false;
    setBar(kInspecting);
    return true;
}

void ProgressDlg::CleanUp() {
    if (!started_)
        return;
    core().WriteLog("...CleanUp");
    if (pwSocket_)
        pwSocket_->close(); // waits until the sent data has gone
    runCommand(deletePrinterCommand());
    setBar(kDone);
    // Only the batch file this run wrote is removed: one that was there before (another
    // user's, which could not be replaced) is not ours to delete.
    if (!core().ws.LogEnabled && batchWritten_)
        core().sys().deleteFile(programFile(kPrinterBatchFile));
}

bool ProgressDlg::Check_Job_Done() {
    core().WriteLog("...Check_Job_Done");
    bool result = true;
    const std::string dump = programFile(kPrinterDumpFile);
    // Only a dump written now may decide: one left from an earlier run would read as a
    // printer that is still there.
    core().sys().deleteFile(dump);
    const std::string cmd = dumpPrinterCommand(dump);
    runCommand(cmd);
    core().WriteLog("...cmd: " + cmd);
    if (core().FileExists(dump)) {
        core().WriteLog("...tmpFile [" + dump + "] Found ... Job failure");
        core().sys().deleteFile(dump);
        result = false;
    } else {
        core().WriteLog("...tmpFile [" + dump + "] Not Found ... Job OK");
    }
    return result;
}

void ProgressDlg::JobFailure() {
    appendStatus("... Error Detected. The command failed. Program unable to continue.");
    appendStatus("... Please check the printer. Correct the error and try again.");
    appendStatus("Program terminated!!!");
    core().printPath().PurgePrintQueue();
    if (!waitMs(kFailurePauseMs))
        return;
    CleanUp();
    core().ShowPrinterUpdateError("");
}

} // namespace kestrel
