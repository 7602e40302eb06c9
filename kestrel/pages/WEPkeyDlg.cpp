#include "kestrel/pages/WEPkeyDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

template <class Controls> void WepKeysPageOf<Controls>::Build() {
    setCaption("Configure Wireless Authentication");
    label("Label1", "WEP Encryption Configuration").asHeading();
    label("Label6", "Please enter the encryption key used by your wireless network. At least one "
                    "key must be entered.")
        .setMultiLine(true);
    if constexpr (hex_) {
        label("Label0", "Key Size:", 0);
        combo(this->KeySize, ui::ComboStyle::DropDownList,
              {"40/64 Bit Key (10 hex digits)", "104/128 Bit Key (26 hex digits)"})
            .beside()
            .setToolTip("Specify the encryption key size.");
    }
    label("Label0", "Default Key:", 1);
    auto& defKey = combo(DefaultKey, ui::ComboStyle::DropDownList,
                         {"Disable", "Key 1", "Key 2", "Key 3", "Key 4"});
    defKey.beside().setToolTip("Specify which encryption key to use.");
    defKey.onDropDown = [this] { DefaultKey_DropDown(); };
    label("Label3", "Authentication Method:");
    combo(AuthMethod, ui::ComboStyle::DropDownList, {"Open", "Shared"})
        .beside()
        .setToolTip("Specify the authentication method: Open or Shared.");
    label(Label2, hex_ ? "Enter key in double or quad-digit HEX numbers separated by colon(:) "
                         "or dash(-) characters. Example: " +
                             std::string(kSampleHexKey)
                       : std::string("The ASCII string can contain any alpha-numeric "
                                     "characters except spaces. Key length is inferred from "
                                     "the length of phrase so  leading zeros of longer keys "
                                     "must be entered."))
        .charsWide(80) // keeps the sample key on one line
        .setMultiLine(true);

    const char* keyTip = hex_ ? "Encryption key value, in hexadecimal format."
                              : "Encryption key value, in ASCII string format.";
    for (int i = 0; i < 4; ++i) {
        label(KeyLabel[i], "Key " + std::to_string(i + 1) + ":");
        textBox(KeyText[i])
            .beside()
            .charsWide(static_cast<int>(kSampleHexKey.size()) + 2)
            .setToolTip(keyTip);
        auto& show = checkBox(ShowChk[i], "Show Password");
        show.beside().setToolTip("Check to show encryption key entry during typing.");
        show.onClick = [this, i] { ShowChk_Click(i); };
        label(ConfirmLabel[i], "Confirm:");
        textBox(ConfirmTxt[i])
            .beside()
            .setAccessibleName("Confirm Key " + std::to_string(i + 1))
            .setToolTip("Encryption key re-entered for data entry verification.")
            .setPasswordChar("*");
    }

    navigationRow();
    timer(Timer1).onTimer = [this] { Timer1_Timer(); };
}

template <class Controls> void WepKeysPageOf<Controls>::Form_Load() {
    Timer1->setEnabled(false);
    if constexpr (hex_)
        this->KeySize->setListIndex(1);
    DefaultKey->setListIndex(1);
    AuthMethod->setListIndex(1);
    SetKeyMasking(true);
}

template <class Controls> void WepKeysPageOf<Controls>::SetKeyMasking(bool mask) {
    for (int i = 0; i < 4; ++i) {
        ShowChk[i]->setValue(mask ? 0 : 1);
        ShowChk_Click(i); // a box already at that value raises no click
    }
}

template <class Controls> void WepKeysPageOf<Controls>::ShowChk_Click(int row) {
    applyShowText(*KeyText[row], *ConfirmTxt[row], *ConfirmLabel[row], ShowChk[row]->value() == 1);
}

template <class Controls> void WepKeysPageOf<Controls>::SetKeyFieldsState() {
    bool on = DefaultKey->listIndex() != 0;
    Label2->setEnabled(on);
    for (int i = 0; i < 4; ++i) {
        enableField(*KeyText[i], *KeyLabel[i], on);
        enableField(*ConfirmTxt[i], *ConfirmLabel[i], on);
        ShowChk[i]->setEnabled(on);
    }
}

template <class Controls> void WepKeysPageOf<Controls>::DefaultKey_DropDown() {
    startTimer(*Timer1, 100);
}

template <class Controls> void WepKeysPageOf<Controls>::Timer1_Timer() {
    SetKeyFieldsState();
}

template <class Controls> void WepKeysPageOf<Controls>::Next_Click() {
    Timer1->setEnabled(false);
    std::array<std::string, 4> keys, confirms;
    std::array<bool, 4> shown{};
    for (int i = 0; i < 4; ++i) {
        keys[i] = KeyText[i]->text();
        confirms[i] = ConfirmTxt[i]->text();
        shown[i] = ShowChk[i]->value() == 1;
    }
    // The field a failed check is about takes the focus: the first key the format check
    // refuses, the first confirmation that differs, the first key that cannot be sent.
    std::string notice;
    ui::Control* field = nullptr;
    if constexpr (hex_) {
        const int size = this->KeySize->listIndex();
        notice = HexKeyNotice(ValidateKeys(keys, size));
        std::array<std::string, 4> upTo;
        for (int i = 0; i < 4 && !notice.empty() && !field; ++i) {
            upTo[i] = keys[i];
            if (!HexKeyNotice(ValidateKeys(upTo, size)).empty())
                field = &*KeyText[i];
        }
    }
    if (notice.empty()) {
        notice = KeyConfirmNotice(keys, confirms, shown);
        for (int i = 0; i < 4 && !notice.empty() && !field; ++i)
            if (!shown[i] && keys[i] != confirms[i])
                field = &*ConfirmTxt[i];
    }
    if (notice.empty()) {
        notice = UnsendableNotice({keys.begin(), keys.end()});
        if (!notice.empty())
            field = firstUnsendable({KeyText[0], KeyText[1], KeyText[2], KeyText[3]});
    }
    if (!notice.empty()) {
        core().ShowNotice(notice);
        if (field)
            field->setFocus();
        return;
    }
    Hide();
    showNext(pages().template get<FinishDialog>());
}

template <class Controls> void WepKeysPageOf<Controls>::Prev_Click() {
    pages().template get<WEPDlg>().Show();
    Hide();
}

template <class Controls> void WepKeysPageOf<Controls>::Cancel_Click() {
    Timer1->setEnabled(false);
    core().ConfirmExit();
}

template class WepKeysPageOf<WEPkeyDlgControls>;
template class WepKeysPageOf<WepKeysControls>;

} // namespace kestrel
