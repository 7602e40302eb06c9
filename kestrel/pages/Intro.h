#pragma once
#include "kestrel/pages/Page.h"
#include "wizard/WelcomePage.h"

#include <string>

namespace kestrel {

// The welcome page; both editions run these procedures.
class WelcomePage : public wizard::WelcomePage<Page> {
  public:
    WelcomePage(Core& core, KestrelPages& pages, const std::string& name,
                wizard::WelcomeDesign design);

    void Next_Click() override;

  protected:
    void Form_Load() override;
};

class Intro : public WelcomePage {
  public:
    static constexpr const char* kName = "Intro";
    Intro(Core& core, KestrelPages& pages);

  protected:
    ui::Form& aboutBox() override;
};

} // namespace kestrel
