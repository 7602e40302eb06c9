#pragma once
#include <string>

namespace ui {
class Form;
}

namespace kestrel {

// What the core needs of the pages: every page by its form name, and the two page
// members it calls. The pages library implements it.
class PageSet {
  public:
    virtual ~PageSet() = default;
    // One of the twenty page names ("Intro", "WiredDlg", ...). Unknown names are a
    // programming error (std::logic_error).
    virtual ui::Form& form(const std::string& name) = 0;
    virtual void setDialogMode(int mode) = 0; // Dialog.Mode, set before Dialog is shown
    virtual void progressCleanUp() = 0;       // ProgressDlg.CleanUp
};

} // namespace kestrel
