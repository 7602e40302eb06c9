#include "osprey/pages/PrinterSetup.h"

#include "osprey/core/Commands.h"
#include "osprey/core/Core.h"
#include "osprey/pages/FinishDialog.h"
#include "osprey/pages/Operation.h"
#include "osprey/pages/Pages.h"

#include <cmath>
#include <cstdlib>

namespace osprey {

namespace setup_lists {

int highestSpeed(int printerWidth, int resolutionClass) {
    if (printerWidth == 8 && resolutionClass == 3)
        return 6;
    if ((printerWidth == 6 && resolutionClass == 3) || (printerWidth == 8 && resolutionClass == 2))
        return 8;
    return 10;
}

std::vector<std::string> speedEntries(int highest) {
    static const char* const kEntries[] = {
        "1 in/sec (25.4 mm/sec)",  "2 in/sec (50.8 mm/sec)",  "3 in/sec (76.2 mm/sec)",
        "4 in/sec (101.6 mm/sec)", "5 in/sec (127 mm/sec)",   "6 in/sec (152.4 mm/sec)",
        "7 in/sec (177.8 mm/sec)", "8 in/sec (203.2 mm/sec)", "9 in/sec (228.6 mm/sec)",
        "10 in/sec (254 mm/sec)",
    };
    // Six speeds always; 7 and 8 above 6 in/s; 9 and 10 above 8 in/s.
    int count = highest > 8 ? 10 : highest > 6 ? 8 : 6;
    return {kEntries, kEntries + count};
}

int defaultSpeedIndex(bool modelOption) {
    return modelOption ? 5 : 3;
}

std::vector<std::string> gapEntries(bool modelOption) {
    std::vector<std::string> entries{modelOption ? "Disable" : "None (Continuous Media)", "Gap",
                                     "Mark"};
    if (modelOption) {
        entries.push_back("Advanced Gap");
        entries.push_back("Advanced Notch");
    }
    return entries;
}

std::vector<std::string> emulationEntries(bool modelOption) {
    std::vector<std::string> entries{"JQL", "YQL", "KQL", "NQL", "WXQL", "RQL", "BMQL", "HQL"};
    if (modelOption)
        entries.push_back("EQL");
    return entries;
}

std::string shiftText(int scrollValue, int unitIndex) {
    double v = scrollValue / 100.0;
    if (unitIndex == 1)
        v *= 25.4;
    // Work in hundredths so a value that rounds to zero never shows as "-0.00".
    long long hundredths = std::llround(v * 100.0);
    std::string sign = hundredths < 0 ? "-" : "";
    long long magnitude = std::llabs(hundredths);
    std::string cents = std::to_string(magnitude % 100);
    if (cents.size() < 2)
        cents.insert(0, "0");
    return sign + std::to_string(magnitude / 100) + "." + cents;
}

} // namespace setup_lists

void PrinterSetup::Build() {
    setCaption("Printer Setup - Page 2");
    label(Label1, "Printer Setup - Page 2").asHeading();
    label("Label6", kIgnoreNote);
    label("Label5", "Ignore").in(Frame1); // the header of the boxes' column

    // Each "Ignore" box is named after the setting on its row. The value texts are as wide
    // as the widest value, so moving a slider moves nothing else; the lists, filled as the
    // page loads, are declared wide enough for their entries.
    frame(Frame1, "         Media Setup");
    image(Image1, "media-setup.png").in(Frame1).onFrameCaption();
    checkBox(PrintSpeedCB, "").in(Frame1).setAccessibleName("Ignore Print Speed");
    label("Label2", "Print Speed:").in(Frame1).beside();
    combo(PrintSpeedCombo, ui::ComboStyle::DropDownList, {}).in(Frame1).beside().charsWide(28);
    checkBox(HorzCB, "").in(Frame1).setAccessibleName("Ignore Horizontal Image Shift");
    label("Label3", "Horizontal Image Shift:").in(Frame1).beside();
    scrollBar(HorzShiftHScroll, -100, 100).in(Frame1).beside();
    label(HorzLabel, "").in(Frame1).beside().charsWide(7);
    combo(HorzShiftUnit, ui::ComboStyle::DropDownList, {})
        .in(Frame1)
        .beside()
        .setAccessibleName("Horizontal Image Shift Unit");
    checkBox(VertCB, "").in(Frame1).setAccessibleName("Ignore Vertical Image Shift");
    label("Label4", "Vertical Image Shift:").in(Frame1).beside();
    scrollBar(VertShiftHScroll, -100, 1280).in(Frame1).beside();
    label(VertLabel, "").in(Frame1).beside().charsWide(7);
    combo(VertShiftUnit, ui::ComboStyle::DropDownList, {})
        .in(Frame1)
        .beside()
        .setAccessibleName("Vertical Image Shift Unit");

    frame(Frame2, "         Sensor Setup");
    image(Image2, "sensor-setup.png").in(Frame2).onFrameCaption();
    checkBox(GapCB, "").in(Frame2).setAccessibleName("Ignore Gap Sensor Type");
    label("Label7", "*Gap Sensor Type:").in(Frame2).beside();
    combo(GapCombo, ui::ComboStyle::DropDownList, {}).in(Frame2).beside().charsWide(28);

    frame(Frame3, "         Emulation Setup");
    image(Image3, "emulation-setup.png").in(Frame3).onFrameCaption();
    checkBox(EmulationCB, "").in(Frame3).setAccessibleName("Ignore Active Emulation");
    label("Label8", "Active Emulation:").in(Frame3).beside();
    combo(EmulationCombo, ui::ComboStyle::DropDownList, {}).in(Frame3).beside();

    button(Prev, "< Back").asBack();
    button(Finish, "Next >").beside().setDefault(true);
    button(Cancel, "Cancel").beside().setCancel(true);

    // Every setting starts ignored, its controls disabled; handlers are wired after, so
    // these starting values run no rule.
    startIgnored({PrintSpeedCB, GapCB, HorzCB, VertCB, EmulationCB},
                 {PrintSpeedCombo, GapCombo, HorzShiftHScroll, HorzLabel, HorzShiftUnit,
                  VertShiftHScroll, VertLabel, VertShiftUnit, EmulationCombo});

    PrintSpeedCB->onClick = [this] { PrintSpeedCB_Click(); };
    GapCB->onClick = [this] { GapCB_Click(); };
    HorzCB->onClick = [this] { HorzCB_Click(); };
    VertCB->onClick = [this] { VertCB_Click(); };
    EmulationCB->onClick = [this] { EmulationCB_Click(); };
    HorzShiftHScroll->onChange = [this] { HorzShiftHScroll_Change(); };
    VertShiftHScroll->onChange = [this] { VertShiftHScroll_Change(); };
    HorzShiftUnit->onClick = [this] { HorzShiftUnit_Click(); };
    VertShiftUnit->onClick = [this] { VertShiftUnit_Click(); };
    Finish->onClick = [this] { Finish_Click(); };
    Prev->onClick = [this] { Prev_Click(); };
    Cancel->onClick = [this] { Cancel_Click(); };
}

void PrinterSetup::Form_Load() {
    auto& ws = core().ws;
    // Loading fires the list rules; the page's arrival must not count as a change.
    bool settingsChanged = ws.SettingsChanged;
    LoadSpeedCombo();
    LoadGapCombo();
    LoadHorzUnitCombo();
    LoadVertUnitCombo();
    LoadEmulationCombo();
    ws.SettingsChanged = settingsChanged;
    if (ws.RequestSent)
        Cancel->setCaption("Exit");
    if (ws.ModelOption) {
        Label1->setCaption("Quick Setup - Page 2");
        for (const ui::ControlRef& image : {Image1, Image2, Image3})
            image->setVisible(false);
        Frame1->setCaption("Media Control");
        Frame2->setCaption("Calibrate Control");
        Frame3->setCaption("Emulation Setup");
    }
}

void PrinterSetup::LoadSpeedCombo() {
    auto& ws = core().ws;
    PrintSpeedCombo->setItems(
        setup_lists::speedEntries(setup_lists::highestSpeed(ws.PrinterWidth, ws.ResolutionClass)));
    PrintSpeedCombo->setListIndex(setup_lists::defaultSpeedIndex(ws.ModelOption));
    // All ten speeds are stored, whatever the list offers.
    ws.SpeedCmds = speedCommands();
}

void PrinterSetup::LoadGapCombo() {
    auto& ws = core().ws;
    GapCombo->setItems(setup_lists::gapEntries(ws.ModelOption));
    GapCombo->setListIndex(1);
    if (ws.ModelOption) {
        // On these models the sensing is sent unless the user ticks the box.
        GapCB->setValue(0);
        GapCombo->setEnabled(true);
        GapCombo->setListIndex(3);
    }
    // All five sensings are stored, whether or not the advanced entries are listed.
    ws.GapCmds = gapCommands();
}

void PrinterSetup::LoadHorzUnitCombo() {
    HorzShiftUnit->setItems({"inch", "mm"});
    HorzShiftUnit->setListIndex(0);
}

void PrinterSetup::LoadVertUnitCombo() {
    VertShiftUnit->setItems({"inch", "mm"});
    VertShiftUnit->setListIndex(0);
}

void PrinterSetup::LoadEmulationCombo() {
    auto& ws = core().ws;
    EmulationCombo->setItems(setup_lists::emulationEntries(ws.ModelOption));
    EmulationCombo->setListIndex(0);
    ws.EmulationCmds = emulationCommands(ws.ModelOption);
}

void PrinterSetup::PrintSpeedCB_Click() {
    applyIgnoreBox(PrintSpeedCB, {PrintSpeedCombo});
}

void PrinterSetup::GapCB_Click() {
    applyIgnoreBox(GapCB, {GapCombo});
}

void PrinterSetup::HorzCB_Click() {
    applyIgnoreBox(HorzCB, {HorzShiftHScroll, HorzLabel, HorzShiftUnit});
}

void PrinterSetup::VertCB_Click() {
    applyIgnoreBox(VertCB, {VertShiftHScroll, VertLabel, VertShiftUnit});
}

void PrinterSetup::EmulationCB_Click() {
    int value = EmulationCB->value();
    if (value == 1) {
        EmulationCombo->setEnabled(false);
        // No emulation change: nothing needs saving into a slot or loading at power-up.
        auto& finish = pages().get<FinishDialog>();
        finish.SaveCfgCB->setValue(1);
        finish.SetPwrUpCB->setValue(1);
    } else if (value == 0) {
        EmulationCombo->setEnabled(true);
        core().ws.ExitAsked = false;
    }
}

void PrinterSetup::showShift(const ui::ControlRef& scroll, const ui::ControlRef& unit,
                             const ui::ControlRef& label) {
    const std::string shown = setup_lists::shiftText(scroll->value(), unit->listIndex());
    label->setCaption(shown);
    // A screen reader reads the slider as the page shows it, in the unit chosen beside it.
    const bool mm = unit->listIndex() == 1;
    scroll->setValueText(shown + " " + (mm ? "mm" : "inch"), mm ? 0.254 : 0.01);
}

void PrinterSetup::HorzShiftHScroll_Change() {
    showShift(HorzShiftHScroll, HorzShiftUnit, HorzLabel);
}

void PrinterSetup::VertShiftHScroll_Change() {
    showShift(VertShiftHScroll, VertShiftUnit, VertLabel);
}

void PrinterSetup::HorzShiftUnit_Click() {
    HorzShiftHScroll_Change();
    core().ws.ExitAsked = false;
}

void PrinterSetup::VertShiftUnit_Click() {
    VertShiftHScroll_Change();
    core().ws.ExitAsked = false;
}

bool PrinterSetup::AskSaveWizardSettings() {
    auto& ws = core().ws;
    ws.SettingsChanged = false;
    ws.ExitAsked = true;
    int answer = core().MsgBox("Would you like to save the changes you made in the wizard\r\n"
                               "so you can use it the next time you run this wizard?",
                               ui::mb::YesNo | ui::mb::Question, "Save Wizard Settings");
    if (answer != ui::mb::Yes)
        return false;
    ShowSaveDialog();
    return true;
}

void PrinterSetup::ShowSaveDialog() {
    pages().setDialogMode(1);
    pages().form("Dialog").Show();
}

void PrinterSetup::Finish_Click() {
    core().CheckSettingsChanged();
    if (!core().ws.SettingsChanged) {
        core().ShowNotice(
            "No settings selected. Please select a setting to change or press cancel to exit");
        PrintSpeedCB->setFocus(); // the first "Ignore" box
        return;
    }
    if (AskSaveWizardSettings())
        return; // the save dialog's OK goes on to the finish page
    Hide();
    auto& finish = pages().get<FinishDialog>();
    finish.Show();
    finish.SetComboBoxes();
}

void PrinterSetup::Prev_Click() {
    pages().get<Operation>().Show();
    Hide();
}

void PrinterSetup::Cancel_Click() {
    core().ConfirmExit(*this);
}

} // namespace osprey
