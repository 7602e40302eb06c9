#pragma once
#include "osprey/core/WizardState.h"

#include <array>
#include <optional>
#include <string>

namespace osprey {

// ---- rows of the command tables (each filled slot is one line with its CR LF) ----

std::array<std::string, kMediaTypeSlots> mediaTypeCommands();
std::array<std::string, kOrientationSlots> orientationCommands();
// Slots follow the dispense list, which holds "Tear-off" only with the model option and
// "Rewind" only without it.
std::array<std::string, kDispenseSlots> dispenseCommands(bool modelOption);
std::array<std::string, kSpeedSlots> speedCommands();
std::array<std::string, kGapSlots> gapCommands();
// Slot 8 ("EQL", switch 0) only with the model option.
std::array<std::string, kEmulationSlots> emulationCommands(bool modelOption);
// "uqtswitch   .e  N   0x0" and CR LF.
std::string emulationSwitchLine(int number);

// Built-in label sizes, index = list index: five-digit values in 1/1000 inch.
extern const std::array<const char*, 7> kBuiltInLabelLengths;
extern const std::array<const char*, 7> kBuiltInLabelWidths;

// True for exactly five decimal digits: the only size value a job may carry.
bool isLabelSizeValue(const std::string& value);

// ---- the jobs ----

std::string loadCfgJob(int n);
std::string nullJob();
// Empty when the emulation slot holds no switch line (nothing may be sent then).
std::optional<std::string> emuJob(int n, const std::string& emulationSlot);
std::string calibrateJob();
std::string saveCfgJob(int n); // empty frame unless n > 0
std::string powerUpJob(int p); // empty frame unless p >= 0

// The nine Ignore boxes (0 = clear = send) and the controls the settings job reads.
struct SettingsChoice {
    int MediaTypeCB = 1, MediaTypeIndex = -1;
    int MediaSizeCB = 1, LabelLengthIndex = -1, LabelWidthIndex = -1;
    int OrientationCB = 1, OrientationIndex = -1;
    int DispenseCB = 1, DispenseIndex = -1;
    int PrintSpeedCB = 1, PrintSpeedIndex = -1;
    int GapCB = 1, GapIndex = -1;
    int HorzCB = 1, HorzShift = 0; // scroll values in 1/100 inch
    int VertCB = 1, VertShift = 0;
};

struct SettingsJob {
    std::string text;  // empty: nothing to send
    bool ok = true;    // false: a setting to be sent has no valid table entry; send nothing
    std::string fault; // names the setting when !ok
};

// The settings job: frame of the A lines (media type, size, dispense, shifts), then the
// paper lines (orientation, speed, sensing) between the WINMODE frames.
SettingsJob settingsJob(const SettingsChoice& choice, const WizardState& tables);

// ---- the settings-changed test ----

struct ChangedFlags {
    bool settings = false;
    bool media = false;
};

// Boxes in the order MediaTypeCB, MediaSizeCB, OrientationCB, DispenseCB, PrintSpeedCB,
// GapCB, HorzCB, VertCB, EmulationCB. Only 0 counts as clear.
ChangedFlags changedFromBoxes(const std::array<int, 9>& boxes);

} // namespace osprey
