#pragma once
#include "tests/fixtures/TempFolder.h"

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace a11y_test {

// A program started with pipes to its standard input and output; ended (SIGTERM, then
// SIGKILL) and waited for when it goes.
class Child {
  public:
    // Starts `argv` with `env`; `group` 0 makes it lead a process group of its own, another
    // id puts it in that group; its errors go to `errors` when given. Check started().
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
          pid_t group = 0, const std::string& errors = {});
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // One line of its output, without the line end; empty once `timeoutMs` passed or the
    // output ended.
    std::string readLine(int timeoutMs);
    bool writeLine(const std::string& line);
    // Closes its input and waits up to `timeoutMs` for it to end; its wait status, or -1.
    int finish(int timeoutMs);

  private:
    pid_t pid_ = -1;
    int in_ = -1;  // its standard input
    int out_ = -1; // its standard output
    std::string buffered_;
    bool reaped_ = false;
};

// A desktop of the test's own, as a screen reader sees one: an X server (Xvfb), a session
// bus and the accessibility bus that the session bus starts on demand, with a home and
// runtime folder in a temporary folder. Everything it started ends with it.
class PrivateDesktop {
  public:
    PrivateDesktop();
    ~PrivateDesktop();
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    // Empty when the desktop is up; else why not (a program missing or failing).
    const std::string& missing() const { return missing_; }
    // The environment a program on this desktop runs with (VAR=value).
    const std::vector<std::string>& environment() const { return env_; }
    // Sets the environment of this process to the desktop's (for the reader).
    void enter() const;

  private:
    test_fixtures::TempFolder folder_{"a11y-desktop"};
    std::vector<std::string> env_;
    std::unique_ptr<Child> x_;
    std::unique_ptr<Child> bus_;
    std::string missing_;
};

} // namespace a11y_test
