#include "tests/e2e/PrivateCups.h"

#include "platform/spooler/cups/CupsSpooler.h"
#include "platform/spooler/cups/PortNameRule.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using namespace e2e;
using namespace spooler;

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Waits until the printer's queue holds `count` jobs; false on time-out.
bool waitJobs(Spooler& s, const std::string& printer, std::size_t count, int timeoutMs = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        auto jobs = s.jobs(printer);
        if (jobs.ok() && jobs.value->size() == count) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Waits until the printer's status has every bit of `bits`; returns the last status.
std::uint32_t waitStatus(Spooler& s, const std::string& printer, std::uint32_t bits,
                         int timeoutMs = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        auto info = s.printerInfo(printer);
        std::uint32_t status = info.ok() ? info.value->status : 0;
        if ((status & bits) == bits || std::chrono::steady_clock::now() > deadline) {
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

class CupsSpoolerE2E : public PrivateCupsTest {
  protected:
    std::unique_ptr<Spooler> spooler = makeCupsSpooler();
};

TEST_F(CupsSpoolerE2E, ListsFakeDevicesUnderTheirPortNames) {
    cups->addDevice(Scheme::Parallel, "lp0");
    cups->addDevice(Scheme::Serial, "ttyS1");
    std::string usb = cups->addDevice(Scheme::Usb, "E2E0001");

    auto start = std::chrono::steady_clock::now();
    auto ports = spooler->ports();
    auto took = std::chrono::steady_clock::now() - start;

    ASSERT_TRUE(ports.ok()) << ports.error;
    std::string usbName = portnames::preferredPortName(usb).value();
    EXPECT_EQ(*ports.value, (std::vector<std::string>{"LPT1:", "COM2:", usbName}));
    EXPECT_LT(took, std::chrono::seconds(3));
}

TEST_F(CupsSpoolerE2E, AddsARawPrinterOnAPortAndReportsIt) {
    cups->addDevice(Scheme::Parallel, "lp1");

    ASSERT_EQ(spooler->addPrinter("Kestrel", kGenericTextDriver, "LPT2:"), 0) << cups->errorLog();

    auto printers = spooler->printers();
    ASSERT_TRUE(printers.ok());
    EXPECT_TRUE(contains(*printers.value, "Kestrel"));
    auto info = spooler->printerInfo("Kestrel");
    ASSERT_TRUE(info.ok()) << info.error;
    EXPECT_EQ(info.value->name, "Kestrel");
    EXPECT_EQ(info.value->driver, kGenericTextDriver);
    EXPECT_EQ(info.value->port, "LPT2:");
    EXPECT_EQ(info.value->status, 0u);
    // Names are exact: the scheduler would find the queue in any letter case.
    EXPECT_EQ(spooler->printerInfo("kestrel").error, err::InvalidPrinterName);
    EXPECT_EQ(spooler->addPrinter("Kestrel", kGenericTextDriver, "LPT2:"),
              err::PrinterAlreadyExists);
}

TEST_F(CupsSpoolerE2E, RefusesUnknownPortsDriversAndNames) {
    EXPECT_NE(spooler->addPrinter("Kestrel", kGenericTextDriver, "USB999"), 0);
    EXPECT_NE(spooler->addPrinter("Kestrel", "Some Other Driver", "LPT1:"), 0);
    EXPECT_EQ(spooler->addPrinter("Kes trel", kGenericTextDriver, "LPT1:"), err::InvalidName);
    auto printers = spooler->printers();
    ASSERT_TRUE(printers.ok());
    EXPECT_TRUE(printers.value->empty());
    EXPECT_EQ(spooler->printerInfo("Nobody").error, err::InvalidPrinterName);
    EXPECT_EQ(spooler->deletePrinter("Nobody"), err::InvalidPrinterName);
}

TEST_F(CupsSpoolerE2E, DeviceReceivesTheRawDocumentByteExact) {
    cups->addDevice(Scheme::Usb, "E2E0002");
    std::string usb = portnames::preferredPortName("usb://Fake/Printer?serial=E2E0002").value();
    ASSERT_EQ(spooler->addPrinter("Kestrel", kGenericTextDriver, usb), 0) << cups->errorLog();

    std::string job = "!KVT_SETUP\r\nNIC_SETUP\r\nstore tcpip 1 \"x\"\r\n";
    for (int c = 0; c < 256; ++c) {
        job.push_back(static_cast<char>(c)); // every byte value, including NUL and 0xFF
    }
    job += "\r\nKVT_END\r\n";
    auto outcome = spooler->writeRawDocument("Kestrel", "Kestrel Command", job);

    EXPECT_TRUE(outcome.complete(job.size())) << outcome.error << "\n" << cups->errorLog();
    EXPECT_TRUE(outcome.jobId.has_value());
    ASSERT_TRUE(cups->waitReceived(Scheme::Usb, "E2E0002", job.size())) << cups->errorLog();
    EXPECT_EQ(cups->received(Scheme::Usb, "E2E0002"), job);
    EXPECT_TRUE(waitJobs(*spooler, "Kestrel", 0));
    EXPECT_EQ(spooler->deletePrinter("Kestrel"), 0);
    auto printers = spooler->printers();
    ASSERT_TRUE(printers.ok());
    EXPECT_FALSE(contains(*printers.value, "Kestrel"));
}

TEST_F(CupsSpoolerE2E, APrinterWithAJobThatStaysIsNotDeletedUntilTheJobIsCancelled) {
    cups->addDevice(Scheme::Parallel, "lp0");
    cups->setRefusing(Scheme::Parallel, "lp0", true);
    ASSERT_EQ(spooler->addPrinter("Kestrel", kGenericTextDriver, "LPT1:"), 0);
    auto outcome = spooler->writeRawDocument("Kestrel", "Kestrel Command", "!KVT_SETUP\r\n");
    ASSERT_TRUE(outcome.complete(12)) << outcome.error;

    auto jobs = spooler->jobs("Kestrel");
    ASSERT_TRUE(jobs.ok());
    ASSERT_EQ(jobs.value->size(), 1u);
    EXPECT_EQ(jobs.value->front().id, outcome.jobId.value());
    EXPECT_EQ(jobs.value->front().document, "Kestrel Command");

    EXPECT_EQ(spooler->deletePrinter("Kestrel"), err::PrinterHasJobs);
    EXPECT_TRUE(spooler->printerInfo("Kestrel").ok());

    EXPECT_EQ(spooler->deleteJob("Kestrel", outcome.jobId.value()), 0);
    EXPECT_TRUE(waitJobs(*spooler, "Kestrel", 0));
    EXPECT_EQ(spooler->deletePrinter("Kestrel"), 0);
    EXPECT_EQ(cups->received(Scheme::Parallel, "lp0"), "");
}

TEST_F(CupsSpoolerE2E, MapsTheSchedulersStatesOntoStatusBits) {
    cups->addDevice(Scheme::Parallel, "lp0");
    cups->setRefusing(Scheme::Parallel, "lp0", true);
    ASSERT_EQ(spooler->addPrinter("Kestrel", kGenericTextDriver, "LPT1:"), 0);
    EXPECT_EQ(spooler->printerInfo("Kestrel").value->status, 0u);

    // A queue that refuses jobs is not available, so never ready.
    auto rejecting = runProgram({"/usr/sbin/cupsreject", "Kestrel"});
    ASSERT_EQ(rejecting.exitCode, 0) << rejecting.output;
    EXPECT_EQ(spooler->printerInfo("Kestrel").value->status, pst::NotAvailable);
    EXPECT_EQ(spooler->writeRawDocument("Kestrel", "Kestrel Command", "x").error,
              err::NotAcceptingJobs);
    auto accepting = runProgram({"/usr/sbin/cupsaccept", "Kestrel"});
    ASSERT_EQ(accepting.exitCode, 0) << accepting.output;
    EXPECT_EQ(spooler->printerInfo("Kestrel").value->status, 0u);

    ASSERT_TRUE(spooler->writeRawDocument("Kestrel", "Kestrel Command", "x").ended);
    // The device does not answer: the queue prints and the printer is offline.
    std::uint32_t status = waitStatus(*spooler, "Kestrel", pst::Printing | pst::Offline);
    EXPECT_EQ(status, pst::Printing | pst::Offline);
    auto jobs = spooler->jobs("Kestrel");
    ASSERT_TRUE(jobs.ok());
    ASSERT_EQ(jobs.value->size(), 1u);
    EXPECT_EQ(jobs.value->front().status, jst::Printing);

    // A stopped queue is paused.
    auto stopped = runProgram({"/usr/sbin/cupsdisable", "Kestrel"});
    ASSERT_EQ(stopped.exitCode, 0) << stopped.output;
    EXPECT_TRUE(waitStatus(*spooler, "Kestrel", pst::Paused) & pst::Paused);

    // Once the device takes it, the job prints and leaves.
    cups->setRefusing(Scheme::Parallel, "lp0", false);
    auto started = runProgram({"/usr/sbin/cupsenable", "Kestrel"});
    ASSERT_EQ(started.exitCode, 0) << started.output;
    EXPECT_TRUE(cups->waitReceived(Scheme::Parallel, "lp0", 1));
    EXPECT_TRUE(waitJobs(*spooler, "Kestrel", 0));
}

TEST_F(CupsSpoolerE2E, TheDefaultDestinationIsTheCurrentPrinterAtStart) {
    cups->addDevice(Scheme::Parallel, "lp0");
    EXPECT_EQ(makeCupsSpooler()->currentPrinter(), "");
    ASSERT_EQ(spooler->addPrinter("Office", kGenericTextDriver, "LPT1:"), 0);
    ASSERT_EQ(spooler->addPrinter("Kestrel", kGenericTextDriver, "LPT1:"), 0);
    auto made = runProgram({"/usr/sbin/lpadmin", "-d", "Office"});
    ASSERT_EQ(made.exitCode, 0) << made.output;

    auto fresh = makeCupsSpooler();
    EXPECT_EQ(fresh->currentPrinter(), "Office");
    fresh->setCurrentPrinter("Kestrel");
    EXPECT_EQ(fresh->currentPrinter(), "Kestrel");
    EXPECT_EQ(*fresh->printers().value, (std::vector<std::string>{"Kestrel", "Office"}));

    // A default the scheduler did not give in time is asked for again, not taken as none.
    CupsLimits quick;
    quick.actionMs = 1000;
    auto late = makeCupsSpooler(quick);
    {
        SuspendedScheduler stopped(*cups);
        EXPECT_EQ(late->currentPrinter(), "");
    }
    EXPECT_EQ(late->currentPrinter(), "Office");
}

TEST_F(CupsSpoolerE2E, WritingToAMissingPrinterFailsAtOnce) {
    auto start = std::chrono::steady_clock::now();
    auto outcome = spooler->writeRawDocument("Nobody", "Kestrel Command", "x");
    EXPECT_FALSE(outcome.opened);
    EXPECT_EQ(outcome.error, err::InvalidPrinterName);
    EXPECT_EQ(spooler->jobs("Nobody").error, err::InvalidPrinterName);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(CupsSpoolerUnreachable, EveryCallFailsFastWithServiceUnavailable) {
    CupsLimits limits;
    limits.server = "/nonexistent/kvt/cups.sock";
    auto s = makeCupsSpooler(limits);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(s->printers().error, err::ServiceUnavailable);
    EXPECT_EQ(s->currentPrinter(), "");
    EXPECT_EQ(s->printerInfo("Kestrel").error, err::ServiceUnavailable);
    EXPECT_EQ(s->jobs("Kestrel").error, err::ServiceUnavailable);
    EXPECT_EQ(s->deleteJob("Kestrel", 1), err::ServiceUnavailable);
    auto outcome = s->writeRawDocument("Kestrel", "Kestrel Command", "x");
    EXPECT_FALSE(outcome.opened);
    EXPECT_EQ(outcome.error, err::ServiceUnavailable);
    EXPECT_EQ(s->ports().error, err::ServiceUnavailable);
    EXPECT_EQ(s->addPrinter("Kestrel", kGenericTextDriver, "LPT1:"), err::ServiceUnavailable);
    EXPECT_EQ(s->deletePrinter("Kestrel"), err::ServiceUnavailable);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

} // namespace
