#include "tests/kestrel_pages/WirelessPagesFixture.h"

namespace kestrel_test {
namespace {

class WirelessQuestionDlgTest : public WirelessPagesFixture {};

TEST_F(WirelessQuestionDlgTest, NoBoxTickedShowsTheSelectionErrorAndStays) {
    open("WirelessQuestionDlg", "QuestionDlg");
    h.boxes.expect(kSelectionError,
                   "You need to select one of the check boxes to continue.\r\n\r\nIf you don't "
                   "wish to change any of the available settings,\r\npress the Cancel button to "
                   "exit.");
    next("WirelessQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessQuestionDlg");
}

TEST_F(WirelessQuestionDlgTest, OnlyEncryptionGoesToTheEncryptionChoice) {
    open("WirelessQuestionDlg", "QuestionDlg");
    h.click(pages.get<kestrel::WirelessQuestionDlg>().EncryptionCB);
    next("WirelessQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "EncryptQuestionDlg");
    EXPECT_EQ(prevForm("EncryptQuestionDlg"), &pages.get<kestrel::WirelessQuestionDlg>());
    back("EncryptQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessQuestionDlg");
}

TEST_F(WirelessQuestionDlgTest, AnySettingGoesToTheSettingsPageWithItsRowsEnabled) {
    open("WirelessQuestionDlg", "QuestionDlg");
    h.click(pages.get<kestrel::WirelessQuestionDlg>().check[9]);
    h.click(pages.get<kestrel::WirelessQuestionDlg>().EncryptionCB);
    next("WirelessQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessDlg");
    EXPECT_TRUE(pages.get<kestrel::WirelessDlg>().CountryCode->enabled());
    EXPECT_TRUE(pages.get<kestrel::WirelessDlg>().Label2[9]->enabled());
    EXPECT_TRUE(pages.get<kestrel::WirelessDlg>().Check2->enabled());
    EXPECT_TRUE(fieldOn(pages.get<kestrel::WirelessDlg>().SSID, false));
    EXPECT_FALSE(pages.get<kestrel::WirelessDlg>().Check1->enabled());
    for (int row = 1; row <= 8; ++row)
        EXPECT_FALSE(pages.get<kestrel::WirelessDlg>().row(row)->enabled()) << row;
    back("WirelessDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessQuestionDlg");
}

TEST_F(WirelessQuestionDlgTest, BackGoesToWhicheverPageOpenedItLast) {
    question({6});
    for (const char* opener : {"QuestionDlg", "NetworkDlg", "QuestionDlg"}) {
        open("WirelessQuestionDlg", opener);
        back("WirelessQuestionDlg");
        EXPECT_EQ(h.visibleForm(), opener);
        h.run([&] { page(opener).Hide(); });
    }
}

} // namespace
} // namespace kestrel_test
