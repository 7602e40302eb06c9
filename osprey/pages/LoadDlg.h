#pragma once
#include "osprey/pages/Page.h"

namespace osprey {

// Start with the default settings or load a settings file.
class LoadDlg : public Page {
  public:
    LoadDlg(Core& core, OspreyPages& pages) : Page(core, pages, "LoadDlg") {}

    void Next_Click();
    void Prev_Click();
    void Cancel_Click();

  protected:
    void Build() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;
};

} // namespace osprey
