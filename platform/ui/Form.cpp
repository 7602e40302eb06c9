#include "platform/ui/Form.h"

#include "platform/ui/App.h"

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
    if (Host* h = app_->host())
        h->formCaptionChanged(*this);
}

void Form::setFocus() {
    load();
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

} // namespace ui
