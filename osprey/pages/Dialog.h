#pragma once
#include "osprey/pages/Page.h"

namespace osprey {

// The modeless save/load dialog. The caller sets Mode and shows it; its own OK and
// Cancel lead on to the next page or the exit routine.
class Dialog : public Page {
  public:
    static constexpr int kLoad = 0;
    static constexpr int kSave = 1;
    static constexpr int kSaveOnExit = 2; // any value other than 1 and 2 loads

    Dialog(Core& core, OspreyPages& pages) : Page(core, pages, "Dialog") { setDialogWindow(true); }

    // Kept across unloads; every caller sets it before Show.
    int Mode = kLoad;

    ui::ControlRef Title{*this, "Title"};
    ui::ControlRef Subtitle{*this, "Subtitle"};
    ui::ControlRef FileName{*this, "FileName"};
    ui::ControlRef Browse{*this, "Browse"};
    ui::ControlRef OKButton{*this, "OKButton"};
    ui::ControlRef CancelButton{*this, "CancelButton"};

    void Browse_Click();
    void OKButton_Click();
    void CancelButton_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    bool saving() const { return Mode == kSave || Mode == kSaveOnExit; }
};

} // namespace osprey
