#pragma once
#include "kestrel/pages/Intro.h"

namespace kestrel {

// The partner edition's welcome page: the same procedures, its own texts and About box.
class HaldenIntro : public WelcomePage {
  public:
    static constexpr const char* kName = "HaldenIntro";
    HaldenIntro(Core& core, KestrelPages& pages);

  protected:
    ui::Form& aboutBox() override;
};

} // namespace kestrel
