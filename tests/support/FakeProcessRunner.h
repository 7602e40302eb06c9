#pragma once
#include "platform/process/Processes.h"
#include "platform/ui/Clock.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace proc {

// A stand-in runner for tests: command lines map to scripted programs whose run time is
// measured on the (virtual) clock. Unknown command lines fail to start, like a missing
// program.
class FakeProcessRunner : public ProcessRunner {
  public:
    struct Program {
        std::int64_t durationMs = 0;   // the process ends once this much time has passed
        std::function<void()> onStart; // runs when it starts (write files, change queues)
        std::function<void()> onEnd;   // runs once, when a poll first sees it ended
        bool failsToStart = false;
    };

    explicit FakeProcessRunner(ui::Clock& clock) : clock_(&clock) {}

    // Scripts a command line (exact text).
    void on(const std::string& commandLine, Program program) {
        programs_[commandLine] = std::move(program);
    }
    // What the program of a command line writes to standard error (kept when collected).
    void writesErrors(const std::string& commandLine, std::string text) {
        errors_[commandLine] = std::move(text);
    }
    // A program for every command line not scripted (default: none, they fail to start).
    void onAnyOther(Program program) {
        other_ = std::move(program);
        hasOther_ = true;
    }

    Handle start(const std::string& commandLine) override;
    bool isRunning(Handle& handle) override;
    bool startHidden(const std::string& commandLine) override;
    Handle startCollectingErrors(const std::string& commandLine) override;
    std::string takeErrors(Handle process) override;

    // Every command line given to start, in order (started or not).
    const std::vector<std::string>& started() const { return started_; }
    // Every command line given to startHidden, in order.
    const std::vector<std::string>& startedHidden() const { return hidden_; }
    // Processes started and not yet seen ended.
    int running() const;

  private:
    struct Running {
        std::int64_t endsAt = 0;
        std::function<void()> onEnd;
        bool ended = false;
        std::optional<std::string> errors; // set when collected
    };
    const Program* find(const std::string& commandLine) const;

    ui::Clock* clock_;
    std::map<std::string, Program> programs_;
    Program other_;
    bool hasOther_ = false;
    std::map<Handle, Running> processes_;
    std::map<std::string, std::string> errors_;
    std::map<Handle, std::string> collected_; // errors of ended collecting processes
    Handle next_ = 100;
    std::vector<std::string> started_;
    std::vector<std::string> hidden_;
};

} // namespace proc
