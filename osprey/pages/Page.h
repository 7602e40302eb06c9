#pragma once
#include "platform/ui/App.h"
#include "platform/ui/Form.h"
#include "wizard/PageBase.h"
#include "wizard/StepPage.h"

#include <initializer_list>
#include <string>

namespace osprey {
class Core;
class OspreyPages;
} // namespace osprey

extern template class wizard::CorePage<osprey::Core, osprey::OspreyPages>;

namespace osprey {

// Base of every Osprey page: the core and the other pages.
class Page : public wizard::CorePage<Core, OspreyPages> {
  public:
    using CorePage::CorePage;

    void confirmExit(); // asks whether to leave the wizard; on No this page shows again

  protected:
    // The settings pages' rows, each with its "Ignore" box (ticked: the printer keeps the
    // setting). The note above them:
    static const char* const kIgnoreNote;
    // Every setting starts ignored, its controls disabled.
    static void startIgnored(std::initializer_list<ui::ControlRef> boxes,
                             std::initializer_list<ui::ControlRef> governed);
    // Ticked (1) disables the governed controls; clear (0) enables them and clears
    // ExitAsked; any other value changes nothing.
    void applyIgnoreBox(const ui::ControlRef& box, std::initializer_list<ui::ControlRef> governed);
    // The close box on a settings page: the wizard leaves, and when it comes back (the save
    // dialog is open and will read this page's values) the window stays.
    void leaveKeepingWindow(int& cancel, int unloadMode);
};

using StepPage = wizard::StepPage<Page>;

} // namespace osprey
