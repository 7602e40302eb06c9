#pragma once
#include "kestrel/pages/Page.h"

namespace kestrel {

// The modeless save/load dialog. Callers set Mode, show it and poll FinishAction or
// DialogClosed in the wizard state.
class Dialog : public Page {
  public:
    static constexpr int kLoad = 0;
    static constexpr int kSave = 1; // any other value counts as load

    Dialog(Core& core, KestrelPages& pages) : Page(core, pages, "Dialog") { setDialogWindow(true); }

    // Kept across unloads; every caller sets it before Show.
    int Mode = kLoad;

    ui::ControlRef Title{*this, "Title"};
    ui::ControlRef Subtitle{*this, "Subtitle"};
    ui::ControlRef FileName{*this, "FileName"};
    ui::ControlRef Browse{*this, "Browse"};
    ui::ControlRef Password{*this, "Password"};
    ui::ControlRef ConfirmLabel{*this, "ConfirmLabel"};
    ui::ControlRef ConfirmTxt{*this, "ConfirmTxt"};
    ui::ControlRef ShowCheck{*this, "ShowCheck"};
    ui::ControlRef OKButton{*this, "OKButton"};
    ui::ControlRef CancelButton{*this, "CancelButton"};

    void ShowCheck_Click();
    void Browse_Click();
    void OKButton_Click();
    void CancelButton_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;
};

} // namespace kestrel
