#pragma once
#include "osprey/pages/Page.h"

#include <string>

namespace osprey {

// What tells the two welcome pages apart: their texts, picture and About box, and whether
// Next hides the page.
struct WelcomeDesign {
    std::string heading;
    std::string hint;
    std::string clickNext;
    std::string picture;
    bool hideOnNext = true;
};

// The first page; both editions run these procedures.
class WelcomePage : public Page {
  public:
    WelcomePage(Core& core, OspreyPages& pages, const std::string& name, WelcomeDesign design)
        : Page(core, pages, name), design_(std::move(design)) {}

    ui::ControlRef About{*this, "About"};
    ui::ControlRef Exit{*this, "Exit"};
    ui::ControlRef Next{*this, "Next"};

    void About_Click();
    void Exit_Click();
    void Next_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

    // The About box of this edition.
    virtual ui::Form& aboutBox() = 0;

  private:
    WelcomeDesign design_;
};

// The maker's edition.
class Intro : public WelcomePage {
  public:
    Intro(Core& core, OspreyPages& pages);

  protected:
    ui::Form& aboutBox() override;
};

} // namespace osprey
