#include "kestrel/pages/LEAPDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

void LEAPDlg::Build() {
    setCaption("Configure Wireless Authentication");
    label("Label1", "EAP Configuration").asHeading();
    label("Label6", "Please select the EAP operating mode, and enter the user name and password "
                    "required for wireless network access.")
        .setMultiLine(true);
    label("Label4", "EAP Mode:");
    auto& type = combo(Combo1, ui::ComboStyle::DropDownList, {});
    type.beside();
    type.onDropDown = [this] { Combo1_DropDown(); };
    label(Label2, "EAP User Name:");
    textBox(UserName).beside().charsWide(40).setToolTip(
        "Enter the use name for wireless network access.");
    label(Label3, "EAP Password:");
    textBox(Password).beside().setToolTip("Enter the password for wireless network access.");
    auto& show = checkBox(ShowCheck, "Show Password");
    show.beside().setToolTip("Check to show the password as it is being entered.");
    show.onClick = [this] { ShowCheck_Click(); };
    label(ConfirmLabel, "Confirm:");
    textBox(ConfirmTxt)
        .beside()
        .setToolTip("Re-enter the password for data entry verification.")
        .setPasswordChar("*");

    navigationRow();
    timer(Timer1).onTimer = [this] { Timer1_Timer(); };
}

void LEAPDlg::Form_Load() {
    Timer1->setEnabled(false);
    ShowCheck->setValue(0);
    ShowCheck_Click();
    auto& list = *Combo1;
    list.setItems({"None", "PEAP", "LEAP", "TTLS"});
    list.setListIndex(1);
}

void LEAPDlg::SetAuthFieldsState() {
    bool on = Combo1->listIndex() != 0;
    enableField(*UserName, *Label2, on);
    enableField(*Password, *Label3, on);
    enableField(*ConfirmTxt, *ConfirmLabel, on);
    ShowCheck->setEnabled(on);
}

void LEAPDlg::Combo1_DropDown() {
    startTimer(*Timer1, 100);
}

void LEAPDlg::Timer1_Timer() {
    SetAuthFieldsState();
}

void LEAPDlg::ShowCheck_Click() {
    applyShowText(*Password, *ConfirmTxt, *ConfirmLabel, ShowCheck->value() == 1);
}

void LEAPDlg::Next_Click() {
    Timer1->setEnabled(false);
    const std::string user = UserName->text();
    const std::string password = Password->text();
    std::string notice = LeapNotice(user, password, ConfirmTxt->text(), ShowCheck->value() == 1);
    // The field a failed check is about takes the focus.
    ui::Control* field = !LeapNotice(user, "", "", true).empty()       ? &*UserName
                         : !LeapNotice("", password, "", true).empty() ? &*Password
                                                                       : &*ConfirmTxt;
    if (notice.empty()) {
        notice = UnsendableNotice({user, password});
        field = firstUnsendable({UserName, Password});
    }
    if (!notice.empty()) {
        core().ShowNotice(notice);
        field->setFocus();
        return;
    }
    Hide();
    showNext(pages().get<FinishDialog>());
}

void LEAPDlg::Prev_Click() {
    ui::Form* back = PrevForm ? PrevForm : &pages().get<EncryptQuestionDlg>();
    Hide();
    back->Show();
}

void LEAPDlg::Cancel_Click() {
    Timer1->setEnabled(false);
    core().ConfirmExit();
}

} // namespace kestrel
