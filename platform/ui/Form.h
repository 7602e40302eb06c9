#pragma once
#include "platform/ui/Control.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {

class App;
class ControlRef;

// Unload modes passed to Form_QueryUnload.
constexpr int kUnloadUser = 0; // the close box or the system menu
constexpr int kUnloadCode = 1; // Unload called by the program

// One page or dialog. The instance lives for the whole run; its window (the controls)
// is created, and Form_Load runs, on the first Show or the first use of a control or
// window property. Unload destroys the window only: members of the subclass keep
// their values, and the next use builds the window again and runs Form_Load again.
class Form {
  public:
    Form(App& app, std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    App& app() const { return *app_; }
    const std::string& name() const { return name_; }

    bool loaded() const { return loaded_; }
    void load(); // creates the window when it does not exist
    bool visible() const { return loaded_ && visible_; }
    bool modal() const { return modal_; }

    void Show();      // modeless: returns at once
    void ShowModal(); // returns when the form is hidden or unloaded
    void Hide();
    void Unload(); // from code: Form_QueryUnload with kUnloadCode, then the window goes

    // Window properties (using them creates the window).
    const std::string& caption();
    void setCaption(std::string caption);
    void setFocus();

    // A dialog or box with a window of its own size, rather than a page of the wizard's
    // one steady window.
    bool dialogWindow() const { return dialogWindow_; }

    // Keyboard focus, kept here; a window shows it where the model says. A form that is
    // shown without a control asking for the focus gives it, once the event that showed it
    // is over, to its first field: the chosen option of a group, else the forward button.
    Control* focused() const { return loaded_ ? focused_ : nullptr; }
    // The controls in the order the window shows them: declaration order, a row of buttons
    // left to right as drawn (arrangeButtonRow).
    std::vector<Control*> drawnOrder() const;
    // The controls Tab visits, in the drawn order: each that can have the focus, of a group
    // of options only the chosen one (the first when none is).
    std::vector<Control*> tabOrder() const;
    // A key pressed in the window; false when the model gives it no meaning here. While a
    // user action of the form runs, Enter, arrows and a field's own keys are taken and
    // dropped; Escape (the cancel button) and Tab still act.
    bool userKey(Key key);
    // A handler that the user's input started on this form runs (Control::takesUserInput).
    bool busy() const { return userActions_ > 0; }
    // The user put the focus on a control (a click, an access key).
    void userFocus(Control& control);

    // The controls the form declares, made afresh without creating its window or running
    // any of its code but Build (a renderer measures a page it has not shown). A loaded
    // form gives none.
    std::vector<std::unique_ptr<Control>> declaredControls();

    // The controls (using them creates the window). A page names one through its member
    // (ControlRef), never by a name.
    const std::vector<std::unique_ptr<Control>>& controls();
    // The controls without creating the window (renderer, checks).
    const std::vector<std::unique_ptr<Control>>& controlsIfLoaded() const { return controls_; }

    // The user closes the window from its title bar.
    void userClose();

  protected:
    // Declares the controls with their captions, lists and handlers.
    virtual void Build() = 0;
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(int& cancel, int unloadMode) {
        (void)cancel;
        (void)unloadMode;
    }
    virtual void Form_Unload() {}

    Control& add(ControlKind kind, const std::string& name, int index = -1);
    Control& label(const std::string& name, const std::string& caption, int index = -1);
    Control& textBox(const std::string& name, int index = -1);
    Control& checkBox(const std::string& name, const std::string& caption, int index = -1);
    Control& option(const std::string& name, const std::string& caption, int index = -1);
    Control& combo(const std::string& name, ComboStyle style, std::vector<std::string> items,
                   int index = -1);
    Control& listBox(const std::string& name, std::vector<std::string> items, int index = -1);
    Control& button(const std::string& name, const std::string& caption, int index = -1);
    Control& frame(const std::string& name, const std::string& caption, int index = -1);
    Control& timer(const std::string& name, int intervalMs = 0, bool enabled = false);
    Control& image(const std::string& name, const std::string& picture);
    Control& progressBar(const std::string& name, int min = 0, int max = 100);
    Control& scrollBar(const std::string& name, int min, int max);
    Control& line(const std::string& name);
    // The same, for a control the page declares as a member.
    Control& label(const ControlRef& c, const std::string& caption);
    Control& textBox(const ControlRef& c);
    Control& checkBox(const ControlRef& c, const std::string& caption);
    Control& option(const ControlRef& c, const std::string& caption);
    Control& combo(const ControlRef& c, ComboStyle style, std::vector<std::string> items);
    Control& listBox(const ControlRef& c, std::vector<std::string> items);
    Control& button(const ControlRef& c, const std::string& caption);
    Control& frame(const ControlRef& c, const std::string& caption);
    Control& timer(const ControlRef& c, int intervalMs = 0, bool enabled = false);
    Control& image(const ControlRef& c, const std::string& picture);
    Control& progressBar(const ControlRef& c, int min = 0, int max = 100);
    Control& scrollBar(const ControlRef& c, int min, int max);
    Control& line(const ControlRef& c);

    // Set in the constructor: the colour text boxes start with, and the window kind.
    void setTextBoxColour(std::uint32_t colour) { textBoxColour_ = colour; }
    void setDialogWindow(bool on) { dialogWindow_ = on; }

  public:
    // The member names the form declares (ControlRef members) that its Build makes no
    // control of: a member left behind when a control went. Creates the window.
    std::vector<std::string> unbuiltMembers();

  private:
    friend class Control;
    friend class App;
    friend class ControlRef;
    void destroyWindow();
    const std::string& builtIn(const ControlRef& c) const;
    // The control of that name; one the form lacks is a programming error (logic_error).
    Control& ctl(const std::string& name, int index);
    Control* find(const std::string& name, int index);
    void focusOn(Control* control, bool chosen);
    void focusLeaves(Control& control);
    void focusFirst();
    Control* nextStop(const Control* from, bool forward) const;
    bool press(bool (Control::*role)() const);

    App* app_;
    std::string name_;
    std::string caption_;
    bool loaded_ = false;
    bool loading_ = false;
    bool visible_ = false;
    bool modal_ = false;
    bool declaring_ = false;
    bool dialogWindow_ = false;
    std::uint32_t textBoxColour_ = kDesktop;
    Control* focused_ = nullptr;
    bool focusChosen_ = false; // a control asked for the focus since the form was shown
    bool wantsFocus_ = false;  // shown: the first field takes the focus once the event ends
    int userActions_ = 0;      // handlers the user's input started, running
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<std::string> members_; // names of the ControlRef members
};

// A control a page declares once, as a member, so that every use names it through the
// member and a misspelt or removed control does not compile. It finds its control on each
// use, so it sees the new control after the window was rebuilt. A control array is one
// member; `Check1[6]` is one of its elements.
class ControlRef {
  public:
    ControlRef(Form& form, std::string name) : form_(&form), name_(std::move(name)) {
        form.members_.push_back(name_);
    }
    ControlRef(const ControlRef&) = default;
    ControlRef& operator=(const ControlRef&) = delete;

    Control& operator*() const { return form_->ctl(name_, index_); }
    Control* operator->() const { return &form_->ctl(name_, index_); }
    // The control, or none when the form does not build it (tests report it).
    Control* built() const { return form_->find(name_, index_); }
    ControlRef operator[](int index) const { return ControlRef(*this, index); }

    Form& form() const { return *form_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }

  private:
    ControlRef(const ControlRef& array, int index)
        : form_(array.form_), name_(array.name_), index_(index) {}

    Form* form_;
    std::string name_;
    int index_ = -1;
};

} // namespace ui
