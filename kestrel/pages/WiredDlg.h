#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

#include <string>

namespace kestrel {

// "Configure Network Settings": the adapter and how it gets its IP address.
class WiredDlg : public StepPage, public WiredDlgControls {
  public:
    static constexpr const char* kName = "WiredDlg";
    WiredDlg(Core& core, KestrelPages& pages)
        : StepPage(core, pages, kName), WiredDlgControls(this) {}

    ui::ControlRef Label5{*this, "Label5"}; // [0] BootP's, [1] DHCP's
    ui::ControlRef Label2{*this, "Label2"}; // the address fields' labels

    void SetDefaultState();
    bool ValidateStaticIP();
    bool ValidIPAddress(const std::string& text, const std::string& name);
    bool ValidSubMask(const std::string& text);

    void useAutoIP_Click();
    void useStaticIP_Click();
    void Next_Click() override;
    void Prev_Click() override;

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    void applyAddressPattern(bool staticAddress);
};

} // namespace kestrel
