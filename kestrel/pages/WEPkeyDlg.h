#pragma once
#include "kestrel/pages/Page.h"

namespace kestrel {

// The one design of the two WEP key pages: four keys with confirmations and show boxes,
// the default key and the authentication method; the hex page adds the key size and
// checks the keys' format and size.
class WepKeysPage : public Page {
  public:
    WepKeysPage(Core& core, KestrelPages& pages, const std::string& name, bool hex)
        : Page(core, pages, name), hex_(hex) {}

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    void SetKeyMasking(bool mask);
    void SetKeyFieldsState();
    void ShowChk_Click(int row);
    void DefaultKey_DropDown();
    void Timer1_Timer();
    void Next_Click();
    void Prev_Click();
    void Cancel_Click();

    bool hex_;
};

// WEP keys typed as hexadecimal numbers.
class WEPkeyDlg : public WepKeysPage {
  public:
    WEPkeyDlg(Core& core, KestrelPages& pages) : WepKeysPage(core, pages, "WEPkeyDlg", true) {}
};

} // namespace kestrel
