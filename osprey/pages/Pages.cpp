#include "osprey/pages/Pages.h"

#include "osprey/pages/CustomDialog.h"
#include "osprey/pages/Dialog.h"
#include "osprey/pages/FinishDialog.h"
#include "osprey/pages/HaldenAbout.h"
#include "osprey/pages/HaldenIntro.h"
#include "osprey/pages/Intro.h"
#include "osprey/pages/LoadDlg.h"
#include "osprey/pages/Operation.h"
#include "osprey/pages/PrinterSetup.h"
#include "osprey/pages/ProgressDlg.h"
#include "osprey/pages/SelectDlg.h"
#include "osprey/pages/Selection.h"
#include "osprey/pages/frmAbout.h"

#include <stdexcept>

namespace osprey {

OspreyPages::OspreyPages(ui::App& app, Core& core) : app_(&app) {
    Intro_ = std::make_unique<class Intro>(core, *this);
    HaldenIntro_ = std::make_unique<class HaldenIntro>(core, *this);
    SelectDlg_ = std::make_unique<class SelectDlg>(core, *this);
    Selection_ = std::make_unique<class Selection>(core, *this);
    LoadDlg_ = std::make_unique<class LoadDlg>(core, *this);
    Operation_ = std::make_unique<class Operation>(core, *this);
    CustomDialog_ = std::make_unique<class CustomDialog>(core, *this);
    PrinterSetup_ = std::make_unique<class PrinterSetup>(core, *this);
    Dialog_ = std::make_unique<class Dialog>(core, *this);
    FinishDialog_ = std::make_unique<class FinishDialog>(core, *this);
    ProgressDlg_ = std::make_unique<class ProgressDlg>(core, *this);
    frmAbout_ = std::make_unique<class frmAbout>(core, *this);
    HaldenAbout_ = std::make_unique<class HaldenAbout>(core, *this);
}

OspreyPages::~OspreyPages() = default;

std::vector<ui::Form*> OspreyPages::all() const {
    return {
        Intro_.get(),       HaldenIntro_.get(),  SelectDlg_.get(),    Selection_.get(),
        LoadDlg_.get(),     Operation_.get(),    CustomDialog_.get(), PrinterSetup_.get(),
        Dialog_.get(),      FinishDialog_.get(), ProgressDlg_.get(),  frmAbout_.get(),
        HaldenAbout_.get(),
    };
}

ui::Form& OspreyPages::form(const std::string& name) {
    for (ui::Form* f : all())
        if (f->name() == name)
            return *f;
    throw std::logic_error("no page named " + name);
}

OperationControls& OspreyPages::operation() {
    return *Operation_;
}

PrinterSetupControls& OspreyPages::printerSetup() {
    return *PrinterSetup_;
}

void OspreyPages::setDialogMode(int mode) {
    Dialog_->Mode = mode;
}

} // namespace osprey
