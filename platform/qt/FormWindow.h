#pragma once
#include "platform/qt/FormWidgets.h"
#include "platform/qt/KeyRouting.h"
#include "platform/qt/WidgetInput.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"

#include <QFont>

#include <initializer_list>
#include <memory>
#include <set>
#include <vector>

namespace uiqt {

class QtHost;

// The widgets of one loaded form: built from the model's controls in declaration order,
// updated when the model changes, feeding user input back to the model.
class FormWindow final : private WidgetInput {
  public:
    using Controls = std::vector<std::unique_ptr<ui::Control>>;

    FormWindow(QtHost& host, ui::Form& form);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    ui::Form& form() const { return *form_; }
    FormDialog* window() const { return window_.get(); }

    // Builds (or rebuilds, when controls were added since) the window from the model.
    void build();
    bool built() const { return window_ != nullptr; }
    bool stale() const { return stale_; }
    void markStale() { stale_ = true; }
    // The size the form's content asks for with `font`, every control shown; the controls
    // may be the form's own or ones declared only for measuring.
    static QSize naturalSize(QtHost& host, ui::Form& form, const Controls& controls,
                             const QFont& font);
    // Gives the window a new fixed size (the wizard's steady frame grew).
    void resize(const QSize& size);

    void show(bool modal);
    // Hides the window; a page the keyboard is on may stay in sight until the next page has
    // taken the keyboard (the host says), so typed keys still reach this program.
    void hide();
    // Hides a page kept in sight.
    void finishHide();
    // The window shows the model's visible form and takes the user's keys now.
    bool takesKeys() const;
    // Hidden in the model, still in sight for the page change.
    bool heldInSight() const { return hidePending_; }
    void captionChanged();
    void controlChanged(ui::Control& control, ui::Prop prop);
    // The focus moved to this widget in Qt: the model learns it. False when it is not ours.
    bool noteFocus(QWidget* widget);
    // The focus moves by the keyboard from now on: the style draws where it is.
    void showKeyboardFocus();
    // The model is done with the form: no more input reaches it; the widgets stay until the
    // host deletes this object at a safe point.
    void retire();

    QWidget* widgetFor(const ui::Control& control) const override { return widgets_.of(control); }
    // The control widgets in declaration order (timers have none).
    std::vector<std::pair<const ui::Control*, QWidget*>> widgets() const {
        return widgets_.inOrder();
    }

  private:
    // Makes the window and its widgets for the controls, laid out with every control shown;
    // returns the size that content asks for.
    QSize construct(const Controls& controls, const QFont& font);
    void apply(ui::Control& c, std::initializer_list<ui::Prop> props);
    void followModelFocus(Qt::FocusReason reason);
    // Shows the model's values on the widgets: what the widgets signal meanwhile is no input.
    template <class F> void asModel(F show) {
        const bool was = updating_;
        updating_ = true;
        show();
        updating_ = was;
    }

    // WidgetInput
    void userEvent(ui::Control* c, const std::function<void(ui::Control&)>& action) override;
    bool userKey(ui::Key key) override;
    void resync(ui::Control* c) override;
    bool takesInput() const override { return !retired_ && !updating_; }
    QPixmap printerPicture(int side, qreal devicePixelRatio) override;

    QtHost* host_;
    ui::Form* form_;
    std::unique_ptr<FormDialog> window_;
    FormWidgets widgets_;
    // Controls hidden when the window was built: they have no place until it is rebuilt.
    std::set<const ui::Control*> unplaced_;
    bool updating_ = false; // model -> widget: widget signals are not user input
    bool stale_ = false;
    bool retired_ = false;
    bool placed_ = false;      // shown once: keep the position from then on
    bool hidePending_ = false; // hidden in the model, kept in sight for the page change
};

} // namespace uiqt
