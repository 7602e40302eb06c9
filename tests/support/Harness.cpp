#include "tests/support/Harness.h"

#include <gtest/gtest.h>

namespace testing_support {

ScriptedMessageBoxes& ScriptedMessageBoxes::expect(std::string title, std::string text, int answer,
                                                   int flags) {
    expected_.push_back(Expected{std::move(title), std::move(text), false, answer, flags, {}});
    return *this;
}

ScriptedMessageBoxes& ScriptedMessageBoxes::expectContaining(std::string title,
                                                             std::string fragment, int answer,
                                                             int flags) {
    expected_.push_back(Expected{std::move(title), std::move(fragment), true, answer, flags, {}});
    return *this;
}

ScriptedMessageBoxes& ScriptedMessageBoxes::during(std::function<void()> action) {
    if (!expected_.empty())
        expected_.back().during = std::move(action);
    return *this;
}

int ScriptedMessageBoxes::show(const ui::MessageBoxRequest& request) {
    shown_.push_back(request);
    int firstButton =
        (request.flags & ui::mb::ButtonMask) == ui::mb::YesNo ? ui::mb::Yes : ui::mb::Ok;
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected message box \"" << request.title << "\": " << request.text;
        return firstButton;
    }
    Expected e = std::move(expected_.front());
    expected_.pop_front();
    EXPECT_EQ(e.title, request.title) << "box text: " << request.text;
    if (e.contains) {
        EXPECT_NE(request.text.find(e.text), std::string::npos)
            << "box \"" << request.title << "\" text: " << request.text;
    } else {
        EXPECT_EQ(e.text, request.text) << "box \"" << request.title << "\"";
    }
    if (e.flags >= 0) {
        EXPECT_EQ(e.flags, request.flags) << "box \"" << request.title << "\"";
    }
    if (e.during)
        e.during();
    return e.answer;
}

std::optional<std::string> ScriptedFileBrowser::browse(const ui::FileBrowseRequest& request) {
    requests_.push_back(request);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected file dialog \"" << request.title << "\"";
        return std::nullopt;
    }
    auto a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

Harness::Harness() : app(clock, boxes, browser) {
    // A wait that never ends fails the test instead of hanging it.
    app.setStallLimit(24LL * 3600 * 1000);
}

Harness::~Harness() {
    EXPECT_TRUE(boxes.allShown()) << boxes.pending() << " expected message box(es) never shown";
}

ui::Control* Harness::usable(const ui::ControlRef& ref) {
    ui::Form& form = ref.form();
    if (app.ended()) {
        ADD_FAILURE() << "the program has ended; cannot use " << form.name() << "." << ref.name();
        return nullptr;
    }
    if (!form.visible()) {
        ADD_FAILURE() << "form " << form.name() << " is not visible";
        return nullptr;
    }
    ui::Control* c = ref.built();
    if (!c) {
        ADD_FAILURE() << "form " << form.name() << " has no control " << ref.name() << "("
                      << ref.index() << ")";
        return nullptr;
    }
    if (!c->enabled() || !c->visible()) {
        ADD_FAILURE() << form.name() << "." << c->fullName() << " is disabled or hidden";
        return nullptr;
    }
    return c;
}

void Harness::click(const ui::ControlRef& ref) {
    if (ui::Control* c = usable(ref))
        app.dispatch([c] { c->userClick(); });
}

void Harness::type(const ui::ControlRef& ref, const std::string& keys) {
    if (ui::Control* c = usable(ref))
        app.dispatch([c, &keys] { c->userType(keys); });
}

void Harness::setText(const ui::ControlRef& ref, const std::string& text) {
    if (ui::Control* c = usable(ref))
        app.dispatch([c, &text] { c->userReplaceText(text); });
}

void Harness::select(const ui::ControlRef& ref, int listIndex) {
    if (ui::Control* c = usable(ref)) {
        bool ok = true;
        app.dispatch([&] { ok = c->userSelect(listIndex); });
        EXPECT_TRUE(ok) << ref.form().name() << "." << c->fullName() << " has no entry "
                        << listIndex;
    }
}

void Harness::dropDown(const ui::ControlRef& ref) {
    if (ui::Control* c = usable(ref))
        app.dispatch([c] { c->userDropDown(); });
}

void Harness::close(ui::Form& form) {
    if (!form.visible()) {
        ADD_FAILURE() << "form " << form.name() << " is not visible";
        return;
    }
    form.userClose();
}

bool Harness::waitUntil(const std::function<bool()>& done, std::int64_t limitMs,
                        std::int64_t stepMs) {
    const std::int64_t end = app.now() + limitMs;
    while (!done()) {
        if (ended() || app.now() >= end)
            return done();
        wait(stepMs);
    }
    return true;
}

void Harness::key(ui::Form& form, ui::Key key) {
    if (!form.visible()) {
        ADD_FAILURE() << "form " << form.name() << " is not visible";
        return;
    }
    app.dispatch([&] { form.userKey(key); });
}

std::string Harness::focusOf(ui::Form& form) {
    const ui::Control* c = form.focused();
    return c ? c->fullName() : std::string();
}

std::vector<std::string> Harness::visibleForms() const {
    std::vector<std::string> names;
    for (ui::Form* f : app.visibleForms())
        names.push_back(f->name());
    return names;
}

std::string Harness::visibleForm() const {
    auto v = visibleForms();
    return v.size() == 1 ? v.front() : std::string();
}

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::size_t pos = 0;
    for (;;) {
        auto next = text.find("\r\n", pos);
        lines.push_back(text.substr(pos, next == std::string::npos ? next : next - pos));
        if (next == std::string::npos)
            break;
        pos = next + 2;
    }
    return lines;
}

} // namespace testing_support
