#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tools {

using Lookup = std::function<std::optional<std::string>(const std::string& name)>;

// Expands %NAME% from the lookup as a batch file does: an unknown name expands to nothing,
// "%%" gives "%", a "%" without a closing one stays as it is.
std::string expandVariables(const std::string& line, const Lookup& lookup);

// The command lines of a batch file, in order: line ends CR LF or LF, blank lines, "REM"
// and "::" comments and "echo off"/"echo on" dropped, a leading "@" removed, variables
// expanded.
std::vector<std::string> batchCommands(const std::string& fileText, const Lookup& lookup);

// True when the program name names a batch file (".bat" or ".cmd", any case).
bool isBatchFile(const std::string& program);

// The launcher's command line from its arguments: one argument is the command line itself
// (split later by the same rules as a batch line, quotes grouping words); several are joined,
// each quoted where needed, so that they come back unchanged.
std::string commandLineFromArguments(const std::vector<std::string>& arguments);

} // namespace tools
