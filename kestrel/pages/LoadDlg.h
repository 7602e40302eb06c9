#pragma once
#include "kestrel/pages/Page.h"

namespace kestrel {

// Start with default settings or load a settings file.
class LoadDlg : public StepPage {
  public:
    static constexpr const char* kName = "LoadDlg";
    LoadDlg(Core& core, KestrelPages& pages) : StepPage(core, pages, kName) {}

    ui::ControlRef StartNew{*this, "StartNew"};
    ui::ControlRef Label2{*this, "Label2"};
    ui::ControlRef Load{*this, "Load"};
    ui::ControlRef Label3{*this, "Label3"};
    ui::ControlRef Timer1{*this, "Timer1"}; // waits for the load dialog

    void Next_Click() override;
    void Prev_Click() override;
    void Timer1_Timer();

  protected:
    void Build() override;
    void Form_Load() override;
};

} // namespace kestrel
