#pragma once
#include "kestrel/core/PageSet.h"
#include "kestrel/pages/Dialog.h"
#include "kestrel/pages/EncryptQuestionDlg.h"
#include "kestrel/pages/FinishDialog.h"
#include "kestrel/pages/HaldenAbout.h"
#include "kestrel/pages/HaldenIntro.h"
#include "kestrel/pages/Intro.h"
#include "kestrel/pages/LEAPDlg.h"
#include "kestrel/pages/LoadDlg.h"
#include "kestrel/pages/NetworkDlg.h"
#include "kestrel/pages/PortSelect.h"
#include "kestrel/pages/ProgressDlg.h"
#include "kestrel/pages/QuestionDlg.h"
#include "kestrel/pages/WEPDlg.h"
#include "kestrel/pages/WEPkeyDlg.h"
#include "kestrel/pages/WEPphraseDlg.h"
#include "kestrel/pages/WPADlg.h"
#include "kestrel/pages/WiredDlg.h"
#include "kestrel/pages/WirelessDlg.h"
#include "kestrel/pages/WirelessQuestionDlg.h"
#include "kestrel/pages/frmAbout.h"
#include "wizard/PageList.h"

#include <string>
#include <vector>

namespace ui {
class App;
class Form;
} // namespace ui

namespace kestrel {

class Core;

// Every page once, in the order the exit routines unload them (Dialog first; after a save it
// has unloaded itself and is left out). They are created in this order too.
using KestrelPageList =
    wizard::PageList<Dialog, EncryptQuestionDlg, FinishDialog, frmAbout, HaldenAbout, HaldenIntro,
                     Intro, NetworkDlg, LEAPDlg, LoadDlg, PortSelect, ProgressDlg, QuestionDlg,
                     WEPDlg, WEPkeyDlg, WEPphraseDlg, WiredDlg, WirelessDlg, WirelessQuestionDlg,
                     WPADlg>;

// The pages of the wizard, one instance each for the whole run.
class KestrelPages : public PageSet {
  public:
    KestrelPages(ui::App& app, Core& core);

    ui::App& app() const { return *app_; }
    template <class T> T& get() const { return list_.get<T>(); }

    ui::Form& form(const std::string& name) override { return list_.form(name); }
    std::vector<ui::Form*> all() const override { return list_.all(); }
    void setDialogMode(int mode) override { get<Dialog>().Mode = mode; }
    void progressCleanUp() override { get<ProgressDlg>().CleanUp(); }
    PortSelectControls& portSelect() override { return get<PortSelect>(); }
    QuestionDlgControls& questionDlg() override { return get<QuestionDlg>(); }
    WiredDlgControls& wiredDlg() override { return get<WiredDlg>(); }
    NetworkDlgControls& networkDlg() override { return get<NetworkDlg>(); }
    WirelessQuestionDlgControls& wirelessQuestionDlg() override {
        return get<WirelessQuestionDlg>();
    }
    WirelessDlgControls& wirelessDlg() override { return get<WirelessDlg>(); }
    EncryptQuestionDlgControls& encryptQuestionDlg() override { return get<EncryptQuestionDlg>(); }
    WEPDlgControls& wepDlg() override { return get<WEPDlg>(); }
    WEPkeyDlgControls& wepKeyDlg() override { return get<WEPkeyDlg>(); }
    WepKeysControls& wepPhraseDlg() override { return get<WEPphraseDlg>(); }
    WPADlgControls& wpaDlg() override { return get<WPADlg>(); }
    LEAPDlgControls& leapDlg() override { return get<LEAPDlg>(); }
    ProgressDlgControls& progressDlg() override { return get<ProgressDlg>(); }

  private:
    ui::App* app_;
    KestrelPageList list_;
};

} // namespace kestrel
