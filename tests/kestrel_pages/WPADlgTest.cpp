#include "tests/kestrel_pages/WirelessPagesFixture.h"

namespace kestrel_test {
namespace {

const std::string kTooLong = "Passphrase too long.\r\nMaximum number of characters allowed is "
                             "63.\r\nPlease enter a valid Passphrase.";
const std::string kMismatch =
    "Inputs for the passphrase does not match, please re-enter the phrase again.";
const std::string kCipherOff = "Are you sure you want to disabled encryption for WPA?";

class WPADlgTest : public WirelessPagesFixture {
  protected:
    ui::Form& p() { return page("WPADlg"); }
    void phrase(const std::string& text, const std::string& confirm) {
        h.setText(p(), "PassPhrase", text);
        h.setText(p(), "ConfirmTxt", confirm);
    }
    void fieldsOn(bool on) {
        for (const char* f : {"EncryptMethod", "PassPhrase", "ConfirmTxt"})
            EXPECT_TRUE(fieldOn("WPADlg", f, on)) << f;
        for (const char* l : {"Label2", "Label3", "Label4", "ConfirmLabel", "ShowCheck"})
            EXPECT_EQ(ctl("WPADlg", l).enabled(), on) << l;
    }
};

TEST_F(WPADlgTest, DefaultsAndMasking) {
    open("WPADlg");
    EXPECT_EQ(ctl("WPADlg", "WPAMode").text(), "Personal (PSK)");
    EXPECT_EQ(ctl("WPADlg", "EncryptMethod").text(), "AES");
    EXPECT_EQ(ctl("WPADlg", "PassPhrase").passwordChar(), "*");
    EXPECT_TRUE(ctl("WPADlg", "ConfirmTxt").visible());
    h.click(p(), "ShowCheck");
    EXPECT_EQ(ctl("WPADlg", "PassPhrase").passwordChar(), "");
    EXPECT_FALSE(ctl("WPADlg", "ConfirmTxt").visible());
    EXPECT_FALSE(ctl("WPADlg", "ConfirmLabel").visible());
}

TEST_F(WPADlgTest, ModeDisableGreysTheFieldsWithinOneTick) {
    open("WPADlg");
    h.dropDown(p(), "WPAMode");
    h.select(p(), "WPAMode", 0);
    fieldsOn(true);
    h.wait(100);
    fieldsOn(false);
    h.select(p(), "WPAMode", 2);
    h.wait(100);
    fieldsOn(true);
}

TEST_F(WPADlgTest, LengthThenConfirmationThenCipherQuestion) {
    open("WPADlg");
    phrase(std::string(64, 'x'), "other");
    h.boxes.expect(kNotice, kTooLong);
    next("WPADlg");
    EXPECT_EQ(testing_support::Harness::focusOf(p()), "PassPhrase")
        << "the field the message is about";
    phrase(std::string(63, 'x'), "other");
    h.boxes.expect(kNotice, kMismatch);
    next("WPADlg");
    EXPECT_EQ(testing_support::Harness::focusOf(p()), "ConfirmTxt");
    h.click(p(), "ShowCheck"); // no comparison while shown in clear
    h.select(p(), "EncryptMethod", 0);
    h.boxes.expect(kWarning, kCipherOff, ui::mb::No);
    next("WPADlg");
    EXPECT_TRUE(p().visible());
    EXPECT_EQ(ctl("WPADlg", "PassPhrase").text(), std::string(63, 'x'));
    h.boxes.expect(kWarning, kCipherOff, ui::mb::Yes);
    next("WPADlg");
    EXPECT_TRUE(page("FinishDialog").visible());
    EXPECT_EQ(prevForm("FinishDialog"), &p());
}

TEST_F(WPADlgTest, ShortPhrasesWithBlanksPass) {
    open("WPADlg");
    phrase("a b", "a b");
    next("WPADlg");
    EXPECT_TRUE(page("FinishDialog").visible());
}

TEST_F(WPADlgTest, ChecksRunWithTheModeDisabled) {
    open("WPADlg");
    h.dropDown(p(), "WPAMode");
    h.select(p(), "WPAMode", 0);
    h.wait(100);
    put("WPADlg", "PassPhrase", "x");
    h.boxes.expect(kNotice, kMismatch);
    next("WPADlg");
    EXPECT_FALSE(ctl("WPADlg", "Timer1").enabled());
}

TEST_F(WPADlgTest, EapTickedGoesToThe8021xPageWhoseBackReturnsHere) {
    open("EncryptQuestionDlg", "WirelessQuestionDlg");
    h.click(page("EncryptQuestionDlg"), "click", 2);
    h.click(page("EncryptQuestionDlg"), "WPA");
    h.click(page("EncryptQuestionDlg"), "EAP");
    next("EncryptQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "WPADlg");
    next("WPADlg");
    EXPECT_EQ(h.visibleForm(), "LEAPDlg");
    EXPECT_EQ(prevForm("LEAPDlg"), &p());
    back("LEAPDlg");
    EXPECT_EQ(h.visibleForm(), "WPADlg");
    back("WPADlg");
    EXPECT_EQ(h.visibleForm(), "EncryptQuestionDlg");
}

TEST_F(WPADlgTest, BackStopsTheTimerCancelDoesNot) {
    open("EncryptQuestionDlg", "WirelessQuestionDlg");
    open("WPADlg");
    h.dropDown(p(), "WPAMode");
    h.boxes.expect(kExitTitle, kExitText, ui::mb::No);
    h.click(p(), "Cancel");
    EXPECT_TRUE(ctl("WPADlg", "Timer1").enabled());
    back("WPADlg");
    EXPECT_FALSE(ctl("WPADlg", "Timer1").enabled());
}

TEST_F(WPADlgTest, LineBreakInThePassphraseIsRefused) {
    open("WPADlg");
    phrase("abc\r\nreboot", "abc\r\nreboot");
    h.boxes.expectContaining(kNotice, "cannot be sent to the printer");
    next("WPADlg");
    EXPECT_TRUE(p().visible());
}

} // namespace
} // namespace kestrel_test
