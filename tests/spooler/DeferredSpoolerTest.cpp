#include "platform/spooler/DeferredSpooler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace {

using namespace spooler;

// The backend comes from the folder on the first call; without it, every call fails with
// its own cause rather than as a missing scheduler.
TEST(DeferredSpooler, LoadsTheBackendOnFirstUseOrFailsWithItsCause) {
    // No scheduler answers there, whatever runs on this PC.
    ::setenv("CUPS_SERVER", "/nonexistent/printer-wizards-test.sock", 1);
    const std::pair<std::string, int> cases[] = {
        {CUPS_MODULE_DIR, err::ServiceUnavailable},
        {"/nonexistent", err::ModuleNotFound},
    };
    for (const auto& [folder, error] : cases) {
        SCOPED_TRACE(folder);
        auto spooler = makeDeferredSystemSpooler(folder);
        SpoolerAction action(*spooler);
        EXPECT_EQ(spooler->printers().error, error);
        EXPECT_EQ(spooler->writeRawDocument("Kestrel", "Kestrel Command", "x").error, error);
        EXPECT_EQ(spooler->deletePrinter("Kestrel"), error);
    }
    EXPECT_EQ(errorText(err::ModuleNotFound), "the printing system's module cannot be loaded");
}

} // namespace
