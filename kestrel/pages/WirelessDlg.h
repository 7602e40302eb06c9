#pragma once
#include "kestrel/pages/Page.h"

#include <string>

namespace kestrel {

// Settings of the wireless adapter; only the rows ticked on the wireless question page
// are enabled.
class WirelessDlg : public Page {
  public:
    WirelessDlg(Core& core, KestrelPages& pages) : Page(core, pages, "WirelessDlg") {}

    // Enables exactly the rows whose boxes are ticked on the wireless question page.
    void SetDefaultState();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    void CheckCountryChange();
    void Check1_Click();
    void CountryCode_DropDown();
    void Timer1_Timer();
    void Next_Click();
    void Prev_Click();
    void Cancel_Click();

    // The country list's text when it last dropped down.
    std::string CountryAtDropDown;
};

} // namespace kestrel
