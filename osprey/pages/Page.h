#pragma once
#include "platform/ui/App.h"
#include "platform/ui/Form.h"
#include "wizard/StepPage.h"

#include <initializer_list>
#include <string>

namespace osprey {

class Core;
class OspreyPages;

// Base of every Osprey page: the core and the other pages.
class Page : public ui::Form {
  public:
    Page(Core& core, OspreyPages& pages, const std::string& name);

  protected:
    Core& core() const { return *core_; }
    OspreyPages& pages() const { return *pages_; }

    // What the pieces both wizards share (wizard/) ask of a page: whether to leave the
    // wizard (Cancel, Exit), leaving it (the close box), a notice box, where files are.
    void confirmExit();
    void exitWizard();
    void showNotice(const std::string& text);
    std::string programFolder() const;

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

  private:
    Core* core_;
    OspreyPages* pages_;
};

using StepPage = wizard::StepPage<Page>;

} // namespace osprey
