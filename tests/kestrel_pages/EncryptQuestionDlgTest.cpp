#include "tests/kestrel_pages/WirelessPagesFixture.h"

namespace kestrel_test {
namespace {

class EncryptQuestionDlgTest : public WirelessPagesFixture {
  protected:
    void arrive() {
        wirelessQuestion({}, true);
        open("EncryptQuestionDlg", "WirelessQuestionDlg");
    }
    kestrel::EncryptQuestionDlg& e() { return pages.get<kestrel::EncryptQuestionDlg>(); }
};

TEST_F(EncryptQuestionDlgTest, OpenIsTheDefaultAndLeadsToTheFinishPage) {
    arrive();
    EXPECT_EQ(e().click[0]->value(), 1);
    EXPECT_FALSE(e().WPA->enabled());
    EXPECT_FALSE(e().EAP->enabled());
    next("EncryptQuestionDlg");
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
    EXPECT_EQ(prevForm("FinishDialog"), &e());
    EXPECT_EQ(core.ws.CurrentSettings[6], "True|False|False|0|0");
}

TEST_F(EncryptQuestionDlgTest, OtherMethodsEnableTheBoxesWhichKeepTheirValues) {
    arrive();
    h.click(e().click[2]);
    EXPECT_TRUE(e().WPA->enabled());
    h.click(e().WPA);
    h.click(e().click[1]);
    EXPECT_FALSE(e().WPA->enabled());
    EXPECT_EQ(e().WPA->value(), 1);
    next("EncryptQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "WEPDlg");
    EXPECT_EQ(core.ws.CurrentSettings[6], "False|True|False|1|0");
}

TEST_F(EncryptQuestionDlgTest, OtherMethodsWithoutABoxShowANotice) {
    arrive();
    h.click(e().click[2]);
    h.boxes.expect(kNotice, "You need to select at least one authentication method: WPA or EAP");
    next("EncryptQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "EncryptQuestionDlg");
}

TEST_F(EncryptQuestionDlgTest, EapOnlyOpensThe8021xPageWhoseBackReturnsHere) {
    arrive();
    h.click(e().click[2]);
    h.click(e().EAP);
    next("EncryptQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "LEAPDlg");
    EXPECT_EQ(prevForm("LEAPDlg"), &e());
    back("LEAPDlg");
    EXPECT_EQ(h.visibleForm(), "EncryptQuestionDlg");
}

TEST_F(EncryptQuestionDlgTest, NoOptionSetStaysWithANotice) {
    arrive();
    h.run([&] { e().click[0]->setValue(0); });
    h.boxes.expectContaining(kNotice, "authentication method");
    next("EncryptQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "EncryptQuestionDlg");
}

TEST_F(EncryptQuestionDlgTest, BackReturnsToTheOpener) {
    wirelessQuestion({0}, true);
    open("EncryptQuestionDlg", "WirelessDlg");
    back("EncryptQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessDlg");
    open("EncryptQuestionDlg", "WirelessQuestionDlg");
    h.run([&] { pages.get<kestrel::WirelessDlg>().Hide(); });
    back("EncryptQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessQuestionDlg");
}

TEST_F(EncryptQuestionDlgTest, WepMethodPageChoosesTheKeyPage) {
    open("WEPDlg");
    EXPECT_EQ(pages.get<kestrel::WEPDlg>().Phrase->value(), 1);
    next("WEPDlg");
    EXPECT_EQ(h.visibleForm(), "WEPphraseDlg");
    back("WEPphraseDlg");
    EXPECT_EQ(h.visibleForm(), "WEPDlg");
    h.click(pages.get<kestrel::WEPDlg>().EntryManual);
    EXPECT_EQ(pages.get<kestrel::WEPDlg>().Phrase->value(), 0);
    next("WEPDlg");
    EXPECT_EQ(h.visibleForm(), "WEPkeyDlg");
    back("WEPkeyDlg");
    back("WEPDlg");
    EXPECT_EQ(h.visibleForm(), "EncryptQuestionDlg");
}

} // namespace
} // namespace kestrel_test
