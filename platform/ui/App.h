#pragma once
#include "platform/ui/Clock.h"
#include "platform/ui/Dialogs.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ui {

class Form;
class Control;
enum class Prop;

// Thrown by App::End and by any use of the model after it: the program ends from any
// depth and nothing of it runs afterwards. Caught only where events enter the model
// (App::dispatch, the renderer, the test harness).
struct ProgramEnded {};

// Thrown when a wait in a test passes the stall limit, so a test cannot hang.
struct WaitStalled : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What a renderer learns of the model. All calls come on the one thread.
class Host {
  public:
    virtual ~Host() = default;
    virtual void formLoaded(Form&) {}
    virtual void formUnloading(Form&) {}
    virtual void formShown(Form&) {}
    virtual void formHidden(Form&) {}
    virtual void formCaptionChanged(Form&) {}
    virtual void controlAdded(Control&) {}
    virtual void controlChanged(Control&, Prop) {}
    virtual void processEvents() {} // let the toolkit deliver pending input
    virtual void quit() {}
};

// The program's event loop state and services. One per program (one per test).
class App {
  public:
    App(Clock& clock, MessageBoxes& boxes, FileBrowser& browser);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    Clock& clock() const { return *clock_; }
    void setHost(Host* host) { host_ = host; }
    Host* host() const { return host_; }

    // Services as the pages call them.
    int MsgBox(const std::string& text, int flags, const std::string& title);
    std::optional<std::string> browse(const FileBrowseRequest& request);

    // Lets pending input, due timers and due posted actions run. Never re-enters a timer.
    void DoEvents();
    // Sleeps on the clock (virtual in tests). Throws WaitStalled past the stall limit.
    void Sleep(std::int64_t ms);
    std::int64_t now() const { return clock_->nowMs(); }

    // Queues an action (a user's input in tests) to run in DoEvents once the clock reaches
    // atMs (default: now).
    void post(std::function<void()> action, std::int64_t atMs = -1);

    // Ends the program at once: marks it ended, tells the host and throws ProgramEnded.
    [[noreturn]] void End();
    bool ended() const { return ended_; }
    void throwIfEnded() const;

    // Runs an event from outside (renderer, harness). False when the program has ended.
    bool dispatch(const std::function<void()>& event);

    // Virtual time: runs timers and posted actions until the clock reaches the target.
    void runUntil(std::int64_t targetMs);
    void runFor(std::int64_t ms) { runUntil(now() + ms); }
    // Earliest due time of an enabled timer or posted action, -1 when none.
    std::int64_t nextDueMs() const;

    // Waits longer than this (clock time since it was set) throw WaitStalled. Tests set it.
    void setStallLimit(std::int64_t ms) { stallLimit_ = ms < 0 ? -1 : now() + ms; }

    // Forms register themselves; the order is creation order.
    const std::vector<Form*>& forms() const { return forms_; }
    std::vector<Form*> visibleForms() const;

  private:
    friend class Form;
    friend class Control;
    void addForm(Form* f);
    void removeForm(Form* f);
    void retire(std::vector<std::unique_ptr<Control>> controls);
    void runDueTimers();
    void runDuePosted();
    // Forms shown since the last event give the focus to their first field.
    void settleFocus();

    Clock* clock_;
    MessageBoxes* boxes_;
    FileBrowser* browser_;
    Host* host_ = nullptr;
    bool ended_ = false;
    std::int64_t stallLimit_ = -1;
    std::vector<Form*> forms_;
    struct Posted {
        std::int64_t at;
        std::uint64_t seq;
        std::function<void()> action;
    };
    std::vector<Posted> posted_;
    std::uint64_t seq_ = 0;
    // Controls of unloaded windows, kept until no handler of theirs can still be running.
    std::vector<std::unique_ptr<Control>> graveyard_;
    int depth_ = 0;
};

} // namespace ui
