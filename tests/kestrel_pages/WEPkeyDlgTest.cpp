#include "tests/kestrel_pages/WirelessPagesFixture.h"

namespace kestrel_test {
namespace {

const std::string kFormat = "Invalid key format.\r\nEnter key in double or quad-digit HEX numbers "
                            "separated by colon(:) or dash(-) characters.\r\nExample: "
                            "A7E3-5B19-C2D4-80F6-1E9A-7C3B-6D";
const std::string kSize = "Invalid key size.\r\n40/64 Bit Key requires 10 hex numbers "
                          "(characters).\r\n104/128 Bit Key requires 26 hex numbers (characters).";
std::string mismatch(int key) {
    return "Inputs for Key " + std::to_string(key) +
           " does not match, please re-enter the key again.";
}

// Both key pages share one design; these tests run on each.
class WepKeyPagesTest : public WirelessPagesFixture,
                        public ::testing::WithParamInterface<const char*> {
  protected:
    std::string name() const { return GetParam(); }
    kestrel::WepKeysPage& p() { return dynamic_cast<kestrel::WepKeysPage&>(page(name())); }
    kestrel::WepKeysControls& keys() { return dynamic_cast<kestrel::WepKeysControls&>(p()); }
    void arrive() { open(name()); }
    void key(int row, const std::string& text, bool confirm = true) {
        h.setText(keys().KeyText[row], text);
        if (confirm)
            h.setText(p().ConfirmTxt[row], text);
    }
    void keyFieldsOn(bool on) {
        EXPECT_EQ(p().Label2->enabled(), on);
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(fieldOn(keys().KeyText[i], on));
            EXPECT_TRUE(fieldOn(p().ConfirmTxt[i], on));
            EXPECT_EQ(p().ShowChk[i]->enabled(), on);
            EXPECT_EQ(p().KeyLabel[i]->enabled(), on);
            EXPECT_EQ(p().ConfirmLabel[i]->enabled(), on);
        }
    }
};

TEST_P(WepKeyPagesTest, DefaultsAndMasking) {
    arrive();
    EXPECT_EQ(keys().DefaultKey->text(), "Key 1");
    EXPECT_EQ(keys().AuthMethod->text(), "Shared");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(keys().KeyText[i]->passwordChar(), "*");
        EXPECT_EQ(p().ConfirmTxt[i]->passwordChar(), "*");
        EXPECT_TRUE(p().ConfirmTxt[i]->visible());
    }
}

TEST_P(WepKeyPagesTest, ShowBoxUnmasksOneRowAndHidesItsConfirmation) {
    arrive();
    h.click(p().ShowChk[2]);
    EXPECT_EQ(keys().KeyText[2]->passwordChar(), "");
    EXPECT_FALSE(p().ConfirmTxt[2]->visible());
    EXPECT_FALSE(p().ConfirmLabel[2]->visible());
    EXPECT_EQ(keys().KeyText[1]->passwordChar(), "*");
    h.click(p().ShowChk[2]);
    EXPECT_EQ(keys().KeyText[2]->passwordChar(), "*");
    EXPECT_TRUE(p().ConfirmTxt[2]->visible());
}

TEST_P(WepKeyPagesTest, DefaultKeyDisableGreysTheKeysWithinOneTick) {
    arrive();
    key(0, "12:34:56:78:9A");
    h.select(keys().DefaultKey, 0); // without a drop-down nothing follows
    h.wait(500);
    keyFieldsOn(true);
    h.dropDown(keys().DefaultKey);
    h.wait(100);
    keyFieldsOn(false);
    EXPECT_EQ(keys().KeyText[0]->text(), "12:34:56:78:9A");
    choose(keys().DefaultKey, 3);
    h.wait(100);
    keyFieldsOn(true);
}

TEST_P(WepKeyPagesTest, ConfirmationNamesTheFirstMaskedRowThatDiffers) {
    arrive();
    key(0, "1234567890", false);
    key(2, "1234567890", false);
    h.boxes.expect(kNotice, mismatch(1));
    next(name());
    h.click(p().ShowChk[0]); // shown in clear: not compared
    h.boxes.expect(kNotice, mismatch(3));
    next(name());
    h.setText(p().ConfirmTxt[2], "1234567890");
    next(name());
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
    EXPECT_EQ(prevForm("FinishDialog"), &p());
}

TEST_P(WepKeyPagesTest, ConfirmationIsCaseSensitive) {
    arrive();
    key(1, "abcdef1234");
    h.setText(p().ConfirmTxt[1], "ABCDEF1234");
    h.boxes.expect(kNotice, mismatch(2));
    next(name());
    EXPECT_TRUE(p().visible());
}

TEST_P(WepKeyPagesTest, AllKeysEmptyPass) {
    arrive();
    next(name());
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
}

TEST_P(WepKeyPagesTest, TimerStopsOnNextAndCancelButNotOnBack) {
    arrive();
    h.dropDown(keys().DefaultKey);
    back(name());
    EXPECT_TRUE(p().Timer1->enabled());
    open(name());
    h.boxes.expect(kExitTitle, kExitText, ui::mb::No);
    h.click(p().Cancel);
    EXPECT_FALSE(p().Timer1->enabled());
    h.dropDown(keys().DefaultKey);
    next(name());
    EXPECT_FALSE(p().Timer1->enabled());
}

INSTANTIATE_TEST_SUITE_P(Pages, WepKeyPagesTest, ::testing::Values("WEPkeyDlg", "WEPphraseDlg"));

class WEPkeyDlgTest : public WirelessPagesFixture {
  protected:
    kestrel::WEPkeyDlg& p() { return pages.get<kestrel::WEPkeyDlg>(); }
    void key(int row, const std::string& text) {
        h.setText(p().KeyText[row], text);
        h.setText(p().ConfirmTxt[row], text);
    }
};

TEST_F(WEPkeyDlgTest, FormatThenSizeThenConfirmation) {
    open("WEPkeyDlg");
    key(0, "D1:C2-B3"); // split at ":" only: "C2-B3" is a bad group
    key(1, "12:34");    // wrong size, but the first failing key decides
    h.setText(p().ConfirmTxt[0], "other");
    h.boxes.expect(kNotice, kFormat);
    next("WEPkeyDlg");
    EXPECT_TRUE(p().visible());
    h.setText(p().KeyText[0], "12:34:56:78:9A"); // 10 digits, size 26 chosen
    h.boxes.expect(kNotice, kSize);
    next("WEPkeyDlg");
    h.select(p().KeySize, 0);
    h.setText(p().KeyText[1], "12345-67890");
    h.boxes.expect(kNotice, kFormat); // key 2: a group of 5
    next("WEPkeyDlg");
    EXPECT_EQ(testing_support::Harness::focusOf(p()), "KeyText(1)")
        << "the key the message is about";
    key(1, "1234:567:890");
    h.boxes.expect(kNotice, mismatch(1));
    next("WEPkeyDlg");
    EXPECT_EQ(testing_support::Harness::focusOf(p()), "ConfirmTxt(0)"); // Key 1's
    h.setText(p().ConfirmTxt[0], "12:34:56:78:9A");
    next("WEPkeyDlg");
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
}

TEST_F(WEPkeyDlgTest, KeysAfterAnEmptyOneAreNotExamined) {
    open("WEPkeyDlg");
    key(0, "A7E3-5B19-C2D4-80F6-1E9A-7C3B-6D");
    key(2, "zz:zz");
    next("WEPkeyDlg");
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
}

TEST_F(WEPkeyDlgTest, DisabledKeysAreStillChecked) {
    open("WEPkeyDlg");
    key(0, "12:3");
    choose(p().DefaultKey, 0);
    h.boxes.expect(kNotice, kFormat);
    next("WEPkeyDlg");
}

} // namespace
} // namespace kestrel_test
