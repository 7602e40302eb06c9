// Runs its argument as a command line in the current folder and ends after it has ended.
// A batch file runs line by line. No shell is involved.
#include "platform/process/Processes.h"
#include "platform/sys/System.h"
#include "tools/Batch.h"

#include <cstdlib>
#include <iostream>

namespace {

int run(proc::RealProcessRunner& runner, const std::string& commandLine) {
    proc::Handle handle = runner.start(commandLine);
    if (handle == 0) {
        auto args = proc::splitCommandLine(commandLine);
        std::cerr << "Plover: cannot run '" << (args.empty() ? commandLine : args[0])
                  << "': " << sys::fileErrorText(runner.startError()) << "\n";
        return 1;
    }
    return runner.wait(handle);
}

std::optional<std::string> environmentValue(const std::string& name) {
    if (const char* v = std::getenv(name.c_str()))
        return std::string(v);
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    sys::ignoreFileSizeSignal();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
        return 0;
    const std::string commandLine = tools::commandLineFromArguments(arguments);
    auto words = proc::splitCommandLine(commandLine);
    proc::RealProcessRunner runner;
    if (words.empty() || !tools::isBatchFile(words[0]))
        return run(runner, commandLine);

    // A batch file runs only where the user could have written it: never one that another
    // user planted in a folder everyone may write.
    sys::RealSystem system;
    int error = 0;
    auto text = system.readOwnFile(words[0], error);
    if (!text) {
        std::cerr << "Plover: cannot read '" << words[0] << "': " << sys::fileErrorText(error)
                  << "\n";
        return 1;
    }
    int code = 0;
    for (const auto& line : tools::batchCommands(*text, environmentValue))
        code = run(runner, line);
    return code;
}
