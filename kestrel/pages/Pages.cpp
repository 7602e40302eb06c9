#include "kestrel/pages/Pages.h"

#include <stdexcept>

namespace kestrel {

KestrelPages::KestrelPages(ui::App& app, Core& core) : app_(&app) {
    Intro_ = std::make_unique<class Intro>(core, *this);
    HaldenIntro_ = std::make_unique<class HaldenIntro>(core, *this);
    frmAbout_ = std::make_unique<class frmAbout>(core, *this);
    HaldenAbout_ = std::make_unique<class HaldenAbout>(core, *this);
    LoadDlg_ = std::make_unique<class LoadDlg>(core, *this);
    Dialog_ = std::make_unique<class Dialog>(core, *this);
    PortSelect_ = std::make_unique<class PortSelect>(core, *this);
    QuestionDlg_ = std::make_unique<class QuestionDlg>(core, *this);
    WiredDlg_ = std::make_unique<class WiredDlg>(core, *this);
    NetworkDlg_ = std::make_unique<class NetworkDlg>(core, *this);
    WirelessQuestionDlg_ = std::make_unique<class WirelessQuestionDlg>(core, *this);
    WirelessDlg_ = std::make_unique<class WirelessDlg>(core, *this);
    EncryptQuestionDlg_ = std::make_unique<class EncryptQuestionDlg>(core, *this);
    WEPDlg_ = std::make_unique<class WEPDlg>(core, *this);
    WEPkeyDlg_ = std::make_unique<class WEPkeyDlg>(core, *this);
    WEPphraseDlg_ = std::make_unique<class WEPphraseDlg>(core, *this);
    WPADlg_ = std::make_unique<class WPADlg>(core, *this);
    LEAPDlg_ = std::make_unique<class LEAPDlg>(core, *this);
    FinishDialog_ = std::make_unique<class FinishDialog>(core, *this);
    ProgressDlg_ = std::make_unique<class ProgressDlg>(core, *this);
}

KestrelPages::~KestrelPages() = default;

std::vector<ui::Form*> KestrelPages::all() const {
    return {
        Intro_.get(),
        HaldenIntro_.get(),
        frmAbout_.get(),
        HaldenAbout_.get(),
        LoadDlg_.get(),
        Dialog_.get(),
        PortSelect_.get(),
        QuestionDlg_.get(),
        WiredDlg_.get(),
        NetworkDlg_.get(),
        WirelessQuestionDlg_.get(),
        WirelessDlg_.get(),
        EncryptQuestionDlg_.get(),
        WEPDlg_.get(),
        WEPkeyDlg_.get(),
        WEPphraseDlg_.get(),
        WPADlg_.get(),
        LEAPDlg_.get(),
        FinishDialog_.get(),
        ProgressDlg_.get(),
    };
}

ui::Form& KestrelPages::form(const std::string& name) {
    for (ui::Form* f : all())
        if (f->name() == name)
            return *f;
    throw std::logic_error("no page named " + name);
}

void KestrelPages::setDialogMode(int mode) {
    Dialog_->Mode = mode;
}

void KestrelPages::progressCleanUp() {
    ProgressDlg_->CleanUp();
}

} // namespace kestrel
