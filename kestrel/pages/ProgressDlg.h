#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"
#include "wizard/ProgressMonitor.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace net {
class TcpClient;
}

namespace kestrel {

// ---- the printer set-up commands of the delivery run (pure texts) ----

inline constexpr const char* kPrinterBatchFile = "kestrel.bat";
inline constexpr const char* kPrinterDumpFile = "kestrel.txt";
inline constexpr const char* kCreatePrinterCommand = "Plover kestrel.bat";
inline constexpr std::uint16_t kPrinterTcpPort = 9100;

// rundll32 line that deletes the temporary printer.
std::string deletePrinterCommand();
// rundll32 line that dumps the temporary printer's settings into `dumpPath`.
std::string dumpPrinterCommand(const std::string& dumpPath);

// The one line of "kestrel.bat" (with its CR LF) that creates the temporary printer on
// `port`; nothing when the port name is not safe to put there.
std::optional<std::string> createPrinterBatchLine(const std::string& port);

// Where the job goes, from the port page's option buttons.
enum class Route { Tcp, File, LocalPort };

// The last page: delivers the command job and judges the result. A timer drives the run;
// the progress bar's value is its state (0 start, 1 preparing, 2-39 waiting for the TCP
// connection, 40 send, 50 inspecting, 80 sent, 100 judge and end).
class ProgressDlg : public wizard::ProgressMonitor<Page>, public ProgressDlgControls {
  public:
    static constexpr const char* kName = "ProgressDlg";
    ProgressDlg(Core& core, KestrelPages& pages);
    ~ProgressDlg() override;

    // Closes the socket, deletes the temporary printer, sets the bar to 100 and removes the
    // "kestrel.bat" this run wrote unless logging is on. Does nothing before the page has run.
    void CleanUp();
    // Sends the job and, on a local port, inspects it in the spooler. False when the job
    // did not go out whole (PrinterError is then set).
    bool Start_Job();

    // The connection of the TCP route (null on the other routes).
    net::TcpClient* pwSocket() const { return pwSocket_.get(); }

    // Tests only: the printer's TCP port (9100 otherwise).
    void setPrinterPortForTests(std::uint16_t port) { tcpPort_ = port; }

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    void Timer1_Timer();
    // Prepares the temporary printer; false when its batch file could not be written where
    // it runs (the run then fails without running anything).
    bool LoadDriver();
    bool writePrinterBatch(const std::string& port);
    void JobFailure();
    bool Check_Job_Status(int& seconds);
    bool Check_Job_Done();

    Route readRoute();
    Route route() const { return route_; }
    std::string chosenPortName();
    void appendStatus(const std::string& line) { appendLine(StatusLog, line); }
    void setBar(int value);
    int bar();
    void restartTimer(int intervalMs);
    void runCommand(const std::string& commandLine);
    // Lets events run for `ms`; false when the program began to end meanwhile.
    bool waitMs(std::int64_t ms);
    bool halted() const;
    std::string programFile(const std::string& name);
    bool temporaryPrinterIsCurrent();

    std::unique_ptr<net::TcpClient> pwSocket_;
    std::uint16_t tcpPort_ = kPrinterTcpPort;
    Route route_ = Route::LocalPort; // fixed when the page loads
    bool started_ = false;           // Form_Load has run once
    bool batchWritten_ = false;      // this run wrote "kestrel.bat"
};

} // namespace kestrel
