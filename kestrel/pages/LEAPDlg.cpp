#include "kestrel/pages/LEAPDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/EncryptQuestionDlg.h"
#include "kestrel/pages/FinishDialog.h"
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
    auto& type = combo("Combo1", ui::ComboStyle::DropDownList, {});
    type.beside();
    type.onDropDown = [this] { Combo1_DropDown(); };
    label("Label2", "EAP User Name:");
    textBox("UserName")
        .beside()
        .charsWide(40)
        .setToolTip("Enter the use name for wireless network access.");
    label("Label3", "EAP Password:");
    textBox("Password").beside().setToolTip("Enter the password for wireless network access.");
    auto& show = checkBox("ShowCheck", "Show Password");
    show.beside().setToolTip("Check to show the password as it is being entered.");
    show.onClick = [this] { ShowCheck_Click(); };
    label("ConfirmLabel", "Confirm:");
    textBox("ConfirmTxt")
        .beside()
        .setToolTip("Re-enter the password for data entry verification.")
        .setPasswordChar("*");

    navigationRow([this] { Prev_Click(); }, [this] { Next_Click(); }, [this] { Cancel_Click(); });
    timer("Timer1").onTimer = [this] { Timer1_Timer(); };
}

void LEAPDlg::Form_Load() {
    ctl("Timer1").setEnabled(false);
    ctl("ShowCheck").setValue(0);
    ShowCheck_Click();
    auto& list = ctl("Combo1");
    list.setItems({"None", "PEAP", "LEAP", "TTLS"});
    list.setListIndex(1);
}

void LEAPDlg::Form_QueryUnload(int& /*cancel*/, int unloadMode) {
    if (unloadMode == ui::kUnloadUser)
        core().ExitWizard();
}

void LEAPDlg::SetAuthFieldsState() {
    bool on = ctl("Combo1").listIndex() != 0;
    enableField(ctl("UserName"), &ctl("Label2"), on);
    enableField(ctl("Password"), &ctl("Label3"), on);
    enableField(ctl("ConfirmTxt"), &ctl("ConfirmLabel"), on);
    ctl("ShowCheck").setEnabled(on);
}

void LEAPDlg::Combo1_DropDown() {
    startTimer1(100);
}

void LEAPDlg::Timer1_Timer() {
    SetAuthFieldsState();
}

void LEAPDlg::ShowCheck_Click() {
    applyShowText(ctl("Password"), ctl("ConfirmTxt"), ctl("ConfirmLabel"),
                  ctl("ShowCheck").value() == 1);
}

void LEAPDlg::Next_Click() {
    ctl("Timer1").setEnabled(false);
    const std::string user = ctl("UserName").text();
    const std::string password = ctl("Password").text();
    std::string notice =
        LeapNotice(user, password, ctl("ConfirmTxt").text(), ctl("ShowCheck").value() == 1);
    // The field a failed check is about takes the focus.
    ui::Control* field = !LeapNotice(user, "", "", true).empty()       ? &ctl("UserName")
                         : !LeapNotice("", password, "", true).empty() ? &ctl("Password")
                                                                       : &ctl("ConfirmTxt");
    if (notice.empty()) {
        notice = UnsendableNotice({user, password});
        field = firstUnsendable({&ctl("UserName"), &ctl("Password")});
    }
    if (!notice.empty()) {
        core().ShowNotice(notice);
        field->setFocus();
        return;
    }
    Hide();
    showNext(pages().getFinishDialog());
}

void LEAPDlg::Prev_Click() {
    ui::Form* back = PrevForm ? PrevForm : &pages().getEncryptQuestionDlg();
    Hide();
    back->Show();
}

void LEAPDlg::Cancel_Click() {
    ctl("Timer1").setEnabled(false);
    core().ConfirmExit();
}

} // namespace kestrel
