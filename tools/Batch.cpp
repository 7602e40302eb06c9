#include "tools/Batch.h"

#include "platform/process/Processes.h"
#include "platform/sys/Strings.h"

#include <cctype>

namespace tools {

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::string expandVariables(const std::string& line, const Lookup& lookup) {
    std::string out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] != '%') {
            out += line[i++];
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        auto close = line.find('%', i + 1);
        if (close == std::string::npos) {
            out += line.substr(i);
            break;
        }
        std::string name = line.substr(i + 1, close - i - 1);
        if (auto value = lookup ? lookup(name) : std::nullopt)
            out += *value;
        i = close + 1;
    }
    return out;
}

std::vector<std::string> batchCommands(const std::string& fileText, const Lookup& lookup) {
    std::vector<std::string> commands;
    std::size_t pos = 0;
    while (pos < fileText.size()) {
        auto end = fileText.find('\n', pos);
        std::string line =
            fileText.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? fileText.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = sys::trim(line, " \t");
        if (!line.empty() && line[0] == '@')
            line = sys::trim(line.substr(1), " \t");
        if (line.empty() || line.starts_with("::"))
            continue;
        std::string head = lower(line.substr(0, 4));
        if (head == "rem" || head == "rem " || head == "rem\t")
            continue;
        // Echo switches are the batch runner's own business, not programs.
        std::string lowered = lower(line);
        if (lowered == "echo off" || lowered == "echo on")
            continue;
        line = sys::trim(expandVariables(line, lookup), " \t");
        if (!line.empty())
            commands.push_back(line);
    }
    return commands;
}

bool isBatchFile(const std::string& program) {
    std::string l = lower(program);
    return l.ends_with(".bat") || l.ends_with(".cmd");
}

std::string commandLineFromArguments(const std::vector<std::string>& arguments) {
    if (arguments.size() == 1)
        return arguments.front();
    std::string line;
    for (const auto& a : arguments) {
        if (!line.empty())
            line += ' ';
        line += proc::quoteArgument(a);
    }
    return line;
}

} // namespace tools
