#pragma once
#include "kestrel/pages/Page.h"

namespace kestrel {

// WPA mode, cipher and passphrase.
class WPADlg : public Page {
  public:
    WPADlg(Core& core, KestrelPages& pages) : Page(core, pages, "WPADlg") {}

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    void Load_WPAMode();
    void Load_EncryptMethod();
    void UpdateWPAFields();
    void WPAMode_DropDown();
    void Timer1_Timer();
    void ShowCheck_Click();
    void Next_Click();
    void Prev_Click();
    void Cancel_Click();
};

} // namespace kestrel
