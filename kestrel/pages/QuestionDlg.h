#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

namespace kestrel {

// Which groups of network settings to configure; the first ticked box picks the next page.
class QuestionDlg : public StepPage, public QuestionDlgControls {
  public:
    static constexpr const char* kName = "QuestionDlg";
    static constexpr int kBoxes = 7;
    static constexpr int kWirelessBox = 6;

    QuestionDlg(Core& core, KestrelPages& pages)
        : StepPage(core, pages, kName), QuestionDlgControls(this) {}

    void Next_Click() override;
    void Prev_Click() override;
    void HelpIP_Click(int index);
    void HelpSpeed_Click();
    void HelpTimer_Click();
    void HelpJob_Click();
    void HelpNetBios_Click();
    void HelpPing_Click();
    void HelpWireless_Click(int index);

  protected:
    void Build() override;
};

} // namespace kestrel
