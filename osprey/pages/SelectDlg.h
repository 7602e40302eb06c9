#pragma once
#include "osprey/pages/Page.h"

#include <string>

namespace osprey {

// The choice between the printer's own settings and its network interface (Kestrel).
class SelectDlg : public StepPage {
  public:
    static constexpr const char* kName = "SelectDlg";
    SelectDlg(Core& core, OspreyPages& pages) : StepPage(core, pages, kName) {}

    ui::ControlRef CfgNic{*this, "CfgNic"}; // run Kestrel
    ui::ControlRef CfgPrinter{*this, "CfgPrinter"};

    void Next_Click() override;
    void Prev_Click() override;
    // The driver installer offer when no supported printer is installed.
    void No_Driver_Found();
    // Starts Kestrel and waits for it; false when its file is missing (the wizard is
    // then leaving).
    bool RunKestrel();

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    bool programFileExists(const std::string& path);
};

} // namespace osprey
