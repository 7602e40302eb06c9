#pragma once
#include "platform/ui/App.h"
#include "platform/ui/Clock.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// Message boxes answered from a script. A box the script does not expect fails the test
// (the box is then answered with its first button).
class ScriptedMessageBoxes : public ui::MessageBoxes {
  public:
    struct Expected {
        std::string title;
        std::string text;      // exact, unless contains is set
        bool contains = false; // text is a fragment of the box's text
        int answer = ui::mb::Ok;
        int flags = -1;               // -1: not checked
        std::function<void()> during; // runs while the box is open, before it answers
    };

    // Expects the next box with exactly this title and text.
    ScriptedMessageBoxes& expect(std::string title, std::string text, int answer = ui::mb::Ok,
                                 int flags = -1);
    // Expects the next box with this title and a text holding the fragment.
    ScriptedMessageBoxes& expectContaining(std::string title, std::string fragment,
                                           int answer = ui::mb::Ok, int flags = -1);
    // Runs an action while the last expected box is open (nested input).
    ScriptedMessageBoxes& during(std::function<void()> action);

    int show(const ui::MessageBoxRequest& request) override;

    const std::vector<ui::MessageBoxRequest>& shown() const { return shown_; }
    bool allShown() const { return expected_.empty(); }
    std::size_t pending() const { return expected_.size(); }
    void clear() {
        expected_.clear();
        shown_.clear();
    }

  private:
    std::deque<Expected> expected_;
    std::vector<ui::MessageBoxRequest> shown_;
};

// A text split at CR LF, as the pages write multi-line texts; a CR LF at the end gives an
// empty last line, an empty text no lines.
std::vector<std::string> crlfLines(const std::string& text);

// The file dialog answered from a script; an unexpected browse fails the test.
class ScriptedFileBrowser : public ui::FileBrowser {
  public:
    ScriptedFileBrowser& answer(std::optional<std::string> path) {
        answers_.push_back(std::move(path));
        return *this;
    }
    std::optional<std::string> browse(const ui::FileBrowseRequest& request) override;
    const std::vector<ui::FileBrowseRequest>& requests() const { return requests_; }

  private:
    std::deque<std::optional<std::string>> answers_;
    std::vector<ui::FileBrowseRequest> requests_;
};

// A headless program: virtual clock, scripted boxes and browser, and the user's actions by
// control name. Every action runs as an event (a ProgramEnded inside it ends the program).
class Harness {
  public:
    Harness();
    ~Harness();

    ui::VirtualClock clock;
    ScriptedMessageBoxes boxes;
    ScriptedFileBrowser browser;
    ui::App app;

    // User actions; each fails the test when the form is not visible or the control is
    // disabled, as a user could not do it.
    void click(const ui::ControlRef& c);
    void type(const ui::ControlRef& c, const std::string& keys);
    void setText(const ui::ControlRef& c, const std::string& text);
    void select(const ui::ControlRef& c, int listIndex);
    void dropDown(const ui::ControlRef& c);
    void close(ui::Form& form); // the close box
    void key(ui::Form& form, ui::Key key);
    // The full name of the control with the focus on a form, "" when none.
    static std::string focusOf(ui::Form& form);

    // Runs code as an event (program start, a call a test makes on a page).
    void run(const std::function<void()>& event) { app.dispatch(event); }
    // The same; true when the code returned, false when the program ended inside it.
    bool returns(const std::function<void()>& event) {
        bool returned = false;
        app.dispatch([&] {
            event();
            returned = true;
        });
        return returned;
    }
    // Lets virtual time pass, running timers and posted actions.
    void wait(std::int64_t ms) { app.runFor(ms); }
    // Lets virtual time pass in steps until `done` holds, the program ends or `limitMs` has
    // passed; whether `done` holds then.
    bool waitUntil(const std::function<bool()>& done, std::int64_t limitMs, std::int64_t stepMs);
    // Queues a user action at a virtual time from now (for waits and modal loops).
    void later(std::int64_t ms, std::function<void()> action) {
        app.post(std::move(action), app.now() + ms);
    }

    bool ended() const { return app.ended(); }
    std::vector<std::string> visibleForms() const;
    // The one visible form's name, "" when none or several.
    std::string visibleForm() const;

  private:
    ui::Control* usable(const ui::ControlRef& c);
};

} // namespace testing_support
