#include "platform/ui/Control.h"

#include "platform/sys/Encoding.h"
#include "platform/ui/App.h"
#include "platform/ui/Form.h"

#include <algorithm>
#include <stdexcept>

namespace ui {

ButtonRow arrangeButtonRow(const std::vector<const Control*>& row) {
    ButtonRow arranged;
    for (const Control* c : row) {
        if (c->layout().back && !arranged.back)
            arranged.back = c;
        else if (c->isDefault() && !arranged.forward)
            arranged.forward = c;
        else if (c->isCancel() && !arranged.cancel)
            arranged.cancel = c;
    }
    if (arranged.forward && arranged.forward->isCancel() && arranged.cancel)
        arranged.cancel = nullptr; // one button is both (an About box's OK): any other is plain
    if (!arranged.navigation()) {
        arranged.back = nullptr;
        arranged.others = row;
        return arranged;
    }
    for (const Control* c : row)
        if (c != arranged.back && c != arranged.forward && c != arranged.cancel)
            arranged.others.push_back(c);
    return arranged;
}

std::vector<const Control*> ButtonRow::leftToRight() const {
    std::vector<const Control*> order = others;
    for (const Control* c : {back, forward, cancel})
        if (c)
            order.push_back(c);
    return order;
}

std::string fitEdit(std::string_view before, std::string_view after, int limit) {
    if (limit <= 0)
        return std::string(after);
    const std::size_t room =
        std::max<std::size_t>(static_cast<std::size_t>(limit), sys::charCount(before));
    const std::size_t total = sys::charCount(after);
    if (total <= room)
        return std::string(after);
    // What the edit left alone: the characters both texts begin with, and the bytes both end
    // with, from a character start on and not reaching back into that beginning.
    std::size_t head = 0;
    char32_t code;
    while (head < after.size() && head < before.size()) {
        const std::size_t n = sys::charAt(after, head, code);
        if (after.substr(head, n) != before.substr(head, n))
            break;
        head += n;
    }
    std::size_t same = 0;
    while (same < after.size() - head && same < before.size() - head &&
           after[after.size() - 1 - same] == before[before.size() - 1 - same])
        ++same;
    std::size_t tail = head;
    while (tail < after.size() - same)
        tail += sys::charAt(after, tail, code);
    const std::string_view inserted = after.substr(head, tail - head);
    const std::size_t kept = total - sys::charCount(inserted);
    return std::string(after.substr(0, head)) + sys::leftChars(inserted, room - kept) +
           std::string(after.substr(tail));
}

Control::Control(Form& form, ControlKind kind, std::string name, int index)
    : form_(&form), kind_(kind), name_(std::move(name)), index_(index) {
    if (kind_ == ControlKind::Timer)
        enabled_ = false;
}

std::string Control::fullName() const {
    return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::changed(Prop p) {
    if (form_->declaring_)
        return; // declared for measuring only: no window shows it
    if (Host* h = form_->app().host())
        h->controlChanged(*this, p);
}

void Control::run(const std::function<void()>& handler) {
    form_->app().throwIfEnded();
    if (handler)
        handler();
}

Control& Control::setEnabled(bool on) {
    if (enabled_ != on) {
        enabled_ = on;
        if (kind_ == ControlKind::Timer)
            scheduleTimer();
        if (!on)
            form_->focusLeaves(*this); // before the window disables it, so it follows
        changed(Prop::Enabled);
    }
    return *this;
}

Control& Control::setVisible(bool on) {
    if (visible_ != on) {
        visible_ = on;
        if (!on)
            form_->focusLeaves(*this);
        changed(Prop::Visible);
    }
    return *this;
}

Control& Control::setToolTip(std::string tip) {
    toolTip_ = std::move(tip);
    changed(Prop::ToolTip);
    return *this;
}

Control& Control::setAccessibleName(std::string name) {
    accessibleName_ = std::move(name);
    changed(Prop::AccessibleName);
    return *this;
}

bool Control::takesFocus() const {
    switch (kind_) {
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::Button:
    case ControlKind::ScrollBar:
        return true;
    default:
        return false;
    }
}

bool Control::canFocus() const {
    if (!takesFocus() || !enabled_ || !visible_)
        return false;
    if (layout_.container.empty())
        return true;
    for (const auto& c : form_->controlsIfLoaded())
        if (c->kind_ == ControlKind::Frame && c->name_ == layout_.container)
            return c->enabled_ && c->visible_;
    return true;
}

bool Control::hasFocus() const {
    return form_->focused() == this;
}

void Control::setFocus() {
    form_->focusOn(this, true);
}

Control& Control::setCaption(std::string caption) {
    if (caption_ != caption) {
        caption_ = std::move(caption);
        changed(Prop::Caption);
    }
    return *this;
}

Control& Control::setText(std::string text) {
    if (kind_ == ControlKind::ComboBox && comboStyle_ == ComboStyle::DropDownList) {
        // A drop-down list shows only its items: the text picks the matching one.
        for (int i = 0; i < listCount(); ++i)
            if (items_[i] == text) {
                setListIndex(i);
                return *this;
            }
        return *this;
    }
    if (text_ == text)
        return *this;
    text_ = std::move(text);
    if (kind_ == ControlKind::ComboBox) {
        int match = -1;
        for (int i = 0; i < listCount(); ++i)
            if (items_[i] == text_) {
                match = i;
                break;
            }
        if (listIndex_ != match) {
            listIndex_ = match;
            changed(Prop::ListIndex);
        }
    }
    changed(Prop::Text);
    run(onChange);
    return *this;
}

Control& Control::setPasswordChar(std::string ch) {
    if (passwordChar_ != ch) {
        passwordChar_ = std::move(ch);
        changed(Prop::PasswordChar);
    }
    return *this;
}

Control& Control::setMaxLength(int n) {
    maxLength_ = n < 0 ? 0 : n;
    changed(Prop::MaxLength);
    return *this;
}

Control& Control::setBackColor(std::uint32_t colour) {
    if (backColor_ != colour) {
        backColor_ = colour;
        changed(Prop::BackColor);
    }
    return *this;
}

Control& Control::setMultiLine(bool on) {
    multiLine_ = on;
    changed(Prop::Text);
    return *this;
}

Control& Control::setReadOnly(bool on) {
    if (readOnly_ != on) {
        readOnly_ = on;
        changed(Prop::ReadOnly);
    }
    return *this;
}

Control& Control::setValue(int v) {
    switch (kind_) {
    case ControlKind::CheckBox:
        v = v == 0 ? 0 : (v == 2 ? 2 : 1);
        if (value_ == v)
            return *this;
        value_ = v;
        changed(Prop::Value);
        run(onClick);
        return *this;
    case ControlKind::OptionButton: {
        v = v != 0 ? 1 : 0;
        if (value_ == v)
            return *this;
        value_ = v;
        if (v) {
            // One option of a group is true: the group is the form or the frame. The focus
            // stays with the group's chosen option.
            bool hadFocus = false;
            for (const auto& c : form_->controlsIfLoaded())
                if (c.get() != this && c->kind_ == ControlKind::OptionButton &&
                    c->layout_.container == layout_.container && c->value_ != 0) {
                    c->value_ = 0;
                    hadFocus = hadFocus || c->hasFocus();
                    c->changed(Prop::Value);
                }
            if (hadFocus && canFocus())
                form_->focusOn(this, false);
        }
        changed(Prop::Value);
        if (v)
            run(onClick);
        return *this;
    }
    case ControlKind::ScrollBar:
    case ControlKind::ProgressBar:
        if (v < min_)
            v = min_;
        if (v > max_)
            v = max_;
        if (value_ == v)
            return *this;
        value_ = v;
        changed(Prop::Value);
        if (kind_ == ControlKind::ScrollBar)
            run(onChange);
        return *this;
    default:
        value_ = v;
        changed(Prop::Value);
        return *this;
    }
}

Control& Control::setValueText(std::string text, double step) {
    valueText_ = std::move(text);
    valueStep_ = step > 0 ? step : 1;
    changed(Prop::ValueText);
    return *this;
}

Control& Control::setRange(int min, int max) {
    min_ = min;
    max_ = max < min ? min : max;
    changed(Prop::Range);
    if (value_ < min_ || value_ > max_)
        setValue(value_ < min_ ? min_ : max_);
    return *this;
}

Control& Control::setComboStyle(ComboStyle style) {
    comboStyle_ = style;
    changed(Prop::Items);
    return *this;
}

const std::string& Control::list(int i) const {
    static const std::string empty;
    if (i < 0 || i >= listCount())
        return empty;
    return items_[i];
}

Control& Control::addItem(std::string item) {
    items_.push_back(std::move(item));
    changed(Prop::Items);
    return *this;
}

Control& Control::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    listIndex_ = -1;
    if (comboStyle_ == ComboStyle::DropDownList || kind_ == ControlKind::ListBox)
        text_.clear();
    changed(Prop::Items);
    return *this;
}

Control& Control::clear() {
    return setItems({});
}

bool Control::setListIndex(int i) {
    if (i < -1 || i >= listCount())
        return false;
    if (listIndex_ == i)
        return true;
    listIndex_ = i;
    if (i >= 0)
        text_ = items_[i];
    else if (comboStyle_ == ComboStyle::DropDownList || kind_ == ControlKind::ListBox)
        text_.clear();
    changed(Prop::ListIndex);
    run(onClick);
    return true;
}

Control& Control::setDefault(bool on) {
    default_ = on;
    changed(Prop::Caption);
    return *this;
}

Control& Control::setCancel(bool on) {
    cancel_ = on;
    return *this;
}

Control& Control::setInterval(int ms) {
    interval_ = ms < 0 ? 0 : ms;
    scheduleTimer();
    changed(Prop::Interval);
    return *this;
}

void Control::scheduleTimer() {
    if (kind_ != ControlKind::Timer)
        return;
    nextDue_ = (enabled_ && interval_ > 0) ? form_->app().now() + interval_ : -1;
}

Control& Control::setPicture(std::string picture) {
    picture_ = std::move(picture);
    changed(Prop::Picture);
    return *this;
}

bool Control::takesUserInput() const {
    if (inUserAction_)
        return false;
    return form_->userActions_ == 0 || (kind_ == ControlKind::Button && cancel_);
}

bool Control::actForUser(const std::function<void()>& action) {
    if (!takesUserInput())
        return false;
    // The control outlives its handler (an unloaded window's controls wait in the graveyard
    // until no handler runs), and the form lives for the whole run.
    inUserAction_ = true;
    ++form_->userActions_;
    struct Reset {
        Control* c;
        ~Reset() {
            c->inUserAction_ = false;
            --c->form_->userActions_;
        }
    } reset{this};
    action();
    return true;
}

void Control::userClick() {
    if (!enabled_ || !visible_)
        return;
    actForUser([this] {
        switch (kind_) {
        case ControlKind::CheckBox:
            setValue(value_ == 1 ? 0 : 1);
            break;
        case ControlKind::OptionButton:
            if (value_)
                run(onClick); // a click on the chosen option still clicks
            else
                setValue(1);
            break;
        default:
            run(onClick);
            break;
        }
    });
}

void Control::userType(const std::string& s) {
    actForUser([&] { typeKeys(s); });
}

void Control::typeKeys(const std::string& s) {
    // Each accepted key changes the text at once, as in a real text box: a key handler
    // (Enter acting as Next) sees everything typed before it. A key is one character.
    for (std::size_t i = 0; i < s.size();) {
        if (!enabled_ || readOnly_)
            return;
        char32_t code;
        const std::size_t n = sys::charAt(s, i, code);
        std::string typed = s.substr(i, n);
        i += n;
        int key = static_cast<int>(code);
        if (onKeyPress) {
            run([&] { onKeyPress(key); });
            if (key == 0)
                continue;
            if (key != static_cast<int>(code))
                typed = key > 0 ? sys::utf8Char(static_cast<char32_t>(key)) : std::string();
        }
        if (key == 13 || key == 27)
            continue; // Enter and Escape do not go into a single-line box
        if (key == 8) {
            const std::size_t count = sys::charCount(text_);
            if (count > 0)
                setText(sys::leftChars(text_, count - 1));
            continue;
        }
        setText(fitEdit(text_, text_ + typed, maxLength_));
    }
}

void Control::userReplaceText(std::string s) {
    if (!enabled_ || readOnly_)
        return;
    actForUser([&] { setText(fitEdit(text_, s, maxLength_)); });
}

bool Control::userSelect(int index) {
    if (!enabled_)
        return false;
    bool picked = false;
    actForUser([&] { picked = setListIndex(index); });
    return picked;
}

void Control::userDropDown() {
    if (enabled_)
        actForUser([this] { run(onDropDown); });
}

void Control::fireTimer() {
    if (inTimer_ || !enabled_ || interval_ <= 0)
        return;
    inTimer_ = true;
    nextDue_ = form_->app().now() + interval_;
    struct Reset {
        Control* c;
        ~Reset() { c->inTimer_ = false; }
    } reset{this};
    // Keep the handler alive even if the page unloads itself inside it.
    auto handler = onTimer;
    run(handler);
}

Control& Control::in(const ControlRef& frame) {
    return in(frame.name());
}

} // namespace ui
