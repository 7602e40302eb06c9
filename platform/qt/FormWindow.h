#pragma once
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"

#include <QDialog>
#include <QFont>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

class QHBoxLayout;
class QLineEdit;

namespace uiqt {

class QtHost;

// Lays out a window and every frame in it now, to the final geometry it would have on
// screen, rather than when Qt's posted layout requests arrive.
void activateLayouts(QWidget* window);

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

// The widgets of one loaded form: built from the model's controls in declaration order,
// updated when the model changes, feeding user input back to the model.
class FormWindow {
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
    void hide();
    void captionChanged();
    void controlChanged(ui::Control& control, ui::Prop prop);
    // The focus moved to this widget in Qt: the model learns it. False when it is not ours.
    bool noteFocus(QWidget* widget);
    // The model is done with the form: no more input reaches it; the widgets stay until the
    // host deletes this object at a safe point.
    void retire();

    QWidget* widgetFor(const ui::Control& control) const;
    // The control widgets in declaration order (timers have none).
    std::vector<std::pair<const ui::Control*, QWidget*>> widgets() const;

  private:
    // Makes the window and its widgets for the controls, laid out with every control shown;
    // returns the size that content asks for.
    QSize construct(const Controls& controls, const QFont& font);
    QWidget* createWidget(ui::Control& c);
    void place(ui::Control& c, QWidget* w);
    void applyAll(ui::Control& c);
    void apply(ui::Control& c, ui::Prop prop);
    void resync(ui::Control* c);
    void userEvent(ui::Control* c, const std::function<void(ui::Control&)>& action);
    bool userKey(ui::Key key);
    void wireLineEdit(ui::Control& c, QLineEdit* edit);
    // The field a label names: the one declared right after it, unless the label is the unit
    // set beside the field before it.
    const ui::Control* fieldNamedBy(const ui::Control& label) const;
    void nameControls(const Controls& controls);
    void paintField(ui::Control& c, QWidget* w);
    void followModelFocus(Qt::FocusReason reason);
    void hookKeys(ui::Control& c, QWidget* target);
    void layOutRows(QWidget* container, const std::string& name);
    void putOnCaption(QWidget* frame, QWidget* picture);

    QtHost* host_;
    ui::Form* form_;
    std::unique_ptr<FormDialog> window_;
    std::map<const ui::Control*, QWidget*> widgets_;
    std::vector<const ui::Control*> order_;
    // The rows of the window ("") and of each frame, in declaration order, while building.
    using Row = std::vector<std::pair<ui::Control*, QWidget*>>;
    std::map<std::string, QWidget*> containers_;
    std::map<std::string, std::vector<Row>> rows_;
    QHBoxLayout* buttonRow(const Row& row);
    // The first control of each control's row: what a repeated caption is about.
    std::map<const ui::Control*, const ui::Control*> rowHead_;
    // The buttons (and Back's empty place) of a navigation row, which share one width.
    std::vector<QWidget*> slots_;
    // Controls hidden when the window was built: they have no place until it is rebuilt.
    std::set<const ui::Control*> unplaced_;
    bool updating_ = false; // model -> widget: widget signals are not user input
    bool stale_ = false;
    bool retired_ = false;
    bool placed_ = false; // shown once: keep the position from then on
};

} // namespace uiqt
