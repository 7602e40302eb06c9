#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace proc {

// Handle of a started process; 0 when none is running or the start failed.
using Handle = std::int64_t;

// Splits a command line into arguments by the Windows rules: blanks and tabs separate;
// double quotes group; 2n backslashes before a quote give n backslashes and the quote
// toggles grouping; 2n+1 give n backslashes and a literal quote; other backslashes are
// literal; inside a group, two quotes give one literal quote. The program name (first
// argument) ends at the closing quote or the first blank and knows no escapes.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// A program's command line as the wizards read it: the arguments (without the program)
// joined by single blanks, with no blank before the first, each quoted by quoteArgument
// where it needs it, so that a part of the line handed on to another program splits into
// the same arguments again.
std::string joinArguments(int argc, const char* const* argv);

// Quotes one argument so that splitCommandLine gives it back unchanged.
std::string quoteArgument(std::string_view argument);

// Finds a program by name: a name with "/" is taken as a path (relative to the current
// folder); otherwise the program's folder, the current folder, then PATH are searched, and
// PATH alone when the program's folder is unknown (empty). "Name.exe" is found as "Name" when
// no file "Name.exe" exists. Only executable regular files count that the file writer would
// have let the user write (sys::ownFileCause): another user's file planted in a sticky folder
// everyone may write is passed over. `why` (when given) gets 0, or why nothing was found:
// the first cause other than ENOENT that a candidate gave, else ENOENT.
std::optional<std::string> findProgram(const std::string& name, const std::string& programFolder,
                                       const std::string& currentFolder, const std::string& path,
                                       int* why = nullptr);

// Starts programs from command lines. Never through a shell.
class ProcessRunner {
  public:
    virtual ~ProcessRunner() = default;
    // Starts the command line in the current folder, with the caller's environment.
    virtual Handle start(const std::string& commandLine) = 0;
    // True while the process runs; once it has ended, releases it and sets the handle to 0.
    virtual bool isRunning(Handle& handle) = 0;
    // Starts without a window and without waiting for it; true when it started.
    virtual bool startHidden(const std::string& commandLine) = 0;

    // As start(), but what the process, and the programs it starts in turn, write to
    // standard error is kept for takeErrors instead of reaching the caller's own.
    virtual Handle startCollectingErrors(const std::string& commandLine) {
        return start(commandLine);
    }
    // What a process from startCollectingErrors wrote to standard error, once isRunning
    // has seen it end; `process` is the handle start gave. Handed out once.
    virtual std::string takeErrors(Handle process) {
        (void)process;
        return {};
    }
};

// Real processes (posix_spawn, fork/execv; no shell). Programs are searched as findProgram
// says, with the given program folder (default: the running executable's). SIGXFSZ, which our
// programs ignore, is back at its default in every program started.
class RealProcessRunner : public ProcessRunner {
  public:
    RealProcessRunner();
    explicit RealProcessRunner(std::string programFolder);
    ~RealProcessRunner() override;

    Handle start(const std::string& commandLine) override;
    bool isRunning(Handle& handle) override;
    bool startHidden(const std::string& commandLine) override;
    Handle startCollectingErrors(const std::string& commandLine) override;
    std::string takeErrors(Handle process) override;

    // Waits for the process to end and returns its exit code (-1 when unknown); sets the
    // handle to 0. For command-line tools, not for the wizards' windows.
    int wait(Handle& handle);

    // Why the last start failed (an errno, or a cause of sys::fileErrorText); 0 after a start.
    int startError() const { return startError_; }

  private:
    // Standard error of a collecting process: the pipe's reading end while it runs, and
    // what came through it.
    struct Collected {
        int fd = -1;
        std::string text;
    };
    void drain(Collected& c, bool toTheEnd);

    std::string programFolder_;
    std::map<Handle, Collected> collected_;
    int startError_ = 0;
};

} // namespace proc
