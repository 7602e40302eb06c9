#include "osprey/core/ModelRules.h"

#include "osprey/core/Core.h"

#include <span>

namespace osprey {

namespace {

bool has(std::string_view name, std::string_view part) {
    return name.find(part) != std::string_view::npos;
}

bool hasAny(std::string_view name, std::initializer_list<std::string_view> parts) {
    for (auto p : parts)
        if (has(name, p))
            return true;
    return false;
}

// 1-based position of the last occurrence of c, 0 when absent.
std::size_t lastPosition(std::string_view name, char c) {
    std::size_t i = name.rfind(c);
    return i == std::string_view::npos ? 0 : i + 1;
}

// The rules below are tried in order; a later match overrides an earlier one.

struct WidthRule {
    std::string_view part;
    std::int16_t width;
};
constexpr WidthRule kPartnerWidths[] = {{"K55", 4}, {"004", 4}, {"006", 6}, {"008", 8}};
constexpr WidthRule kCorvaneWidths[] = {
    {"QR7A", 4}, {"V7A", 4}, {"VXX", 4}, {"Vxx", 4}, {"QRXX", 4},
    {"QRxx", 4}, {"04", 4},  {"06", 6},  {"08", 8},
};

// The width the last matching rule gives; 0 when none matches.
std::int16_t widthOf(std::string_view driver, std::span<const WidthRule> rules) {
    std::int16_t width = 0;
    for (const auto& r : rules)
        if (has(driver, r.part))
            width = r.width;
    return width;
}

struct FlagRule {
    std::string_view part; // empty: the R rule
    bool partner;
    bool option;
};
constexpr FlagRule kFlagRules[] = {
    {"RZ90-00", true, true},       {"RZ90-K55", true, false},
    {"RZ90K55", true, false},      {"", false, true},
    {"Corvane QR62", false, true}, {"Corvane QR61", false, true},
    {"Corvane V7A", false, false}, {"Corvane QR7A", false, false},
};

bool matches(std::string_view driver, const FlagRule& rule) {
    return rule.part.empty() ? RRuleHolds(driver) : has(driver, rule.part);
}

} // namespace

bool RRuleHolds(std::string_view driver) {
    if (!hasAny(driver, {"Corvane V62", "Corvane V61"}))
        return false;
    return lastPosition(driver, 'R') >= 7 || lastPosition(driver, 'r') >= 7;
}

// The models each flag rule names are the supported ones.
bool isCorrectDriver(std::string_view driver, bool partnerModel) {
    for (const auto& r : kFlagRules)
        if (r.partner == partnerModel && matches(driver, r))
            return true;
    return false;
}

ModelProfile ApplyPrinterWidthRules(std::string_view driver, ModelProfile p) {
    // The width is this printer's alone: one chosen before must not limit its label sizes.
    p.PrinterWidth = 0;
    p.ResolutionClass = 2;
    p.DirectThermal = false;
    if (p.PartnerModel) {
        if (has(driver, "RZ90")) {
            p.PrinterWidth = widthOf(driver, kPartnerWidths);
            if (hasAny(driver, {"300", "305"}))
                p.ResolutionClass = 3;
        }
    } else if (has(driver, "Corvane")) {
        p.DirectThermal = has(driver, "DT");
        p.PrinterWidth = widthOf(driver, kCorvaneWidths);
        if (has(driver, "62"))
            p.ResolutionClass = 3;
    }
    return p;
}

ModelProfile ApplyModelFlagRules(std::string_view driver, ModelProfile p) {
    for (const auto& r : kFlagRules)
        if (matches(driver, r)) {
            p.PartnerModel = r.partner;
            p.ModelOption = r.option;
        }
    return p;
}

ModelProfile PrinterModelRules(std::string_view driver, const ModelProfile& before) {
    ModelProfile p = before;
    p.Supported = isCorrectDriver(driver, before.PartnerModel);
    p = ApplyPrinterWidthRules(driver, p);
    return ApplyModelFlagRules(driver, p);
}

ModelProfile profileOf(const WizardState& ws) {
    ModelProfile p;
    p.PrinterWidth = ws.PrinterWidth;
    p.ResolutionClass = ws.ResolutionClass;
    p.DirectThermal = ws.DirectThermal;
    p.PartnerModel = ws.PartnerModel;
    p.ModelOption = ws.ModelOption;
    return p;
}

void applyProfile(WizardState& ws, const ModelProfile& p) {
    ws.PrinterWidth = p.PrinterWidth;
    ws.ResolutionClass = p.ResolutionClass;
    ws.DirectThermal = p.DirectThermal;
    ws.PartnerModel = p.PartnerModel;
    ws.ModelOption = p.ModelOption;
}

std::int16_t GetPrinterWidth(WizardState& ws, std::string_view driver) {
    applyProfile(ws, ApplyPrinterWidthRules(driver, profileOf(ws)));
    return ws.PrinterWidth;
}

void SetPrinterModelFlags(WizardState& ws, std::string_view driver) {
    applyProfile(ws, ApplyModelFlagRules(driver, profileOf(ws)));
}

bool isCorrectPrinter(Core& core) {
    std::string printerPart, jobPart, port, driver;
    core.CheckPrinter(printerPart, jobPart);
    core.printPath().getPrinterStatus(printerPart, port, driver);
    return isCorrectDriver(driver, core.ws.PartnerModel);
}

LabelWidthCheck CheckLabelWidthValues(int widthIndex, int lengthIndex,
                                      const std::vector<std::string>& LabelWidthKVT,
                                      std::int16_t printerWidth) {
    // An entry without a size value behind it cannot be judged: treated like no entry.
    if (widthIndex < 0 || lengthIndex < 0 ||
        static_cast<std::size_t>(widthIndex) >= LabelWidthKVT.size())
        return {false, true};
    const float width = static_cast<float>(
        leadingNumber(LabelWidthKVT[static_cast<std::size_t>(widthIndex)]) / 1000.0);
    float limit = 0;
    switch (printerWidth) {
    case 4:
        limit = 4.1f;
        break;
    case 6:
        limit = 6.6f;
        break;
    case 8:
        limit = 8.5f;
        break;
    default:
        return {true, false};
    }
    return {!(width > limit), false};
}

bool CheckLabelWidth(WizardState& ws, OperationControls& operation) {
    ui::Control& widthList = *operation.LabelWidthCombo;
    ui::Control& lengthList = *operation.LabelLengthCombo;
    LabelWidthCheck c = CheckLabelWidthValues(widthList.listIndex(), lengthList.listIndex(),
                                              ws.LabelWidthKVT, ws.PrinterWidth);
    if (c.resetLists) {
        widthList.setListIndex(4);
        lengthList.setListIndex(5);
    }
    return c.ok;
}

} // namespace osprey
