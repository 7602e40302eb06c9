// Kestrel: wires the real services to the wizard's core and pages and runs the window loop.
#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"
#include "platform/net/Tcp.h"
#include "platform/process/Processes.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtHost.h"
#include "platform/spooler/SystemSpooler.h"
#include "platform/sys/System.h"
#include "platform/ui/App.h"
#include "platform/ui/Clock.h"

#include <QApplication>

#include <clocale>

#include <string>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv); // takes Qt's own options out of argv
    QApplication::setApplicationName("Kestrel");
    // Qt takes the user's locale; numbers in jobs, files and lists keep "." as their point.
    std::setlocale(LC_NUMERIC, "C");
    const std::string commandLine = proc::joinArguments(argc, argv);

    ui::RealClock clock;
    uiqt::QtMessageBoxes boxes;
    uiqt::QtFileBrowser browser;
    ui::App app(clock, boxes, browser);
    uiqt::QtHost host(app);

    sys::RealSystem system;
    proc::RealProcessRunner processes;
    net::RealNetwork network;
    std::unique_ptr<spooler::Spooler> spooler = spooler::makeSystemSpooler();

    kestrel::Core core(kestrel::CoreServices{app, system, processes, *spooler, network});
    kestrel::KestrelPages pages(app, core);
    core.setPages(pages);

    host.userEvent([&] { core.Main(commandLine); });
    return uiqt::runQtProgram(app, host);
}
