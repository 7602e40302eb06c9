#pragma once
#include "osprey/core/PageSet.h"
#include "wizard/PageList.h"

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

// Every page once, in the order ExitWizard unloads them. They are created in this order too.
using OspreyPageList =
    wizard::PageList<CustomDialog, Dialog, FinishDialog, frmAbout, Intro, HaldenAbout, HaldenIntro,
                     LoadDlg, Operation, PrinterSetup, Selection, ProgressDlg, SelectDlg>;

// The pages of the wizard, one instance each for the whole run.
class OspreyPages : public PageSet {
  public:
    OspreyPages(ui::App& app, Core& core);
    ~OspreyPages() override;

    ui::App& app() const { return *app_; }
    template <class T> T& get() const { return list_.get<T>(); }

    ui::Form& form(const std::string& name) override { return list_.form(name); }
    std::vector<ui::Form*> all() const override { return list_.all(); }
    OperationControls& operation() override;
    PrinterSetupControls& printerSetup() override;
    void setDialogMode(int mode) override;

  private:
    ui::App* app_;
    OspreyPageList list_;
};

} // namespace osprey
