#pragma once
#include "kestrel/pages/WEPkeyDlg.h"

namespace kestrel {

// WEP keys typed as ASCII phrases.
class WEPphraseDlg : public WepKeysPageOf<WepKeysControls> {
  public:
    static constexpr const char* kName = "WEPphraseDlg";
    WEPphraseDlg(Core& core, KestrelPages& pages) : WepKeysPageOf(core, pages, kName) {}
};

} // namespace kestrel
