#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class Form;
class Control;
class ControlRef;

enum class ControlKind {
    Label,
    TextBox,
    CheckBox,
    OptionButton,
    ComboBox,
    ListBox,
    Button,
    ScrollBar,
    Image,
    Frame,
    ProgressBar,
    Timer,
    Line, // a separator line
};

// What changed on a control, for the renderer.
enum class Prop {
    Caption,
    Text,
    Value,
    Enabled,
    Visible,
    BackColor,
    PasswordChar,
    MaxLength,
    ToolTip,
    Items,
    ListIndex,
    Range,
    Interval,
    Picture,
    Focus,
    AccessibleName,
    ValueText,
    ReadOnly,
};

// Keys the model gives their meaning on every form (the renderer hands them over).
enum class Key {
    Enter,   // the forward button, unless the field with the focus takes Enter itself
    Escape,  // the cancel button
    Tab,     // the next control in declaration order
    BackTab, // the one before
    Up,      // arrows: within a group of options, the option before or after, chosen
    Down,
    Left,
    Right,
};

// Colours as the pages paint fields: white when enabled, button face when not.
constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kButtonFace = 0x8000000F;
// No colour of the page's own: the control follows the desktop's palette.
constexpr std::uint32_t kDesktop = 0xFFFFFFFF;

enum class ComboStyle { Editable, DropDownList };

// The text a box that takes at most `limit` characters (0: any number) holds after an edit
// turned `before` into `after`: what the edit inserted is kept as far as it fits, whole
// characters only; what it removed stays removed. A longer text set by the program may keep
// its length but not grow. The renderer applies the same rule, so widget and model agree.
std::string fitEdit(std::string_view before, std::string_view after, int limit);

// Light layout hints for the renderer; the model itself has no geometry. The rows of a form
// or frame share columns: the n-th control of a row sits in column n unless a hint moves it,
// and the fields of a column (texts, lists, bars) share its width.
struct LayoutHint {
    bool sameRow = false;    // place beside the control declared before it
    int width = 0;           // preferred width in pixels, 0: the renderer decides
    int height = 0;          // preferred height in pixels (multi-line labels, images)
    int chars = 0;           // wide enough for this many characters (text fields)
    int column = -1;         // the column it starts in, -1: the one after the control before
    bool lastColumn = false; // in the last column of its form or frame (help buttons)
    bool indented = false;   // under the option above it, as a choice that belongs to it
    bool heading = false;    // a label drawn as a heading
    bool onCaption = false;  // an image drawn at the start of its frame's caption
    bool back = false;       // the Back button of a navigation row
    std::string container;   // name of the frame holding it, empty: the form
};

// A row of buttons side by side as a window draws it. A navigation row (one with a forward or
// a cancel button) has its other buttons at the left, then Back, the forward and the cancel
// button at the right; any other row keeps the order the page declares.
struct ButtonRow {
    std::vector<const Control*> others; // in declaration order
    const Control* back = nullptr;
    const Control* forward = nullptr;
    const Control* cancel = nullptr; // none when the forward button is the cancel button too
    bool navigation() const { return forward || cancel; }
    std::vector<const Control*> leftToRight() const;
};
ButtonRow arrangeButtonRow(const std::vector<const Control*>& row);

// One control of a form. Setting a value from code runs the same handler as the user's
// action (click for check boxes, option buttons and lists; change for texts and scroll
// bars), but only when the value really changes.
class Control {
  public:
    Control(Form& form, ControlKind kind, std::string name, int index);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& form() const { return *form_; }
    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; } // -1: not part of a control array
    std::string fullName() const;        // "Check1(3)" or "IPAddr"

    // Common properties.
    bool enabled() const { return enabled_; }
    Control& setEnabled(bool on);
    bool visible() const { return visible_; }
    Control& setVisible(bool on);
    const std::string& toolTip() const { return toolTip_; }
    Control& setToolTip(std::string tip);
    // The name a screen reader announces; empty: the renderer takes the caption or label.
    const std::string& accessibleName() const { return accessibleName_; }
    Control& setAccessibleName(std::string name);

    // Keyboard focus. A control takes it by its kind; it can have it while it is visible
    // and enabled, in a frame that is too.
    bool takesFocus() const;
    bool canFocus() const;
    bool hasFocus() const;
    void setFocus();

    // Caption: labels, buttons, check boxes, option buttons, frames. "&" marks the access key.
    const std::string& caption() const { return caption_; }
    Control& setCaption(std::string caption);

    // Text: text boxes and editable combo boxes (a drop-down list's text is its item).
    const std::string& text() const { return text_; }
    Control& setText(std::string text);
    const std::string& passwordChar() const { return passwordChar_; } // "" or "*"
    Control& setPasswordChar(std::string ch);
    // Characters, not bytes; 0: no limit. Limits the user's edits only.
    int maxLength() const { return maxLength_; }
    Control& setMaxLength(int n);
    std::uint32_t backColor() const { return backColor_; }
    Control& setBackColor(std::uint32_t colour);
    bool multiLine() const { return multiLine_; }
    Control& setMultiLine(bool on);
    // A text the user reads and selects but does not change (a log); the program still sets
    // it.
    bool readOnly() const { return readOnly_; }
    Control& setReadOnly(bool on);

    // Value: check box 0/1, option button 0/1 (true/false), scroll bar and progress bar.
    int value() const { return value_; }
    Control& setValue(int v);
    bool checked() const { return value_ != 0; }
    int min() const { return min_; }
    int max() const { return max_; }
    Control& setRange(int min, int max);
    // Scroll bar: the value as the page shows it ("0.13 inch"), read out by screen readers,
    // and what one step of the value is in the unit shown; empty: the plain number.
    const std::string& valueText() const { return valueText_; }
    double valueStep() const { return valueStep_; }
    Control& setValueText(std::string text, double step);

    // Lists: combo boxes and list boxes.
    ComboStyle comboStyle() const { return comboStyle_; }
    Control& setComboStyle(ComboStyle style);
    const std::vector<std::string>& items() const { return items_; }
    int listCount() const { return static_cast<int>(items_.size()); }
    const std::string& list(int i) const;
    Control& addItem(std::string item);
    Control& setItems(std::vector<std::string> items); // replaces; index becomes -1
    Control& clear();
    int listIndex() const { return listIndex_; }
    // -1 to listCount()-1; anything else is refused and returns false, nothing changes.
    bool setListIndex(int i);

    // Buttons: the button Enter or Escape presses.
    bool isDefault() const { return default_; }
    Control& setDefault(bool on);
    bool isCancel() const { return cancel_; }
    Control& setCancel(bool on);

    // Timer: enabled() switches it; interval in milliseconds (0 stops it too).
    int interval() const { return interval_; }
    Control& setInterval(int ms);
    std::int64_t nextDueMs() const { return nextDue_; }

    // Image.
    const std::string& picture() const { return picture_; }
    Control& setPicture(std::string picture);

    LayoutHint& layout() { return layout_; }
    const LayoutHint& layout() const { return layout_; }
    Control& beside() {
        layout_.sameRow = true;
        return *this;
    }
    Control& in(std::string frame) {
        layout_.container = std::move(frame);
        return *this;
    }
    Control& in(const ControlRef& frame);
    Control& width(int px) {
        layout_.width = px;
        return *this;
    }
    Control& charsWide(int n) {
        layout_.chars = n;
        return *this;
    }
    Control& atColumn(int n) {
        layout_.column = n;
        return *this;
    }
    Control& atLastColumn() {
        layout_.lastColumn = true;
        return *this;
    }
    Control& indentedUnderOption() {
        layout_.indented = true;
        return *this;
    }
    Control& asHeading() {
        layout_.heading = true;
        return *this;
    }
    Control& onFrameCaption() {
        layout_.onCaption = true;
        return *this;
    }
    Control& asBack() {
        layout_.back = true;
        return *this;
    }

    // Handlers, plain members.
    std::function<void()> onClick;
    std::function<void()> onChange;
    std::function<void()> onDropDown;
    std::function<void()> onTimer;
    std::function<void(int& keyAscii)> onKeyPress; // set the key to 0 to drop it

    // What the user does (the renderer and the tests call these). Each runs its handler as
    // one user action of the form (see takesUserInput); input the form does not take now is
    // dropped (userSelect: false), and the window shows the model's values again.
    void userClick();                    // button, check box (toggles), option, label
    void userType(const std::string& s); // key presses at the end of the text, one a character
    void userReplaceText(std::string s); // the whole text as edited in the widget
    bool userSelect(int index);          // pick a list entry
    void userDropDown();                 // open a combo's list

    // Whether the user's input may act on this control now. While a handler that the user's
    // input started on a form runs (it may wait for the spooler, a lookup or a program, with
    // events running), the form takes no other input: a second click on its Next, Enter, a
    // pick or typed text would start a second action beside the first. Only its cancel
    // button (a click, or Escape) still acts, so that the user can leave during a wait, and
    // never while its own handler runs. The close box and focus moves are not input to a
    // control and stay open too.
    bool takesUserInput() const;

    // Run by the event loop.
    void fireTimer();

  private:
    friend class Form;
    void changed(Prop p);
    void run(const std::function<void()>& handler);
    // Runs the user's action on this control as one user action of its form; false, and
    // nothing runs, when the control takes no input now.
    bool actForUser(const std::function<void()>& action);
    void typeKeys(const std::string& s);
    void scheduleTimer();

    Form* form_;
    ControlKind kind_;
    std::string name_;
    int index_;
    bool enabled_ = true;
    bool visible_ = true;
    std::string toolTip_;
    std::string accessibleName_;
    std::string caption_;
    std::string text_;
    std::string passwordChar_;
    int maxLength_ = 0;
    std::uint32_t backColor_ = kDesktop;
    bool multiLine_ = false;
    bool readOnly_ = false;
    int value_ = 0;
    int min_ = 0;
    int max_ = 100;
    std::string valueText_;
    double valueStep_ = 1;
    ComboStyle comboStyle_ = ComboStyle::DropDownList;
    std::vector<std::string> items_;
    int listIndex_ = -1;
    bool default_ = false;
    bool cancel_ = false;
    int interval_ = 0;
    std::int64_t nextDue_ = -1;
    bool inTimer_ = false;
    bool inUserAction_ = false; // a handler the user's input started on it runs
    std::string picture_;
    LayoutHint layout_;
};

} // namespace ui
