#pragma once
#include "kestrel/pages/Page.h"

namespace kestrel {

// Start with default settings or load a settings file.
class LoadDlg : public Page {
  public:
    LoadDlg(Core& core, KestrelPages& pages) : Page(core, pages, "LoadDlg") {}

    void Next_Click();
    void Prev_Click();
    void Cancel_Click();
    void Timer1_Timer();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;
};

} // namespace kestrel
