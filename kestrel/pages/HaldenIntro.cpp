#include "kestrel/pages/HaldenIntro.h"

#include "kestrel/pages/Pages.h"

namespace kestrel {

HaldenIntro::HaldenIntro(Core& core, KestrelPages& pages)
    : WelcomePage(core, pages, kName,
                  {"Welcome to the Solvane Kestrel",
                   "For more complete control over your network printers, please use Solvane "
                   "Printer Manager.",
                   "To continue, click Next", "halden-logo"}) {}

ui::Form& HaldenIntro::aboutBox() {
    return pages().get<HaldenAbout>();
}

} // namespace kestrel
