#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

namespace kestrel {

// How the wireless network authenticates: open, WEP, or WPA and/or EAP.
class EncryptQuestionDlg : public StepPage, public EncryptQuestionDlgControls {
  public:
    static constexpr const char* kName = "EncryptQuestionDlg";
    EncryptQuestionDlg(Core& core, KestrelPages& pages)
        : StepPage(core, pages, kName), EncryptQuestionDlgControls(this) {}

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    void click_Click(int index);
    void Next_Click() override;
    void Prev_Click() override;
};

} // namespace kestrel
