#include "osprey/pages/CustomDialog.h"

#include "osprey/core/Core.h"
#include "osprey/pages/Operation.h"
#include "osprey/pages/Pages.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace osprey {

namespace customsize {

std::string numberText(float value) {
    if (std::isnan(value))
        return "0";
    if (std::isinf(value)) // a typed number beyond single precision; the limits replace it
        return value > 0 ? "1E+39" : "-1E+39";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(value));
    std::string s = buf;
    // "%G" writes large and tiny values as "1E+11" and "1E-05".
    if (s == "-0")
        s = "0";
    return s;
}

float inchToMm(float inch) {
    return static_cast<float>(static_cast<double>(inch) * 25.4);
}

float mmToInch(float mm) {
    return static_cast<float>(static_cast<double>(mm) / 25.4);
}

namespace {
float toSingle(double v) {
    if (v > 3.4e38)
        return INFINITY;
    if (v < -3.4e38)
        return -INFINITY;
    return static_cast<float>(v);
}
} // namespace

bool readDimension(const Boxes& boxes, float& inch, float& mm) {
    if (boxes.inchEdited && !boxes.inchText.empty()) {
        inch = toSingle(leadingNumber(boxes.inchText));
        mm = inchToMm(inch);
        return true;
    }
    if (boxes.mmEdited && !boxes.mmText.empty() && boxes.inchText.empty()) {
        mm = toSingle(leadingNumber(boxes.mmText));
        inch = mmToInch(mm);
        return true;
    }
    return false;
}

bool limitWidth(float& inch, float& mm, int printerWidth) {
    // Compared in single precision, so a typed 4.1 is no more than the 4.1 limit.
    if (inch < 0.8f) {
        inch = 0.8f;
        mm = 20.32f;
        return true;
    }
    struct Max {
        int printerWidth;
        float inch;
        float mm;
    };
    static constexpr Max kMax[] = {{4, 4.1f, 104.14f}, {6, 6.6f, 167.64f}, {8, 8.5f, 215.9f}};
    for (const Max& m : kMax)
        if (printerWidth == m.printerWidth && inch > m.inch) {
            inch = m.inch;
            mm = m.mm;
            return true;
        }
    return false;
}

bool limitLength(float& inch, float& mm) {
    if (inch < 0.25f) {
        inch = 0.25f;
        mm = 6.35f;
        return true;
    }
    if (inch > 99.01f) {
        inch = 99.0f;
        mm = 2514.6f;
        return true;
    }
    return false;
}

} // namespace customsize

void CustomDialog::Build() {
    setCaption("Custom Form Definition");
    label("Label1", "Custom Form Definition").asHeading();
    label("Label2", "Enter the custom form dimensions");
    label("Label3", "Enter in the dimension(s) you wish to support. You can enter in new "
                    "dimensions for either the width, length, or both.");
    label("Label4", "Width:");
    // Each field is named with its unit, which stands after it.
    textBox(WidthValueInch).beside().setAccessibleName("Width in inches");
    label("Label5", "Inches").beside();
    textBox(WidthValueMM).beside().setAccessibleName("Width in mm");
    label("Label6", "mm").beside();
    label("Label7", "Length:");
    textBox(HeightValueInch).beside().setAccessibleName("Length in inches");
    label("Label8", "Inches").beside();
    textBox(HeightValueMM).beside().setAccessibleName("Length in mm");
    label("Label9", "mm").beside();
    button(OKButton, "OK").setDefault(true);
    button(CancelButton, "Cancel").setCancel(true).beside();

    WidthValueInch->onChange = [this] { WidthInchEdited = true; };
    WidthValueMM->onChange = [this] { WidthMMEdited = true; };
    HeightValueInch->onChange = [this] { LengthInchEdited = true; };
    HeightValueMM->onChange = [this] { LengthMMEdited = true; };
    OKButton->onClick = [this] { OKButton_Click(); };
    CancelButton->onClick = [this] { CancelButton_Click(); };
}

void CustomDialog::Form_Load() {
    WidthInchEdited = WidthMMEdited = LengthInchEdited = LengthMMEdited = false;
}

void CustomDialog::Form_QueryUnload(int& cancel, int unloadMode) {
    // The close box is this dialog's Cancel, not the wizard's exit; Cancel unloads it.
    if (unloadMode == ui::kUnloadUser) {
        cancel = 1;
        CancelButton_Click();
    }
}

void CustomDialog::writeBack() {
    const auto& ws = core().ws;
    WidthValueInch->setText(customsize::numberText(ws.CustomWidthInch));
    WidthValueMM->setText(customsize::numberText(ws.CustomWidthMM));
    HeightValueInch->setText(customsize::numberText(ws.CustomLengthInch));
    HeightValueMM->setText(customsize::numberText(ws.CustomLengthMM));
}

namespace {
// Chooses the entry of a size list that holds `inch`, or appends one with its table value.
// False when the list is full: its table's last index is a 16-bit number.
bool chooseOrAppend(ui::Control& list, int existing, std::vector<std::string>& table,
                    std::int16_t& last, float inch, float mm) {
    if (existing >= 0 && existing < list.listCount()) {
        list.setListIndex(existing);
        return true;
    }
    if (list.listCount() > std::numeric_limits<std::int16_t>::max())
        return false;
    list.addItem(media::sizeEntryText(inch, mm));
    int n = list.listCount();
    // Slots past the list (wider sizes a narrow printer does not list, a custom size of an
    // earlier page load) give way to the new entry.
    table.resize(static_cast<std::size_t>(n));
    last = static_cast<std::int16_t>(n - 1);
    table[n - 1] = media::thousandthsText(inch);
    list.setListIndex(n - 1);
    return true;
}
} // namespace

void CustomDialog::OKButton_Click() {
    auto& ws = core().ws;
    bool widthEntered = customsize::readDimension(
        {WidthInchEdited, WidthValueInch->text(), WidthMMEdited, WidthValueMM->text()},
        ws.CustomWidthInch, ws.CustomWidthMM);
    bool lengthEntered = customsize::readDimension(
        {LengthInchEdited, HeightValueInch->text(), LengthMMEdited, HeightValueMM->text()},
        ws.CustomLengthInch, ws.CustomLengthMM);
    writeBack();

    const ui::ControlRef* outOfLimits = nullptr; // the first field changed to its limit
    if (ws.PrinterWidth < 4)
        ws.PrinterWidth = 4;
    if (widthEntered &&
        customsize::limitWidth(ws.CustomWidthInch, ws.CustomWidthMM, ws.PrinterWidth)) {
        WidthValueInch->setText(customsize::numberText(ws.CustomWidthInch));
        WidthValueMM->setText(customsize::numberText(ws.CustomWidthMM));
        outOfLimits = &WidthValueInch;
    }
    if (lengthEntered && customsize::limitLength(ws.CustomLengthInch, ws.CustomLengthMM)) {
        HeightValueInch->setText(customsize::numberText(ws.CustomLengthInch));
        HeightValueMM->setText(customsize::numberText(ws.CustomLengthMM));
        if (!outOfLimits)
            outOfLimits = &HeightValueInch;
    }

    if (outOfLimits) {
        core().ShowNotice("Allowable Form Dimension(s) Exceeded!\r\n"
                          "The dimension(s) have been changed to reflect the minimum/maximum "
                          "allowable");
        (*outOfLimits)->setFocus();
        // The next OK takes the corrected inch values. A dimension the user did not enter
        // only shows the last stored value; it must not count as entered next time.
        WidthInchEdited = widthEntered;
        LengthInchEdited = lengthEntered;
        if (!widthEntered)
            WidthMMEdited = false;
        if (!lengthEntered)
            LengthMMEdited = false;
        return;
    }

    auto& operation = pages().get<Operation>();
    bool added = true;
    if (widthEntered && ws.CustomWidthInch > 0)
        added &= chooseOrAppend(*operation.LabelWidthCombo,
                                operation.LabelWidthExist(ws.CustomWidthInch), ws.LabelWidthKVT,
                                ws.nLabelWidth, ws.CustomWidthInch, ws.CustomWidthMM);
    if (lengthEntered && ws.CustomLengthInch > 0)
        added &= chooseOrAppend(*operation.LabelLengthCombo,
                                operation.LabelLengthExist(ws.CustomLengthInch), ws.LabelLengthKVT,
                                ws.nLabelLength, ws.CustomLengthInch, ws.CustomLengthMM);
    if (!added)
        core().ShowNotice("No more custom sizes can be added.");
    operation.Show();
    Unload();
}

void CustomDialog::CancelButton_Click() {
    pages().get<Operation>().Show();
    Unload();
}

} // namespace osprey
