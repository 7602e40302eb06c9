#include "osprey/core/ModelRules.h"

#include "osprey/core/Core.h"
#include "platform/ui/Form.h"

#include <array>

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

} // namespace

bool RRuleHolds(std::string_view driver) {
    if (!hasAny(driver, {"Corvane V62", "Corvane V61"}))
        return false;
    return lastPosition(driver, 'R') >= 7 || lastPosition(driver, 'r') >= 7;
}

bool isCorrectDriver(std::string_view driver, bool partnerModel) {
    if (partnerModel)
        return hasAny(driver, {"RZ90-00", "RZ90-K55", "RZ90K55"});
    return RRuleHolds(driver) ||
           hasAny(driver, {"Corvane QR62", "Corvane QR61", "Corvane V7A", "Corvane QR7A"});
}

ModelProfile ApplyPrinterWidthRules(std::string_view driver, ModelProfile p) {
    // The width is this printer's alone: one chosen before must not limit its label sizes.
    p.PrinterWidth = 0;
    p.ResolutionClass = 2;
    p.DirectThermal = false;
    if (p.PartnerModel) {
        if (has(driver, "RZ90")) {
            if (has(driver, "K55"))
                p.PrinterWidth = 4;
            if (has(driver, "004"))
                p.PrinterWidth = 4;
            if (has(driver, "006"))
                p.PrinterWidth = 6;
            if (has(driver, "008"))
                p.PrinterWidth = 8;
            if (hasAny(driver, {"300", "305"}))
                p.ResolutionClass = 3;
        }
    } else if (has(driver, "Corvane")) {
        if (has(driver, "DT"))
            p.DirectThermal = true;
        if (hasAny(driver, {"QR7A", "V7A", "VXX", "Vxx", "QRXX", "QRxx"}))
            p.PrinterWidth = 4;
        if (has(driver, "04"))
            p.PrinterWidth = 4;
        if (has(driver, "06"))
            p.PrinterWidth = 6;
        if (has(driver, "08"))
            p.PrinterWidth = 8;
        if (has(driver, "62"))
            p.ResolutionClass = 3;
    }
    return p;
}

ModelProfile ApplyModelFlagRules(std::string_view driver, ModelProfile p) {
    // In order; a later match overrides an earlier one.
    auto set = [&](bool partner, bool option) {
        p.PartnerModel = partner;
        p.ModelOption = option;
    };
    if (has(driver, "RZ90-00"))
        set(true, true);
    if (has(driver, "RZ90-K55"))
        set(true, false);
    if (has(driver, "RZ90K55"))
        set(true, false);
    if (RRuleHolds(driver))
        set(false, true);
    if (hasAny(driver, {"Corvane QR62", "Corvane QR61"}))
        set(false, true);
    if (has(driver, "Corvane V7A"))
        set(false, false);
    if (has(driver, "Corvane QR7A"))
        set(false, false);
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

bool CheckLabelWidth(WizardState& ws, ui::Form& operation) {
    ui::Control& widthList = operation.ctl("LabelWidthCombo");
    ui::Control& lengthList = operation.ctl("LabelLengthCombo");
    LabelWidthCheck c = CheckLabelWidthValues(widthList.listIndex(), lengthList.listIndex(),
                                              ws.LabelWidthKVT, ws.PrinterWidth);
    if (c.resetLists) {
        widthList.setListIndex(4);
        lengthList.setListIndex(5);
    }
    return c.ok;
}

} // namespace osprey
