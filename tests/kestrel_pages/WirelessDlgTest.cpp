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
        h.run([&] { pages.getWirelessDlg().SetDefaultState(); });
    }
    ui::Form& w() { return page("WirelessDlg"); }
};

TEST_F(WirelessDlgTest, ListsAndDefaults) {
    arrive();
    struct List {
        const char* name;
        int count;
        const char* text;
    };
    const List lists[] = {
        {"OpMode", 3, "Normal"},    {"Speed", 13, "Auto-negotiate"},
        {"Channel", 16, "Default"}, {"Antenna", 3, "Primary"},
        {"Preamble", 3, "Default"}, {"TxPower", 101, "100"},
        {"PowerMgmt", 2, "On"},     {"Devices", 7, "Mixed: 802.11b and 802.11g"},
        {"CountryCode", 12, "USA"},
    };
    for (const List& l : lists) {
        EXPECT_EQ(ctl("WirelessDlg", l.name).listCount(), l.count) << l.name;
        EXPECT_EQ(ctl("WirelessDlg", l.name).text(), l.text) << l.name;
    }
    EXPECT_EQ(ctl("WirelessDlg", "Channel").list(15), "15");
    EXPECT_EQ(ctl("WirelessDlg", "Speed").list(3), "5.5 MPS");
    EXPECT_EQ(ctl("WirelessDlg", "CountryCode").list(11), "Italy Indoor Operation");
    EXPECT_EQ(ctl("WirelessDlg", "SSID").text(), "");
    EXPECT_EQ(ctl("WirelessDlg", "Check1").value(), 0);
    EXPECT_EQ(ctl("WirelessDlg", "Check2").value(), 0);
}

TEST_F(WirelessDlgTest, NameFieldTakesAtMost32Characters) {
    arrive();
    h.type(w(), "SSID", std::string(40, 'n'));
    EXPECT_EQ(ctl("WirelessDlg", "SSID").text(), std::string(32, 'n'));

    // Characters, not bytes: of 33 accented letters 32 stay, and go out in Windows-1252.
    std::string accented;
    for (int i = 0; i < 33; ++i)
        accented += "\xC3\xA9";
    h.setText(w(), "SSID", "");
    h.type(w(), "SSID", accented);
    next("WirelessDlg");
    EXPECT_EQ(h.visibleForm(), "FinishDialog") << "no notice: the name can be sent";
    EXPECT_NE(sys::toWindows1252(core.ws.SetupCommands)
                  .value_or("")
                  .find("ssid " + std::string(32, '\xE9') + "\r\n"),
              std::string::npos);
}

TEST_F(WirelessDlgTest, ResetSsidGreysTheNameAndKeepsIt) {
    arrive();
    h.type(w(), "SSID", "home");
    h.click(w(), "Check1");
    EXPECT_TRUE(fieldOn("WirelessDlg", "SSID", false));
    h.click(w(), "Check1");
    EXPECT_TRUE(fieldOn("WirelessDlg", "SSID", true));
    EXPECT_EQ(ctl("WirelessDlg", "SSID").text(), "home");
}

TEST_F(WirelessDlgTest, CountryChoiceSetsInternationalModeWithinOneTick) {
    arrive();
    h.dropDown(w(), "CountryCode");
    h.wait(50); // same entry: the timer keeps polling
    EXPECT_TRUE(ctl("WirelessDlg", "Timer1").enabled());
    h.select(w(), "CountryCode", 6); // France
    EXPECT_EQ(ctl("WirelessDlg", "Check2").value(), 0);
    h.wait(10);
    EXPECT_EQ(ctl("WirelessDlg", "Check2").value(), 1);
    EXPECT_FALSE(ctl("WirelessDlg", "Timer1").enabled());

    h.dropDown(w(), "CountryCode");
    h.select(w(), "CountryCode", 1); // USA Indoor Operation
    h.wait(10);
    EXPECT_EQ(ctl("WirelessDlg", "Check2").value(), 0);

    // The user may change the box afterwards: the stopped timer leaves it.
    h.click(w(), "Check2");
    h.wait(100);
    EXPECT_EQ(ctl("WirelessDlg", "Check2").value(), 1);
}

TEST_F(WirelessDlgTest, DefaultsAskNothing) {
    arrive();
    next("WirelessDlg");
    EXPECT_TRUE(page("FinishDialog").visible());
    EXPECT_EQ(prevForm("FinishDialog"), &w());
}

TEST_F(WirelessDlgTest, WarningsInOrderNoStaysYesGoesOn) {
    arrive(true);
    choose("WirelessDlg", "CountryCode", 8); // Germany, International Mode clear
    choose("WirelessDlg", "Devices", 5);
    choose("WirelessDlg", "Speed", 3); // 5.5 MPS
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
    h.click(w(), "Check2");
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
        choose("WirelessDlg", "Devices", c.devices);
        choose("WirelessDlg", "Speed", c.speed);
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
    h.run([&] { pages.getWirelessDlg().SetDefaultState(); });
    choose("WirelessDlg", "Devices", 2);
    choose("WirelessDlg", "Speed", 4);
    h.boxes.expect(kWarning, kWarnC, ui::mb::No);
    next("WirelessDlg");
}

TEST_F(WirelessDlgTest, TimerKeepsRunningAcrossNextUntilTheCountryChanges) {
    arrive();
    h.dropDown(w(), "CountryCode");
    next("WirelessDlg");
    EXPECT_TRUE(ctl("WirelessDlg", "Timer1").enabled());
    choose("WirelessDlg", "CountryCode", 2);
    h.wait(10);
    EXPECT_EQ(ctl("WirelessDlg", "Check2").value(), 1);
}

TEST_F(WirelessDlgTest, UnsendableNameIsRefusedOnlyWhenItIsSent) {
    arrive();
    put("WirelessDlg", "SSID", "net\r\nsave");
    h.boxes.expectContaining(kNotice, "cannot be sent to the printer");
    next("WirelessDlg");
    EXPECT_TRUE(w().visible());
    wirelessQuestion({1}, false);
    next("WirelessDlg");
    EXPECT_TRUE(page("FinishDialog").visible());
}

} // namespace
} // namespace kestrel_test
