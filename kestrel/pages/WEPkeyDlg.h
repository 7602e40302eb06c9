#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

#include <type_traits>

namespace kestrel {

// The controls both WEP key pages declare beside their control structs.
class WepKeysPage : public StepPage {
  public:
    using StepPage::StepPage;

    ui::ControlRef Label2{*this, "Label2"}; // how to type a key
    ui::ControlRef KeyLabel{*this, "KeyLabel"};
    ui::ControlRef ShowChk{*this, "ShowChk"};
    ui::ControlRef ConfirmLabel{*this, "ConfirmLabel"};
    ui::ControlRef ConfirmTxt{*this, "ConfirmTxt"};
    ui::ControlRef Timer1{*this, "Timer1"}; // after the default key list dropped down
};

// The one design of the two WEP key pages: four keys with confirmations and show boxes,
// the default key and the authentication method; the hex page (WEPkeyDlgControls) adds
// the key size and checks the keys' format and size.
template <class Controls> class WepKeysPageOf : public WepKeysPage, public Controls {
  public:
    WepKeysPageOf(Core& core, KestrelPages& pages, const std::string& name)
        : WepKeysPage(core, pages, name), Controls(this) {}

    using Controls::AuthMethod;
    using Controls::DefaultKey;
    using Controls::KeyText;

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    static constexpr bool hex_ = std::is_same_v<Controls, WEPkeyDlgControls>;

    void SetKeyMasking(bool mask);
    void SetKeyFieldsState();
    void ShowChk_Click(int row);
    void DefaultKey_DropDown();
    void Timer1_Timer();
    void Next_Click() override;
    void Prev_Click() override;
    void Cancel_Click() override;
};

extern template class WepKeysPageOf<WEPkeyDlgControls>;
extern template class WepKeysPageOf<WepKeysControls>;

// WEP keys typed as hexadecimal numbers.
class WEPkeyDlg : public WepKeysPageOf<WEPkeyDlgControls> {
  public:
    static constexpr const char* kName = "WEPkeyDlg";
    WEPkeyDlg(Core& core, KestrelPages& pages) : WepKeysPageOf(core, pages, kName) {}
};

} // namespace kestrel
