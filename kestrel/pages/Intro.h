#pragma once
#include "kestrel/pages/Page.h"

#include <string>

namespace kestrel {

// What tells the two welcome pages apart: design texts, the picture and the About box.
struct WelcomeDesign {
    std::string heading;
    std::string hint;
    std::string clickNext;
    std::string picture;
};

// The welcome page; both editions run these procedures.
class WelcomePage : public Page {
  public:
    WelcomePage(Core& core, KestrelPages& pages, const std::string& name, WelcomeDesign design)
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

class Intro : public WelcomePage {
  public:
    Intro(Core& core, KestrelPages& pages);

  protected:
    ui::Form& aboutBox() override;
};

} // namespace kestrel
