#include "platform/spooler/DeferredSpooler.h"
#include "tests/fixtures/Children.h"
#include "tests/fixtures/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
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

// What a module file that is not the real one, whole, does to the first call: it fails at
// once with ModuleNotFound, standard error says why, and nothing is loaded (no hang in the
// loader on a FIFO, no SIGBUS from a file cut short, nothing from the current folder).
TEST(DeferredSpooler, LoadsOnlyTheUsersOwnWholeRegularModule) {
    namespace fs = std::filesystem;
    ::setenv("CUPS_SERVER", "/nonexistent/printer-wizards-test.sock", 1);
    const std::string whole = test_fixtures::readAll(fs::path(CUPS_MODULE_DIR) / kCupsModuleFile);
    const struct {
        const char* what;
        std::optional<std::string> bytes; // none: a FIFO
        const char* cause;
        bool noFolder = false; // the program's own folder is unknown
        bool planted = false;  // another user's, in a sticky folder (root only)
    } cases[] = {
        {"a FIFO", std::nullopt, "not a regular file"},
        {"cut to 1000 bytes", whole.substr(0, 1000), "cut short"},
        {"cut to 50000 bytes", whole.substr(0, 50000), "cut short"},
        {"one byte short", whole.substr(0, whole.size() - 1), "cut short"},
        {"whole, the program's folder unknown", whole, "the program's own folder cannot be found",
         true},
        {"another user's", whole, "another user's file in a folder everyone may write", false,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.planted && ::geteuid() != 0)
            continue;
        test_fixtures::TempFolder folder("module", test_fixtures::TempFolder::Enter::Yes);
        const fs::path file = folder.path / kCupsModuleFile;
        if (c.bytes) {
            test_fixtures::writeAll(file, *c.bytes);
        } else {
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        }
        if (c.planted) {
            ASSERT_TRUE(test_fixtures::plantShared(file));
        }
        // In a child, so that a hang or a crash in the loader fails the case, not the tests.
        const auto child = test_fixtures::inChild(STDERR_FILENO, [&] {
            ::alarm(10);
            auto spooler = makeDeferredSystemSpooler(c.noFolder ? "" : folder.path.string());
            return spooler->printers().error == err::ModuleNotFound ? 0 : 1;
        });
        EXPECT_TRUE(WIFEXITED(child.status) && WEXITSTATUS(child.status) == 0) << child.status;
        EXPECT_NE(child.output.find("cannot load the printing system's module"), std::string::npos)
            << child.output;
        EXPECT_NE(child.output.find(c.cause), std::string::npos) << child.output;
    }
}

} // namespace
