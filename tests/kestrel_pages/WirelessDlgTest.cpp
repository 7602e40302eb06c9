#include "platform/sys/Encoding.h"
#include "tests/kestrel_pages/WirelessPagesFixture.h"

namespace kestrel_test {
namespace {

const std::string kTail = "\r\nThis may cause improper operation of the wireless NIC.\r\n\r\nAre "
                          "you sure you want to continue with these settings?";
const std::string kWarnA =
    "You selected an European country code but didn't enable International Mode." + kTail;
const std::string kWarnB =
    "You selected the USA country code but enable International Mode." + kTail;
const std::string kWarnC = "You selected a minimum transmission speed that is not compatible "
                           "with your device mix setting." +
                           kTail;

class WirelessDlgTest : public WirelessPagesFixture {
  protected:
    // Arrives from the wireless question page with every row and, as given, encryption.
    void arrive(bool encryption = false) {
        wirelessQuestion({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, encryption);
        open("WirelessDlg");
        h.run([&] { w().SetDefaultState(); });
    }
    kestrel::WirelessDlg& w() { return pages.get<kestrel::WirelessDlg>(); }
};

TEST_F(WirelessDlgTest, ListsAndDefaults) {
    arrive();
    struct List {
        int count;
        const char* text;
    };
    // Rows 1 to 9: OpMode, Speed, Channel, Antenna, Preamble, TxPower, PowerMgmt, Devices,
    // CountryCode.
    const List lists[] = {
        {3, "Normal"},  {13, "Auto-negotiate"}, {16, "Default"}, {3, "Primary"},
        {3, "Default"}, {101, "100"},           {2, "On"},       {7, "Mixed: 802.11b and 802.11g"},
        {12, "USA"},
    };
    for (int row = 1; row <= 9; ++row) {
        const ui::ControlRef& list = w().row(row);
        EXPECT_EQ(list->listCount(), lists[row - 1].count) << list.name();
        EXPECT_EQ(list->text(), lists[row - 1].text) << list.name();
    }
    EXPECT_EQ(w().Channel->list(15), "15");
    EXPECT_EQ(w().Speed->list(3), "5.5 MPS");
    EXPECT_EQ(w().CountryCode->list(11), "Italy Indoor Operation");
    EXPECT_EQ(w().SSID->text(), "");
    EXPECT_EQ(w().Check1->value(), 0);
    EXPECT_EQ(w().Check2->value(), 0);
}

TEST_F(WirelessDlgTest, NameFieldTakesAtMost32Characters) {
    arrive();
    h.type(w().SSID, std::string(40, 'n'));
    EXPECT_EQ(w().SSID->text(), std::string(32, 'n'));

    // Characters, not bytes: of 33 accented letters 32 stay, and go out in Windows-1252.
    std::string accented;
    for (int i = 0; i < 33; ++i)
        accented += "\xC3\xA9";
    h.setText(w().SSID, "");
    h.type(w().SSID, accented);
    next("WirelessDlg");
    EXPECT_EQ(h.visibleForm(), "FinishDialog") << "no notice: the name can be sent";
    EXPECT_NE(sys::toWindows1252(core.ws.SetupCommands)
                  .value_or("")
                  .find("ssid " + std::string(32, '\xE9') + "\r\n"),
              std::string::npos);
}

TEST_F(WirelessDlgTest, ResetSsidGreysTheNameAndKeepsIt) {
    arrive();
    h.type(w().SSID, "home");
    h.click(w().Check1);
    EXPECT_TRUE(fieldOn(w().SSID, false));
    h.click(w().Check1);
    EXPECT_TRUE(fieldOn(w().SSID, true));
    EXPECT_EQ(w().SSID->text(), "home");
}

TEST_F(WirelessDlgTest, CountryChoiceSetsInternationalModeWithinOneTick) {
    arrive();
    h.dropDown(w().CountryCode);
    h.wait(50); // same entry: the timer keeps polling
    EXPECT_TRUE(w().Timer1->enabled());
    h.select(w().CountryCode, 6); // France
    EXPECT_EQ(w().Check2->value(), 0);
    h.wait(10);
    EXPECT_EQ(w().Check2->value(), 1);
    EXPECT_FALSE(w().Timer1->enabled());

    h.dropDown(w().CountryCode);
    h.select(w().CountryCode, 1); // USA Indoor Operation
    h.wait(10);
    EXPECT_EQ(w().Check2->value(), 0);

    // The user may change the box afterwards: the stopped timer leaves it.
    h.click(w().Check2);
    h.wait(100);
    EXPECT_EQ(w().Check2->value(), 1);
}

TEST_F(WirelessDlgTest, DefaultsAskNothing) {
    arrive();
    next("WirelessDlg");
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
    EXPECT_EQ(prevForm("FinishDialog"), &w());
}

TEST_F(WirelessDlgTest, WarningsInOrderNoStaysYesGoesOn) {
    arrive(true);
    choose(w().CountryCode, 8); // Germany, International Mode clear
    choose(w().Devices, 5);
    choose(w().Speed, 3); // 5.5 MPS
    h.boxes.expect(kWarning, kWarnA, ui::mb::No);
    next("WirelessDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessDlg");

    h.boxes.expect(kWarning, kWarnA, ui::mb::Yes).expect(kWarning, kWarnC, ui::mb::No);
    next("WirelessDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessDlg");
    EXPECT_EQ(core.ws.CurrentSettings[5], ""); // not read while the page stays

    h.boxes.expect(kWarning, kWarnA, ui::mb::Yes).expect(kWarning, kWarnC, ui::mb::Yes);
    next("WirelessDlg");
    EXPECT_EQ(h.visibleForm(), "EncryptQuestionDlg");
    EXPECT_EQ(prevForm("EncryptQuestionDlg"), &w());
    EXPECT_NE(core.ws.CurrentSettings[5].find("1|8|0\r\n"), std::string::npos);
    back("EncryptQuestionDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessDlg");
}

TEST_F(WirelessDlgTest, UsaWithInternationalModeWarns) {
    arrive();
    h.click(w().Check2);
    h.boxes.expect(kWarning, kWarnB, ui::mb::No);
    next("WirelessDlg");
    EXPECT_EQ(h.visibleForm(), "WirelessDlg");
}

TEST_F(WirelessDlgTest, DeviceMixAgainstSpeed) {
    struct Case {
        int devices, speed;
        bool warns;
    };
    const Case cases[] = {
        {5, 3, true}, {2, 12, true}, {5, 2, false}, {5, 0, false}, {3, 12, false}, {1, 12, false},
    };
    arrive();
    for (const Case& c : cases) {
        open("WirelessDlg");
        choose(w().Devices, c.devices);
        choose(w().Speed, c.speed);
        if (c.warns)
            h.boxes.expect(kWarning, kWarnC, ui::mb::No);
        next("WirelessDlg");
        EXPECT_EQ(w().visible(), c.warns) << c.devices << "/" << c.speed;
        EXPECT_TRUE(h.boxes.allShown());
    }
}

TEST_F(WirelessDlgTest, WarningsReadDisabledRows) {
    wirelessQuestion({9}, false);
    open("WirelessDlg");
    h.run([&] { w().SetDefaultState(); });
    choose(w().Devices, 2);
    choose(w().Speed, 4);
    h.boxes.expect(kWarning, kWarnC, ui::mb::No);
    next("WirelessDlg");
}

TEST_F(WirelessDlgTest, TimerKeepsRunningAcrossNextUntilTheCountryChanges) {
    arrive();
    h.dropDown(w().CountryCode);
    next("WirelessDlg");
    EXPECT_TRUE(w().Timer1->enabled());
    choose(w().CountryCode, 2);
    h.wait(10);
    EXPECT_EQ(w().Check2->value(), 1);
}

TEST_F(WirelessDlgTest, UnsendableNameIsRefusedOnlyWhenItIsSent) {
    arrive();
    put(w().SSID, "net\r\nsave");
    h.boxes.expectContaining(kNotice, "cannot be sent to the printer");
    next("WirelessDlg");
    EXPECT_TRUE(w().visible());
    wirelessQuestion({1}, false);
    next("WirelessDlg");
    EXPECT_TRUE(pages.get<kestrel::FinishDialog>().visible());
}

} // namespace
} // namespace kestrel_test
