// Kestrel: wires the real services to the wizard's core and pages and runs the window loop.
#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"
#include "platform/net/Tcp.h"
#include "platform/process/Processes.h"
#include "platform/qt/QtProgram.h"
#include "platform/spooler/DeferredSpooler.h"
#include "platform/spooler/WorkerSpooler.h"
#include "platform/sys/System.h"
#include "platform/ui/App.h"

#include <cstdint>
#include <string>

int main(int argc, char** argv) {
    sys::ignoreFileSizeSignal();
    uiqt::QtProgram program(argc, argv, "Kestrel");
    ui::App& app = program.app();

    sys::RealSystem system;
    proc::RealProcessRunner processes;
    net::RealNetwork network;
    // The spooler's calls run beside the window, which keeps answering while one waits.
    std::unique_ptr<spooler::Spooler> spooler = spooler::makeWorkerSpooler(
        [folder = system.programFolder()] { return spooler::makeDeferredSystemSpooler(folder); },
        [&app](std::int64_t ms) {
            app.DoEvents();
            app.Sleep(ms);
        });

    kestrel::Core core(kestrel::CoreServices{app, system, processes, *spooler, network});
    kestrel::KestrelPages pages(app, core);
    core.setPages(pages);

    return program.run([&] { core.Main(program.commandLine()); });
}
