#pragma once
#include "kestrel/pages/Page.h"
#include "wizard/SettingsDialog.h"

namespace kestrel {

// The modeless save/load dialog. Callers set Mode (kSave saves, any other value loads),
// show it and poll FinishAction or DialogClosed in the wizard state.
class Dialog : public wizard::SettingsDialog<Page> {
  public:
    static constexpr const char* kName = "Dialog";
    Dialog(Core& core, KestrelPages& pages);

    ui::ControlRef Password{*this, "Password"};
    ui::ControlRef ConfirmLabel{*this, "ConfirmLabel"};
    ui::ControlRef ConfirmTxt{*this, "ConfirmTxt"};
    ui::ControlRef ShowCheck{*this, "ShowCheck"};

    void ShowCheck_Click();
    void CancelButton_Click() override;

  protected:
    void Build() override;
    void Form_Load() override;
    void saveOrLoad(std::string name) override;
};

} // namespace kestrel
