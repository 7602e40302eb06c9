#include "tests/kestrel_pages/WirelessPagesFixture.h"

// The shared behaviour of the two key pages is tested in WEPkeyDlgTest.cpp.
namespace kestrel_test {
namespace {

class WEPphraseDlgTest : public WirelessPagesFixture {};

TEST_F(WEPphraseDlgTest, AnyPhraseMatchingItsConfirmationPasses) {
    open("WEPphraseDlg");
    auto& p = page("WEPphraseDlg");
    h.setText(p, "KeyText", " a phrase: with-colons and blanks of any length", 0);
    h.setText(p, "ConfirmTxt", " a phrase: with-colons and blanks of any length", 0);
    next("WEPphraseDlg");
    EXPECT_TRUE(page("FinishDialog").visible());
}

TEST_F(WEPphraseDlgTest, LineBreakInAKeyIsRefusedAfterTheConfirmation) {
    open("WEPphraseDlg");
    auto& p = page("WEPphraseDlg");
    h.setText(p, "KeyText", "a\nb", 1);
    h.boxes.expect(kNotice, "Inputs for Key 2 does not match, please re-enter the key again.");
    next("WEPphraseDlg");
    h.setText(p, "ConfirmTxt", "a\nb", 1);
    h.boxes.expectContaining(kNotice, "cannot be sent to the printer");
    next("WEPphraseDlg");
    EXPECT_TRUE(p.visible());
}

} // namespace
} // namespace kestrel_test
