#pragma once
#include "platform/ui/Form.h"
#include "wizard/PageBase.h"

#include <string>
#include <utility>

namespace wizard {

// What tells the two editions' welcome pages apart: their texts and picture.
struct WelcomeDesign {
    std::string heading;
    std::string hint;
    std::string clickNext;
    std::string picture;
};

// The first page of a wizard: a heading, what the wizard does (`purpose`), a hint, the
// picture and the "About", "Exit" and "Next >" buttons. Exit asks whether to leave, the close
// box leaves (the page base's confirmExit and exitWizard); the wizard's page decides Next.
template <PageBase Base> class WelcomePage : public Base {
  public:
    template <class... PageArgs>
    WelcomePage(std::string purpose, WelcomeDesign design, PageArgs&&... pageArgs)
        : Base(std::forward<PageArgs>(pageArgs)...), purpose_(std::move(purpose)),
          design_(std::move(design)) {}

    ui::ControlRef About{*this, "About"};
    ui::ControlRef Exit{*this, "Exit"};
    ui::ControlRef Next{*this, "Next"};

    void About_Click() {
        // Each showing builds the box afresh, so its load handler runs every time.
        ui::Form& box = aboutBox();
        box.ShowModal();
        box.Unload();
    }
    void Exit_Click() { this->confirmExit(); }
    virtual void Next_Click() = 0;

  protected:
    void Build() override {
        this->setCaption("Welcome");
        this->label("Label1", design_.heading).asHeading();
        this->label("Label3", purpose_);
        this->label("Label4", design_.hint);
        this->label("Label2", design_.clickNext);
        this->image("Logo", design_.picture);
        this->line("Line1");
        this->line("Line2");
        this->button(About, "About").onClick = [this] { About_Click(); };
        this->button(Exit, "Exit").beside().setCancel(true).onClick = [this] { Exit_Click(); };
        this->button(Next, "Next >").beside().setDefault(true).onClick = [this] { Next_Click(); };
    }

    void Form_QueryUnload(int& /*cancel*/, int unloadMode) override {
        if (unloadMode == ui::kUnloadUser)
            this->exitWizard();
    }

    // The About box of this edition.
    virtual ui::Form& aboutBox() = 0;

  private:
    std::string purpose_;
    WelcomeDesign design_;
};

} // namespace wizard
