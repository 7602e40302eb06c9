#include "osprey/pages/Operation.h"

#include "osprey/core/Commands.h"
#include "osprey/core/Core.h"
#include "osprey/core/ModelRules.h"
#include "osprey/pages/CustomDialog.h"
#include "osprey/pages/Dialog.h"
#include "osprey/pages/LoadDlg.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/PrinterSetup.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace osprey {

namespace media {

const std::array<const char*, 7> kLengthTexts = {
    "1.0\" (25.4mm)",  "1.5\" (38.1mm)",  "2.0\" (50.8mm)",  "3.0\" (76.2mm)",
    "4.0\" (101.6mm)", "6.0\" (152.4mm)", "8.0\" (203.2mm)",
};

const std::array<const char*, 7> kWidthTexts = {
    "1.5\" (38.1mm)",  "2.0\" (50.8mm)",  "2.5\" (63.5mm)",  "3.0\" (76.2mm)",
    "4.1\" (104.1mm)", "6.6\" (167.6mm)", "8.5\" (215.9mm)",
};

std::string oneDecimal(float value) {
    // Rounded as the value reads in seven digits (6.35 gives 6.4), halves away from zero.
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.7g", static_cast<double>(value));
    double v = std::strtod(digits, nullptr);
    double tenths = std::floor(std::fabs(v) * 10.0 + 0.5 + 1e-7);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%.1f", (v < 0 && tenths > 0) ? "-" : "", tenths / 10.0);
    return buf;
}

std::string sizeEntryText(float inch, float mm) {
    return oneDecimal(inch) + "\" (" + oneDecimal(mm) + "mm)";
}

std::string thousandthsText(float inch) {
    float product = inch * 1000.0f;
    double whole = std::round(static_cast<double>(product));
    char buf[64];
    if (whole < 0)
        std::snprintf(buf, sizeof buf, "-%05.0f", -whole);
    else
        std::snprintf(buf, sizeof buf, "%05.0f", whole);
    return buf;
}

int findSize(const std::vector<std::string>& table, float inch) {
    std::string wanted = thousandthsText(inch);
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].find(wanted) != std::string::npos)
            return static_cast<int>(i);
    return -1;
}

SizeDefaults sizeDefaults(int printerWidth) {
    switch (printerWidth) {
    case 6:
        return {6, 6, 5, 4, 5};
    case 8:
        return {7, 6, 6, 5, 6};
    default:
        return {5, 6, 4, 5, 4};
    }
}

const std::array<const char*, 5>& dispenseEntries(bool modelOption) {
    static const std::array<const char*, 5> standard = {"Continuous", "Tear-off Strip", "Peel-off",
                                                        "Cut", "Rewind"};
    static const std::array<const char*, 5> withOption = {"Continuous", "Tear-off Strip",
                                                          "Tear-off", "Peel-off", "Cut"};
    return modelOption ? withOption : standard;
}

} // namespace media

void Operation::Build() {
    setCaption("Printer Setup - Page 1");
    image(Image1, "media-setup.png");
    label(Label1, "Printer Setup - Page 1").beside().asHeading();
    label("Label6", kIgnoreNote);
    frame(Frame1, "         Media Setup");
    label("Label9", "Ignore").in(Frame1);

    // Each "Ignore" box is named after the setting on its row; the lists, filled as the
    // page loads, are declared wide enough for their entries.
    checkBox(MediaTypeCB, "").in(Frame1).setAccessibleName("Ignore Print Mode");
    label("Label2", "*Print Mode:").in(Frame1).beside();
    combo(MediaTypeCombo, ui::ComboStyle::DropDownList, {}).in(Frame1).beside().charsWide(22);

    checkBox(MediaSizeCB, "").in(Frame1).setAccessibleName("Ignore Label Length and Width");
    label(Label3, "*Label Length:").in(Frame1).beside();
    combo(LabelLengthCombo, ui::ComboStyle::Editable, {}).in(Frame1).beside().charsWide(20);
    label(Label4, "*Label Width:").in(Frame1).atColumn(1); // under the length row's label
    combo(LabelWidthCombo, ui::ComboStyle::Editable, {}).in(Frame1).beside().charsWide(20);
    button(CustomizeMedia, "Customize").in(Frame1).beside();

    checkBox(OrientationCB, "").in(Frame1).setAccessibleName("Ignore Orientation");
    label("Label5", "Orientation:").in(Frame1).beside();
    combo(OrientationCombo, ui::ComboStyle::DropDownList, {}).in(Frame1).beside().charsWide(22);

    checkBox(DispenseCB, "").in(Frame1).setAccessibleName("Ignore Media Handling");
    label("Label7", "Media Handling:").in(Frame1).beside();
    combo(DispenseCombo, ui::ComboStyle::DropDownList, {}).in(Frame1).beside().charsWide(22);

    navigationRow();

    // Every setting starts ignored, its controls disabled; the boxes' handlers are wired
    // after, so these starting values run no rule.
    startIgnored({MediaTypeCB, MediaSizeCB, OrientationCB, DispenseCB},
                 {MediaTypeCombo, LabelLengthCombo, LabelWidthCombo, CustomizeMedia,
                  OrientationCombo, DispenseCombo});

    MediaTypeCB->onClick = [this] { MediaTypeCB_Click(); };
    MediaSizeCB->onClick = [this] { MediaSizeCB_Click(); };
    OrientationCB->onClick = [this] { OrientationCB_Click(); };
    DispenseCB->onClick = [this] { DispenseCB_Click(); };
    CustomizeMedia->onClick = [this] { CustomizeMedia_Click(); };
}

void Operation::Form_Load() {
    Load_MediaTypeCombo();
    Load_MediaSizeCombo();
    Load_OrientationCombo();
    Load_DispenseCombo();
    if (core().ws.ModelOption) {
        Label1->setCaption("Quick Setup - Page 1");
        Image1->setVisible(false);
        Frame1->setCaption("Media Control");
    }
}

void Operation::Load_MediaTypeCombo() {
    auto& ws = core().ws;
    MediaTypeCombo->clear();
    MediaTypeCombo->addItem("Direct Transfer");
    if (!ws.DirectThermal)
        MediaTypeCombo->addItem("Thermal Transfer");
    ws.MediaTypeCmds = mediaTypeCommands();
    MediaTypeCombo->setListIndex(ws.DirectThermal ? 0 : 1);
}

void Operation::Load_MediaSizeCombo() {
    auto& ws = core().ws;
    ws.LabelLengthKVT.resize(8);
    ws.LabelWidthKVT.resize(8);
    auto defaults = media::sizeDefaults(ws.PrinterWidth);

    LabelLengthCombo->clear();
    LabelWidthCombo->clear();
    for (std::size_t i = 0; i < media::kLengthTexts.size(); ++i) {
        LabelLengthCombo->addItem(media::kLengthTexts[i]);
        ws.LabelLengthKVT[i] = kBuiltInLabelLengths[i];
    }
    for (std::size_t i = 0; i < media::kWidthTexts.size(); ++i) {
        if (static_cast<int>(i) < defaults.widthEntries)
            LabelWidthCombo->addItem(media::kWidthTexts[i]);
        ws.LabelWidthKVT[i] = kBuiltInLabelWidths[i];
    }
    ws.nLabelLength = static_cast<std::int16_t>(defaults.nLabelLength);
    ws.nLabelWidth = static_cast<std::int16_t>(defaults.nLabelWidth);
    LabelLengthCombo->setListIndex(defaults.lengthIndex);
    LabelWidthCombo->setListIndex(defaults.widthIndex);
    ws.orgLabelLength = ws.nLabelLength;
    ws.orgLabelWidth = ws.nLabelWidth;
}

void Operation::Load_OrientationCombo() {
    static const char* const kEntries[] = {"Portrait", "Landscape", "Inverse Portrait",
                                           "Inverse Landscape"};
    OrientationCombo->clear();
    for (const char* entry : kEntries)
        OrientationCombo->addItem(entry);
    core().ws.OrientationCmds = orientationCommands();
    OrientationCombo->setListIndex(0);
}

void Operation::Load_DispenseCombo() {
    auto& ws = core().ws;
    DispenseCombo->clear();
    for (const char* entry : media::dispenseEntries(ws.ModelOption))
        DispenseCombo->addItem(entry);
    ws.DispenseCmds = dispenseCommands(ws.ModelOption);
    DispenseCombo->setListIndex(1);
}

void Operation::Load_Click() {
    auto& dialog = pages().get<Dialog>();
    dialog.Mode = Dialog::kLoad;
    dialog.Show();
}

int Operation::LabelWidthExist(float inch) {
    return media::findSize(core().ws.LabelWidthKVT, inch);
}

int Operation::LabelLengthExist(float inch) {
    return media::findSize(core().ws.LabelLengthKVT, inch);
}

void Operation::MediaTypeCB_Click() {
    applyIgnoreBox(MediaTypeCB, {MediaTypeCombo});
}

void Operation::MediaSizeCB_Click() {
    applyIgnoreBox(MediaSizeCB, {LabelWidthCombo, LabelLengthCombo, CustomizeMedia});
}

void Operation::OrientationCB_Click() {
    applyIgnoreBox(OrientationCB, {OrientationCombo});
}

void Operation::DispenseCB_Click() {
    applyIgnoreBox(DispenseCB, {DispenseCombo});
}

void Operation::CustomizeMedia_Click() {
    pages().get<CustomDialog>().Show();
}

void Operation::Next_Click() {
    if (MediaSizeCB->value() == 0 && !CheckLabelWidth(core().ws, *this)) {
        core().ShowNotice("Invalid media size selected or media size entered manually.\r\n"
                          "Please use the drop down menu or Customize button to specify the "
                          "media size");
        LabelLengthCombo->setFocus();
        return;
    }
    pages().get<PrinterSetup>().Show();
    Hide();
}

void Operation::Prev_Click() {
    pages().get<LoadDlg>().Show();
    Hide();
}

} // namespace osprey
