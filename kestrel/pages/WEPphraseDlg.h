#pragma once
#include "kestrel/pages/WEPkeyDlg.h"

namespace kestrel {

// WEP keys typed as ASCII phrases.
class WEPphraseDlg : public WepKeysPage {
  public:
    WEPphraseDlg(Core& core, KestrelPages& pages)
        : WepKeysPage(core, pages, "WEPphraseDlg", false) {}
};

} // namespace kestrel
