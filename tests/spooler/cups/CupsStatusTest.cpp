#include "platform/spooler/cups/CupsStatus.h"
#include "platform/spooler/cups/Exchange.h"

#include "platform/spooler/Spooler.h"

#include <gtest/gtest.h>

namespace {

using namespace spooler;
using namespace spooler::cupsmap;

struct PrinterCase {
    int state;
    std::vector<std::string> reasons;
    std::uint32_t bits;
    bool accepting = true;
};

class PrinterStatusBits : public ::testing::TestWithParam<PrinterCase> {};

TEST_P(PrinterStatusBits, MapsStateAndReasons) {
    const auto& c = GetParam();
    EXPECT_EQ(printerStatusBits(c.state, c.reasons, c.accepting), c.bits);
}

INSTANTIATE_TEST_SUITE_P(
    States, PrinterStatusBits,
    ::testing::Values(PrinterCase{PrinterIdle, {}, 0}, PrinterCase{PrinterIdle, {"none"}, 0},
                      PrinterCase{PrinterProcessing, {"none"}, pst::Printing},
                      PrinterCase{PrinterStopped, {"paused"}, pst::Paused},
                      PrinterCase{PrinterStopped, {}, pst::Paused},
                      // a queue that refuses jobs is never ready
                      PrinterCase{PrinterIdle, {"none"}, pst::NotAvailable, false},
                      PrinterCase{
                          PrinterStopped, {"paused"}, pst::Paused | pst::NotAvailable, false}));

INSTANTIATE_TEST_SUITE_P(
    Reasons, PrinterStatusBits,
    ::testing::Values(
        PrinterCase{PrinterIdle, {"media-empty-error"}, pst::PaperOut},
        PrinterCase{PrinterIdle, {"media-needed"}, pst::PaperOut},
        PrinterCase{PrinterIdle, {"media-jam-error"}, pst::PaperJam},
        PrinterCase{PrinterIdle, {"input-tray-missing-error"}, pst::PaperProblem},
        PrinterCase{PrinterIdle, {"door-open-error"}, pst::DoorOpen},
        PrinterCase{PrinterIdle, {"cover-open-warning"}, pst::DoorOpen},
        PrinterCase{PrinterIdle, {"interlock-open"}, pst::DoorOpen},
        PrinterCase{PrinterIdle, {"offline-report"}, pst::Offline},
        PrinterCase{PrinterProcessing, {"connecting-to-device"}, pst::Printing | pst::Offline},
        PrinterCase{PrinterIdle, {"timed-out-error"}, pst::Offline},
        PrinterCase{PrinterIdle, {"shutdown"}, pst::Offline},
        PrinterCase{PrinterIdle, {"toner-low-report"}, pst::TonerLow},
        PrinterCase{PrinterIdle, {"marker-supply-low-warning"}, pst::TonerLow},
        PrinterCase{PrinterIdle, {"toner-empty-error"}, pst::NoToner},
        PrinterCase{PrinterIdle, {"marker-supply-empty-error"}, pst::NoToner},
        PrinterCase{PrinterIdle, {"output-area-full-warning"}, pst::OutputBinFull},
        PrinterCase{PrinterIdle, {"spool-area-full"}, pst::OutOfMemory},
        PrinterCase{PrinterIdle, {"fuser-under-temp-warning"}, pst::WarmingUp},
        PrinterCase{PrinterIdle, {"other-error"}, pst::Error},
        // Unknown reasons count only when they are errors.
        PrinterCase{PrinterIdle, {"cups-missing-filter-warning"}, 0},
        PrinterCase{PrinterIdle, {"fuser-over-temp-error"}, pst::Error},
        PrinterCase{PrinterIdle, {"media-low-report"}, 0},
        PrinterCase{PrinterStopped,
                    {"paused", "media-jam-error", "door-open-report"},
                    pst::Paused | pst::PaperJam | pst::DoorOpen}));

struct JobCase {
    int state;
    std::vector<std::string> reasons;
    std::uint32_t bits;
};

class JobStatusBits : public ::testing::TestWithParam<JobCase> {};

TEST_P(JobStatusBits, MapsStateAndReasons) {
    const auto& c = GetParam();
    EXPECT_EQ(jobStatusBits(c.state, c.reasons), c.bits);
}

INSTANTIATE_TEST_SUITE_P(
    All, JobStatusBits,
    ::testing::Values(JobCase{JobPending, {"none"}, 0},
                      JobCase{JobHeld, {"job-hold-until-specified"}, jst::Paused},
                      // a document still arriving: spooling, not paused
                      JobCase{JobHeld, {"job-incoming"}, jst::Spooling},
                      JobCase{JobProcessing, {"job-printing"}, jst::Printing},
                      JobCase{JobProcessing, {"job-incoming"}, jst::Printing | jst::Spooling},
                      JobCase{
                          JobProcessing, {"job-canceled-by-user"}, jst::Printing | jst::Deleting},
                      JobCase{JobStopped, {"printer-stopped"}, jst::Paused},
                      JobCase{JobCanceled, {}, jst::Deleted},
                      JobCase{JobAborted, {"document-format-error"}, jst::Error},
                      JobCase{JobCompleted, {"job-completed-successfully"}, jst::Printed}));

TEST(ReasonKeyword, DropsOnlyTheSeveritySuffix) {
    EXPECT_EQ(reasonKeyword("media-empty-error"), "media-empty");
    EXPECT_EQ(reasonKeyword("toner-low-warning"), "toner-low");
    EXPECT_EQ(reasonKeyword("offline-report"), "offline");
    EXPECT_EQ(reasonKeyword("paused"), "paused");
    EXPECT_EQ(reasonKeyword("-error"), "");
}

TEST(ErrorFromIppStatus, MapsTheStatusClasses) {
    const std::pair<int, int> cases[] = {
        {0x0000, err::None},
        {0x0001, err::None},         // ok, some attributes ignored
        {0x0401, err::AccessDenied}, // forbidden
        {0x0402, err::AccessDenied}, // not authenticated
        {0x0403, err::AccessDenied}, // not authorized
        {0x0406, err::InvalidPrinterName},
        {0x040A, err::NotSupported},
        {0x0502, err::ServiceUnavailable},
        {0x0506, err::NotAcceptingJobs},
        {0x0500, GenFailure},
    };
    for (auto [ipp, expected] : cases) {
        EXPECT_EQ(errorFromIppStatus(ipp), expected) << std::hex << ipp;
    }
}

// An HTTP status in place of an IPP answer names its cause.
TEST(ErrorFromHttpAnswer, MapsEveryStatus) {
    const std::pair<int, int> cases[] = {{401, err::AccessDenied},
                                         {1000, err::AccessDenied},
                                         {404, err::NotAScheduler},
                                         {400, GenFailure},
                                         {426, GenFailure},
                                         {503, err::ServiceUnavailable},
                                         {-1, err::ServiceUnavailable}};
    for (auto [http, expected] : cases)
        EXPECT_EQ(errorFromHttpAnswer(http), expected) << http;
}

// An answer read only in part (the time ran out, the connection broke) is no answer: never
// a shorter listing.
TEST(ParseMessage, TakesOnlyAWholeMessage) {
    ipp::Ipp message(ippNew());
    ippSetStatusCode(message.get(), IPP_STATUS_OK);
    ippSetRequestId(message.get(), 7);
    ippAddString(message.get(), IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr,
                 "utf-8");
    for (const char* uri : {"parallel:/dev/lp0", "usb://Fake/Printer?serial=1"}) {
        ippAddSeparator(message.get());
        ippAddString(message.get(), IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, uri);
    }
    std::string whole;
    ippWriteIO(
        &whole,
        [](void* to, ipp_uchar_t* bytes, std::size_t n) {
            static_cast<std::string*>(to)->append(reinterpret_cast<const char*>(bytes), n);
            return static_cast<ssize_t>(n);
        },
        1, nullptr, message.get());
    ipp::Ipp parsed = ipp::parseMessage(whole);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ippGetStatusCode(parsed.get()), IPP_STATUS_OK);
    EXPECT_EQ(ipp::attrText(parsed.get(), "device-uri"), "parallel:/dev/lp0");
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(ipp::parseMessage(whole.substr(0, cut))) << cut << " of " << whole.size();
}

TEST(IsValidQueueName, AcceptsWhatCanNameAQueue) {
    for (const char* ok : {"Kestrel", "Label_Printer-2", "a",
                           "Dr\xc3\xbc"
                           "cker"}) {
        EXPECT_TRUE(isValidQueueName(ok)) << ok;
    }
    for (const char* bad :
         {"", "Kes trel", "a/b", "a\\b", "a?b", "a#b", "a'b", "a\"b", "a\tb", "a\x7f"}) {
        EXPECT_FALSE(isValidQueueName(bad)) << bad;
    }
    EXPECT_TRUE(isValidQueueName(std::string(127, 'x')));
    EXPECT_FALSE(isValidQueueName(std::string(128, 'x')));
}

} // namespace
