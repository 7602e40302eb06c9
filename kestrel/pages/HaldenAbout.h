#pragma once
#include "kestrel/pages/frmAbout.h"

namespace kestrel {

// The partner edition's About box: the same controls and procedures, its own icon.
class HaldenAbout : public AboutBox {
  public:
    static constexpr const char* kName = "HaldenAbout";
    HaldenAbout(Core& core, KestrelPages& pages) : AboutBox(core, pages, kName, "halden-icon") {}
};

} // namespace kestrel
