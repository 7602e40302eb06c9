// The configuration run and its front-panel query, started on the progress page directly
// (the finish page's hand-over), with the label printer current.
#include "osprey/core/Snmp.h"
#include "tests/osprey_pages/OspreyFixture.h"

#include <algorithm>

namespace osprey_test {
namespace {

const std::string kSpeedJob = "!KVT_SETUP\r\nWINMODE-BEGIN\r\nKVT_END\r\n"
                              "~PAPER;SPEED IPS 4\r\n"
                              "!KVT_SETUP\r\nWINMODE-END\r\nKVT_END\r\n";

class ProgressRun : public OspreyFixture {
  protected:
    void SetUp() override {
        spooler.setCurrentPrinter(kLabelPrinter);
        labelPrinterChosen();
        core.ws.ExitAsked = true; // the save question is another page's business
        h.app.setStallLimit(10 * 60 * 1000);
        // Loaded first: their load clears boxes, which would ask the save question again.
        h.run([&] {
            pages.get<osprey::Operation>().load();
            pages.get<osprey::PrinterSetup>().load();
        });
    }

    osprey::PrinterSetup& setup() { return pages.get<osprey::PrinterSetup>(); }

    // The print speed (4 in/sec) is the one setting to send.
    void changeSpeed() {
        h.run([&] {
            setup().GapCB->setValue(1); // these models send sensing by default
            setup().PrintSpeedCB->setValue(0);
            setup().PrintSpeedCombo->setListIndex(3);
        });
    }

    // The finish page's hand-over.
    void run() {
        h.run([&] {
            core.ws.ExitAsked = true; // the save question is another page's business
            core.ws.RequestSent = true;
            pages.get<osprey::ProgressDlg>().Show();
            pages.get<osprey::ProgressDlg>().Start_Job();
        });
    }

    std::vector<std::string> osprey_jobs_in_queue() {
        std::vector<std::string> names;
        for (const auto& j : spooler.queue(kLabelPrinter))
            if (j.document && j.document->find("Osprey Command") != std::string::npos)
                names.push_back(*j.document);
        return names;
    }

    std::vector<std::string> distinctBar() const {
        std::vector<int> v = watch.barValues;
        v.erase(std::unique(v.begin(), v.end()), v.end());
        std::vector<std::string> s;
        for (int x : v)
            s.push_back(std::to_string(x));
        return s;
    }
};

TEST_F(ProgressRun, SettingsOnlyRunSucceedsAndEnds) {
    changeSpeed();
    h.boxes.expect("Process Successful", "Printer Setup Request Successfully Sent");
    run();
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ((std::vector<std::string>{kSpeedJob, nullJob()}), jobsSent());
    for (const auto& d : spooler.documents())
        EXPECT_EQ("Osprey Command", d.name);
    EXPECT_EQ((std::vector<std::string>{"30", "40", "60", "80", "100"}), distinctBar());
    EXPECT_EQ((std::vector<std::string>{
                  "Initializing ....", "Sending configuration update request to printer.",
                  "  ... Request received OK", "Printer Successfully Configured."}),
              statusLines());
    EXPECT_TRUE(peer.asked.empty()) << "no query when every step passed";
}

TEST_F(ProgressRun, WholeSequenceSendsEachStepAsItsOwnJob) {
    changeSpeed();
    h.run([&] {
        setup().EmulationCB->setValue(0);
        setup().EmulationCombo->setListIndex(2); // KQL, switch 4
    });
    core.ws.MediaChanged = true;
    core.ws.SaveCfgFlag = true;
    core.ws.SaveCfgNumber = 3;
    core.ws.SetPowerUpFlag = true;
    core.ws.PowerUpNumber = 3;
    core.ws.LogEnabled = true;
    h.boxes.expect("Process Successful", "Printer Setup Request Successfully Sent");
    run();
    EXPECT_TRUE(h.ended());
    const std::string save3 = frame({"CONFIG-SAVE;3"});
    EXPECT_EQ((std::vector<std::string>{
                  save3,
                  frame({"CONFIG-OVERLAY;3.", "guardsave   .e  0   0x0", "uqtswitch   .e  4   0x0",
                         "CONFIG-OVERLAY;END."}),
                  frame({"CONFIG-LOAD;3"}),
                  kSpeedJob,
                  "!KVT_SETUP\r\nWINMODE-BEGIN\r\nKVT_END\r\n~PAPER;CALIBRATE\r\n"
                  "!KVT_SETUP\r\nWINMODE-END\r\nKVT_END\r\n",
                  save3,
                  frame({"CONFIG-POWERUP;3"}),
              }),
              stepJobs());
    EXPECT_EQ(14u, jobsSent().size()) << "every step is followed by the probe job";
    EXPECT_EQ((std::vector<std::string>{"10", "25", "30", "40", "60", "80", "100"}), distinctBar());
    const std::vector<std::string> expected = {
        "Initializing ....",
        "Saving current configuration settings.",
        "  ... Request received OK",
        "Requesting active emulation to be changed.",
        "  ... Request received OK",
        "Requesting loading of configuration #3 to set active emulation.",
        "  ... Request received OK",
        "Sending configuration update request to printer.",
        "  ... Request received OK",
        "Requesting auto calibration to be started.",
        "  ... Request received OK",
        "Requesting configuration to be saved.",
        "  ... Request received OK",
        "Requesting power-up configuration to be changed.",
        "  ... Request received OK",
        "Printer Successfully Configured."};
    EXPECT_EQ(expected, statusLines());

    // The log tells the steps in order, with the settings step's own two lines.
    auto log = read("Log.txt");
    ASSERT_TRUE(log);
    std::size_t pos = 0;
    for (const char* line :
         {" - Begin Print\r\n", " - Saving current configuration settings\r\n",
          " - ...Check_Job_Status\r\n", " - ...Check_Job_Status: Got status msg\r\n",
          " - ...Check_Job_Status: Check status after dummy job\r\n",
          " - ...Check_Job_Status: Exit\r\n", " - Requesting active emulation to be changed.\r\n",
          " - Sending configuration update request to printer:\r\n", " - ...OK\r\n",
          " - Printer Successfully Configured.\r\n"}) {
        auto at = log->find(line, pos);
        ASSERT_NE(std::string::npos, at) << "missing or out of order: " << line;
        pos = at;
    }
}

TEST_F(ProgressRun, ChecksWaitTheirSecondsOnTheClock) {
    changeSpeed();
    core.ws.MediaChanged = true;
    h.boxes.expect("Process Successful", "Printer Setup Request Successfully Sent");
    const std::int64_t t0 = h.app.now();
    run();
    // Settings check 5 s + probe 5 s, calibration check 20 s + probe 5 s.
    EXPECT_GE(h.app.now() - t0, 35000);
    EXPECT_LT(h.app.now() - t0, 36000);
}

TEST_F(ProgressRun, FailedSettingsCheckQueriesThePanelPurgesAndReturnsToSetup) {
    changeSpeed();
    jobsStay();
    spooler::JobInfo foreign;
    foreign.document = "Quarterly report";
    h.boxes
        .expect("Printer Error", kFailureWithPanel, ui::mb::Ok, ui::mb::OkOnly | ui::mb::Critical)
        .during([&] {
            EXPECT_TRUE(core.ws.PrinterError);
            EXPECT_EQ(2u, osprey_jobs_in_queue().size()) << "purged only after the box";
        });
    run();
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(h.ended()) << "the run goes on to its end and leaves";
    EXPECT_EQ((std::vector<std::string>{osprey::kSysDescrOid, osprey::kDisplayLine1Oid,
                                        osprey::kDisplayLine2Oid}),
              peer.asked);
    EXPECT_TRUE(osprey_jobs_in_queue().empty()) << "the wizard's jobs are purged";
    EXPECT_EQ((std::vector<std::string>{kSpeedJob, nullJob()}), jobsSent())
        << "steps 40 to 80 are skipped after a failure";
    EXPECT_EQ((std::vector<std::string>{
                  "Initializing ....", "Sending configuration update request to printer.",
                  "... Error Detected. The command failed. Program unable to continue.",
                  "... Printer Front Panel Message:", "\tMEDIA OUT", "\tLOAD LABELS",
                  "Program terminated!!!"}),
              statusLines())
        << "a failed run never claims success";
    EXPECT_TRUE(core.ws.RequestSent);
    EXPECT_EQ(100, watch.barValues.back());
    auto shown = watch.shown;
    EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), "PrinterSetup"));
}

TEST_F(ProgressRun, FailedCalibrationStopsTheRunOnTheSetupPage) {
    changeSpeed();
    core.ws.MediaChanged = true;
    core.ws.SaveCfgFlag = true;
    core.ws.SaveCfgNumber = 1;
    // The settings job and its probe are taken; the calibration job stays.
    takeAfter = [](std::size_t i, const auto&) -> std::int64_t { return i < 2 ? 1000 : -1; };
    h.boxes.expect("Printer Error", kFailureWithPanel);
    run();
    EXPECT_FALSE(h.ended());
    EXPECT_EQ("PrinterSetup", watch.shown.back());
    EXPECT_EQ(40, progressValue());
    EXPECT_EQ(2u, stepJobs().size()) << "nothing after the calibration";
    EXPECT_EQ("Program terminated!!!", statusLines().back());
    EXPECT_FALSE(core.ws.RequestSent);

    // A second run sends only the settings job (the printer error stays).
    takeAfter = nullptr;
    h.boxes.expect("Process Successful", "Printer Setup Request Successfully Sent");
    run();
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(3u, stepJobs().size());
    EXPECT_EQ(kSpeedJob, stepJobs().back());
    EXPECT_EQ("Printer Successfully Configured.", statusLines().back())
        << "a second run that passes says so, as its success box does";
}

TEST_F(ProgressRun, LocalPortGivesTheErrorWithoutPanelText) {
    changeSpeed();
    jobsStay();
    movePrinterTo("LPT1:");
    core.ws.PrinterPort = "LPT1:";
    h.boxes.expect("Printer Error", kFailureNoPanel);
    run();
    EXPECT_TRUE(peer.asked.empty());
    const auto lines = statusLines();
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(),
                                     "... Please check the printer. Correct the error and "
                                     "try again."));
}

// A queue set up from what the desktop discovered names a DNS-SD service: the printer is
// asked at the service's address; with no DNS-SD service the log says why there is none.
class DiscoveredQueue : public ProgressRun {
  protected:
    void SetUp() override {
        ProgressRun::SetUp();
        changeSpeed();
        jobsStay();
        movePrinterTo(core.ws.PrinterPort = kPort);
        core.ws.LogEnabled = true;
    }
    const std::string kPort = "dnssd://Label%20Printer._pdl-datastream._tcp.local/";
};

TEST_F(DiscoveredQueue, IsAskedAtTheServiceAddress) {
    resolver.services["Label Printer._pdl-datastream._tcp.local"] = "192.168.5.20";
    h.boxes.expect("Printer Error", kFailureWithPanel);
    run();
    EXPECT_EQ(std::vector<std::string>(3, "192.168.5.20"), peer.hosts);
    EXPECT_EQ(std::vector<int>{4000}, resolver.timeouts) << "inside the 5 s of one action";
}

TEST_F(DiscoveredQueue, WithoutADnsSdServiceIsLoggedAndNotAsked) {
    resolver.problem = "no DNS-SD service is running";
    h.boxes.expect("Printer Error", kFailureNoPanel);
    run();
    EXPECT_TRUE(peer.asked.empty());
    EXPECT_NE(std::string::npos,
              read("Log.txt").value_or("").find(" - ...GetPortIPAddress: no address for " + kPort +
                                                ": no DNS-SD service is running\r\n"));
}

// Lookups that never answer end at the limit, with the window's events running meanwhile;
// the log tells a service that is not announced from one that is silent.
struct NeverAnswered {
    const char* name;
    std::string port, key, why;
    bool withdrawn = false;
};
void PrintTo(const NeverAnswered& c, std::ostream* os) {
    *os << c.name;
}

class UnansweredLookup : public ProgressRun, public ::testing::WithParamInterface<NeverAnswered> {};

TEST_P(UnansweredLookup, EndsAtTheLimitWhileEventsRun) {
    const NeverAnswered& c = GetParam();
    changeSpeed();
    jobsStay();
    movePrinterTo(core.ws.PrinterPort = c.port);
    core.ws.LogEnabled = true;
    (c.withdrawn ? resolver.withdrawn : resolver.silent).insert(c.key);
    resolver.clock = &h.clock;
    std::vector<std::pair<std::int64_t, std::int64_t>> events; // due and run, every 0.5 s
    for (std::int64_t t = 500; t < 120000; t += 500)
        h.later(t, [&, due = h.app.now() + t] { events.emplace_back(due, h.app.now()); });
    std::int64_t boxAt = -1;
    h.boxes.expect("Printer Error", kFailureNoPanel).during([&] { boxAt = h.app.now(); });
    run();
    ASSERT_EQ(std::vector<std::string>{c.key}, resolver.asked);
    const std::int64_t from = resolver.askedAt.at(0);
    EXPECT_EQ(from + 4000, boxAt) << "the lookup ends at 4 s";
    int during = 0;
    for (auto [due, ran] : events)
        if (due > from && due < boxAt)
            during += ran - due <= 10;
    EXPECT_GE(during, 7) << "the window's events ran on time throughout the lookup";
    EXPECT_NE(std::string::npos,
              read("Log.txt").value_or("").find(" - ...GetPortIPAddress: no address for " + c.port +
                                                ": " + c.why + "\r\n"));
}

const std::string kDnssd = "dnssd://Label%20Printer._pdl-datastream._tcp.local/";
const std::string kService = "Label Printer._pdl-datastream._tcp.local";
INSTANTIATE_TEST_SUITE_P(
    Ports, UnansweredLookup,
    ::testing::Values(NeverAnswered{"HostName", "socket://labelprn.example:9100",
                                    "labelprn.example",
                                    "no answer for the host \"labelprn.example\" within 4000 ms"},
                      NeverAnswered{"SilentService", kDnssd, kService,
                                    "the DNS-SD service \"Label Printer\" did not answer "
                                    "within 4000 ms"},
                      NeverAnswered{"WithdrawnService", kDnssd, kService,
                                    "the DNS-SD service \"Label Printer\" was not found", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgressRun, ClosingThePageDuringAWaitLeaves) {
    changeSpeed();
    h.later(2000, [&] { h.close(pages.get<osprey::ProgressDlg>()); });
    run();
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(1u, jobsSent().size()) << "no probe once the user left";
}

TEST_F(ProgressRun, ClosingWithTheSaveQuestionStopsTheRun) {
    changeSpeed();
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings", "save your settings",
                             ui::mb::Yes);
    h.later(2000, [&] {
        core.ws.ExitAsked = false;
        h.close(pages.get<osprey::ProgressDlg>());
    });
    run();
    EXPECT_FALSE(h.ended()) << "the save dialog is up";
    EXPECT_TRUE(pages.get<osprey::Dialog>().visible());
    EXPECT_EQ(1u, jobsSent().size()) << "no further job once the user chose to leave";
    EXPECT_EQ(30, progressValue());
}

TEST_F(ProgressRun, EmulationOnlySkipsTheSettingsStep) {
    h.run([&] {
        setup().GapCB->setValue(1);
        setup().EmulationCB->setValue(0);
        setup().EmulationCombo->setListIndex(0); // JQL, switch 1
    });
    core.ws.SaveCfgFlag = true;
    core.ws.SaveCfgNumber = 1;
    h.boxes.expect("Process Successful", "Printer Setup Request Successfully Sent");
    run();
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(4u, stepJobs().size()) << "save, emulation, load, save";
    const auto lines = statusLines();
    EXPECT_EQ(lines.end(), std::find(lines.begin(), lines.end(),
                                     "Sending configuration update request to printer."));
    EXPECT_EQ("Printer Successfully Configured.", lines.back());
}

// A job cut short on its way to the spooler leaves the queue empty when the check looks;
// it must fail its step, never count as taken.
TEST_F(ProgressRun, SettingsJobNotSentWholeFailsLikeItsCheck) {
    changeSpeed();
    spooler.failWriteAt(spooler::MemorySpooler::WriteStage::Write, spooler::err::AccessDenied, 5);
    h.boxes.expect("Printer Error", kFailureWithPanel);
    run();
    EXPECT_TRUE(h.boxes.allShown()) << "no success box";
    EXPECT_TRUE(h.ended()) << "the run goes on to its end, as after a failed settings check";
    EXPECT_TRUE(core.ws.PrinterError);
    EXPECT_EQ(1u, jobsSent().size()) << "no check, so no probe job";
    EXPECT_EQ((std::vector<std::string>{
                  "Initializing ....",
                  "... Error Detected. The command failed. Program unable to continue.",
                  "... Printer Front Panel Message:", "\tMEDIA OUT", "\tLOAD LABELS",
                  "Program terminated!!!"}),
              statusLines());
}

TEST_F(ProgressRun, StepJobNotSentWholeStopsTheRun) {
    h.run([&] {
        setup().GapCB->setValue(1);
        setup().EmulationCB->setValue(0);
        setup().EmulationCombo->setListIndex(0);
    });
    core.ws.SaveCfgFlag = true;
    core.ws.SaveCfgNumber = 1;
    spooler.failWriteAt(spooler::MemorySpooler::WriteStage::End, spooler::err::AccessDenied);
    h.boxes.expect("Printer Error", kFailureWithPanel);
    run();
    EXPECT_FALSE(h.ended());
    EXPECT_EQ("PrinterSetup", watch.shown.back());
    EXPECT_EQ(1u, jobsSent().size()) << "nothing after the first save";
    EXPECT_EQ("Program terminated!!!", statusLines().back());
}

// ---- the job check: what the two looks at the queue decide ----

struct CheckCase {
    const char* name;
    std::int64_t stepTakenMs;  // when the printer takes the step job (-1: never)
    std::int64_t probeTakenMs; // the same for the probe job
    bool firstLookFails;       // the queue cannot be read at the first look
    bool passes;
};

class JobCheck : public ProgressRun, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(JobCheck, PassesWhenEitherLookFindsTheQueueEmpty) {
    const CheckCase& c = GetParam();
    changeSpeed();
    takeAfter = [&](std::size_t i, const auto&) { return i == 0 ? c.stepTakenMs : c.probeTakenMs; };
    if (c.firstLookFails)
        spooler.failNext(spooler::MemorySpooler::Call::Jobs, spooler::err::AccessDenied);
    if (c.passes)
        h.boxes.expect("Process Successful", "Printer Setup Request Successfully Sent");
    else
        h.boxes.expect("Printer Error", kFailureWithPanel);
    run();
    EXPECT_TRUE(h.boxes.allShown()) << c.name;
    EXPECT_EQ(c.passes, !core.ws.PrinterError) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Looks, JobCheck,
    ::testing::Values(CheckCase{"taken at once, probe stuck", 0, -1, false, true},
                      CheckCase{"both taken within the waits", 1000, 1000, false, true},
                      CheckCase{"probe still queued at the second look", 1000, -1, false, false},
                      CheckCase{"step job stays", -1, -1, false, false},
                      CheckCase{"step job stays, probe taken", -1, 0, false, false},
                      CheckCase{"unreadable first look, jobs at the second", -1, -1, true, true}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// ---- the front-panel query ----

class PanelQuery : public ProgressRun {
  protected:
    std::string query() {
        std::string text;
        h.run([&] {
            core.ws.ExitAsked = true;
            text = pages.get<osprey::ProgressDlg>().Get_SNMP_Status(kLabelAddress);
        });
        return text;
    }
};

TEST_F(PanelQuery, CorlinkPrinterGivesBothLines) {
    EXPECT_EQ(kPanel, query());
    ASSERT_EQ(3u, peer.sizes.size());
    for (std::size_t i = 0; i < peer.sizes.size(); ++i) {
        EXPECT_EQ(256u, peer.sizes[i]) << "the whole send buffer goes out";
        EXPECT_EQ(kLabelAddress, peer.hosts[i]);
        EXPECT_EQ(161, peer.ports[i]);
    }
}

TEST_F(PanelQuery, DescriptionDecidesWhetherTheInterfaceIsOurs) {
    struct Case {
        std::string descr;
        bool corlink;
    };
    const Case cases[] = {
        {"Corvane Corlink print server", true},
        {"Corlink", false}, // the decoder's extra character sticks to the last word
        {"Corvane Corlink", false},
        {"Corvane corlink server", false},
        {"Corvane Corlink, server", false},
        {"Corvane Corlink. server", false},
        {"Other print server", false},
    };
    for (const Case& c : cases) {
        peer.values[osprey::kSysDescrOid] = c.descr;
        peer.asked.clear();
        bool result = false;
        h.run([&] { result = pages.get<osprey::ProgressDlg>().IsCorlink(kLabelAddress); });
        EXPECT_EQ(c.corlink, result) << c.descr;
    }
}

TEST_F(PanelQuery, SilentAddressGivesNoTextAfterFiveSeconds) {
    peer.silent = true;
    const std::int64_t t0 = h.app.now();
    EXPECT_EQ("", query());
    EXPECT_GE(h.app.now() - t0, 5000);
    EXPECT_LT(h.app.now() - t0, 5200);
    EXPECT_EQ(1u, peer.asked.size()) << "no display line is asked for";
    EXPECT_FALSE(h.ended());
}

TEST_F(PanelQuery, ShortOrBrokenRepliesAreNoInterfaceOfOurs) {
    const std::string replies[] = {
        std::string("\x30", 1),                                              // 1 byte
        std::string("\x30\x82\xFF\xFF\x02", 5),                              // length past the end
        std::string("\x30\x05\x04\x84\xFF\xFF\xFF\xFF", 8),                  // huge inner length
        std::string(300, '\xFF'),                                            // noise
        SnmpPeer::response(osprey::kSysDescrOid, "Corlink x").substr(0, 20), // cut short
    };
    for (const auto& r : replies) {
        peer.raw[osprey::kSysDescrOid] = r;
        peer.asked.clear();
        EXPECT_EQ("", query());
        EXPECT_FALSE(h.ended());
        EXPECT_EQ(1u, peer.asked.size());
    }
}

TEST_F(PanelQuery, MissingDisplayLineIsACommunicationProblem) {
    peer.values.erase(osprey::kDisplayLine2Oid);
    h.boxes.expect("Printer Error", "Communication problem detected\r\nThe wizard will exit.");
    core.ws.LogEnabled = true;
    query();
    EXPECT_TRUE(h.ended());
    auto log = read("Log.txt");
    ASSERT_TRUE(log);
    EXPECT_NE(std::string::npos, log->find(" - ...Get_SNMP_Status: Err=")) << *log;
}

// An interface without the object answers at once with an error status and the NULL
// echoed: no panel text, no wait, no further request.
TEST_F(PanelQuery, ErrorReplyGivesNoPanelText) {
    for (const char* oid :
         {osprey::kSysDescrOid, osprey::kDisplayLine1Oid, osprey::kDisplayLine2Oid}) {
        peer.raw = {{oid, SnmpPeer::errorResponse(oid, 2)}};
        peer.asked.clear();
        const std::int64_t t0 = h.app.now();
        EXPECT_EQ("", query()) << oid;
        EXPECT_LT(h.app.now() - t0, 1000) << oid;
        EXPECT_EQ(oid, peer.asked.back());
        EXPECT_FALSE(h.ended());
    }
}

// A reply whose value decodes to nothing is no result: the wait goes on for its 5 s, and a
// display line without a result is a communication problem, not a blank line.
TEST_F(PanelQuery, ReplyWithoutAResultDoesNotEndTheWait) {
    peer.raw[osprey::kDisplayLine1Oid] = std::string("\x30\x1D\x02\x01\x00\x04\x06mirtex"
                                                     "\xA2\x10\x02\x01\x01\x02\x01\x00\x02\x01\x00"
                                                     "\x30\x05\x30\x03\x01\x01\xFF",
                                                     31);
    h.boxes.expect("Printer Error", "Communication problem detected\r\nThe wizard will exit.");
    const std::int64_t t0 = h.app.now();
    query();
    EXPECT_GE(h.app.now() - t0, 5000);
    EXPECT_TRUE(h.ended());
}

TEST_F(PanelQuery, UnusableAddressIsNeverSent) {
    h.boxes.expect("Printer Error", "Communication problem detected\r\nThe wizard will exit.");
    std::string text;
    h.run([&] {
        core.ws.ExitAsked = true;
        text = pages.get<osprey::ProgressDlg>().Get_SNMP_Status("10.0.0.7 & del *");
    });
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(peer.asked.empty());
}

TEST_F(PanelQuery, SendFailureIsACommunicationProblem) {
    udp.failSends("network unreachable");
    h.boxes.expect("Printer Error", "Communication problem detected\r\nThe wizard will exit.");
    query();
    EXPECT_TRUE(h.ended());
}

TEST(ProgressPure, HostAndPanelTexts) {
    EXPECT_TRUE(osprey::isPrinterHost("10.0.0.7"));
    EXPECT_TRUE(osprey::isPrinterHost("printer-1.example"));
    EXPECT_TRUE(osprey::isPrinterHost("fe80::1"));
    EXPECT_TRUE(osprey::isPrinterHost("fe80::1%2"));
    EXPECT_FALSE(osprey::isPrinterHost("fe80::1%"));
    EXPECT_FALSE(osprey::isPrinterHost(""));
    EXPECT_FALSE(osprey::isPrinterHost("10.0.0.7 & x"));
    EXPECT_FALSE(osprey::isPrinterHost("a/b"));
    EXPECT_EQ("\tA\r\n\tB", osprey::frontPanelText("A", "B"));
}

} // namespace
} // namespace osprey_test
