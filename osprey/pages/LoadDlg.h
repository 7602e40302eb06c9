#pragma once
#include "osprey/pages/Page.h"

namespace osprey {

// Start with the default settings or load a settings file.
class LoadDlg : public StepPage {
  public:
    static constexpr const char* kName = "LoadDlg";
    LoadDlg(Core& core, OspreyPages& pages) : StepPage(core, pages, kName) {}

    ui::ControlRef StartNew{*this, "StartNew"};
    ui::ControlRef Load{*this, "Load"};

    void Next_Click() override;
    void Prev_Click() override;

  protected:
    void Build() override;
};

} // namespace osprey
