#pragma once
#include "kestrel/core/PageControls.h"

#include <string>
#include <vector>

namespace ui {
class Form;
}

namespace kestrel {

// What the core needs of the pages: every page by its form name (to show, hide and unload
// it), the controls of the pages it reads and restores, and the two page members it
// calls. The pages library implements it.
class PageSet {
  public:
    virtual ~PageSet() = default;
    // One of the twenty page names ("Intro", "WiredDlg", ...). Unknown names are a
    // programming error (std::logic_error).
    virtual ui::Form& form(const std::string& name) = 0;
    // Every page, in the order the exit routines unload them.
    virtual std::vector<ui::Form*> all() const = 0;
    virtual void setDialogMode(int mode) = 0; // Dialog.Mode, set before Dialog is shown
    virtual void progressCleanUp() = 0;       // ProgressDlg.CleanUp

    virtual PortSelectControls& portSelect() = 0;
    virtual QuestionDlgControls& questionDlg() = 0;
    virtual WiredDlgControls& wiredDlg() = 0;
    virtual NetworkDlgControls& networkDlg() = 0;
    virtual WirelessQuestionDlgControls& wirelessQuestionDlg() = 0;
    virtual WirelessDlgControls& wirelessDlg() = 0;
    virtual EncryptQuestionDlgControls& encryptQuestionDlg() = 0;
    virtual WEPDlgControls& wepDlg() = 0;
    virtual WEPkeyDlgControls& wepKeyDlg() = 0;
    virtual WepKeysControls& wepPhraseDlg() = 0;
    virtual WPADlgControls& wpaDlg() = 0;
    virtual LEAPDlgControls& leapDlg() = 0;
    virtual ProgressDlgControls& progressDlg() = 0;
};

} // namespace kestrel
