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

#include <memory>
#include <string>
#include <vector>

namespace ui {
class App;
class Form;
} // namespace ui

namespace kestrel {

class Core;

// The twenty pages of the wizard, one instance each for the whole run. Constructing a
// page does not create its window.
class KestrelPages : public PageSet {
  public:
    KestrelPages(ui::App& app, Core& core);
    ~KestrelPages() override;

    ui::App& app() const { return *app_; }

    Intro& getIntro() const { return *Intro_; }
    HaldenIntro& getHaldenIntro() const { return *HaldenIntro_; }
    frmAbout& getfrmAbout() const { return *frmAbout_; }
    HaldenAbout& getHaldenAbout() const { return *HaldenAbout_; }
    LoadDlg& getLoadDlg() const { return *LoadDlg_; }
    Dialog& getDialog() const { return *Dialog_; }
    PortSelect& getPortSelect() const { return *PortSelect_; }
    QuestionDlg& getQuestionDlg() const { return *QuestionDlg_; }
    WiredDlg& getWiredDlg() const { return *WiredDlg_; }
    NetworkDlg& getNetworkDlg() const { return *NetworkDlg_; }
    WirelessQuestionDlg& getWirelessQuestionDlg() const { return *WirelessQuestionDlg_; }
    WirelessDlg& getWirelessDlg() const { return *WirelessDlg_; }
    EncryptQuestionDlg& getEncryptQuestionDlg() const { return *EncryptQuestionDlg_; }
    WEPDlg& getWEPDlg() const { return *WEPDlg_; }
    WEPkeyDlg& getWEPkeyDlg() const { return *WEPkeyDlg_; }
    WEPphraseDlg& getWEPphraseDlg() const { return *WEPphraseDlg_; }
    WPADlg& getWPADlg() const { return *WPADlg_; }
    LEAPDlg& getLEAPDlg() const { return *LEAPDlg_; }
    FinishDialog& getFinishDialog() const { return *FinishDialog_; }
    ProgressDlg& getProgressDlg() const { return *ProgressDlg_; }

    ui::Form& form(const std::string& name) override;
    void setDialogMode(int mode) override;
    void progressCleanUp() override;
    PortSelectControls& portSelect() override { return *PortSelect_; }
    QuestionDlgControls& questionDlg() override { return *QuestionDlg_; }
    WiredDlgControls& wiredDlg() override { return *WiredDlg_; }
    NetworkDlgControls& networkDlg() override { return *NetworkDlg_; }
    WirelessQuestionDlgControls& wirelessQuestionDlg() override { return *WirelessQuestionDlg_; }
    WirelessDlgControls& wirelessDlg() override { return *WirelessDlg_; }
    EncryptQuestionDlgControls& encryptQuestionDlg() override { return *EncryptQuestionDlg_; }
    WEPDlgControls& wepDlg() override { return *WEPDlg_; }
    WEPkeyDlgControls& wepKeyDlg() override { return *WEPkeyDlg_; }
    WepKeysControls& wepPhraseDlg() override { return *WEPphraseDlg_; }
    WPADlgControls& wpaDlg() override { return *WPADlg_; }
    LEAPDlgControls& leapDlg() override { return *LEAPDlg_; }
    ProgressDlgControls& progressDlg() override { return *ProgressDlg_; }
    std::vector<ui::Form*> all() const;

  private:
    ui::App* app_;
    std::unique_ptr<class Intro> Intro_;
    std::unique_ptr<class HaldenIntro> HaldenIntro_;
    std::unique_ptr<class frmAbout> frmAbout_;
    std::unique_ptr<class HaldenAbout> HaldenAbout_;
    std::unique_ptr<class LoadDlg> LoadDlg_;
    std::unique_ptr<class Dialog> Dialog_;
    std::unique_ptr<class PortSelect> PortSelect_;
    std::unique_ptr<class QuestionDlg> QuestionDlg_;
    std::unique_ptr<class WiredDlg> WiredDlg_;
    std::unique_ptr<class NetworkDlg> NetworkDlg_;
    std::unique_ptr<class WirelessQuestionDlg> WirelessQuestionDlg_;
    std::unique_ptr<class WirelessDlg> WirelessDlg_;
    std::unique_ptr<class EncryptQuestionDlg> EncryptQuestionDlg_;
    std::unique_ptr<class WEPDlg> WEPDlg_;
    std::unique_ptr<class WEPkeyDlg> WEPkeyDlg_;
    std::unique_ptr<class WEPphraseDlg> WEPphraseDlg_;
    std::unique_ptr<class WPADlg> WPADlg_;
    std::unique_ptr<class LEAPDlg> LEAPDlg_;
    std::unique_ptr<class FinishDialog> FinishDialog_;
    std::unique_ptr<class ProgressDlg> ProgressDlg_;
};

} // namespace kestrel
