#pragma once
#include "platform/ui/Control.h"

#include <QPixmap>

#include <functional>

class QWidget;

namespace uiqt {

// What the widgets of a form hand the user's input to: the form's window, which passes it on
// to the model unless the model's own values are being shown or the form has gone.
class WidgetInput {
  public:
    // Runs the user's action on the control, then shows what the model made of it.
    virtual void userEvent(ui::Control* c, const std::function<void(ui::Control&)>& action) = 0;
    // A key the model gives a meaning (arrows, Tab, Enter, Escape); true when it took it.
    virtual bool userKey(ui::Key key) = 0;
    // Shows the control's text, value and selection as the model holds them.
    virtual void resync(ui::Control* c) = 0;
    // False while the model's values are being shown or once the form has gone.
    virtual bool takesInput() const = 0;
    // The control's widget now; null once the form has gone.
    virtual QWidget* widgetFor(const ui::Control& c) const = 0;
    // What a picture box without a picture file of its own shows (themePrinter).
    virtual QPixmap printerPicture(int side, qreal devicePixelRatio) = 0;

  protected:
    ~WidgetInput() = default;
};

} // namespace uiqt
