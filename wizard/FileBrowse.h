#pragma once
#include <string>

namespace ui {
class App;
class ControlRef;
} // namespace ui

namespace wizard {

// Blanks before the file browser's answer: Kestrel drops them, Osprey keeps them.
enum class LeadingBlanks { Keep, Drop };

// The name taken from the file browser's answer: anything from the first NUL dropped, at most
// 256 characters, `extension` (with its dot) added when there is no dot.
std::string browsedFileName(const std::string& answer, const std::string& extension,
                            LeadingBlanks blanks);

// True when a save/load dialog refuses the name before touching any file.
bool isInvalidFileName(const std::string& name);

// What a Browse button asks the file browser for.
struct BrowseFor {
    std::string filter;    // "Description|*.ext|..." pairs
    std::string extension; // given to a name without a dot
    LeadingBlanks blanks;
};

// Opens the file browser in `folder` and puts the chosen name (browsedFileName) into
// `field`; a cancelled browser leaves the field as it was.
void browseInto(ui::App& app, const ui::ControlRef& field, const std::string& folder,
                const BrowseFor& what);

} // namespace wizard
