#pragma once
#include "kestrel/pages/Page.h"

namespace kestrel {

// How the wireless network authenticates: open, WEP, or WPA and/or EAP.
class EncryptQuestionDlg : public Page {
  public:
    EncryptQuestionDlg(Core& core, KestrelPages& pages) : Page(core, pages, "EncryptQuestionDlg") {}

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    void click_Click(int index);
    void Next_Click();
    void Prev_Click();
    void Cancel_Click();
};

} // namespace kestrel
