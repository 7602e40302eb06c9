#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

namespace kestrel {

// How the WEP keys are entered: ASCII phrases or hexadecimal keys.
class WEPDlg : public StepPage, public WEPDlgControls {
  public:
    static constexpr const char* kName = "WEPDlg";
    WEPDlg(Core& core, KestrelPages& pages) : StepPage(core, pages, kName), WEPDlgControls(this) {}

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    void Next_Click() override;
    void Prev_Click() override;
};

} // namespace kestrel
