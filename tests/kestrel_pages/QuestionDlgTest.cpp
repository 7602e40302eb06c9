#include "kestrel/pages/QuestionDlg.h"
#include "kestrel/pages/LoadDlg.h"
#include "kestrel/pages/NetworkDlg.h"
#include "kestrel/pages/WirelessQuestionDlg.h"
#include "tests/kestrel_pages/KestrelFixture.h"

namespace kestrel_test {
namespace {

using ui::mb::No;

class QuestionDlgTest : public KestrelFixture {
  protected:
    QuestionDlgTest() {
        start(" GO");
        h.run([&] {
            pages.get<kestrel::LoadDlg>().Hide();
            question().Show();
        });
    }
    kestrel::QuestionDlg& question() { return pages.get<kestrel::QuestionDlg>(); }
    void tick(std::initializer_list<int> boxes) {
        for (int i : boxes)
            h.click(question().Check1[i]);
    }
};

TEST_F(QuestionDlgTest, TheFirstTickedBoxChoosesTheNextPage) {
    const struct {
        std::initializer_list<int> boxes;
        std::string next;
        bool prevForm; // the next page learns that this page opened it
    } cases[] = {
        {{0}, "WiredDlg", false},           {{0, 6}, "WiredDlg", false},
        {{6, 0}, "WiredDlg", false}, // the order of ticking does not matter
        {{1}, "NetworkDlg", true},          {{5, 6}, "NetworkDlg", true},
        {{6}, "WirelessQuestionDlg", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.next);
        h.run([&] {
            for (ui::Form* f : pages.all())
                f->Hide();
            for (int i = 0; i < kestrel::QuestionDlg::kBoxes; ++i)
                question().Check1[i]->setValue(0);
            question().Show();
            pages.get<kestrel::NetworkDlg>().PrevForm = nullptr;
            pages.get<kestrel::WirelessQuestionDlg>().PrevForm = nullptr;
        });
        tick(c.boxes);
        h.click(question().Next);
        EXPECT_EQ(h.visibleForm(), c.next);
        if (c.prevForm) {
            auto& next = static_cast<kestrel::Page&>(pages.form(c.next));
            EXPECT_EQ(next.PrevForm, &question());
        }
    }
    EXPECT_TRUE(h.boxes.shown().empty());
}

TEST_F(QuestionDlgTest, NetworkPageOpensWithOnlyTheTickedRows) {
    tick({2, 6});
    h.click(question().Next);
    ASSERT_EQ(h.visibleForm(), "NetworkDlg");
    for (int row = 1; row <= 5; ++row)
        EXPECT_EQ(pages.get<kestrel::NetworkDlg>().Combo1[row]->enabled(), row == 2) << row;
}

TEST_F(QuestionDlgTest, NoBoxTickedShowsTheSelectionErrorAndStays) {
    bool visibleDuringBox = false;
    h.boxes
        .expect("Selection Error",
                "You need to select one of the check boxes to continue.\r\n\r\n"
                "If you don't wish to change any of the available settings,\r\n"
                "press the Cancel button to exit.",
                ui::mb::Ok, ui::mb::OkOnly | ui::mb::Critical)
        .during([&] { visibleDuringBox = question().visible(); });
    h.click(question().Next);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(visibleDuringBox);
    EXPECT_EQ(h.visibleForm(), "QuestionDlg");
}

TEST_F(QuestionDlgTest, CancelAsksAndTheCloseBoxGoesToTheExitRoutine) {
    h.boxes.expectContaining("Caution Exiting Wizard", "Do you want to exit the wizard?", No);
    h.click(question().Cancel);
    EXPECT_EQ(h.visibleForm(), "QuestionDlg");

    h.boxes.expectContaining("Leaving Wizard Without Saving Settings", "", No);
    h.close(question());
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(h.boxes.allShown());
}

} // namespace
} // namespace kestrel_test
