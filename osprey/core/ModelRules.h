#pragma once
#include "osprey/core/WizardState.h"
#include "platform/sys/Number.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace osprey {

class Core;
struct OperationControls;

// What the driver name tells of a printer. Every test on the name is a case-sensitive
// substring search.
struct ModelProfile {
    bool Supported = false;           // offered on the selection page
    std::int16_t PrinterWidth = 0;    // 4, 6 or 8 inches; 0 when no rule sets it
    std::int16_t ResolutionClass = 0; // 2 standard, 3 higher resolution
    bool DirectThermal = false;
    bool PartnerModel = false;
    bool ModelOption = false;
    bool operator==(const ModelProfile&) const = default;
};

// "Corvane V62" or "Corvane V61" in the name, with its last "R" or last "r" at (1-based)
// position 7 or later.
bool RRuleHolds(std::string_view driver);
// The supported models of the edition in use (the partner edition's while partnerModel).
bool isCorrectDriver(std::string_view driver, bool partnerModel);

// The rules of GetPrinterWidth and SetPrinterModelFlags on a profile. The width comes from
// the name alone (0, no limit, when it has no width code); the flags keep what no rule
// matches, and the width rules of the partner edition apply only when the printer chosen
// before was a partner model.
ModelProfile ApplyPrinterWidthRules(std::string_view driver, ModelProfile profile);
ModelProfile ApplyModelFlagRules(std::string_view driver, ModelProfile profile);

// The whole derivation as the selection page runs it: supported (judged with the partner
// flag as it stood), then the width rules, then the flag rules.
ModelProfile PrinterModelRules(std::string_view driver, const ModelProfile& before = {});

ModelProfile profileOf(const WizardState& ws);
// Writes width, class and the three flags (Supported has no place in the state).
void applyProfile(WizardState& ws, const ModelProfile& profile);

// The routines on the wizard's state.
std::int16_t GetPrinterWidth(WizardState& ws, std::string_view driver);
void SetPrinterModelFlags(WizardState& ws, std::string_view driver);
// Whether the current printer (made current by the caller) is a supported model; reads
// its spooler report and writes no state.
bool isCorrectPrinter(Core& core);

using sys::leadingNumber;

// Label width check on the values: the index of the width and length lists (-1: none).
struct LabelWidthCheck {
    bool ok = false;
    bool resetLists = false; // set the width list to entry 4 and the length list to entry 5
};
LabelWidthCheck CheckLabelWidthValues(int widthIndex, int lengthIndex,
                                      const std::vector<std::string>& LabelWidthKVT,
                                      std::int16_t printerWidth);
// The same on the media page's size lists; resets their current entries when the check
// says so.
bool CheckLabelWidth(WizardState& ws, OperationControls& operation);

} // namespace osprey
