#pragma once
// A whole Kestrel on the headless model, for the port, TCP/IP and finish page tests:
// temporary program and current folders, a fake process runner for Plover, the memory
// spooler and the real (unused) network.
#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"
#include "platform/net/Tcp.h"
#include "platform/sys/System.h"
#include "printpath/PrintPath.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/Harness.h"
#include "tests/support/MemorySpooler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace kestrel::testing {

// Made first: the folders exist and the current folder is the temporary one while the
// wizard runs; the old current folder comes back afterwards.
struct TempFolders {
    test_fixtures::TempFolder temp{"kestrel-route", test_fixtures::TempFolder::Enter::Yes};
    std::string root = temp.path.string();
    std::string programFolder = root + "/bin";
    TempFolders() { std::filesystem::create_directories(programFolder); }
};

class RouteFixture : public ::testing::Test {
  protected:
    RouteFixture()
        : system(folders.programFolder), procs(h.clock),
          core(CoreServices{h.app, system, procs, spool, network}), pages(h.app, core) {
        core.setPages(pages);
    }

    ~RouteFixture() override {
        // Unload while the services still exist (the pages' timers and sockets).
        if (!h.app.ended())
            for (ui::Form* f : pages.all())
                h.run([f] { f->Unload(); });
    }

    // The command line GetPorts runs.
    std::string ploverLine() const {
        return printpath::programCommandLine(folders.programFolder, "Plover", "Wren.exe");
    }
    // Wren leaves these bytes in "ports.txt".
    void portsFile(const std::string& bytes) {
        std::string path = folders.root + "/ports.txt";
        procs.on(ploverLine(),
                 {0, [path, bytes] { std::ofstream(path, std::ios::binary) << bytes; }, {}, false});
    }
    void writeFile(const std::string& name, const std::string& bytes) {
        std::ofstream(folders.root + "/" + name, std::ios::binary) << bytes;
    }

    void show(ui::Form& form) {
        h.run([&form] { form.Show(); });
    }
    // Ticks the question page's seven boxes as given (creates the page).
    void question(std::initializer_list<int> ticked) {
        auto& q = pages.get<kestrel::QuestionDlg>();
        h.run([&] {
            for (int i = 0; i < 7; ++i)
                q.Check1[i]->setValue(0);
            for (int i : ticked)
                q.Check1[i]->setValue(1);
        });
    }

    TempFolders folders;
    testing_support::Harness h;
    sys::RealSystem system;
    proc::FakeProcessRunner procs;
    spooler::MemorySpooler spool;
    net::RealNetwork network;
    Core core;
    KestrelPages pages;
};

// Message box texts shared by the tests.
inline const std::string kProgramError = "Program Error";
inline const std::string kExitQuestion =
    "NIC setting is not complete. If you quit\r\nthe wizard now, the printer will not be "
    "updated.\r\nDo you want to exit the wizard?";

} // namespace kestrel::testing
