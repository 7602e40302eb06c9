#pragma once
#include "osprey/pages/Page.h"
#include "wizard/ProgressMonitor.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace net {
class UdpSocket;
struct Datagram;
} // namespace net

namespace osprey {

// ---- fixed values of the front-panel query ----

inline constexpr std::uint16_t kSnmpPort = 161;
inline constexpr const char* kSnmpCommunity = "mirtex";
inline constexpr const char* kSysDescrOid = "1.3.6.1.2.1.1.1.0";
inline constexpr const char* kDisplayLine1Oid = "1.3.6.1.2.1.43.16.5.1.2.1.1";
inline constexpr const char* kDisplayLine2Oid = "1.3.6.1.2.1.43.16.5.1.2.1.2";
inline constexpr const char* kCorlinkWord = "Corlink";
inline constexpr std::int64_t kSnmpReplyWaitMs = 5000;

// ---- pure pieces of the run ----

// True when one of the blank-separated parts of the system description is exactly the
// interface's word (case-sensitive; punctuation or a trailing character spoils it).
bool hasCorlinkWord(const std::string& sysDescr);
// Tab, line 1, CR LF, tab, line 2.
std::string frontPanelText(const std::string& line1, const std::string& line2);
// True for an address the query may send to: an IPv4 or IPv6 address or a host name
// (letters, digits, ".", "-" and ":" only, and one "%" before a link-local address's
// interface; at most 253 characters), so a stray registry value never reaches the socket.
bool isPrinterHost(const std::string& text);

// "Progress Monitor": the last page. Start_Job runs the configuration sequence in one go:
// each step is one command job through the spooler, then a check that the printer took it.
// A failed check asks the printer over SNMP for its front-panel text, shows the error,
// purges the wizard's own jobs and shows the printer setup page again.
class ProgressDlg : public wizard::ProgressMonitor<Page> {
  public:
    static constexpr const char* kName = "ProgressDlg";
    ProgressDlg(Core& core, OspreyPages& pages);
    ~ProgressDlg() override;

    ui::ControlRef StatusLog{*this, "StatusLog"};

    // Runs the whole sequence (called by the finish page right after it shows this page).
    void Start_Job();

    // ---- the SNMP side ----
    // Sends one GetRequest datagram (the whole 256-byte send buffer) to port 161; the
    // reply comes later through pwSocket_DataArrival. A send failure throws SnmpError.
    void snmpSend(const std::string& Destination, const std::string& Community,
                  const std::string& OID, std::uint8_t getType);
    bool IsCorlink(const std::string& IPAddr);
    std::string Get_SNMP_Status(const std::string& sIPAddress);
    // The socket's data-arrival event.
    void pwSocket_DataArrival(const std::string& datagram);

    // The datagram socket, created on the first query (null before).
    net::UdpSocket* pwSocket() const { return pwSocket_.get(); }

    // Pause between two polls of a wait (the clock is polled, events run between polls).
    static constexpr std::int64_t kPollMs = 10;

  protected:
    void Build() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    bool Check_Job_Status(std::int16_t seconds);
    void JobFailure();

    // One step with a job: the bar, the log line, the job and the status line (before or
    // after the job), then the check. `sendJob` returns whether the job went out whole; one
    // that did not fails the step without a check. False when the step failed or the run
    // must stop.
    bool step(int progress, const std::string& text, bool statusFirst,
              const std::function<bool()>& sendJob, std::int16_t waitSeconds);
    // A job that never fully reached the spooler: handled like a failed check.
    void JobNotSent();

    void log(const std::string& message);
    void appendStatus(const std::string& line) { appendLine(StatusLog, line); }
    void setStatus(const std::string& text);
    void setBar(int value);
    // Lets events run (and takes arriving datagrams) for `ms` of clock time. False when the
    // user closed the page meanwhile and the wizard is leaving.
    bool waitMs(std::int64_t ms);
    // Waits until the last request's result is there (SnmpResult not empty), at most 5 s.
    void waitForReply();
    void pollSocket();
    bool stopped() const { return leaving_; }
    // The fatal "Communication problem detected" path of the query.
    void communicationProblem(const std::string& where, const std::string& description);

    std::unique_ptr<net::UdpSocket> pwSocket_;
    std::uint32_t replyErrorStatus_ = 0; // of the last reply: the agent lacks the object
    bool leaving_ = false;               // ExitWizard returned to us with the save dialog open
};

} // namespace osprey
