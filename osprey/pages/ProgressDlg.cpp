#include "osprey/pages/ProgressDlg.h"

#include "osprey/core/Core.h"
#include "osprey/core/RegEdit.h"
#include "osprey/core/Snmp.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/PrinterSetup.h"
#include "platform/net/Udp.h"
#include "platform/sys/Strings.h"
#include "platform/ui/App.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace osprey {

namespace {

// A failure inside the query (a send that fails, a display line that never comes).
struct SnmpError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr std::int16_t kShortCheck = 5;
constexpr std::int16_t kEmulationCheck = 10;
constexpr std::int16_t kCalibrationCheck = 20;
constexpr std::int64_t kProbeWaitMs = 5000;

} // namespace

// ---- pure pieces ----

bool hasCorlinkWord(const std::string& sysDescr) {
    std::size_t pos = 0;
    for (;;) {
        std::size_t next = sysDescr.find(' ', pos);
        if (sysDescr.compare(pos, next == std::string::npos ? std::string::npos : next - pos,
                             kCorlinkWord) == 0)
            return true;
        if (next == std::string::npos)
            return false;
        pos = next + 1;
    }
}

std::string frontPanelText(const std::string& line1, const std::string& line2) {
    return "\t" + line1 + "\r\n\t" + line2;
}

bool isPrinterHost(const std::string& text) {
    if (text.empty() || text.size() > 253)
        return false;
    // A link-local IPv6 address carries its interface after "%".
    const std::size_t scope = text.find('%');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (i == scope ? text.find('%', i + 1) != std::string::npos || i + 1 == text.size()
                       : !std::isalnum(c) && c != '.' && c != '-' && c != ':')
            return false;
    }
    return true;
}

// ---- the page ----

ProgressDlg::ProgressDlg(Core& core, OspreyPages& pages) : ProgressMonitor(core, pages, kName) {}

ProgressDlg::~ProgressDlg() = default;

void ProgressDlg::Build() {
    buildMonitor(StatusLog);
}

void ProgressDlg::Form_QueryUnload(int& cancel, int unloadMode) {
    if (unloadMode != ui::kUnloadUser)
        return;
    // ExitWizard ends the program, unless the user chose to save first: then the run stops
    // and the page stays with its log behind the save dialog.
    leaving_ = true;
    core().ExitWizard();
    cancel = 1;
}

// ---- small helpers ----

void ProgressDlg::log(const std::string& message) {
    if (core().ws.LogEnabled)
        core().WriteLog(message);
}

void ProgressDlg::setStatus(const std::string& text) {
    StatusLog->setText(text);
}

void ProgressDlg::setBar(int value) {
    ProgressBar->setValue(value);
}

void ProgressDlg::pollSocket() {
    if (pwSocket_)
        pwSocket_->pollEvents();
}

bool ProgressDlg::waitMs(std::int64_t ms) {
    ui::App& a = app();
    const std::int64_t end = a.now() + ms;
    for (;;) {
        a.DoEvents();
        pollSocket();
        if (stopped())
            return false;
        if (a.now() >= end)
            return true;
        a.Sleep(std::min(kPollMs, end - a.now()));
    }
}

void ProgressDlg::waitForReply() {
    ui::App& a = app();
    const std::int64_t end = a.now() + kSnmpReplyWaitMs;
    for (;;) {
        if (!core().ws.SnmpResult.empty() || stopped() || a.now() >= end)
            return;
        a.DoEvents();
        pollSocket();
        if (!core().ws.SnmpResult.empty() || stopped())
            return;
        a.Sleep(std::min(kPollMs, end - a.now()));
    }
}

// ---- the run ----

bool ProgressDlg::step(int progress, const std::string& text, bool statusFirst,
                       const std::function<bool()>& sendJob, std::int16_t waitSeconds) {
    setBar(progress);
    log(text);
    if (statusFirst)
        appendStatus(text);
    const bool whole = sendJob();
    if (!statusFirst)
        appendStatus(text);
    if (!whole) {
        JobNotSent();
        return false;
    }
    return Check_Job_Status(waitSeconds) && !stopped();
}

void ProgressDlg::JobNotSent() {
    // An empty queue afterwards would count such a job as taken: never check it.
    log("Job Failure: the job did not reach the spooler whole");
    JobFailure();
}

void ProgressDlg::Start_Job() {
    leaving_ = false;
    WizardState& ws = core().ws;
    setBar(0);
    log("Begin Print");
    setStatus("Initializing ....");

    // Reading the box creates the setup page when it does not exist yet.
    const int emulationIgnored = pages().get<PrinterSetup>().EmulationCB->value();
    if (!ws.PrinterError && emulationIgnored == 0) {
        const std::int16_t slot = ws.SaveCfgNumber;
        setBar(0);
        log("Saving current configuration settings");
        const bool whole = core().SendSaveCfgCmd(slot);
        appendStatus("Saving current configuration settings.");
        if (!whole) {
            JobNotSent();
            return;
        }
        if (!Check_Job_Status(kEmulationCheck) || stopped())
            return;
        if (!step(
                10, "Requesting active emulation to be changed.", false,
                [&] { return core().SendEmuCmd(slot); }, kEmulationCheck))
            return;
        if (!step(
                25,
                "Requesting loading of configuration #" + std::to_string(slot) +
                    " to set active emulation.",
                false, [&] { return core().LoadCfgCmd(slot); }, kEmulationCheck))
            return;
    }

    setBar(30);
    log("Sending configuration update request to printer:");
    const Core::CfgSend sent = core().SendCfgCmd();
    bool ok = sent == Core::CfgSend::Sent;
    if (ok) {
        log("...OK");
        appendStatus("Sending configuration update request to printer.");
        // A failed settings check sets PrinterError, so the steps below are skipped and
        // the run still reaches its end.
        ok = Check_Job_Status(kShortCheck);
    } else if (sent == Core::CfgSend::Failed) {
        JobNotSent(); // as a failed settings check: the run goes on to its end
    }
    if (stopped())
        return;

    setBar(40);
    if (ws.MediaChanged && !ws.PrinterError) {
        ok = step(
            40, "Requesting auto calibration to be started.", true,
            [&] { return core().SendCalibrateCmd(); }, kCalibrationCheck);
        if (!ok)
            return;
    }
    setBar(60);
    if (ws.SaveCfgFlag && !ws.PrinterError) {
        const std::int16_t slot = ws.SaveCfgNumber;
        ok = step(
            60, "Requesting configuration to be saved.", true,
            [&] { return core().SendSaveCfgCmd(slot); }, kShortCheck);
        if (!ok)
            return;
    }
    setBar(80);
    if (ws.SetPowerUpFlag && !ws.PrinterError) {
        const std::int16_t config = ws.PowerUpNumber;
        ok = step(
            80, "Requesting power-up configuration to be changed.", true,
            [&] { return core().SendSetPowerUpCmd(config); }, kShortCheck);
        if (!ok)
            return;
    }

    setBar(100);
    // The success line goes with the success box: after a failed settings check the
    // printer was not configured, and the log must not say it was.
    if (ok) {
        log("Printer Successfully Configured.");
        appendStatus("Printer Successfully Configured.");
    }
    ws.RequestSent = true;
    if (ok)
        core().ShowRequestSent();
    core().ExitWizard();
}

bool ProgressDlg::Check_Job_Status(std::int16_t seconds) {
    log("...Check_Job_Status");
    WizardState& ws = core().ws;
    std::string printerPart, jobPart, oldId;
    core().CheckPrinter(printerPart, jobPart);
    core().printPath().getPrinterStatus(printerPart, ws.PrinterPort, ws.PrinterDriver);
    core().printPath().getJobStatus(jobPart, oldId);
    log("...Check_Job_Status: Got status msg");

    if (!waitMs(static_cast<std::int64_t>(seconds) * 1000))
        return false;
    core().SendNullCmd();
    if (!waitMs(kProbeWaitMs))
        return false;
    log("...Check_Job_Status: Check status after dummy job");

    core().CheckPrinter(printerPart, jobPart);
    if (jobPart != "No Print Jobs!") {
        std::string newId;
        core().printPath().getPrinterStatus(printerPart, ws.PrinterPort, ws.PrinterDriver);
        core().printPath().getJobStatus(jobPart, newId);
        if (newId == oldId) {
            log("Job Failure:" + newId + "Printer Status:" + printerPart + "Job Status:" + jobPart);
            JobFailure();
            return false;
        }
    }
    appendStatus("  ... Request received OK");
    log("...Check_Job_Status: Exit");
    return true;
}

void ProgressDlg::JobFailure() {
    appendStatus("... Error Detected. The command failed. Program unable to continue.");
    const std::string address = GetPortIPAddress(core().registry(), core().ws.PrinterPort);
    log("JobFailure: IPAddr=" + address);
    if (!address.empty()) {
        const std::string text = Get_SNMP_Status(address);
        if (stopped()) {
            // The wizard is leaving (the save dialog is up): no further box, but our jobs
            // must not stay queued for the printer to run later.
            core().PurgePrintQueue();
            return;
        }
        appendStatus("... Printer Front Panel Message:\r\n" + text);
        core().ShowPrinterUpdateError(text);
    } else {
        core().ShowPrinterUpdateError("");
        appendStatus("... Please check the printer. Correct the error and try again.");
    }
    appendStatus("Program terminated!!!");
    core().PurgePrintQueue();
    pages().form("PrinterSetup").Show();
}

// ---- the SNMP side ----

void ProgressDlg::snmpSend(const std::string& Destination, const std::string& Community,
                           const std::string& OID, std::uint8_t getType) {
    WizardState& ws = core().ws;
    ws.SnmpResult.clear();
    replyErrorStatus_ = 0;
    std::string error;
    auto request = makeGetRequest(Community, OID, getType, &error);
    if (!request || snmpEncode(*request, ws.SnmpSendBuffer) == 0)
        throw SnmpError("cannot encode the request for " + OID + ": " + error);

    const std::string host = sys::trim(Destination);
    if (!isPrinterHost(host))
        throw SnmpError("not a printer address: [" + host + "]");
    if (!pwSocket_) {
        pwSocket_ = core().network().createUdpSocket();
        if (!pwSocket_)
            throw SnmpError("no datagram socket available");
        pwSocket_->onDataArrival = [this](const net::Datagram& d) {
            pwSocket_DataArrival(d.bytes);
        };
    }
    const std::string datagram(ws.SnmpSendBuffer.begin(), ws.SnmpSendBuffer.end());
    if (!pwSocket_->sendTo(host, kSnmpPort, datagram))
        throw SnmpError(pwSocket_->errorText());
}

void ProgressDlg::pwSocket_DataArrival(const std::string& datagram) {
    WizardState& ws = core().ws;
    replyErrorStatus_ = 0;
    if (datagram.size() < 2) {
        ws.SnmpResult = kSnmpInvalidDevice;
        return;
    }
    try {
        SnmpDecoded reply = snmpDecode(datagram);
        ws.SnmpResult = reply.text;
        replyErrorStatus_ = reply.errorStatus;
    } catch (const std::exception&) {
        // A reply the decoder cannot walk is no answer of the printer's interface.
        ws.SnmpResult = kSnmpInvalidDevice;
    }
}

void ProgressDlg::communicationProblem(const std::string& where, const std::string& description) {
    log("..." + where + ": Err=" + description);
    core().ShowPrinterError("Communication problem detected", true);
    // ShowPrinterError returned: the wizard is leaving with the save dialog open.
    leaving_ = true;
}

bool ProgressDlg::IsCorlink(const std::string& IPAddr) {
    bool result = false;
    log("... in IsCorlink");
    try {
        snmpSend(IPAddr, kSnmpCommunity, kSysDescrOid, kSnmpGetRequest);
        waitForReply();
        const std::string& reply = core().ws.SnmpResult;
        if (reply.empty()) {
            log("IsCorlink: Unable to connect to device");
            return false;
        }
        result = hasCorlinkWord(reply);
        log("IsCorlink: SNMPString=" + reply);
    } catch (const SnmpError& e) {
        communicationProblem("IsCorlink", e.what());
        return false;
    }
    return result;
}

std::string ProgressDlg::Get_SNMP_Status(const std::string& sIPAddress) {
    log("... in GetSNMPStatus");
    if (!IsCorlink(sIPAddress) || stopped()) {
        log("GetSNMPStatus: Not Corlink Printer");
        return "";
    }
    try {
        std::string lines[2];
        const char* oids[2] = {kDisplayLine1Oid, kDisplayLine2Oid};
        for (int i = 0; i < 2; ++i) {
            snmpSend(sIPAddress, kSnmpCommunity, oids[i], kSnmpGetRequest);
            waitForReply();
            if (stopped())
                return "";
            if (core().ws.SnmpResult.empty())
                throw SnmpError("no reply from " + sys::trim(sIPAddress) + " to " + oids[i]);
            if (replyErrorStatus_ != 0) {
                // The interface has no such line (its error reply holds no value): no panel
                // text, as when the printer does not answer at all.
                log("GetSNMPStatus: " + core().ws.SnmpResult);
                return "";
            }
            lines[i] = dropLastCharacter(core().ws.SnmpResult);
        }
        log("GetSNMPStatus string=" + lines[0] + "\r\n\t" + lines[1]);
        return frontPanelText(lines[0], lines[1]);
    } catch (const SnmpError& e) {
        communicationProblem("Get_SNMP_Status", e.what());
        return "";
    }
}

} // namespace osprey
