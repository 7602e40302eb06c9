#pragma once
#include "osprey/core/PageControls.h"
#include "osprey/pages/Page.h"

#include <array>
#include <string>
#include <vector>

namespace osprey {

// Label sizes as the media page lists them and the printer takes them.
namespace media {

// List texts of the seven built-in lengths and widths (the last two widths are listed
// only on wider printers; their table values are always stored).
extern const std::array<const char*, 7> kLengthTexts;
extern const std::array<const char*, 7> kWidthTexts;

// The value with one decimal, at least one digit before the point, halves away from zero.
std::string oneDecimal(float value);
// The list text of a size: inches, inch mark, " (", millimetres, "mm)".
std::string sizeEntryText(float inch, float mm);
// The size in thousandths of an inch (the product taken in single precision, rounded to
// a whole number), at least five digits with leading zeros: 4.1 gives "04100".
std::string thousandthsText(float inch);
// Index of the first table entry that holds thousandthsText(inch), -1 when none does.
int findSize(const std::vector<std::string>& table, float inch);

// What the loader sets up for a printer width.
struct SizeDefaults {
    int widthEntries; // entries of the width list (5, 6 or 7)
    int nLabelLength; // last index of the length list
    int nLabelWidth;  // last index of the width list
    int lengthIndex;  // entry chosen at load
    int widthIndex;
};
SizeDefaults sizeDefaults(int printerWidth);

// The five entries of the dispense list, with or without the model option.
const std::array<const char*, 5>& dispenseEntries(bool modelOption);

} // namespace media

// "Printer Setup - Page 1": media type, label size, orientation and dispense mode, each
// with its Ignore box. The loaders fill the core's command tables beside the lists.
class Operation : public StepPage, public OperationControls {
  public:
    static constexpr const char* kName = "Operation";
    Operation(Core& core, OspreyPages& pages)
        : StepPage(core, pages, kName), OperationControls(static_cast<ui::Form&>(*this)) {}

    ui::ControlRef Image1{*this, "Image1"};
    ui::ControlRef Label1{*this, "Label1"};
    ui::ControlRef Frame1{*this, "Frame1"};
    ui::ControlRef Label3{*this, "Label3"}; // the size rows' labels share a column
    ui::ControlRef Label4{*this, "Label4"};
    ui::ControlRef CustomizeMedia{*this, "CustomizeMedia"};

    void Load_MediaTypeCombo();
    void Load_MediaSizeCombo();
    void Load_OrientationCombo();
    void Load_DispenseCombo();
    // Opens the save/load dialog to load a settings file.
    void Load_Click();
    // Index of the size table's entry for a size in inches, -1 when there is none.
    int LabelWidthExist(float inch);
    int LabelLengthExist(float inch);

    void MediaTypeCB_Click();
    void MediaSizeCB_Click();
    void OrientationCB_Click();
    void DispenseCB_Click();
    void CustomizeMedia_Click();
    void Next_Click() override;
    void Prev_Click() override;

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override {
        leaveKeepingWindow(cancel, unloadMode);
    }
};

} // namespace osprey
