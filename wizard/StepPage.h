#pragma once
#include "platform/ui/Form.h"
#include "wizard/PageBase.h"

namespace wizard {

// A step of a wizard: a page that ends in the "< Back", "Next >" and "Cancel" row. The
// wizard's page base gives confirmExit() (asks whether to leave) and exitWizard().
template <PageBase Base> class StepPage : public Base {
  public:
    using Base::Base;

    ui::ControlRef Prev{*this, "Prev"};
    ui::ControlRef Next{*this, "Next"};
    ui::ControlRef Cancel{*this, "Cancel"};

    virtual void Prev_Click() = 0;
    virtual void Next_Click() = 0;
    virtual void Cancel_Click() { this->confirmExit(); }

  protected:
    // Builds the row; Enter is Next, Escape Cancel (on every page alike, as the README
    // declares).
    void navigationRow() {
        this->button(Prev, "< Back").asBack().onClick = [this] { Prev_Click(); };
        this->button(Next, "Next >").beside().setDefault(true).onClick = [this] { Next_Click(); };
        this->button(Cancel, "Cancel").beside().setCancel(true).onClick = [this] {
            Cancel_Click();
        };
    }

    // The close box leaves the wizard.
    void Form_QueryUnload(int& /*cancel*/, int unloadMode) override {
        if (unloadMode == ui::kUnloadUser)
            this->exitWizard();
    }
};

} // namespace wizard
