#pragma once
#include "osprey/pages/Page.h"

namespace osprey {

// Start with the default settings or load a settings file.
class LoadDlg : public StepPage {
  public:
    LoadDlg(Core& core, OspreyPages& pages) : StepPage(core, pages, "LoadDlg") {}

    ui::ControlRef StartNew{*this, "StartNew"};
    ui::ControlRef Load{*this, "Load"};

    void Next_Click() override;
    void Prev_Click() override;

  protected:
    void Build() override;
};

} // namespace osprey
