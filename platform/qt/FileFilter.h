#pragma once
#include <string>
#include <vector>

namespace uiqt {

// Turns a file dialog filter of "Description|patterns|Description|patterns" pairs into
// Qt name filters "Description (patterns)"; patterns separated by ";" become blank-separated.
// A description that already ends in its patterns in parentheses is kept as it is.
std::vector<std::string> toQtNameFilters(const std::string& filter);

// A caption without its access-key marks: "&Next" -> "Next", "&&" -> "&".
std::string stripAccessKeys(const std::string& caption);

// Text with CR LF line ends as the toolkit shows it (LF), and back.
std::string toDisplayLines(const std::string& text);
std::string fromDisplayLines(const std::string& text);

} // namespace uiqt
