#pragma once
#include "platform/ui/Dialogs.h"

namespace uiqt {

// Message boxes as Qt dialogs, modal over the active window. Needs a QApplication.
// Icon from the flags (16 critical, 32 question, 48 exclamation, 64 information), OK or
// Yes and No, No preselected with 256; returns mb::Ok, mb::Yes or mb::No.
class QtMessageBoxes : public ui::MessageBoxes {
  public:
    int show(const ui::MessageBoxRequest& request) override;
};

// The open or save file dialog. The filter's "Description|*.ext" pairs become Qt name
// filters; a save never asks about overwriting (the pages ask themselves).
class QtFileBrowser : public ui::FileBrowser {
  public:
    std::optional<std::string> browse(const ui::FileBrowseRequest& request) override;
};

} // namespace uiqt
