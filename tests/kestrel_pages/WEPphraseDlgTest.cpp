#include "tests/kestrel_pages/WirelessPagesFixture.h"

// The shared behaviour of the two key pages is tested in WEPkeyDlgTest.cpp.
namespace kestrel_test {
namespace {

class WEPphraseDlgTest : public WirelessPagesFixture {};

TEST_F(WEPphraseDlgTest, AnyPhraseMatchingItsConfirmationPasses) {
    open("WEPphraseDlg");
    auto& p = pages.get<kestrel::WEPphraseDlg>();
    h.setText(p.KeyText[0], " a phrase: with-colons and blanks of any length");
    h.setText(p.ConfirmTxt[0], " a phrase: with-colons and blanks of any length");
    next("WEPphraseDlg");
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
}

TEST_F(WEPphraseDlgTest, LineBreakInAKeyIsRefusedAfterTheConfirmation) {
    open("WEPphraseDlg");
    auto& p = pages.get<kestrel::WEPphraseDlg>();
    h.setText(p.KeyText[1], "a\nb");
    h.boxes.expect(kNotice, "Inputs for Key 2 does not match, please re-enter the key again.");
    next("WEPphraseDlg");
    h.setText(p.ConfirmTxt[1], "a\nb");
    h.boxes.expectContaining(kNotice, "cannot be sent to the printer");
    next("WEPphraseDlg");
    EXPECT_TRUE(p.visible());
}

} // namespace
} // namespace kestrel_test
