#include "kestrel/pages/WPADlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

void WPADlg::Build() {
    setCaption("Configure Wireless Authentication");
    label("Label1", "WPA Encryption Configuration").asHeading();
    label("Label6", "Please enter the passphrase and encryption method used by  your wireless "
                    "network.")
        .setMultiLine(true);
    label("Label5", "WPA Mode:");
    auto& mode = combo(WPAMode, ui::ComboStyle::DropDownList, {});
    mode.beside();
    mode.onDropDown = [this] { WPAMode_DropDown(); };
    label(Label2, "Encryption Method:");
    combo(EncryptMethod, ui::ComboStyle::DropDownList, {})
        .beside()
        .setToolTip("Specify the encryption method used on the wireless network.");
    label(Label3, "Passphrase:");
    textBox(PassPhrase)
        .beside()
        .charsWide(40)
        .setToolTip("Enter the passphrase to use for access to the wireless network.");
    auto& show = checkBox(ShowCheck, "Show Passphrase");
    show.beside().setToolTip("Check to show passphrase entry during typing.");
    show.onClick = [this] { ShowCheck_Click(); };
    label(ConfirmLabel, "Confirm:");
    textBox(ConfirmTxt)
        .beside()
        .setToolTip("Re-entry of the passphase so data entry can be verified.")
        .setPasswordChar("*");
    label(Label4, "The passphrase can contain any alpha-numeric characters except spaces. "
                  "Length of the passphrase must be between 8 to 63 characters long.")
        .setMultiLine(true);

    navigationRow();
    timer(Timer1).onTimer = [this] { Timer1_Timer(); };
}

void WPADlg::Form_Load() {
    Timer1->setEnabled(false);
    Load_WPAMode();
    Load_EncryptMethod();
    ShowCheck->setValue(0);
    ShowCheck_Click();
}

void WPADlg::Load_WPAMode() {
    auto& list = *WPAMode;
    list.setItems({"Disable", "Personal (PSK)", "Enterprise"});
    list.setListIndex(1);
}

void WPADlg::Load_EncryptMethod() {
    auto& list = *EncryptMethod;
    list.setItems({"Disable", "AES", "TKIP", "TKIP+AES"});
    list.setListIndex(1);
}

void WPADlg::UpdateWPAFields() {
    bool on = WPAMode->listIndex() != 0;
    enableField(*EncryptMethod, *Label2, on);
    enableField(*PassPhrase, *Label3, on);
    enableField(*ConfirmTxt, *ConfirmLabel, on);
    Label4->setEnabled(on);
    ShowCheck->setEnabled(on);
}

void WPADlg::WPAMode_DropDown() {
    startTimer(*Timer1, 100);
}

void WPADlg::Timer1_Timer() {
    UpdateWPAFields();
}

void WPADlg::ShowCheck_Click() {
    applyShowText(*PassPhrase, *ConfirmTxt, *ConfirmLabel, ShowCheck->value() == 1);
}

void WPADlg::Next_Click() {
    Timer1->setEnabled(false);
    const std::string phrase = PassPhrase->text();
    std::string notice = WpaPassphraseNotice(phrase, ConfirmTxt->text(), ShowCheck->value() == 1);
    // The length is the passphrase's fault, a difference the confirmation's.
    const ui::ControlRef* field =
        WpaPassphraseNotice(phrase, phrase, true).empty() ? &ConfirmTxt : &PassPhrase;
    if (notice.empty()) {
        notice = UnsendableNotice({phrase});
        field = &PassPhrase;
    }
    if (!notice.empty()) {
        core().ShowNotice(notice);
        (*field)->setFocus();
        return;
    }
    if (EncryptMethod->listIndex() == 0 &&
        core().AskYesNo("Are you sure you want to disabled encryption for WPA?", "Warning") ==
            ui::mb::No) {
        EncryptMethod->setFocus();
        return;
    }
    Hide();
    if (pages().get<EncryptQuestionDlg>().EAP->value() == 1) {
        showNext(pages().get<LEAPDlg>());
    } else {
        showNext(pages().get<FinishDialog>());
    }
}

void WPADlg::Prev_Click() {
    Timer1->setEnabled(false);
    Hide();
    pages().get<EncryptQuestionDlg>().Show();
}

} // namespace kestrel
