#pragma once
#include "platform/qt/FormWidgets.h"
#include "platform/qt/WidgetInput.h"
#include "platform/ui/Control.h"

class QWidget;

namespace uiqt {

// Shows the model's value of one property of a control on its widget (nothing for a control
// without one). False when the widget no longer suits the control (a text box that became
// multi-line): the window must be built again.
bool showProperty(ui::Control& c, ui::Prop prop, const FormWidgets& widgets, WidgetInput& input);

// A text box's background: one the page fixes, with text colours readable on it, or the
// desktop's.
void paintField(const ui::Control& c, QWidget* w);

} // namespace uiqt
