#pragma once
#include "kestrel/pages/WEPkeyDlg.h"

namespace kestrel {

// WEP keys typed as ASCII phrases.
class WEPphraseDlg : public WepKeysPage<WepKeysControls> {
  public:
    WEPphraseDlg(Core& core, KestrelPages& pages) : WepKeysPage(core, pages, "WEPphraseDlg") {}
};

} // namespace kestrel
