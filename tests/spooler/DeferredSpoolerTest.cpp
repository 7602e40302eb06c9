#include "platform/spooler/DeferredSpooler.h"
#include "tests/fixtures/Children.h"
#include "tests/fixtures/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
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
    const fs::path real = fs::path(CUPS_MODULE_DIR) / kCupsModuleFile;
    const auto size = static_cast<std::size_t>(fs::file_size(real));
    const std::string whole = test_fixtures::readAll(real);
    auto cut = [&](std::size_t bytes) {
        return [&, bytes](const fs::path& file) {
            test_fixtures::writeAll(file, whole.substr(0, bytes));
        };
    };
    const struct {
        const char* what;
        std::function<void(const fs::path& file)> make;
        bool fromCurrentFolder; // the program's own folder is unknown
        const char* cause;
        bool needsRoot = false;
    } cases[] = {
        {"a FIFO", [](const fs::path& f) { ::mkfifo(f.c_str(), 0600); }, false,
         "not a regular file"},
        {"a folder", [](const fs::path& f) { fs::create_directory(f); }, false, "Is a directory"},
        {"cut to 1000 bytes", cut(1000), false, "cut short"},
        {"cut to 50000 bytes", cut(50000), false, "cut short"},
        {"cut to half", cut(size / 2), false, "cut short"},
        {"one byte short", cut(size - 1), false, "cut short"},
        {"not a library", [](const fs::path& f) { test_fixtures::writeAll(f, "text"); }, false, ""},
        {"whole, but the program's folder unknown",
         [&](const fs::path& f) { fs::copy_file(real, f); }, true,
         "the program's own folder cannot be found"},
        {"another user's in a sticky folder",
         [&](const fs::path& f) {
             fs::copy_file(real, f);
             ::chown(f.c_str(), 61239, 61239);
             ::chmod(f.parent_path().c_str(), 01777);
         },
         false, "another user's file in a folder everyone may write", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && ::geteuid() != 0)
            continue;
        test_fixtures::TempFolder folder("module", test_fixtures::TempFolder::Enter::Yes);
        c.make(folder.path / kCupsModuleFile);
        // In a child, so that a hang or a crash in the loader fails the case, not the tests.
        const auto child = test_fixtures::inChild(STDERR_FILENO, [&] {
            ::alarm(10);
            auto spooler =
                makeDeferredSystemSpooler(c.fromCurrentFolder ? "" : folder.path.string());
            return spooler->printers().error == err::ModuleNotFound ? 0 : 1;
        });
        const std::string& said = child.output;
        EXPECT_TRUE(WIFEXITED(child.status) && WEXITSTATUS(child.status) == 0)
            << "status " << child.status;
        EXPECT_NE(said.find("cannot load the printing system's module"), std::string::npos) << said;
        EXPECT_NE(said.find(c.cause), std::string::npos) << said;
    }
}

} // namespace
