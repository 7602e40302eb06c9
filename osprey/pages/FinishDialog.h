#pragma once
#include "osprey/pages/Page.h"

#include <string>
#include <vector>

namespace osprey {

// "Send Wizard Settings": names the printer, offers to store the configuration in a slot
// and to choose the power-up configuration, checks the choices and starts the run.
class FinishDialog : public Page {
  public:
    static constexpr const char* kName = "FinishDialog";
    FinishDialog(Core& core, OspreyPages& pages) : Page(core, pages, kName) {}

    ui::ControlRef SelectedPrinterName{*this, "SelectedPrinterName"};
    // Ignore boxes: clear stores the settings in the chosen slot / makes the chosen
    // configuration the power-up one.
    ui::ControlRef SaveCfgCB{*this, "SaveCfgCB"};
    ui::ControlRef SaveCombo{*this, "SaveCombo"};
    ui::ControlRef SetPwrUpCB{*this, "SetPwrUpCB"};
    ui::ControlRef PowerUpCombo{*this, "PowerUpCombo"};
    ui::ControlRef Back{*this, "Back"};
    ui::ControlRef OKButton{*this, "OKButton"};
    ui::ControlRef CancelButton{*this, "CancelButton"};

    // "Configuration 1" to "Configuration 8".
    static std::vector<std::string> saveEntries();
    // "Factory", then "Configuration 1" to "Configuration 8".
    static std::vector<std::string> powerUpEntries();

    // With the emulation to be changed: both operations on, the saved slot also the
    // power-up configuration. Otherwise nothing changes.
    void SetComboBoxes();

    void SaveCfgCB_Click();
    void SetPwrUpCB_Click();
    void OKButton_Click();
    void Back_Click();
    void CancelButton_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    bool emulationToChange();
    bool ConfirmCalibration();
    bool ConfirmCfgOverwrite();
    void ReportAborted();
    void abortToSetup();
};

} // namespace osprey
