#include "kestrel/pages/WEPkeyDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/FinishDialog.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/Pages.h"
#include "kestrel/pages/WEPDlg.h"

namespace kestrel {

void WepKeysPage::Build() {
    setCaption("Configure Wireless Authentication");
    label("Label1", "WEP Encryption Configuration").asHeading();
    label("Label6", "Please enter the encryption key used by your wireless network. At least one "
                    "key must be entered.")
        .setMultiLine(true);
    if (hex_) {
        label("Label0", "Key Size:", 0);
        combo("KeySize", ui::ComboStyle::DropDownList,
              {"40/64 Bit Key (10 hex digits)", "104/128 Bit Key (26 hex digits)"})
            .beside()
            .setToolTip("Specify the encryption key size.");
    }
    label("Label0", "Default Key:", 1);
    auto& defKey = combo("DefaultKey", ui::ComboStyle::DropDownList,
                         {"Disable", "Key 1", "Key 2", "Key 3", "Key 4"});
    defKey.beside().setToolTip("Specify which encryption key to use.");
    defKey.onDropDown = [this] { DefaultKey_DropDown(); };
    label("Label3", "Authentication Method:");
    combo("AuthMethod", ui::ComboStyle::DropDownList, {"Open", "Shared"})
        .beside()
        .setToolTip("Specify the authentication method: Open or Shared.");
    label("Label2", hex_ ? "Enter key in double or quad-digit HEX numbers separated by colon(:) "
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
        label("KeyLabel", "Key " + std::to_string(i + 1) + ":", i);
        textBox("KeyText", i)
            .beside()
            .charsWide(static_cast<int>(kSampleHexKey.size()) + 2)
            .setToolTip(keyTip);
        auto& show = checkBox("ShowChk", "Show Password", i);
        show.beside().setToolTip("Check to show encryption key entry during typing.");
        show.onClick = [this, i] { ShowChk_Click(i); };
        label("ConfirmLabel", "Confirm:", i);
        textBox("ConfirmTxt", i)
            .beside()
            .setAccessibleName("Confirm Key " + std::to_string(i + 1))
            .setToolTip("Encryption key re-entered for data entry verification.")
            .setPasswordChar("*");
    }

    navigationRow([this] { Prev_Click(); }, [this] { Next_Click(); }, [this] { Cancel_Click(); });
    timer("Timer1").onTimer = [this] { Timer1_Timer(); };
}

void WepKeysPage::Form_Load() {
    ctl("Timer1").setEnabled(false);
    if (hex_)
        ctl("KeySize").setListIndex(1);
    ctl("DefaultKey").setListIndex(1);
    ctl("AuthMethod").setListIndex(1);
    SetKeyMasking(true);
}

void WepKeysPage::Form_QueryUnload(int& /*cancel*/, int unloadMode) {
    if (unloadMode == ui::kUnloadUser)
        core().ExitWizard();
}

void WepKeysPage::SetKeyMasking(bool mask) {
    for (int i = 0; i < 4; ++i) {
        ctl("ShowChk", i).setValue(mask ? 0 : 1);
        ShowChk_Click(i); // a box already at that value raises no click
    }
}

void WepKeysPage::ShowChk_Click(int row) {
    applyShowText(ctl("KeyText", row), ctl("ConfirmTxt", row), ctl("ConfirmLabel", row),
                  ctl("ShowChk", row).value() == 1);
}

void WepKeysPage::SetKeyFieldsState() {
    bool on = ctl("DefaultKey").listIndex() != 0;
    ctl("Label2").setEnabled(on);
    for (int i = 0; i < 4; ++i) {
        enableField(ctl("KeyText", i), &ctl("KeyLabel", i), on);
        enableField(ctl("ConfirmTxt", i), &ctl("ConfirmLabel", i), on);
        ctl("ShowChk", i).setEnabled(on);
    }
}

void WepKeysPage::DefaultKey_DropDown() {
    startTimer1(100);
}

void WepKeysPage::Timer1_Timer() {
    SetKeyFieldsState();
}

void WepKeysPage::Next_Click() {
    ctl("Timer1").setEnabled(false);
    std::array<std::string, 4> keys, confirms;
    std::array<bool, 4> shown{};
    for (int i = 0; i < 4; ++i) {
        keys[i] = ctl("KeyText", i).text();
        confirms[i] = ctl("ConfirmTxt", i).text();
        shown[i] = ctl("ShowChk", i).value() == 1;
    }
    // The field a failed check is about takes the focus: the first key the format check
    // refuses, the first confirmation that differs, the first key that cannot be sent.
    std::string notice;
    ui::Control* field = nullptr;
    if (hex_) {
        const int size = ctl("KeySize").listIndex();
        notice = HexKeyNotice(ValidateKeys(keys, size));
        std::array<std::string, 4> upTo;
        for (int i = 0; i < 4 && !notice.empty() && !field; ++i) {
            upTo[i] = keys[i];
            if (!HexKeyNotice(ValidateKeys(upTo, size)).empty())
                field = &ctl("KeyText", i);
        }
    }
    if (notice.empty()) {
        notice = KeyConfirmNotice(keys, confirms, shown);
        for (int i = 0; i < 4 && !notice.empty() && !field; ++i)
            if (!shown[i] && keys[i] != confirms[i])
                field = &ctl("ConfirmTxt", i);
    }
    if (notice.empty()) {
        notice = UnsendableNotice({keys.begin(), keys.end()});
        if (!notice.empty())
            field = firstUnsendable(
                {&ctl("KeyText", 0), &ctl("KeyText", 1), &ctl("KeyText", 2), &ctl("KeyText", 3)});
    }
    if (!notice.empty()) {
        core().ShowNotice(notice);
        if (field)
            field->setFocus();
        return;
    }
    Hide();
    showNext(pages().getFinishDialog());
}

void WepKeysPage::Prev_Click() {
    pages().getWEPDlg().Show();
    Hide();
}

void WepKeysPage::Cancel_Click() {
    ctl("Timer1").setEnabled(false);
    core().ConfirmExit();
}

} // namespace kestrel
