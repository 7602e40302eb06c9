#pragma once
#include "osprey/pages/frmAbout.h"

namespace osprey {

// The partner edition's About box: the same procedures, its own icon and no colon after
// "Version".
class HaldenAbout : public AboutBox {
  public:
    static constexpr const char* kName = "HaldenAbout";
    HaldenAbout(Core& core, OspreyPages& pages)
        : AboutBox(core, pages, kName, "halden-icon", "Version ") {}
};

} // namespace osprey
