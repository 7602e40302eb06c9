#pragma once
#include "osprey/pages/Page.h"

#include <string>

namespace osprey {

// The choice between the printer's own settings and its network interface (Kestrel).
class SelectDlg : public Page {
  public:
    SelectDlg(Core& core, OspreyPages& pages) : Page(core, pages, "SelectDlg") {}

    ui::ControlRef CfgNic{*this, "CfgNic"}; // run Kestrel
    ui::ControlRef CfgPrinter{*this, "CfgPrinter"};
    ui::ControlRef Prev{*this, "Prev"};
    ui::ControlRef Next{*this, "Next"};
    ui::ControlRef Cancel{*this, "Cancel"};

    void Next_Click();
    void Prev_Click();
    void Cancel_Click();
    // The driver installer offer when no supported printer is installed.
    void No_Driver_Found();
    // Starts Kestrel and waits for it; false when its file is missing (the wizard is
    // then leaving).
    bool RunKestrel();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    bool programFileExists(const std::string& path);
};

} // namespace osprey
