#pragma once
#include "kestrel/pages/WEPkeyDlg.h"

namespace kestrel {

// WEP keys typed as ASCII phrases.
class WEPphraseDlg : public WepKeysPageOf<WepKeysControls> {
  public:
    WEPphraseDlg(Core& core, KestrelPages& pages) : WepKeysPageOf(core, pages, "WEPphraseDlg") {}
};

} // namespace kestrel
