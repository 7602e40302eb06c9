#pragma once
#include "platform/ui/App.h"
#include "platform/ui/Form.h"
#include "wizard/StepPage.h"

#include <initializer_list>
#include <string>

namespace kestrel {

class Core;
class KestrelPages;

// Base of every Kestrel page: the core, the other pages and the page conventions
// (field colours, PrevForm).
class Page : public ui::Form {
  public:
    Page(Core& core, KestrelPages& pages, const std::string& name);

    // The page that opened this one, on pages reachable from several others.
    ui::Form* PrevForm = nullptr;

  protected:
    Core& core() const { return *core_; }
    KestrelPages& pages() const { return *pages_; }

    // What the pieces both wizards share (wizard/) ask of a page: whether to leave the
    // wizard (Cancel, Exit), leaving it (the close box), a notice box, where files are.
    void confirmExit();
    void exitWizard();
    void showNotice(const std::string& text);
    std::string programFolder() const;

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

  private:
    Core* core_;
    KestrelPages* pages_;
};

using StepPage = wizard::StepPage<Page>;

} // namespace kestrel
