#include "platform/spooler/SystemSpooler.h"
#include "platform/sys/System.h"
#include "portlister/PortList.h"

#include <iostream>

int main() {
    sys::ignoreFileSizeSignal();
    auto spooler = spooler::makeSystemSpooler();
    sys::RealSystem system;
    return portlister::runWren(*spooler, system, std::cout, std::cerr);
}
