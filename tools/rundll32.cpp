// Stand-in for "rundll32 printui.dll,PrintUIEntry": the printer set-up commands.
#include "platform/spooler/SystemSpooler.h"
#include "platform/sys/System.h"
#include "tools/PrintUi.h"

#include <iostream>

int main(int argc, char** argv) {
    sys::ignoreFileSizeSignal();
    std::vector<std::string> args(argv + 1, argv + argc);
    auto command = printui::parse(args);
    auto spooler = spooler::makeSystemSpooler();
    return printui::run(command, *spooler, std::cerr);
}
