#include "tests/kestrel_pages/WirelessPagesFixture.h"

namespace kestrel_test {
namespace {

const std::string kUserLong = "User Name too long.\r\nMaximum number of characters allowed is "
                              "32.\r\nPlease enter a valid User Name.";
const std::string kPassLong = "Password too long.\r\nMaximum number of characters allowed is "
                              "32.\r\nPlease enter a valid password.";
const std::string kMismatch =
    "Inputs for the password does not match, please re-enter the password again.";

class LEAPDlgTest : public WirelessPagesFixture {
  protected:
    kestrel::LEAPDlg& p() { return pages.get<kestrel::LEAPDlg>(); }
    void fieldsOn(bool on) {
        for (const auto& f : {p().UserName, p().Password, p().ConfirmTxt})
            EXPECT_TRUE(fieldOn(f, on)) << f.name();
        for (const auto& l : {p().Label2, p().Label3, p().ConfirmLabel, p().ShowCheck})
            EXPECT_EQ(l->enabled(), on) << l.name();
    }
};

TEST_F(LEAPDlgTest, DefaultAndMasking) {
    open("LEAPDlg", "EncryptQuestionDlg");
    EXPECT_EQ(p().Combo1->text(), "PEAP");
    EXPECT_EQ(p().Password->passwordChar(), "*");
    EXPECT_EQ(p().ConfirmTxt->passwordChar(), "*");
    h.click(p().ShowCheck);
    EXPECT_EQ(p().Password->passwordChar(), "");
    EXPECT_FALSE(p().ConfirmTxt->visible());
}

TEST_F(LEAPDlgTest, TypeNoneGreysTheFieldsWithinOneTickAndKeepsTheTexts) {
    open("LEAPDlg", "EncryptQuestionDlg");
    h.setText(p().UserName, "me");
    h.dropDown(p().Combo1);
    h.select(p().Combo1, 0);
    fieldsOn(true);
    h.wait(100);
    fieldsOn(false);
    EXPECT_EQ(p().UserName->text(), "me");
    choose(p().Combo1, 3);
    h.wait(100);
    fieldsOn(true);
}

TEST_F(LEAPDlgTest, UserThenPasswordThenConfirmation) {
    open("LEAPDlg", "EncryptQuestionDlg");
    h.setText(p().UserName, std::string(33, 'u'));
    h.setText(p().Password, std::string(33, 'p'));
    h.boxes.expect(kNotice, kUserLong);
    next("LEAPDlg");
    EXPECT_EQ(testing_support::Harness::focusOf(p()), "UserName")
        << "the field the message is about";
    h.setText(p().UserName, std::string(32, 'u'));
    h.boxes.expect(kNotice, kPassLong);
    next("LEAPDlg");
    EXPECT_EQ(testing_support::Harness::focusOf(p()), "Password");
    h.setText(p().Password, "Secret");
    h.setText(p().ConfirmTxt, "secret");
    h.boxes.expect(kNotice, kMismatch);
    next("LEAPDlg");
    EXPECT_EQ(testing_support::Harness::focusOf(p()), "ConfirmTxt");
    EXPECT_TRUE(p().visible());
    h.click(p().ShowCheck);
    next("LEAPDlg");
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
    EXPECT_EQ(prevForm("FinishDialog"), &p());
}

TEST_F(LEAPDlgTest, TimerStopsOnNextAndCancelNotOnBack) {
    open("LEAPDlg", "EncryptQuestionDlg");
    h.dropDown(p().Combo1);
    back("LEAPDlg");
    EXPECT_TRUE(p().Timer1->enabled());
    open("LEAPDlg", "EncryptQuestionDlg");
    h.boxes.expect(kExitTitle, kExitText, ui::mb::No);
    h.click(p().Cancel);
    EXPECT_FALSE(p().Timer1->enabled());
}

TEST_F(LEAPDlgTest, CharacterWithoutAWindows1252FormIsRefused) {
    open("LEAPDlg", "EncryptQuestionDlg");
    h.setText(p().UserName, "\xE2\x88\x9E"); // infinity sign
    h.boxes.expectContaining(kNotice, "cannot be sent to the printer");
    next("LEAPDlg");
    EXPECT_TRUE(p().visible());
}

} // namespace
} // namespace kestrel_test
