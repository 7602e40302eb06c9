#include "wizard/FileBrowse.h"

#include "platform/sys/Encoding.h"
#include "platform/ui/App.h"
#include "platform/ui/Form.h"

namespace wizard {

namespace {
constexpr std::size_t kMaxPath = 256;
} // namespace

std::string browsedFileName(const std::string& answer, const std::string& extension,
                            LeadingBlanks blanks) {
    std::string name = answer;
    if (blanks == LeadingBlanks::Drop) {
        const std::size_t start = answer.find_first_not_of(' ');
        name = start == std::string::npos ? std::string() : answer.substr(start);
    }
    name = sys::leftChars(name.substr(0, name.find('\0')), kMaxPath);
    if (name.find('.') == std::string::npos)
        name += extension;
    return name;
}

bool isInvalidFileName(const std::string& name) {
    // A name ending in "/" names a folder, not a file. A typed text holds only characters
    // with a Windows-1252 form, file names included.
    return name.empty() || name == " " || name.back() == '/' || !sys::toWindows1252(name);
}

void browseInto(ui::App& app, const ui::ControlRef& field, const std::string& folder,
                const BrowseFor& what) {
    ui::FileBrowseRequest request;
    request.title = "File Browser";
    request.filter = what.filter;
    request.initialDir = folder;
    const std::optional<std::string> answer = app.browse(request);
    if (answer)
        field->setText(browsedFileName(*answer, what.extension, what.blanks));
}

} // namespace wizard
