#include "platform/ui/App.h"

#include "platform/ui/Control.h"
#include "platform/ui/Form.h"

#include <algorithm>
#include <string>

namespace ui {

App::App(Clock& clock, MessageBoxes& boxes, FileBrowser& browser)
    : clock_(&clock), boxes_(&boxes), browser_(&browser) {}

App::~App() = default;

void App::addForm(Form* f) {
    forms_.push_back(f);
}

void App::removeForm(Form* f) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
}

void App::retire(std::vector<std::unique_ptr<Control>> controls) {
    for (auto& c : controls)
        graveyard_.push_back(std::move(c));
}

void App::throwIfEnded() const {
    if (ended_)
        throw ProgramEnded{};
}

int App::MsgBox(const std::string& text, int flags, const std::string& title) {
    throwIfEnded();
    settleFocus(); // a page shown just before the box has its focus when the box closes
    int r = boxes_->show(MessageBoxRequest{text, flags, title});
    throwIfEnded();
    return r;
}

std::optional<std::string> App::browse(const FileBrowseRequest& request) {
    throwIfEnded();
    settleFocus();
    auto r = browser_->browse(request);
    throwIfEnded();
    return r;
}

void App::End() {
    ended_ = true;
    posted_.clear();
    if (host_)
        host_->quit();
    throw ProgramEnded{};
}

bool App::dispatch(const std::function<void()>& event) {
    if (ended_)
        return false;
    ++depth_;
    try {
        event();
        settleFocus();
    } catch (const ProgramEnded&) {
    }
    --depth_;
    if (depth_ == 0)
        graveyard_.clear();
    return !ended_;
}

void App::post(std::function<void()> action, std::int64_t atMs) {
    posted_.push_back(Posted{atMs < 0 ? now() : atMs, seq_++, std::move(action)});
}

std::int64_t App::nextDueMs() const {
    std::int64_t best = -1;
    auto consider = [&](std::int64_t t) {
        if (t >= 0 && (best < 0 || t < best))
            best = t;
    };
    for (const Posted& p : posted_)
        consider(p.at);
    for (Form* f : forms_)
        for (const auto& c : f->controlsIfLoaded())
            if (c->kind() == ControlKind::Timer && c->enabled() && c->interval() > 0)
                consider(c->nextDueMs());
    return best;
}

void App::runDuePosted() {
    // Take the due actions first, in time order: an action may post more.
    std::vector<Posted> due;
    for (auto it = posted_.begin(); it != posted_.end();) {
        if (it->at <= now()) {
            due.push_back(std::move(*it));
            it = posted_.erase(it);
        } else {
            ++it;
        }
    }
    std::sort(due.begin(), due.end(), [](const Posted& a, const Posted& b) {
        return a.at != b.at ? a.at < b.at : a.seq < b.seq;
    });
    for (Posted& p : due) {
        throwIfEnded();
        p.action();
    }
}

void App::runDueTimers() {
    // Collect first: a handler may load or unload forms.
    struct Due {
        Form* form;
        std::string name;
        int index;
    };
    std::vector<Due> due;
    for (Form* f : forms_)
        for (const auto& c : f->controlsIfLoaded())
            if (c->kind() == ControlKind::Timer && c->enabled() && c->interval() > 0 &&
                c->nextDueMs() >= 0 && c->nextDueMs() <= now())
                due.push_back(Due{f, c->name(), c->index()});
    for (const Due& d : due) {
        throwIfEnded();
        if (std::find(forms_.begin(), forms_.end(), d.form) == forms_.end() || !d.form->loaded())
            continue;
        for (const auto& c : d.form->controlsIfLoaded())
            if (c->kind() == ControlKind::Timer && c->name() == d.name && c->index() == d.index) {
                if (c->nextDueMs() >= 0 && c->nextDueMs() <= now())
                    c->fireTimer();
                break;
            }
    }
}

void App::DoEvents() {
    throwIfEnded();
    ++depth_;
    struct Depth {
        int& d;
        ~Depth() { --d; }
    } guard{depth_};
    settleFocus();
    if (host_)
        host_->processEvents();
    throwIfEnded();
    runDuePosted();
    runDueTimers();
    throwIfEnded();
}

void App::Sleep(std::int64_t ms) {
    throwIfEnded();
    clock_->sleepMs(ms);
    if (stallLimit_ >= 0 && now() > stallLimit_)
        throw WaitStalled("a wait passed the stall limit at " + std::to_string(now()) + " ms");
}

void App::runUntil(std::int64_t targetMs) {
    auto* virt = dynamic_cast<VirtualClock*>(clock_);
    dispatch([&] {
        for (;;) {
            DoEvents();
            std::int64_t next = nextDueMs();
            if (next < 0 || next > targetMs)
                break;
            if (virt)
                virt->advanceTo(next);
            else if (next > now())
                clock_->sleepMs(next - now());
        }
    });
    if (!ended_ && now() < targetMs) {
        if (virt)
            virt->advanceTo(targetMs);
        else
            clock_->sleepMs(targetMs - now());
        dispatch([&] { DoEvents(); });
    }
}

void App::settleFocus() {
    if (ended_)
        return;
    for (Form* f : std::vector<Form*>(forms_))
        if (f->wantsFocus_ && f->visible())
            f->focusFirst();
}

std::vector<Form*> App::visibleForms() const {
    std::vector<Form*> v;
    for (Form* f : forms_)
        if (f->visible())
            v.push_back(f);
    return v;
}

} // namespace ui
