#pragma once
#include "kestrel/pages/Page.h"

namespace kestrel {

// 802.1X: EAP type, user name and password.
class LEAPDlg : public Page {
  public:
    LEAPDlg(Core& core, KestrelPages& pages) : Page(core, pages, "LEAPDlg") {}

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    void SetAuthFieldsState();
    void Combo1_DropDown();
    void Timer1_Timer();
    void ShowCheck_Click();
    void Next_Click();
    void Prev_Click();
    void Cancel_Click();
};

} // namespace kestrel
