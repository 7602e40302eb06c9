#pragma once
#include <string>
#include <string_view>

namespace sys {

// Joins a folder and a name with "/" (no doubled separator).
std::string joinPath(const std::string& folder, const std::string& name);

// Matches a file name against a pattern of "*" (any run) and "?" (one character).
bool wildcardMatch(std::string_view pattern, std::string_view name);

} // namespace sys
