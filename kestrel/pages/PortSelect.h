#pragma once
#include "kestrel/pages/Page.h"

namespace kestrel {

// "Printer Port Selection": the route of the job (local port, TCP/IP address or file).
class PortSelect : public Page {
  public:
    PortSelect(Core& core, KestrelPages& pages) : Page(core, pages, "PortSelect") {}

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
    void Next_Click();
    void Prev_Click();
    void Cancel_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    enum class Route { LPT, COM, USB, TCP, File };
    void applyRoute(Route route);
};

} // namespace kestrel
