#pragma once
#include "osprey/core/PageControls.h"
#include "osprey/pages/Page.h"

#include <string>
#include <vector>

namespace osprey {

// The lists of the printer setup page and the command lines beside them, as values.
namespace setup_lists {

// Highest print speed in inches per second for a printer width and resolution class.
int highestSpeed(int printerWidth, int resolutionClass);
// The speed list: "1 in/sec (25.4 mm/sec)" up to the highest speed.
std::vector<std::string> speedEntries(int highestSpeed);
// Index of the speed chosen when the page opens (4 in/s, or 6 with the model option).
int defaultSpeedIndex(bool modelOption);
// The sensing list (its index is the slot of the core's sensing table).
std::vector<std::string> gapEntries(bool modelOption);
// The emulation list (its index is the slot of the core's emulation table).
std::vector<std::string> emulationEntries(bool modelOption);

// Value label text of a shift: the scroll value in hundredths of an inch, shown in
// inches (unit 0) or millimetres (unit 1) with two decimals.
std::string shiftText(int scrollValue, int unitIndex);

} // namespace setup_lists

// "Printer Setup - Page 2": print speed, sensing, image shifts and emulation, each with
// its Ignore box (ticked = leave the setting as it is on the printer).
class PrinterSetup : public Page, public PrinterSetupControls {
  public:
    static constexpr const char* kName = "PrinterSetup";
    PrinterSetup(Core& core, OspreyPages& pages)
        : Page(core, pages, kName), PrinterSetupControls(static_cast<ui::Form&>(*this)) {}

    ui::ControlRef Label1{*this, "Label1"};
    ui::ControlRef Frame1{*this, "Frame1"};
    ui::ControlRef Image1{*this, "Image1"};
    ui::ControlRef HorzLabel{*this, "HorzLabel"}; // the horizontal shift's value
    ui::ControlRef HorzShiftUnit{*this, "HorzShiftUnit"};
    ui::ControlRef VertLabel{*this, "VertLabel"};
    ui::ControlRef VertShiftUnit{*this, "VertShiftUnit"};
    ui::ControlRef Frame2{*this, "Frame2"};
    ui::ControlRef Image2{*this, "Image2"};
    ui::ControlRef Frame3{*this, "Frame3"};
    ui::ControlRef Image3{*this, "Image3"};
    ui::ControlRef Prev{*this, "Prev"};
    ui::ControlRef Finish{*this, "Finish"};
    ui::ControlRef Cancel{*this, "Cancel"};

    void LoadSpeedCombo();
    void LoadGapCombo();
    void LoadHorzUnitCombo();
    void LoadVertUnitCombo();
    void LoadEmulationCombo();

    void PrintSpeedCB_Click();
    void GapCB_Click();
    void HorzCB_Click();
    void VertCB_Click();
    void EmulationCB_Click();
    void HorzShiftHScroll_Change();
    void VertShiftHScroll_Change();
    void HorzShiftUnit_Click();
    void VertShiftUnit_Click();
    void Finish_Click();
    void Prev_Click();
    void Cancel_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override {
        leaveKeepingWindow(cancel, unloadMode);
    }

  private:
    void showShift(const ui::ControlRef& scroll, const ui::ControlRef& unit,
                   const ui::ControlRef& label);
    bool AskSaveWizardSettings();
    void ShowSaveDialog();
};

} // namespace osprey
