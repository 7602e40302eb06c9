#include "tests/kestrel_pages/WirelessPagesFixture.h"

namespace kestrel_test {
namespace {

const std::string kPacket = "Invalid packet value. Please enter a value from 1 to 5";
const std::string kPeriod = "Invalid time period. Please enter a value from 1 to 5";

class NetworkDlgTest : public WirelessPagesFixture {
  protected:
    kestrel::NetworkDlg& n() { return pages.get<kestrel::NetworkDlg>(); }
    // Arrives from the question page, as its Next does.
    void arrive(const std::vector<int>& ticked) {
        question(ticked);
        open("NetworkDlg", "QuestionDlg");
        h.run([&] { n().InitForm(); });
    }
    void pingFieldsOn(bool on) {
        EXPECT_TRUE(fieldOn(n().Packet, on));
        EXPECT_TRUE(fieldOn(n().Period, on));
        EXPECT_EQ(n().Label3[0]->enabled(), on);
        EXPECT_EQ(n().Label3[1]->enabled(), on);
    }
};

TEST_F(NetworkDlgTest, ListsAndDefaults) {
    arrive({1, 2, 3, 4, 5});
    const std::vector<std::string> keepAlive{"Disable (0 min)", "2 min", "3 min", "4 min",
                                             "5 min",           "6 min", "7 min", "8 min",
                                             "9 min",           "10 min"};
    EXPECT_EQ(n().Combo1[2]->items(), keepAlive);
    const char* defaults[6] = {"", "Auto Select", "3 min", "Standard", "Enable", "Enable"};
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(n().Combo1[i]->text(), defaults[i]) << i;
    EXPECT_EQ(n().Packet->text(), "1");
    EXPECT_EQ(n().Period->text(), "5");
}

TEST_F(NetworkDlgTest, RowsFollowTheQuestionBoxesOnEveryArrival) {
    arrive({2, 4});
    for (int i = 1; i <= 5; ++i) {
        bool on = i == 2 || i == 4;
        EXPECT_EQ(n().Combo1[i]->enabled(), on) << i;
        EXPECT_EQ(n().Label2[i]->enabled(), on) << i;
    }
    pingFieldsOn(false);

    // Back, other boxes, forward again: the rule is re-applied, the choices stay.
    h.select(n().Combo1[2], 5);
    h.run([&] { n().Hide(); });
    arrive({5});
    EXPECT_FALSE(n().Combo1[2]->enabled());
    EXPECT_EQ(n().Combo1[2]->listIndex(), 5);
    EXPECT_TRUE(n().Combo1[5]->enabled());
    pingFieldsOn(true);
}

TEST_F(NetworkDlgTest, PingFieldsFollowTheListWithinOneTick) {
    arrive({5});
    h.dropDown(n().Combo1[5]);
    h.select(n().Combo1[5], 1); // Disable
    pingFieldsOn(true);         // only the timer applies it
    h.wait(100);
    pingFieldsOn(false);
    h.select(n().Combo1[5], 0);
    h.wait(100);
    pingFieldsOn(true);
}

TEST_F(NetworkDlgTest, OtherListsStartNoTimer) {
    arrive({1, 5});
    h.dropDown(n().Combo1[1]);
    choose(n().Combo1[5], 1);
    h.wait(500);
    pingFieldsOn(true);
}

TEST_F(NetworkDlgTest, PacketIsCheckedBeforePeriodAndOnlyWhileEnabled) {
    arrive({5});
    h.setText(n().Packet, "6");
    h.setText(n().Period, "0");
    h.boxes.expect(kErrorTitle, kPacket);
    next("NetworkDlg");
    h.setText(n().Packet, "2.5");
    h.boxes.expect(kErrorTitle, kPeriod);
    next("NetworkDlg");
    EXPECT_TRUE(n().visible());
    EXPECT_EQ(n().Packet->text(), "2.5");

    // "Disable": no range check whatever the texts hold.
    h.setText(n().Packet, "99");
    h.select(n().Combo1[5], 1);
    next("NetworkDlg");
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
    EXPECT_TRUE(h.boxes.allShown());
}

TEST_F(NetworkDlgTest, DisabledPingRowStillChecksItsTexts) {
    arrive({1});
    put(n().Packet, "0");
    h.boxes.expect(kErrorTitle, kPacket);
    next("NetworkDlg");
    EXPECT_TRUE(n().visible());
}

TEST_F(NetworkDlgTest, NextGoesOnByTheWirelessBoxAndBackReturns) {
    arrive({1, 6});
    next("NetworkDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessQuestionDlg");
    EXPECT_EQ(prevForm("WirelessQuestionDlg"), &n());
    back("WirelessQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "NetworkDlg");
    back("NetworkDlg");
    EXPECT_EQ(h.visibleForm(), "QuestionDlg");
}

TEST_F(NetworkDlgTest, NextStopsThePingTimerAndCancelToo) {
    arrive({5});
    h.dropDown(n().Combo1[5]);
    EXPECT_TRUE(n().Timer1->enabled());
    back("NetworkDlg"); // Back leaves it running
    EXPECT_TRUE(n().Timer1->enabled());
    open("NetworkDlg", "QuestionDlg");
    h.boxes.expect(kExitTitle, kExitText, ui::mb::No);
    h.click(n().Cancel);
    EXPECT_FALSE(n().Timer1->enabled());
    h.dropDown(n().Combo1[5]);
    next("NetworkDlg");
    EXPECT_FALSE(n().Timer1->enabled());
}

TEST_F(NetworkDlgTest, PingTextsThatWouldAddACommandAreRefused) {
    arrive({5});
    h.setText(n().Packet, "3\r\nreboot"); // its leading number passes
    h.boxes.expectContaining(kNotice, "cannot be sent to the printer");
    next("NetworkDlg");
    EXPECT_TRUE(n().visible());
}

} // namespace
} // namespace kestrel_test
