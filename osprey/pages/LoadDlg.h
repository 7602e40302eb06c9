#pragma once
#include "osprey/pages/Page.h"

namespace osprey {

// Start with the default settings or load a settings file.
class LoadDlg : public Page {
  public:
    LoadDlg(Core& core, OspreyPages& pages) : Page(core, pages, "LoadDlg") {}

    ui::ControlRef StartNew{*this, "StartNew"};
    ui::ControlRef Load{*this, "Load"};
    ui::ControlRef Prev{*this, "Prev"};
    ui::ControlRef Next{*this, "Next"};
    ui::ControlRef Cancel{*this, "Cancel"};

    void Next_Click();
    void Prev_Click();
    void Cancel_Click();

  protected:
    void Build() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;
};

} // namespace osprey
