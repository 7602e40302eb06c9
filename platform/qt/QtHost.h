#pragma once
#include "platform/ui/App.h"
#include "platform/ui/Form.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QTimer;
class QWidget;

namespace uiqt {

class FormWindow;

// Puts the model's forms on screen with Qt widgets. Needs a QApplication. The model stays
// the single truth: the widgets only mirror it and hand user input to its user* methods.
// Installs itself as the app's host for its lifetime; create it before the forms.
class QtHost : public ui::Host {
  public:
    explicit QtHost(ui::App& app);
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    ui::App& app() const { return *app_; }
    // The QtHost installed on an app, or null.
    static QtHost* of(ui::App& app);

    // The form's window, built when needed; null when the form is not loaded.
    QWidget* window(ui::Form& form);
    // The widget of a control; null for timers and controls of forms not built.
    QWidget* widget(const ui::Control& control) const;
    // The control widgets of a form in declaration order (builds the window when needed).
    std::vector<std::pair<const ui::Control*, QWidget*>> widgets(ui::Form& form);

    // Runs user input or a tick into the model. False once the program has ended.
    bool userEvent(const std::function<void()>& event);

    // Runs the model's DoEvents every intervalMs from the Qt loop, so that its timers and
    // posted actions run. With quitWhenIdle the Qt loop ends once no form is loaded.
    void startPump(int intervalMs = 10, bool quitWhenIdle = false);
    void stopPump();

    // Deletes the windows of unloaded forms when no input is being handled.
    void collectRetired();

    // ui::Host
    void formLoaded(ui::Form&) override;
    void formUnloading(ui::Form&) override;
    void formShown(ui::Form&) override;
    void formHidden(ui::Form&) override;
    void formCaptionChanged(ui::Form&) override;
    void controlAdded(ui::Control&) override;
    void controlChanged(ui::Control&, ui::Prop) override;
    void processEvents() override;
    void quit() override;

  private:
    FormWindow* windowOf(ui::Form& form, bool build);
    void tick();

    ui::App* app_;
    std::map<ui::Form*, std::unique_ptr<FormWindow>> windows_;
    std::vector<std::unique_ptr<FormWindow>> retired_;
    std::unique_ptr<QTimer> pump_;
    bool quitWhenIdle_ = false;
    bool ticking_ = false;
    int depth_ = 0; // user events being handled
};

// Runs the Qt loop until the program ends (App::End) or no form is loaded any more.
// Returns the exit code for main.
int runQtProgram(ui::App& app, QtHost& host);

// While one lives, a Qt modal dialog of ours is open: the model's timers wait, as they do
// in the headless model while a box is open.
class ModalDialogScope {
  public:
    ModalDialogScope();
    ~ModalDialogScope();
    ModalDialogScope(const ModalDialogScope&) = delete;
    ModalDialogScope& operator=(const ModalDialogScope&) = delete;
    static bool active();
};

} // namespace uiqt
