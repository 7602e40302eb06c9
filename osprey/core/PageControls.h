#pragma once
#include "platform/ui/Form.h"

namespace osprey {

// The controls of the two settings pages that the core reads and restores (the settings
// job, the settings file, the changed test). Each page derives from its struct and declares
// its other controls itself. A box named ...CB is the row's "Ignore" box: ticked (1) leaves
// that setting on the printer as it is.

// "Printer Setup - Page 1", the media page.
struct OperationControls {
    explicit OperationControls(ui::Form& f) : form(f) {}
    ui::Form& form;
    ui::ControlRef MediaTypeCB{form, "MediaTypeCB"};
    ui::ControlRef MediaTypeCombo{form, "MediaTypeCombo"};
    // Ignores the label length and width together.
    ui::ControlRef MediaSizeCB{form, "MediaSizeCB"};
    // The size lists: the built-in sizes up to orgLabelLength / orgLabelWidth, then the
    // custom sizes the user added.
    ui::ControlRef LabelLengthCombo{form, "LabelLengthCombo"};
    ui::ControlRef LabelWidthCombo{form, "LabelWidthCombo"};
    ui::ControlRef OrientationCB{form, "OrientationCB"};
    ui::ControlRef OrientationCombo{form, "OrientationCombo"};
    ui::ControlRef DispenseCB{form, "DispenseCB"}; // the media handling row
    ui::ControlRef DispenseCombo{form, "DispenseCombo"};
};

// "Printer Setup - Page 2".
struct PrinterSetupControls {
    explicit PrinterSetupControls(ui::Form& f) : form(f) {}
    ui::Form& form;
    ui::ControlRef PrintSpeedCB{form, "PrintSpeedCB"};
    ui::ControlRef PrintSpeedCombo{form, "PrintSpeedCombo"};
    ui::ControlRef GapCB{form, "GapCB"}; // the sensing row
    ui::ControlRef GapCombo{form, "GapCombo"};
    // The image shifts in hundredths of an inch.
    ui::ControlRef HorzCB{form, "HorzCB"};
    ui::ControlRef HorzShiftHScroll{form, "HorzShiftHScroll"};
    ui::ControlRef VertCB{form, "VertCB"};
    ui::ControlRef VertShiftHScroll{form, "VertShiftHScroll"};
    // Clear: the run saves the configuration and loads it with the new emulation.
    ui::ControlRef EmulationCB{form, "EmulationCB"};
    // Its index is the slot of the core's emulation table.
    ui::ControlRef EmulationCombo{form, "EmulationCombo"};
};

} // namespace osprey
