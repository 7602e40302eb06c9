#include "tests/support/MemorySpooler.h"

#include <gtest/gtest.h>

using spooler::MemorySpooler;
using Call = MemorySpooler::Call;

namespace {

spooler::PrinterInfo printer(const std::string& name) {
    spooler::PrinterInfo p;
    p.name = name;
    p.driver = "Generic / Text Only";
    p.port = "LPT1:";
    return p;
}

TEST(MemorySpooler, PrintersInInstallOrderAndCurrentPrinter) {
    MemorySpooler s;
    s.install(printer("B"));
    s.install(printer("A"));
    EXPECT_EQ(*s.printers().value, (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(s.currentPrinter(), "");
    s.setDefaultPrinter("A");
    EXPECT_EQ(s.currentPrinter(), "A");
    s.setCurrentPrinter("B");
    EXPECT_EQ(s.currentPrinter(), "B");
    EXPECT_EQ(s.printerInfo("a").error, spooler::err::InvalidPrinterName);
}

TEST(MemorySpooler, JobsLeaveAfterTheirLooks) {
    MemorySpooler s;
    s.install(printer("P"));
    spooler::JobInfo j;
    j.document = "Doc";
    auto leaving = s.addJob("P", j, 2);
    auto staying = s.addJob("P", j);
    EXPECT_EQ(s.jobs("P").value->size(), 2u);
    EXPECT_EQ(s.jobs("P").value->size(), 2u);
    auto third = *s.jobs("P").value;
    ASSERT_EQ(third.size(), 1u);
    EXPECT_EQ(third[0].id, staying);
    EXPECT_NE(leaving, staying);
    EXPECT_EQ(s.deleteJob("P", staying), 0);
    EXPECT_TRUE(s.jobs("P").value->empty());
    EXPECT_EQ(s.deleteJob("P", staying), spooler::err::InvalidParameter);
    EXPECT_EQ(s.deletedJobs(), (std::vector<std::uint32_t>{staying}));
}

TEST(MemorySpooler, InjectedFailuresArePerCallAndCounted) {
    MemorySpooler s;
    s.install(printer("P"));
    s.failNext(Call::Jobs, 1722, 2);
    EXPECT_EQ(s.jobs("P").error, 1722);
    EXPECT_EQ(s.jobs("P").error, 1722);
    EXPECT_TRUE(s.jobs("P").ok());
    EXPECT_TRUE(s.printerInfo("P").ok());
    EXPECT_EQ(s.calls(Call::Jobs), 3);
    s.failNext(Call::Ports, 5);
    EXPECT_FALSE(s.ports().ok());
    EXPECT_TRUE(s.ports().ok());
}

TEST(MemorySpooler, HookChangesTheQueueBetweenCalls) {
    MemorySpooler s;
    s.install(printer("P"));
    s.setBeforeCall([&](Call c) {
        if (c == Call::Jobs)
            s.addJob("P", {}, 1);
    });
    EXPECT_EQ(s.jobs("P").value->size(), 1u);
    EXPECT_EQ(s.jobs("P").value->size(), 1u); // the earlier one left, a new one came
}

TEST(MemorySpooler, RawDocumentsRecordedByteExactAndQueued) {
    MemorySpooler s;
    s.install(printer("P"));
    s.setWrittenJobLooks(1);
    std::string bytes("a\0\r\n\xFF", 5);
    auto out = s.writeRawDocument("P", "Kestrel Command", bytes);
    EXPECT_TRUE(out.complete(bytes.size()));
    ASSERT_EQ(s.documents().size(), 1u);
    EXPECT_EQ(s.documents()[0].bytes, bytes);
    auto jobs = *s.jobs("P").value;
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].document, "Kestrel Command");
    EXPECT_EQ(jobs[0].id, *out.jobId);
    EXPECT_EQ(jobs[0].totalPages, 1u);
    EXPECT_TRUE(s.jobs("P").value->empty());
}

TEST(MemorySpooler, WriteFailuresByStage) {
    MemorySpooler s;
    s.install(printer("P"));
    using Stage = MemorySpooler::WriteStage;
    s.failWriteAt(Stage::Open, 5);
    auto o = s.writeRawDocument("P", "D", "0123456789");
    EXPECT_FALSE(o.opened);
    s.failWriteAt(Stage::Write, 28, 4);
    o = s.writeRawDocument("P", "D", "0123456789");
    EXPECT_TRUE(o.started);
    EXPECT_EQ(o.bytesWritten, 4u);
    EXPECT_FALSE(o.complete(10));
    EXPECT_EQ(s.documents().back().bytes, "0123");
    s.failWriteAt(Stage::End, 5);
    o = s.writeRawDocument("P", "D", "x");
    EXPECT_EQ(o.bytesWritten, 1u);
    EXPECT_FALSE(o.ended);
    EXPECT_TRUE(s.writeRawDocument("P", "D", "x").complete(1));
    EXPECT_FALSE(s.writeRawDocument("Nope", "D", "x").opened);
}

TEST(MemorySpooler, AddAndDeletePrinter) {
    MemorySpooler s;
    s.setPorts({"LPT1:", "COM1:"});
    EXPECT_EQ(s.addPrinter("Kestrel", "Generic / Text Only", "USB009"), spooler::err::UnknownPort);
    EXPECT_EQ(s.addPrinter("Kestrel", "Generic / Text Only", "COM1:"), 0);
    EXPECT_EQ(s.addPrinter("Kestrel", "Generic / Text Only", "COM1:"),
              spooler::err::PrinterAlreadyExists);
    EXPECT_EQ(s.info("Kestrel")->port, "COM1:");
    auto id = s.addJob("Kestrel", {});
    EXPECT_EQ(s.deletePrinter("Kestrel"), spooler::err::PrinterHasJobs);
    EXPECT_TRUE(s.hasPrinter("Kestrel"));
    s.deleteJob("Kestrel", id);
    EXPECT_EQ(s.deletePrinter("Kestrel"), 0);
    EXPECT_FALSE(s.hasPrinter("Kestrel"));
    EXPECT_EQ(s.deletePrinter("Kestrel"), spooler::err::InvalidPrinterName);
}

} // namespace
