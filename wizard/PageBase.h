#pragma once
#include "platform/ui/Form.h"

#include <concepts>
#include <string>

namespace wizard {

// What the page templates here ask of a wizard's page base: a form that asks whether to leave
// the wizard (Cancel, Exit), leaves it (the close box), shows a notice and names the
// program's folder (where the save/load dialog's browser opens).
template <class P>
concept PageBase = std::derived_from<P, ui::Form> &&
    requires(P& page, const P& constPage, const std::string& text) {
    page.confirmExit();
    page.exitWizard();
    page.showNotice(text);
    { constPage.programFolder() } -> std::convertible_to<std::string>;
};

// A wizard's page base on its core and its page set; the core gives what the templates ask,
// but confirmExit, whose question differs between the wizards. The members need the complete
// Core and Pages: the wizard instantiates them once (an extern template beside its page base).
template <class Core, class Pages> class CorePage : public ui::Form {
  public:
    CorePage(Core& core, Pages& pages, const std::string& name);

    void exitWizard();
    void showNotice(const std::string& text);
    std::string programFolder() const;

  protected:
    Core& core() const { return *core_; }
    Pages& pages() const { return *pages_; }

  private:
    Core* core_;
    Pages* pages_;
};

template <class Core, class Pages>
CorePage<Core, Pages>::CorePage(Core& core, Pages& pages, const std::string& name)
    : ui::Form(pages.app(), name), core_(&core), pages_(&pages) {}

template <class Core, class Pages> void CorePage<Core, Pages>::exitWizard() {
    core_->ExitWizard();
}

template <class Core, class Pages> void CorePage<Core, Pages>::showNotice(const std::string& text) {
    core_->ShowNotice(text);
}

template <class Core, class Pages> std::string CorePage<Core, Pages>::programFolder() const {
    return core_->sys().programFolder();
}

} // namespace wizard
