#include "osprey/pages/Page.h"

#include "osprey/core/Core.h"
#include "osprey/pages/Pages.h"
#include "platform/sys/System.h"

template class wizard::CorePage<osprey::Core, osprey::OspreyPages>;

namespace osprey {

const char* const Page::kIgnoreNote =
    "Please specify the value to be saved on the printer. If \"Ignore\" is checked, the value "
    "will not be changed on the printer. Note: The printer will perform a calibration when "
    "you change a setting with an asterisk.";

void Page::startIgnored(std::initializer_list<ui::ControlRef> boxes,
                        std::initializer_list<ui::ControlRef> governed) {
    for (const ui::ControlRef& box : boxes)
        box->setValue(1);
    for (const ui::ControlRef& c : governed)
        c->setEnabled(false);
}

void Page::applyIgnoreBox(const ui::ControlRef& box,
                          std::initializer_list<ui::ControlRef> governed) {
    int value = box->value();
    if (value == 1) {
        for (const ui::ControlRef& c : governed)
            c->setEnabled(false);
    } else if (value == 0) {
        for (const ui::ControlRef& c : governed)
            c->setEnabled(true);
        core().ws.ExitAsked = false;
    }
}

void Page::leaveKeepingWindow(int& cancel, int unloadMode) {
    if (unloadMode != ui::kUnloadUser)
        return;
    core().ExitWizard();
    cancel = 1;
}

void Page::confirmExit() {
    core().ConfirmExit(*this);
}

} // namespace osprey
