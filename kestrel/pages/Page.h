#pragma once
#include "platform/ui/App.h"
#include "platform/ui/Form.h"
#include "wizard/PageBase.h"
#include "wizard/StepPage.h"

#include <initializer_list>
#include <string>

namespace kestrel {
class Core;
class KestrelPages;
} // namespace kestrel

extern template class wizard::CorePage<kestrel::Core, kestrel::KestrelPages>;

namespace kestrel {

// Base of every Kestrel page: the core, the other pages and the page conventions
// (field colours, PrevForm).
class Page : public wizard::CorePage<Core, KestrelPages> {
  public:
    Page(Core& core, KestrelPages& pages, const std::string& name);

    void confirmExit(); // asks whether to leave the wizard

    // The page that opened this one, on pages reachable from several others.
    ui::Form* PrevForm = nullptr;

  protected:
    // Shows the next page, which goes back to this one.
    void showNext(Page& next) {
        next.Show();
        next.PrevForm = this;
    }

    // Enables or disables a text field (with its label) and paints it white or button face.
    static void enableField(ui::Control& field, bool on);
    static void enableField(ui::Control& field, ui::Control& label, bool on);

    // The first of the fields whose text the command job cannot carry, or null.
    static ui::Control* firstUnsendable(std::initializer_list<ui::ControlRef> fields);

    // Sets a timer's interval and starts it.
    static void startTimer(ui::Control& timer, int intervalMs);

    // A show-text box: while ticked the field shows in clear and its confirmation field
    // and label hide; cleared, the field is masked and the confirmation shows again.
    static void applyShowText(ui::Control& field, ui::Control& confirm, ui::Control& confirmLabel,
                              bool show);
};

using StepPage = wizard::StepPage<Page>;

} // namespace kestrel
