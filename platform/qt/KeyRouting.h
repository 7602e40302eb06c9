#pragma once
#include "platform/qt/WidgetInput.h"
#include "platform/ui/Control.h"

#include <QDialog>

#include <functional>

namespace uiqt {

// The top-level window of a form. The close box and the keys the model gives a meaning
// (Enter, Escape, Tab) go to the model, which decides.
class FormDialog : public QDialog {
  public:
    FormDialog() = default;
    std::function<void()> onCloseBox;
    std::function<bool(ui::Key)> onKey; // true: the model took the key

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
};

// Typed keys in a text field go to the page's key-press handler first, which may drop or
// change them.
void hookTypedKeys(ui::Control& c, QWidget* field, WidgetInput& input);

// Arrows on an option button move the choice within its group, as the model says.
void hookArrowKeys(QWidget* option, WidgetInput& input);

} // namespace uiqt
