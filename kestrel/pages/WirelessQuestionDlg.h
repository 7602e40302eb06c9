#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

namespace kestrel {

// Which wireless settings to change: ten boxes for the wireless settings page and one
// for the encryption and authentication pages.
class WirelessQuestionDlg : public StepPage, public WirelessQuestionDlgControls {
  public:
    static constexpr const char* kName = "WirelessQuestionDlg";
    WirelessQuestionDlg(Core& core, KestrelPages& pages)
        : StepPage(core, pages, kName), WirelessQuestionDlgControls(this) {}

  protected:
    void Build() override;

  private:
    void Next_Click() override;
    void Prev_Click() override;
};

} // namespace kestrel
