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
    kestrel::WPADlg& p() { return pages.get<kestrel::WPADlg>(); }
    void phrase(const std::string& text, const std::string& confirm) {
        h.setText(p().PassPhrase, text);
        h.setText(p().ConfirmTxt, confirm);
    }
    void fieldsOn(bool on) {
        for (const auto& f : {p().EncryptMethod, p().PassPhrase, p().ConfirmTxt})
            EXPECT_TRUE(fieldOn(f, on)) << f.name();
        for (const auto& l : {p().Label2, p().Label3, p().Label4, p().ConfirmLabel, p().ShowCheck})
            EXPECT_EQ(l->enabled(), on) << l.name();
    }
};

TEST_F(WPADlgTest, DefaultsAndMasking) {
    open("WPADlg");
    EXPECT_EQ(p().WPAMode->text(), "Personal (PSK)");
    EXPECT_EQ(p().EncryptMethod->text(), "AES");
    EXPECT_EQ(p().PassPhrase->passwordChar(), "*");
    EXPECT_TRUE(p().ConfirmTxt->visible());
    h.click(p().ShowCheck);
    EXPECT_EQ(p().PassPhrase->passwordChar(), "");
    EXPECT_FALSE(p().ConfirmTxt->visible());
    EXPECT_FALSE(p().ConfirmLabel->visible());
}

TEST_F(WPADlgTest, ModeDisableGreysTheFieldsWithinOneTick) {
    open("WPADlg");
    h.dropDown(p().WPAMode);
    h.select(p().WPAMode, 0);
    fieldsOn(true);
    h.wait(100);
    fieldsOn(false);
    h.select(p().WPAMode, 2);
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
    h.click(p().ShowCheck); // no comparison while shown in clear
    h.select(p().EncryptMethod, 0);
    h.boxes.expect(kWarning, kCipherOff, ui::mb::No);
    next("WPADlg");
    EXPECT_TRUE(p().visible());
    EXPECT_EQ(p().PassPhrase->text(), std::string(63, 'x'));
    h.boxes.expect(kWarning, kCipherOff, ui::mb::Yes);
    next("WPADlg");
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
    EXPECT_EQ(prevForm("FinishDialog"), &p());
}

TEST_F(WPADlgTest, ShortPhrasesWithBlanksPass) {
    open("WPADlg");
    phrase("a b", "a b");
    next("WPADlg");
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
}

TEST_F(WPADlgTest, ChecksRunWithTheModeDisabled) {
    open("WPADlg");
    h.dropDown(p().WPAMode);
    h.select(p().WPAMode, 0);
    h.wait(100);
    put(p().PassPhrase, "x");
    h.boxes.expect(kNotice, kMismatch);
    next("WPADlg");
    EXPECT_FALSE(p().Timer1->enabled());
}

TEST_F(WPADlgTest, EapTickedGoesToThe8021xPageWhoseBackReturnsHere) {
    open("EncryptQuestionDlg", "WirelessQuestionDlg");
    h.click(pages.get<kestrel::EncryptQuestionDlg>().click[2]);
    h.click(pages.get<kestrel::EncryptQuestionDlg>().WPA);
    h.click(pages.get<kestrel::EncryptQuestionDlg>().EAP);
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
    h.dropDown(p().WPAMode);
    h.boxes.expect(kExitTitle, kExitText, ui::mb::No);
    h.click(p().Cancel);
    EXPECT_TRUE(p().Timer1->enabled());
    back("WPADlg");
    EXPECT_FALSE(p().Timer1->enabled());
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
