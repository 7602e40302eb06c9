#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

namespace kestrel {

// "Printer Port Selection": the route of the job (local port, TCP/IP address or file).
class PortSelect : public StepPage, public PortSelectControls {
  public:
    static constexpr const char* kName = "PortSelect";
    PortSelect(Core& core, KestrelPages& pages)
        : StepPage(core, pages, kName), PortSelectControls(this) {}

    ui::ControlRef USB_ErrLbl{*this, "USB_ErrLbl"}; // shown when there is no USB port
    ui::ControlRef IPAddrLabel{*this, "IPAddrLabel"};
    ui::ControlRef FileLabel{*this, "FileLabel"};
    ui::ControlRef Browse{*this, "Browse"};
    ui::ControlRef FileDescLabel{*this, "FileDescLabel"};

    // Page procedures; the handlers below are wired to the controls in Build.
    void Load_Combo();
    void SetPortControls();
    bool ValidateIPAddress();
    bool ValidateFileName();
    bool HasNoBadChars(const std::string& name);

    void PortLPT_Click();
    void PortCOM_Click();
    void PortUSB_Click();
    void PortTCP_Click();
    void PortFile_Click();
    void IPAddr_KeyPress(int& keyAscii);
    void FileName_KeyPress(int& keyAscii);
    void Browse_Click();
    void Next_Click() override;
    void Prev_Click() override;

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    enum class Route { LPT, COM, USB, TCP, File };
    void applyRoute(Route route);
};

} // namespace kestrel
