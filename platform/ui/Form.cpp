#include "platform/ui/Form.h"

#include "platform/ui/App.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace ui {

Form::Form(App& app, std::string name) : app_(&app), name_(std::move(name)) {
    app_->addForm(this);
}

Form::~Form() {
    // The window goes with the instance; no handler runs any more.
    controls_.clear();
    app_->removeForm(this);
}

void Form::load() {
    if (loaded_ || loading_)
        return;
    app_->throwIfEnded(); // after the end no page is created again
    loading_ = true;
    struct Reset {
        Form* f;
        ~Reset() { f->loading_ = false; }
    } reset{this};
    controls_.clear();
    focused_ = nullptr;
    Build();
    loaded_ = true;
    if (Host* h = app_->host())
        h->formLoaded(*this);
    Form_Load();
}

void Form::Show() {
    load();
    app_->throwIfEnded();
    if (!loaded_)
        return; // unloaded again inside Form_Load
    modal_ = false;
    if (!visible_) {
        visible_ = true;
        wantsFocus_ = !focusChosen_;
        if (Host* h = app_->host())
            h->formShown(*this);
    }
}

void Form::ShowModal() {
    load();
    app_->throwIfEnded();
    if (!loaded_)
        return;
    modal_ = true;
    if (!visible_)
        wantsFocus_ = !focusChosen_;
    visible_ = true;
    if (Host* h = app_->host())
        h->formShown(*this);
    while (loaded_ && visible_) {
        app_->DoEvents();
        if (!loaded_ || !visible_)
            break;
        app_->Sleep(10);
    }
    modal_ = false;
}

void Form::Hide() {
    load();
    if (visible_) {
        visible_ = false;
        focusChosen_ = false;
        wantsFocus_ = false;
        if (Host* h = app_->host())
            h->formHidden(*this);
    }
}

void Form::Unload() {
    if (!loaded_)
        return;
    int cancel = 0;
    Form_QueryUnload(cancel, kUnloadCode);
    if (cancel)
        return;
    destroyWindow();
}

void Form::userClose() {
    if (!loaded_)
        return;
    app_->dispatch([this] {
        int cancel = 0;
        Form_QueryUnload(cancel, kUnloadUser);
        if (cancel || !loaded_)
            return;
        destroyWindow();
    });
}

void Form::destroyWindow() {
    if (!loaded_)
        return;
    Form_Unload();
    if (!loaded_)
        return;
    if (Host* h = app_->host())
        h->formUnloading(*this);
    loaded_ = false;
    visible_ = false;
    modal_ = false;
    focused_ = nullptr;
    focusChosen_ = false;
    wantsFocus_ = false;
    caption_.clear();
    // A handler of one of these controls may still be running: keep them until it ends.
    app_->retire(std::move(controls_));
    controls_.clear();
}

const std::string& Form::caption() {
    load();
    return caption_;
}

void Form::setCaption(std::string caption) {
    load();
    caption_ = std::move(caption);
    if (Host* h = app_->host(); h && !declaring_)
        h->formCaptionChanged(*this);
}

void Form::setFocus() {
    load();
}

std::vector<std::unique_ptr<Control>> Form::declaredControls() {
    if (loaded_ || loading_)
        return {};
    loading_ = declaring_ = true;
    const std::string caption = caption_;
    struct Reset {
        Form* f;
        std::string caption;
        ~Reset() {
            f->controls_.clear();
            f->caption_ = caption;
            f->loading_ = f->declaring_ = false;
        }
    } reset{this, caption};
    Build();
    return std::move(controls_);
}

namespace {
bool sameGroup(const Control& a, const Control& b) {
    return a.kind() == ControlKind::OptionButton && b.kind() == ControlKind::OptionButton &&
           a.layout().container == b.layout().container;
}
} // namespace

std::vector<Control*> Form::drawnOrder() const {
    // The rows of the window and of each frame, as the renderer lays them out: a control
    // starts a row unless it stands beside the one before it in its container.
    std::vector<std::vector<const Control*>> rows;
    std::vector<std::size_t> rowOf(controls_.size(), 0);
    std::map<std::string, std::size_t> openRow; // container -> its last row
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const Control& c = *controls_[i];
        if (c.kind() == ControlKind::Timer) { // never drawn: no row's neighbour
            rows.push_back({&c});
            rowOf[i] = rows.size() - 1;
            continue;
        }
        std::string container = c.layout().container;
        if (c.kind() == ControlKind::Frame && container == c.name())
            container.clear();
        auto open = openRow.find(container);
        const bool afterLine =
            open != openRow.end() && rows[open->second].front()->kind() == ControlKind::Line;
        if (!c.layout().sameRow || open == openRow.end() || afterLine ||
            c.kind() == ControlKind::Line) {
            rows.emplace_back();
            openRow[container] = rows.size() - 1;
        }
        rowOf[i] = openRow[container];
        rows[rowOf[i]].push_back(&c);
    }
    // A row of buttons stands where its first button is declared, left to right.
    std::vector<Control*> order;
    std::vector<bool> placed(rows.size(), false);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const auto& row = rows[rowOf[i]];
        const bool buttons = row.size() > 1 && std::all_of(row.begin(), row.end(), [](auto* c) {
                                 return c->kind() == ControlKind::Button;
                             });
        if (!buttons) {
            order.push_back(controls_[i].get());
            continue;
        }
        if (placed[rowOf[i]])
            continue;
        placed[rowOf[i]] = true;
        for (const Control* c : arrangeButtonRow(row).leftToRight())
            order.push_back(const_cast<Control*>(c));
    }
    return order;
}

std::vector<Control*> Form::tabOrder() const {
    std::vector<Control*> order;
    if (!loaded_)
        return order;
    for (Control* c : drawnOrder()) {
        if (!c->canFocus())
            continue;
        if (c->kind() == ControlKind::OptionButton && !c->checked()) {
            // An option without the choice is a stop only while its group has none, and
            // then only the group's first.
            bool stop = true;
            bool before = true;
            for (const auto& o : controls_) {
                if (o.get() == c)
                    before = false;
                else if (sameGroup(*o, *c) && o->canFocus() && (o->checked() || before))
                    stop = false;
            }
            if (!stop)
                continue;
        }
        order.push_back(c);
    }
    return order;
}

Control* Form::nextStop(const Control* from, bool forward) const {
    const std::vector<Control*> stops = tabOrder();
    if (stops.empty())
        return nullptr;
    // Where `from` stands in the drawn order, so a control that just lost its place in the
    // order still hands the focus on to its neighbour.
    const std::vector<Control*> drawn = drawnOrder();
    const auto n = static_cast<std::ptrdiff_t>(drawn.size());
    const auto it = std::find(drawn.begin(), drawn.end(), from);
    if (it == drawn.end())
        return forward ? stops.front() : stops.back();
    const std::ptrdiff_t at = it - drawn.begin();
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t i = ((forward ? at + step : at - step) % n + n) % n;
        Control* c = drawn[static_cast<std::size_t>(i)];
        if (std::find(stops.begin(), stops.end(), c) != stops.end())
            return c;
    }
    return nullptr;
}

void Form::focusOn(Control* control, bool chosen) {
    if (declaring_)
        return; // those controls go when the measuring is done
    if (chosen) {
        focusChosen_ = true;
        wantsFocus_ = false;
    }
    focused_ = control;
    if (control)
        control->changed(Prop::Focus);
}

void Form::focusLeaves(Control& control) {
    // The control the focus was on can no longer have it: it moves on, as Tab would.
    if (loaded_ && !declaring_ && focused_ == &control)
        focusOn(nextStop(&control, true), false);
}

void Form::focusFirst() {
    wantsFocus_ = false;
    const std::vector<Control*> stops = tabOrder();
    Control* pick = nullptr;
    for (Control* c : stops)
        if (c->kind() != ControlKind::Button) {
            pick = c;
            break;
        }
    for (Control* c : stops)
        if (!pick && c->isDefault())
            pick = c;
    if (!pick && !stops.empty())
        pick = stops.front();
    focusOn(pick, false);
}

void Form::userFocus(Control& control) {
    if (!loaded_ || &control.form() != this || !control.takesFocus())
        return;
    focusChosen_ = true;
    wantsFocus_ = false;
    focused_ = &control;
}

bool Form::press(bool (Control::*role)() const) {
    for (const auto& c : controls_)
        if (c->kind() == ControlKind::Button && ((*c).*role)() && c->canFocus()) {
            c->userClick();
            return true;
        }
    return false;
}

bool Form::userKey(Key key) {
    if (!visible())
        return false;
    Control* f = focused_ && focused_->canFocus() ? focused_ : nullptr;
    switch (key) {
    case Key::Enter:
        if (busy())
            return true; // a second forward step while the first one runs
        if (f && f->onKeyPress) {
            int code = 13;
            auto handler = f->onKeyPress; // the page may unload itself inside
            f->actForUser([&] { f->run([&] { handler(code); }); });
            if (code == 0)
                return true;
        }
        return press(&Control::isDefault);
    case Key::Escape:
        return press(&Control::isCancel);
    case Key::Tab:
    case Key::BackTab:
        if (Control* next = nextStop(f ? f : focused_, key == Key::Tab)) {
            focusOn(next, true);
            return true;
        }
        return false;
    case Key::Up:
    case Key::Down:
    case Key::Left:
    case Key::Right: {
        if (!f || f->kind() != ControlKind::OptionButton)
            return false;
        if (busy())
            return true; // the choice stays while a user action of the form runs
        std::vector<Control*> group;
        for (const auto& c : controls_)
            if (sameGroup(*c, *f) && c->canFocus())
                group.push_back(c.get());
        const auto at = std::find(group.begin(), group.end(), f) - group.begin();
        const auto n = static_cast<std::ptrdiff_t>(group.size());
        const bool forward = key == Key::Down || key == Key::Right;
        Control* next = group[static_cast<std::size_t>(((forward ? at + 1 : at - 1) + n) % n)];
        focusOn(next, true);
        next->userClick();
        return true;
    }
    }
    return false;
}

Control* Form::find(const std::string& name, int index) {
    load();
    for (const auto& c : controls_)
        if (c->name() == name && c->index() == index)
            return c.get();
    return nullptr;
}

Control& Form::ctl(const std::string& name, int index) {
    if (Control* c = find(name, index))
        return *c;
    throw std::logic_error("form " + name_ + " has no control " + name +
                           (index >= 0 ? "(" + std::to_string(index) + ")" : ""));
}

const std::vector<std::unique_ptr<Control>>& Form::controls() {
    load();
    return controls_;
}

Control& Form::add(ControlKind kind, const std::string& name, int index) {
    for (const auto& c : controls_)
        if (c->name() == name && c->index() == index)
            throw std::logic_error("form " + name_ + " declares " + name + " twice");
    controls_.push_back(std::make_unique<Control>(*this, kind, name, index));
    Control& c = *controls_.back();
    if (kind == ControlKind::TextBox)
        c.backColor_ = textBoxColour_;
    if (loaded_)
        if (Host* h = app_->host())
            h->controlAdded(c);
    return c;
}

Control& Form::label(const std::string& name, const std::string& caption, int index) {
    return add(ControlKind::Label, name, index).setCaption(caption);
}

Control& Form::textBox(const std::string& name, int index) {
    return add(ControlKind::TextBox, name, index);
}

Control& Form::checkBox(const std::string& name, const std::string& caption, int index) {
    return add(ControlKind::CheckBox, name, index).setCaption(caption);
}

Control& Form::option(const std::string& name, const std::string& caption, int index) {
    return add(ControlKind::OptionButton, name, index).setCaption(caption);
}

Control& Form::combo(const std::string& name, ComboStyle style, std::vector<std::string> items,
                     int index) {
    Control& c = add(ControlKind::ComboBox, name, index);
    c.setComboStyle(style);
    c.setItems(std::move(items));
    return c;
}

Control& Form::listBox(const std::string& name, std::vector<std::string> items, int index) {
    Control& c = add(ControlKind::ListBox, name, index);
    c.setItems(std::move(items));
    return c;
}

Control& Form::button(const std::string& name, const std::string& caption, int index) {
    return add(ControlKind::Button, name, index).setCaption(caption);
}

Control& Form::frame(const std::string& name, const std::string& caption, int index) {
    return add(ControlKind::Frame, name, index).setCaption(caption);
}

Control& Form::timer(const std::string& name, int intervalMs, bool enabled) {
    Control& c = add(ControlKind::Timer, name);
    c.setInterval(intervalMs);
    c.setEnabled(enabled);
    return c;
}

Control& Form::image(const std::string& name, const std::string& picture) {
    return add(ControlKind::Image, name).setPicture(picture);
}

Control& Form::progressBar(const std::string& name, int min, int max) {
    return add(ControlKind::ProgressBar, name).setRange(min, max);
}

Control& Form::scrollBar(const std::string& name, int min, int max) {
    return add(ControlKind::ScrollBar, name).setRange(min, max);
}

Control& Form::line(const std::string& name) {
    return add(ControlKind::Line, name);
}

const std::string& Form::builtIn(const ControlRef& c) const {
    if (&c.form() != this)
        throw std::logic_error("form " + name_ + " builds " + c.name() + " of form " +
                               c.form().name());
    return c.name();
}

Control& Form::label(const ControlRef& c, const std::string& caption) {
    return label(builtIn(c), caption, c.index());
}
Control& Form::textBox(const ControlRef& c) {
    return textBox(builtIn(c), c.index());
}
Control& Form::checkBox(const ControlRef& c, const std::string& caption) {
    return checkBox(builtIn(c), caption, c.index());
}
Control& Form::option(const ControlRef& c, const std::string& caption) {
    return option(builtIn(c), caption, c.index());
}
Control& Form::combo(const ControlRef& c, ComboStyle style, std::vector<std::string> items) {
    return combo(builtIn(c), style, std::move(items), c.index());
}
Control& Form::listBox(const ControlRef& c, std::vector<std::string> items) {
    return listBox(builtIn(c), std::move(items), c.index());
}
Control& Form::button(const ControlRef& c, const std::string& caption) {
    return button(builtIn(c), caption, c.index());
}
Control& Form::frame(const ControlRef& c, const std::string& caption) {
    return frame(builtIn(c), caption, c.index());
}
Control& Form::timer(const ControlRef& c, int intervalMs, bool enabled) {
    return timer(builtIn(c), intervalMs, enabled);
}
Control& Form::image(const ControlRef& c, const std::string& picture) {
    return image(builtIn(c), picture);
}
Control& Form::progressBar(const ControlRef& c, int min, int max) {
    return progressBar(builtIn(c), min, max);
}
Control& Form::scrollBar(const ControlRef& c, int min, int max) {
    return scrollBar(builtIn(c), min, max);
}
Control& Form::line(const ControlRef& c) {
    return add(ControlKind::Line, builtIn(c), c.index());
}

std::vector<std::string> Form::unbuiltMembers() {
    load();
    std::vector<std::string> missing;
    for (const auto& member : members_)
        if (std::none_of(controls_.begin(), controls_.end(),
                         [&](const auto& c) { return c->name() == member; }))
            missing.push_back(member);
    return missing;
}

} // namespace ui
