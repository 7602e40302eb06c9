#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

#include <string>

namespace kestrel {

// Settings of the wireless adapter; only the rows ticked on the wireless question page
// are enabled.
class WirelessDlg : public StepPage, public WirelessDlgControls {
  public:
    static constexpr const char* kName = "WirelessDlg";
    WirelessDlg(Core& core, KestrelPages& pages)
        : StepPage(core, pages, kName), WirelessDlgControls(this) {}

    ui::ControlRef Label2{*this, "Label2"}; // [i]: row i's label
    ui::ControlRef Check1{*this, "Check1"}; // Reset SSID
    ui::ControlRef Timer1{*this, "Timer1"}; // after the country list dropped down
    // The rows' help buttons.
    ui::ControlRef HelpSSID{*this, "HelpSSID"};
    ui::ControlRef HelpOpMode{*this, "HelpOpMode"};
    ui::ControlRef HelpSpeed{*this, "HelpSpeed"};
    ui::ControlRef HelpChannel{*this, "HelpChannel"};
    ui::ControlRef HelpAntenna{*this, "HelpAntenna"};
    ui::ControlRef HelpPreamble{*this, "HelpPreamble"};
    ui::ControlRef HelpTxPwr{*this, "HelpTxPwr"};
    ui::ControlRef HelpPower{*this, "HelpPower"};
    ui::ControlRef HelpDevices{*this, "HelpDevices"};
    ui::ControlRef HelpCountry{*this, "HelpCountry"};

    // Enables exactly the rows whose boxes are ticked on the wireless question page.
    void SetDefaultState();

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    void CheckCountryChange();
    void Check1_Click();
    void CountryCode_DropDown();
    void Timer1_Timer();
    void Next_Click() override;
    void Prev_Click() override;

    // The country list's text when it last dropped down.
    std::string CountryAtDropDown;
};

} // namespace kestrel
