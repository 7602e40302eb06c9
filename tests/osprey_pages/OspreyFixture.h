#pragma once
#include "osprey/core/Core.h"
#include "osprey/pages/CustomDialog.h"
#include "osprey/pages/Dialog.h"
#include "osprey/pages/FinishDialog.h"
#include "osprey/pages/HaldenAbout.h"
#include "osprey/pages/HaldenIntro.h"
#include "osprey/pages/Intro.h"
#include "osprey/pages/LoadDlg.h"
#include "osprey/pages/Operation.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/PrinterSetup.h"
#include "osprey/pages/ProgressDlg.h"
#include "osprey/pages/SelectDlg.h"
#include "osprey/pages/Selection.h"
#include "osprey/pages/frmAbout.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/sys/System.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/FakeResolver.h"
#include "tests/support/FakeUdp.h"
#include "tests/support/Harness.h"
#include "tests/support/MemorySpooler.h"
#include "tests/support/Stall.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace osprey_test {

// The printer's SNMP agent as the wizard sees it over the fake datagram network: it reads
// each GetRequest, notes what was asked, and answers an object it knows with a GetResponse
// holding an OCTET STRING (after `delayMs` of clock time). Unknown objects, another
// community or `silent` get no answer; `raw` replaces the answer to one object by bytes.
class SnmpPeer {
  public:
    std::map<std::string, std::string> values; // object identifier -> text
    std::map<std::string, std::string> raw;    // object identifier -> whole datagram
    std::string community = "mirtex";
    std::int64_t delayMs = 30;
    bool silent = false;

    // What was asked, in order: object identifiers (or "?" for a datagram it cannot read).
    std::vector<std::string> asked;
    // Sizes of the datagrams it received.
    std::vector<std::size_t> sizes;
    // Hosts the datagrams went to, and their ports.
    std::vector<std::string> hosts;
    std::vector<std::uint16_t> ports;

    std::optional<net::FakeUdpNetwork::Reply> answer(const net::FakeUdpNetwork::Sent& request);

    // A parsed GetRequest: community and dotted object identifier.
    struct Request {
        std::string community;
        std::string oid;
        std::uint8_t pduType = 0;
    };
    static std::optional<Request> parseRequest(const std::string& bytes);
    // A GetResponse (request-id 1, no error) of one binding: the identifier and an OCTET
    // STRING value, with long-form lengths where needed.
    static std::string response(const std::string& oid, const std::string& text);
    // The answer of an agent that lacks the object: the error status, the NULL echoed.
    static std::string errorResponse(const std::string& oid, std::uint8_t errorStatus);
};

// The jobs of the main road: a new configuration with 4 in/sec and the model's default
// sensing, which calibrates.
inline const std::string kSettingsJob = "!KVT_SETUP\r\nWINMODE-BEGIN\r\nKVT_END\r\n"
                                        "~PAPER;SPEED IPS 4\r\n"
                                        "~PAPER;LABELS 3\r\n"
                                        "!KVT_SETUP\r\nWINMODE-END\r\nKVT_END\r\n";
inline const std::string kCalibrateJob = "!KVT_SETUP\r\nWINMODE-BEGIN\r\nKVT_END\r\n"
                                         "~PAPER;CALIBRATE\r\n"
                                         "!KVT_SETUP\r\nWINMODE-END\r\nKVT_END\r\n";

// The printer's front panel as its agent gives it, and the boxes of a failed run with and
// without it.
inline const std::string kPanel = "\tMEDIA OUT\r\n\tLOAD LABELS";
inline const std::string kFailureWithPanel =
    "ERROR!  Unable to Update Printer Settings.\r\n"
    "An unexpected error occurred during printer "
    "configuration.\r\n"
    "Printer Front Panel Message:\r\n" +
    kPanel + "\r\n\r\nOperation cannot continue. The wizard will exit.";
inline const std::string kFailureNoPanel = "ERROR!  Unable to Update Printer Settings.\r\n"
                                           "An unexpected error occurred during printer "
                                           "configuration.\r\n"
                                           "Please see the printer for the error condition.\r\n"
                                           "\r\nOperation cannot continue. The wizard will exit.";

// Watches the model as a renderer would: the progress page's status text and bar values,
// kept after the program ended and its pages are gone.
class ProgressWatch : public ui::Host {
  public:
    void controlChanged(ui::Control& control, ui::Prop prop) override;
    void formShown(ui::Form& form) override;
    void formUnloading(ui::Form& form) override { unloaded.push_back(form.name()); }

    const osprey::ProgressDlg* page = nullptr;
    std::string statusText;
    std::vector<int> barValues;
    std::vector<std::string> shown;    // forms shown, in order
    std::vector<std::string> unloaded; // forms unloaded, in order
};

// The whole wizard on fakes: headless harness (virtual clock, scripted boxes), a scratch
// folder that is both the program's folder and the current folder, the memory spooler with
// a supported label printer on a network port ("Label Printer", driver "Corvane V6204R",
// port "socket://10.0.0.7:9100") beside an ordinary one ("Office Printer", the default and
// current printer), the fake process runner, the registry as Linux has it (its store in the
// scratch folder, addresses through a fake resolver), and the printer's SNMP agent on the
// fake datagram network (system description with "Corlink", two front-panel lines). The
// printer takes each job a second after it was written; jobsStay() makes jobs stay.
// Nothing runs until start().
class OspreyFixture : public ::testing::Test {
  protected:
    static constexpr const char* kLabelPrinter = "Label Printer";
    static constexpr const char* kLabelDriver = "Corvane V6204R";
    static constexpr const char* kLabelPort = "socket://10.0.0.7:9100";
    static constexpr const char* kLabelAddress = "10.0.0.7";
    static constexpr const char* kOfficePrinter = "Office Printer";
    static constexpr const char* kPanelLine1 = "MEDIA OUT";
    static constexpr const char* kPanelLine2 = "LOAD LABELS";
    static constexpr const char* kSysDescr = "Corvane Corlink print server v2.1";

    // `path`: how the core reaches the memory spooler (directly, unless a test of a scheduler
    // that stops answering puts `stall` in front of it).
    explicit OspreyFixture(spooler::SpoolerPath path = spooler::SpoolerPath::Direct);
    ~OspreyFixture() override;

    // Core::Main with the command line, as the program's first event.
    void start(const std::string& commandLine = "");
    // The road to configuring a printer as the user takes it: start, welcome page, the choice
    // to configure, then the printer selection page or, one page on, the load page.
    void toSelection(const std::string& commandLine = "");
    void toLoadDlg();
    // The label printer as the printer's selection leaves it: chosen, with its port, driver
    // and the profile of its model (4 inch, resolution class 3, the model option).
    void labelPrinterChosen();

    // ---- the printer ----
    // The printer takes each written job this long after it was written (clock time;
    // negative: never, the job stays). `takeAfter`, when set, decides per document (its
    // index among all documents written) instead.
    std::int64_t takeMs = 1000;
    std::function<std::int64_t(std::size_t index, const spooler::MemorySpooler::Document&)>
        takeAfter;
    void jobsStay() { takeMs = -1; }
    // Puts the label printer on another port.
    void movePrinterTo(const std::string& port);
    // The documents the spooler received for a printer (default: the label printer).
    std::vector<std::string> jobsSent(const std::string& printer = kLabelPrinter) const;
    // Only the configuration steps: the empty probe jobs left out.
    std::vector<std::string> stepJobs(const std::string& printer = kLabelPrinter) const;
    // A frame of lines, each with CR LF; no lines: the empty probe job.
    static std::string frame(const std::vector<std::string>& lines = {});
    static std::string nullJob() { return frame(); }

    // ---- the progress page ----
    std::vector<std::string> statusLines() const; // split at CR LF, also after the end
    int progressValue() const;                    // -1 when the page has no window

    // ---- files of the program's folder ----
    std::string path(const std::string& name) const { return sys::joinPath(folder.path, name); }
    std::optional<std::string> read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;

    // Lets virtual time pass until `done` holds or `limitMs` passed; true when it held.
    bool waitUntil(const std::function<bool()>& done, std::int64_t limitMs,
                   std::int64_t stepMs = 100);

  private:
    // What the spooler's hook keeps: declared before the spooler and its stall, so that it
    // outlives the calls the stall lets end when it goes.
    std::vector<std::int64_t> writtenAt_; // per document
    std::int64_t lastWriteMs_ = 0;
    bool taking_ = false;

  public:
    testing_support::Harness h;
    test_fixtures::TempFolder folder{"osprey-pages", test_fixtures::TempFolder::Enter::Yes};
    sys::RealSystem system{folder.path};
    spooler::MemorySpooler spooler;
    spooler::Stall stall;
    proc::FakeProcessRunner processes{h.clock};
    net::FakeResolver resolver;
    registry::LinuxRegistry registry{system, sys::joinPath(folder.path, "registry"), "", &resolver};
    net::FakeUdpNetwork udp{&h.clock};
    SnmpPeer peer;
    osprey::Core core{
        osprey::CoreServices{h.app, system, processes, stall.spooler(), udp, registry}};
    osprey::OspreyPages pages{h.app, core};
    ProgressWatch watch;

  private:
    void printerTakesJobs();
};

} // namespace osprey_test
