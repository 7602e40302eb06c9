#include "kestrel/pages/WEPDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

void WEPDlg::Build() {
    setCaption("Configure Wireless Authentication");
    label("Label1", "WEP Encryption Configuration", 1).asHeading();
    label("Label6", "Please select the method for entering the encryption key used by  your "
                    "wireless network.");
    option(Phrase, "&ASCII String")
        .setToolTip("Select the option to enter in an ASCII string for wireless network access.");
    label("Label4", "The ASCII string can contain any alpha-numeric characters except spaces. "
                    "Key length is inferred from the length of phrase so  leading zeros of longer "
                    "keys must be entered.")
        .setMultiLine(true);
    option(EntryManual, "&Encryption keys")
        .setToolTip("Select option to enter in the encryption keys use by the wireless network.");
    label("Label5", "The keys are entered in double or quad-digit HEX numbers separated by "
                    "colon(:) or dash(-) characters. Example: " +
                        std::string(kSampleHexKey))
        .charsWide(80) // keeps the sample key on one line
        .setMultiLine(true);

    navigationRow();
}

void WEPDlg::Form_Load() {
    Phrase->setValue(1);
}

void WEPDlg::Next_Click() {
    Hide();
    if (Phrase->value())
        pages().get<WEPphraseDlg>().Show();
    else
        pages().get<WEPkeyDlg>().Show();
}

void WEPDlg::Prev_Click() {
    Hide();
    pages().get<EncryptQuestionDlg>().Show();
}

} // namespace kestrel
