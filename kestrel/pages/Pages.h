#pragma once
#include "kestrel/core/PageSet.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {
class App;
class Form;
} // namespace ui

namespace kestrel {

class Core;
class Intro;
class HaldenIntro;
class frmAbout;
class HaldenAbout;
class LoadDlg;
class Dialog;
class PortSelect;
class QuestionDlg;
class WiredDlg;
class NetworkDlg;
class WirelessQuestionDlg;
class WirelessDlg;
class EncryptQuestionDlg;
class WEPDlg;
class WEPkeyDlg;
class WEPphraseDlg;
class WPADlg;
class LEAPDlg;
class FinishDialog;
class ProgressDlg;

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
