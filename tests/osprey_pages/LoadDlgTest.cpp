#include "tests/osprey_pages/OspreyFixture.h"

namespace osprey_test {
namespace {

class LoadDlgTest : public OspreyFixture {
  protected:
    osprey::LoadDlg& loadDlg() { return pages.get<osprey::LoadDlg>(); }
    // Counts the media page's window builds.
    int mediaLoads() {
        int n = 0;
        for (const auto& f : watch.shown)
            n += f == "Operation";
        return n;
    }
};

TEST_F(LoadDlgTest, StartNewGivesBothSettingsPagesTheirDefaults) {
    toLoadDlg();
    h.click(loadDlg().Next);
    ASSERT_EQ(h.visibleForm(), "Operation");
    // Change something on both settings pages, then come back and start anew.
    h.click(pages.get<osprey::Operation>().MediaTypeCB);
    ASSERT_EQ(pages.get<osprey::Operation>().MediaTypeCB->value(), 0);
    // On this model sensing starts to be sent (box clear); tick it.
    ASSERT_EQ(pages.get<osprey::PrinterSetup>().GapCB->value(), 0);
    h.run([&] { pages.get<osprey::PrinterSetup>().GapCB->setValue(1); });
    h.run([&] {
        pages.get<osprey::Operation>().Hide();
        loadDlg().Show();
    });
    h.click(loadDlg().Next);
    EXPECT_EQ(h.visibleForm(), "Operation");
    EXPECT_EQ(pages.get<osprey::Operation>().MediaTypeCB->value(), 1);
    EXPECT_FALSE(pages.get<osprey::PrinterSetup>().loaded()) << "built afresh on its next use";
    EXPECT_EQ(pages.get<osprey::PrinterSetup>().GapCB->value(), 0);
}

TEST_F(LoadDlgTest, LoadOpensTheDialogInLoadModeOverAHiddenMediaPage) {
    toLoadDlg();
    h.click(loadDlg().Load);
    h.click(loadDlg().Next);
    EXPECT_EQ(h.visibleForm(), "Dialog");
    EXPECT_EQ(pages.get<osprey::Dialog>().Mode, osprey::Dialog::kLoad);
    EXPECT_TRUE(pages.get<osprey::Operation>().loaded());
    EXPECT_FALSE(pages.get<osprey::Operation>().visible());
}

TEST_F(LoadDlgTest, BackReturnsToTheSelectionPageWithTheSettingsPagesUntouched) {
    toLoadDlg();
    h.click(loadDlg().Next);
    h.click(pages.get<osprey::Operation>().MediaTypeCB);
    h.run([&] {
        pages.get<osprey::Operation>().Hide();
        loadDlg().Show();
    });
    h.click(loadDlg().Prev);
    EXPECT_EQ(h.visibleForm(), "Selection");
    EXPECT_EQ(pages.get<osprey::Selection>().PrinterList->listIndex(), 0);
    EXPECT_EQ(pages.get<osprey::Operation>().MediaTypeCB->value(), 0);
}

} // namespace
} // namespace osprey_test
