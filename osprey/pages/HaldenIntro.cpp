#include "osprey/pages/HaldenIntro.h"

#include "osprey/pages/HaldenAbout.h"
#include "osprey/pages/Pages.h"

namespace osprey {

HaldenIntro::HaldenIntro(Core& core, OspreyPages& pages)
    : WelcomePage(core, pages, kName,
                  {"Welcome to the Solvane Osprey",
                   "For more complete control over your network printers, please use Solvane "
                   "Printer Manager.",
                   "To continue, click Next", "halden-logo"},
                  false) {}

ui::Form& HaldenIntro::aboutBox() {
    return pages().get<HaldenAbout>();
}

} // namespace osprey
