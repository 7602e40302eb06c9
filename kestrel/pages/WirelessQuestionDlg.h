#pragma once
#include "kestrel/pages/Page.h"

namespace kestrel {

// Which wireless settings to change: ten boxes for the wireless settings page and one
// for the encryption and authentication pages.
class WirelessQuestionDlg : public Page {
  public:
    WirelessQuestionDlg(Core& core, KestrelPages& pages)
        : Page(core, pages, "WirelessQuestionDlg") {}

  protected:
    void Build() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    void Next_Click();
    void Prev_Click();
    void Cancel_Click();
};

} // namespace kestrel
