#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

namespace kestrel {

// 802.1X: EAP type, user name and password.
class LEAPDlg : public StepPage, public LEAPDlgControls {
  public:
    static constexpr const char* kName = "LEAPDlg";
    LEAPDlg(Core& core, KestrelPages& pages)
        : StepPage(core, pages, kName), LEAPDlgControls(this) {}

    ui::ControlRef Label2{*this, "Label2"}; // UserName's
    ui::ControlRef Label3{*this, "Label3"}; // Password's
    ui::ControlRef ShowCheck{*this, "ShowCheck"};
    ui::ControlRef ConfirmLabel{*this, "ConfirmLabel"};
    ui::ControlRef ConfirmTxt{*this, "ConfirmTxt"};
    ui::ControlRef Timer1{*this, "Timer1"}; // after the EAP list dropped down

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    void SetAuthFieldsState();
    void Combo1_DropDown();
    void Timer1_Timer();
    void ShowCheck_Click();
    void Next_Click() override;
    void Prev_Click() override;
    void Cancel_Click() override;
};

} // namespace kestrel
