#pragma once
#include "osprey/pages/Page.h"
#include "wizard/SettingsDialog.h"

namespace osprey {

// The modeless save/load dialog. The caller sets Mode and shows it; its own OK and
// Cancel lead on to the next page or the exit routine.
class Dialog : public wizard::SettingsDialog<Page> {
  public:
    static constexpr const char* kName = "Dialog";
    static constexpr int kSaveOnExit = 2; // any value other than kSave and this loads

    Dialog(Core& core, OspreyPages& pages);

    void CancelButton_Click() override;

  protected:
    void Form_Load() override;
    void saveOrLoad(std::string name) override;

  private:
    bool saving() const { return Mode == kSave || Mode == kSaveOnExit; }
};

} // namespace osprey
