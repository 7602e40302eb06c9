#pragma once
#include "osprey/pages/Page.h"
#include "platform/sys/Number.h"

#include <string>
#include <string_view>

namespace osprey {

// Reading, converting and limiting a custom label size.
namespace customsize {

using sys::leadingNumber;

// A value as the dialog writes it back: up to seven significant digits, no trailing
// zeros ("104.14", "2", "0.25", "1E+11").
std::string numberText(float value);

float inchToMm(float inch);
float mmToInch(float mm);

// One dimension of the dialog as the user left its two boxes.
struct Boxes {
    bool inchEdited = false;
    std::string inchText;
    bool mmEdited = false;
    std::string mmText;
};

// Takes the dimension from its boxes into `inch` and `mm`: from the inch box when it was
// edited and holds text, else from the millimetre box when that was edited, holds text
// and the inch box is empty. False (values untouched) when neither applies.
bool readDimension(const Boxes& boxes, float& inch, float& mm);

// Puts an entered width within the limits of the printer width (4, 6 or 8 inches; other
// widths have only the minimum). True when the value had to change.
bool limitWidth(float& inch, float& mm, int printerWidth);
// The same for a length.
bool limitLength(float& inch, float& mm);

} // namespace customsize

// "Custom Form Definition": a label width and/or length in inches or millimetres, added to
// (or chosen in) the media page's size lists.
class CustomDialog : public Page {
  public:
    static constexpr const char* kName = "CustomDialog";
    CustomDialog(Core& core, OspreyPages& pages) : Page(core, pages, kName) {
        setDialogWindow(true);
    }

    ui::ControlRef WidthValueInch{*this, "WidthValueInch"};
    ui::ControlRef WidthValueMM{*this, "WidthValueMM"};
    ui::ControlRef HeightValueInch{*this, "HeightValueInch"}; // the label length
    ui::ControlRef HeightValueMM{*this, "HeightValueMM"};
    ui::ControlRef OKButton{*this, "OKButton"};
    ui::ControlRef CancelButton{*this, "CancelButton"};

    void OKButton_Click();
    void CancelButton_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    void writeBack();

    // Set by a change of the box's text, the dialog's own changes included.
    bool WidthInchEdited = false;
    bool WidthMMEdited = false;
    bool LengthInchEdited = false;
    bool LengthMMEdited = false;
};

} // namespace osprey
