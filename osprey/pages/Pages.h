#pragma once
#include "osprey/core/PageSet.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {
class App;
class Form;
} // namespace ui

namespace osprey {

class Core;
class Intro;
class HaldenIntro;
class SelectDlg;
class Selection;
class LoadDlg;
class Operation;
class CustomDialog;
class PrinterSetup;
class Dialog;
class FinishDialog;
class ProgressDlg;
class frmAbout;
class HaldenAbout;

// The thirteen pages of the wizard, one instance each for the whole run. Constructing a
// page does not create its window.
class OspreyPages : public PageSet {
  public:
    OspreyPages(ui::App& app, Core& core);
    ~OspreyPages() override;

    ui::App& app() const { return *app_; }

    Intro& getIntro() const { return *Intro_; }
    HaldenIntro& getHaldenIntro() const { return *HaldenIntro_; }
    SelectDlg& getSelectDlg() const { return *SelectDlg_; }
    Selection& getSelection() const { return *Selection_; }
    LoadDlg& getLoadDlg() const { return *LoadDlg_; }
    Operation& getOperation() const { return *Operation_; }
    CustomDialog& getCustomDialog() const { return *CustomDialog_; }
    PrinterSetup& getPrinterSetup() const { return *PrinterSetup_; }
    Dialog& getDialog() const { return *Dialog_; }
    FinishDialog& getFinishDialog() const { return *FinishDialog_; }
    ProgressDlg& getProgressDlg() const { return *ProgressDlg_; }
    frmAbout& getfrmAbout() const { return *frmAbout_; }
    HaldenAbout& getHaldenAbout() const { return *HaldenAbout_; }

    ui::Form& form(const std::string& name) override;
    OperationControls& operation() override;
    PrinterSetupControls& printerSetup() override;
    void setDialogMode(int mode) override;
    std::vector<ui::Form*> all() const;

  private:
    ui::App* app_;
    std::unique_ptr<class Intro> Intro_;
    std::unique_ptr<class HaldenIntro> HaldenIntro_;
    std::unique_ptr<class SelectDlg> SelectDlg_;
    std::unique_ptr<class Selection> Selection_;
    std::unique_ptr<class LoadDlg> LoadDlg_;
    std::unique_ptr<class Operation> Operation_;
    std::unique_ptr<class CustomDialog> CustomDialog_;
    std::unique_ptr<class PrinterSetup> PrinterSetup_;
    std::unique_ptr<class Dialog> Dialog_;
    std::unique_ptr<class FinishDialog> FinishDialog_;
    std::unique_ptr<class ProgressDlg> ProgressDlg_;
    std::unique_ptr<class frmAbout> frmAbout_;
    std::unique_ptr<class HaldenAbout> HaldenAbout_;
};

} // namespace osprey
