// Osprey: wires the real services to the wizard's core and pages and runs the window loop.
#include "osprey/core/Core.h"
#include "osprey/pages/Pages.h"
#include "platform/net/SystemResolver.h"
#include "platform/net/Udp.h"
#include "platform/process/Processes.h"
#include "platform/qt/QtProgram.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/spooler/DeferredSpooler.h"
#include "platform/spooler/WorkerSpooler.h"
#include "platform/sys/System.h"
#include "platform/ui/App.h"

#include <cstdint>
#include <string>

int main(int argc, char** argv) {
    sys::ignoreFileSizeSignal();
    uiqt::QtProgram program(argc, argv, "Osprey");
    ui::App& app = program.app();

    sys::RealSystem system;
    proc::RealProcessRunner processes;
    net::RealUdpNetwork udp;
    std::unique_ptr<net::AddressResolver> resolver = net::makeSystemResolver();
    registry::LinuxRegistry registry(system, registry::userStorePath("Osprey"), "", resolver.get());
    // The spooler's calls run beside the window, which keeps answering while one waits.
    std::unique_ptr<spooler::Spooler> spooler = spooler::makeWorkerSpooler(
        [folder = system.programFolder()] { return spooler::makeDeferredSystemSpooler(folder); },
        [&app](std::int64_t ms) {
            app.DoEvents();
            app.Sleep(ms);
        });

    osprey::Core core(osprey::CoreServices{app, system, processes, *spooler, udp, registry});
    osprey::OspreyPages pages(app, core);
    core.setPages(pages);

    return program.run([&] { core.Main(program.commandLine()); });
}
