#pragma once
#include "osprey/pages/Intro.h"

namespace osprey {

// The partner edition's welcome page: the same procedures, its own texts and About box;
// it stays shown behind the choice page.
class HaldenIntro : public WelcomePage {
  public:
    static constexpr const char* kName = "HaldenIntro";
    HaldenIntro(Core& core, OspreyPages& pages);

  protected:
    ui::Form& aboutBox() override;
};

} // namespace osprey
