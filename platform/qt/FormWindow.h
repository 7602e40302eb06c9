#pragma once
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"

#include <QDialog>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QLineEdit;

namespace uiqt {

class QtHost;

// The top-level window of a form. The close box and Escape go to the model, which decides.
class FormDialog : public QDialog {
  public:
    FormDialog() = default;
    std::function<void()> onCloseBox;
    std::function<void()> onEscape;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
};

// The widgets of one loaded form: built from the model's controls in declaration order,
// updated when the model changes, feeding user input back to the model.
class FormWindow {
  public:
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

    void show(bool modal);
    void hide();
    void captionChanged();
    void controlChanged(ui::Control& control, ui::Prop prop);
    // The model is done with the form: no more input reaches it; the widgets stay until the
    // host deletes this object at a safe point.
    void retire();

    QWidget* widgetFor(const ui::Control& control) const;
    // The control widgets in declaration order (timers have none).
    std::vector<std::pair<const ui::Control*, QWidget*>> widgets() const;

  private:
    QWidget* createWidget(ui::Control& c);
    void place(ui::Control& c, QWidget* w);
    void applyAll(ui::Control& c);
    void apply(ui::Control& c, ui::Prop prop);
    void resync(ui::Control* c);
    void userEvent(ui::Control* c, const std::function<void(ui::Control&)>& action);
    void wireLineEdit(ui::Control& c, QLineEdit* edit);
    // The field a label names: the one declared right after it, unless the label is the unit
    // set beside the field before it.
    const ui::Control* fieldNamedBy(const ui::Control& label) const;
    void hookKeys(ui::Control& c, QWidget* target);
    void escape();
    ui::Control* buttonWhere(bool (ui::Control::*flag)() const) const;
    void layOutRows(QWidget* container, const std::string& name);
    void putOnCaption(QWidget* frame, QWidget* picture);

    QtHost* host_;
    ui::Form* form_;
    std::unique_ptr<FormDialog> window_;
    std::map<const ui::Control*, QWidget*> widgets_;
    std::vector<const ui::Control*> order_;
    const ui::Control* pendingFocus_ = nullptr;
    // The rows of the window ("") and of each frame, in declaration order, while building.
    using Row = std::vector<std::pair<ui::Control*, QWidget*>>;
    std::map<std::string, QWidget*> containers_;
    std::map<std::string, std::vector<Row>> rows_;
    bool updating_ = false; // model -> widget: widget signals are not user input
    bool stale_ = false;
    bool retired_ = false;
    bool placed_ = false; // shown once: keep the position from then on
};

} // namespace uiqt
