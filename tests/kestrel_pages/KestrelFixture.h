#pragma once
#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"
#include "platform/net/Tcp.h"
#include "platform/process/Processes.h"
#include "platform/sys/System.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/Harness.h"
#include "tests/support/MemorySpooler.h"
#include "tests/support/Stall.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kestrel_test {

// Carries out the command lines the wizard starts, on the memory spooler and the scratch
// folder, the way the stand-ins of tools/ do on the real system:
//   Plover X            runs X in the current folder: "Wren.exe" writes "ports.txt" from
//                       `ports`; a ".bat" file runs line by line (%VAR% expanded)
//   rundll32 printui.dll,PrintUIEntry  /if /b NAME /r PORT /m DRIVER  adds a printer,
//                       /dl /n NAME deletes it, /Xg /f FILE /n NAME dumps it into FILE
//                       (only when it exists)
// Every other program is missing (start fails), like on a PC without it. Each process
// runs `runMs` of (virtual) clock time.
class PrinterSetupRunner : public proc::ProcessRunner {
  public:
    PrinterSetupRunner(ui::Clock& clock, spooler::MemorySpooler& spooler, sys::System& system);

    // ---- knobs ----
    std::vector<std::string> ports{"LPT1:", "COM1:", "USB001"}; // what Wren lists
    std::int64_t runMs = 0;
    std::set<std::string> missing; // program names ("Plover", "rundll32") that do not start
    // Sees every command line (also each line of a batch file) before it is carried out;
    // returning false makes that program do nothing (it still starts and ends).
    std::function<bool(const std::string& commandLine)> intercept;
    // Hidden starts (Dunlin) succeed unless their program is in `missing`.

    // ---- inspection ----
    const std::vector<std::string>& started() const { return started_; }
    const std::vector<std::string>& startedHidden() const { return hidden_; }
    // Contents of the batch files Plover ran, in order.
    const std::vector<std::string>& batchFiles() const { return batches_; }
    // Number of started command lines that hold `fragment`.
    int count(const std::string& fragment) const;
    int running() const { return static_cast<int>(ends_.size()); }

    // ---- proc::ProcessRunner ----
    proc::Handle start(const std::string& commandLine) override;
    bool isRunning(proc::Handle& handle) override;
    bool startHidden(const std::string& commandLine) override;

  private:
    static std::string programName(const std::string& arg0);
    void carryOut(const std::string& commandLine, int depth);
    void plover(const std::vector<std::string>& args, int depth);
    void rundll32(const std::vector<std::string>& args);

    ui::Clock* clock_;
    spooler::MemorySpooler* spooler_;
    sys::System* system_;
    std::vector<std::string> started_;
    std::vector<std::string> hidden_;
    std::vector<std::string> batches_;
    std::map<proc::Handle, std::int64_t> ends_;
    proc::Handle next_ = 1000;
};

// A TCP connection that does what the test says (state, send outcome) and records what
// happened to it in order ("connect 10.0.0.5:9100", "send <n>", "close").
struct ScriptedTcp {
    int stateAfterConnect = net::state::Connected;
    bool sendSucceeds = true;
    std::string sent;
    std::vector<std::string> events;
};

// Real sockets unless a scripted connection is set.
class TestNetwork : public net::Network {
  public:
    // The next connections made are scripted ones (null: real sockets again).
    void script(std::shared_ptr<ScriptedTcp> tcp) { scripted_ = std::move(tcp); }
    std::unique_ptr<net::TcpClient> createTcpClient() override;

  private:
    net::RealNetwork real_{3000, 2000};
    std::shared_ptr<ScriptedTcp> scripted_;
};

// Watches the model as a renderer would: keeps the progress page's status text and the
// values its bar took, so they can be read after the program ended and its pages are gone.
class ProgressWatch : public ui::Host {
  public:
    void controlChanged(ui::Control& control, ui::Prop prop) override;
    void formShown(ui::Form& form) override;
    void formUnloading(ui::Form& form) override { unloaded.push_back(form.name()); }

    const kestrel::ProgressDlg* page = nullptr;
    std::string statusText;                                  // as last set
    std::vector<std::pair<std::int64_t, int>> barValues;     // (virtual time, value)
    std::vector<std::pair<std::int64_t, std::string>> shown; // (virtual time, form name)
    std::vector<std::string> unloaded;                       // forms unloaded, in order
};

// The box of a failed delivery.
inline const char* const kPrinterUpdateError = "ERROR!  Unable to Update Printer Settings.\r\n"
                                               "An unexpected error occurred during printer "
                                               "configuration.\r\n"
                                               "Please see the printer for the error "
                                               "condition.\r\n"
                                               "\r\n"
                                               "Operation cannot continue. The wizard will exit.";

// The whole wizard on fakes: headless harness (virtual clock, scripted boxes and file
// browser), a scratch folder that is both the program's folder and the current folder,
// the memory spooler with one ordinary printer ("Office Printer", current), the set-up
// runner above and real or scripted sockets. Nothing is shown until start().
class KestrelFixture : public ::testing::Test {
  protected:
    static constexpr const char* kOfficePrinter = "Office Printer";

    // `path`: how the core reaches the memory spooler (directly, unless a test of a scheduler
    // that stops answering puts `stall` in front of it).
    explicit KestrelFixture(spooler::SpoolerPath path = spooler::SpoolerPath::Direct);
    ~KestrelFixture() override;

    // Core::Main with the command line, as the program's first event.
    void start(const std::string& commandLine = " GO /VERYSILENT");
    // A page by name.
    ui::Form& page(const std::string& name) { return pages.form(name); }

    // Files of the program's folder.
    std::string path(const std::string& name) const { return sys::joinPath(folder.path, name); }
    bool exists(const std::string& name) const;
    std::optional<std::string> read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;

    // The progress page's status lines (split at CR LF) as last set, also after the page
    // is gone; its bar's current value (-1 when the page has no window).
    std::vector<std::string> statusLines() const;
    int progressValue() const;
    // Virtual time at which the bar first took `value`, -1 when never.
    std::int64_t barReached(int value) const;

    // The command job for a command text, as the printer must receive it.
    static std::string job(const std::string& commands);
    // Lets virtual time pass until `done` holds or `limitMs` has passed; true when it held.
    bool waitUntil(const std::function<bool()>& done, std::int64_t limitMs,
                   std::int64_t stepMs = 100);
    // Waits in real time (sockets) until the progress page's connection is up.
    bool waitConnected(int timeoutMs = 3000);

    testing_support::Harness h;
    test_fixtures::TempFolder folder{"kestrel-pages", test_fixtures::TempFolder::Enter::Yes};
    sys::RealSystem system{folder.path};
    spooler::MemorySpooler spooler;
    spooler::Stall stall;
    PrinterSetupRunner processes{h.clock, spooler, system};
    TestNetwork network;
    kestrel::Core core{kestrel::CoreServices{h.app, system, processes, stall.spooler(), network}};
    kestrel::KestrelPages pages{h.app, core};
    ProgressWatch watch;
};

} // namespace kestrel_test
