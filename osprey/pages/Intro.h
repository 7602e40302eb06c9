#pragma once
#include "osprey/pages/Page.h"
#include "wizard/WelcomePage.h"

#include <string>

namespace osprey {

// The first page; both editions run these procedures.
class WelcomePage : public wizard::WelcomePage<Page> {
  public:
    // `hideOnNext`: Next hides the page (the partner edition's stays behind the choice page).
    WelcomePage(Core& core, OspreyPages& pages, const std::string& name,
                wizard::WelcomeDesign design, bool hideOnNext);

    void Next_Click() override;

  protected:
    void Form_Load() override;

  private:
    bool hideOnNext_;
};

// The maker's edition.
class Intro : public WelcomePage {
  public:
    static constexpr const char* kName = "Intro";
    Intro(Core& core, OspreyPages& pages);

  protected:
    ui::Form& aboutBox() override;
};

} // namespace osprey
