#pragma once
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace a11y_test {

// One object of a window as a screen reader reads it over the accessibility bus.
struct Read {
    std::string role; // "combo box", "radio button", "text", ...
    std::string name;
    std::string label; // the names of the objects that label it, not those around it (a
                       // frame is its group, not its label), joined by blanks
    std::string text;  // what its text interface holds
    bool checked = false;
    bool editable = false;
    bool readOnly = false;
    bool showing = false;
    std::vector<Read> children;

    // This and every object inside it, depth first.
    void walk(const std::function<void(const Read&, const Read* parent)>& visit,
              const Read* parent = nullptr) const;
};

// Reads the program's windows over the accessibility bus of the current environment.
class BusReader {
  public:
    BusReader();
    ~BusReader();
    BusReader(const BusReader&) = delete;
    BusReader& operator=(const BusReader&) = delete;

    // The window of process `pid` titled `title` once it is shown, read whole; nothing when
    // it is not within `timeoutMs`.
    std::optional<Read> window(pid_t pid, const std::string& title, int timeoutMs);

    // Starts noting which objects announce a new name (as a list does when its entry
    // changes). Programs learn that someone listens when they start; those running already
    // may learn it late.
    void listen();
    // After `waitMs`, the names that objects of process `pid` announced since listen() or the
    // last call, as they read now.
    std::vector<std::string> announcedNames(pid_t pid, int waitMs);
    void stopListening();

  private:
    struct Listening;
    Listening* listening_ = nullptr;
};

} // namespace a11y_test
