#pragma once
#include "platform/qt/FormWidgets.h"
#include "platform/qt/WidgetInput.h"
#include "platform/ui/Control.h"

#include <QComboBox>
#include <QPointer>
#include <QSlider>

#include <functional>
#include <string>

class QLineEdit;
class QWidget;

namespace uiqt {

// A combo box whose opening list raises the model's drop-down event first.
class DropDownCombo : public QComboBox {
  public:
    std::function<void()> onDropDown;
    // The control that names it when no label of its own does (AccessibleInterfaces.h).
    QPointer<QWidget> namedBy;
    void showPopup() override;
};

// A scroll bar of the model, drawn as a slider, with the value as the page shows it.
class FormSlider : public QSlider {
  public:
    FormSlider() : QSlider(Qt::Horizontal) {}
    QString valueText;    // empty: the plain number
    double valueStep = 1; // one step of the value in the unit shown
};

// The widget of a control, a child of `window`, sized by its layout hints and wired to hand
// the user's input to `input`; null for a control drawn without one (a timer, a line right
// after another). `before` holds the controls declared before it, with their widgets.
QWidget* createWidget(ui::Control& c, const FormWidgets& before, QWidget* window,
                      WidgetInput& input);

// Hands the changes of a line edit, a text box's or an editable combo's field, to the model.
void wireTextField(ui::Control& c, QLineEdit* edit, WidgetInput& input);

// The width a field needs to show `n` characters of average width, frame included.
int widthForChars(QWidget* w, int n);

} // namespace uiqt
