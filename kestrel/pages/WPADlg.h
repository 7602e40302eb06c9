#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

namespace kestrel {

// WPA mode, cipher and passphrase.
class WPADlg : public StepPage, public WPADlgControls {
  public:
    static constexpr const char* kName = "WPADlg";
    WPADlg(Core& core, KestrelPages& pages) : StepPage(core, pages, kName), WPADlgControls(this) {}

    ui::ControlRef Label2{*this, "Label2"}; // EncryptMethod's
    ui::ControlRef Label3{*this, "Label3"}; // PassPhrase's
    ui::ControlRef ShowCheck{*this, "ShowCheck"};
    ui::ControlRef ConfirmLabel{*this, "ConfirmLabel"};
    ui::ControlRef ConfirmTxt{*this, "ConfirmTxt"};
    ui::ControlRef Label4{*this, "Label4"}; // the passphrase rules
    ui::ControlRef Timer1{*this, "Timer1"}; // after the mode list dropped down

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    void Load_WPAMode();
    void Load_EncryptMethod();
    void UpdateWPAFields();
    void WPAMode_DropDown();
    void Timer1_Timer();
    void ShowCheck_Click();
    void Next_Click() override;
    void Prev_Click() override;
};

} // namespace kestrel
