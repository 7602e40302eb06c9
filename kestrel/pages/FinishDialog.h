#pragma once
#include "kestrel/pages/Page.h"

namespace kestrel {

// "Send Wizard Settings": builds the command text, offers to save, hands over to the
// progress page. Back unloads it, so each arrival rebuilds it.
class FinishDialog : public Page {
  public:
    static constexpr const char* kName = "FinishDialog";
    FinishDialog(Core& core, KestrelPages& pages) : Page(core, pages, kName) {}

    // Set by Save and Exit; survives an unload, cleared by Form_Load.
    bool SaveExitChosen = false;

    ui::ControlRef Option1{*this, "Option1"}; // save the settings first
    ui::ControlRef Option2{*this, "Option2"}; // send without saving
    ui::ControlRef Back{*this, "Back"};
    ui::ControlRef OKButton{*this, "OKButton"}; // Finish
    ui::ControlRef CancelButton{*this, "CancelButton"};
    ui::ControlRef SaveExit{*this, "SaveExit"};
    ui::ControlRef Timer1{*this, "Timer1"}; // waits for the save dialog

    void OKButton_Click();
    void SaveExit_Click();
    void Timer1_Timer();
    void Back_Click();
    void CancelButton_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    void openSaveDialog();
    void startPolling();
};

} // namespace kestrel
