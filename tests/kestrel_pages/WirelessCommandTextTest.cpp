// Whole configurations entered through the pages: the finish page's command text, and a
// save and a load in a fresh run that restore the pages and rebuild the same text.
#include "tests/kestrel_pages/WirelessPagesFixture.h"

#include <memory>

namespace kestrel_test {
namespace {

struct Config {
    const char* name;
    std::vector<int> question;
    std::vector<int> wireless;
    PageActions actions; // what the user enters, page by page
    std::string commands;
};

using Harness = testing_support::Harness;

PageActions everyPage(Harness& h) {
    return {
        {"WiredDlg",
         [&h](ui::Form& f) {
             h.click(f, "useStaticIP");
             h.setText(f, "IPAddr", "10.1.2.3");
             h.setText(f, "SubMask", "255.255.255.0");
             h.setText(f, "Gateway", "10.1.2.1");
         }},
        {"NetworkDlg",
         [&h](ui::Form& f) {
             h.select(f, "Combo1", 3, 1);
             h.select(f, "Combo1", 4, 2);
             h.select(f, "Combo1", 2, 3);
             h.select(f, "Combo1", 1, 4);
             h.setText(f, "Packet", "3");
             h.setText(f, "Period", "2");
         }},
        {"WirelessDlg",
         [&h](ui::Form& f) {
             h.type(f, "SSID", "Office Net");
             h.select(f, "OpMode", 1);
             h.select(f, "Speed", 5);
             h.select(f, "Channel", 11);
             h.select(f, "Antenna", 2);
             h.select(f, "Preamble", 1);
             h.select(f, "TxPower", 75);
             h.select(f, "PowerMgmt", 1);
             h.select(f, "Devices", 3);
             h.dropDown(f, "CountryCode");
             h.select(f, "CountryCode", 6);
             h.wait(10);
         }},
        {"EncryptQuestionDlg",
         [&h](ui::Form& f) {
             h.click(f, "click", 2);
             h.click(f, "WPA");
             h.click(f, "EAP");
         }},
        {"WPADlg",
         [&h](ui::Form& f) {
             h.select(f, "WPAMode", 2);
             h.select(f, "EncryptMethod", 3);
             h.setText(f, "PassPhrase", "secret phrase");
             h.setText(f, "ConfirmTxt", "secret phrase");
         }},
        {"LEAPDlg",
         [&h](ui::Form& f) {
             h.select(f, "Combo1", 2);
             h.setText(f, "UserName", "jdoe");
             h.setText(f, "Password", "pw123");
             h.setText(f, "ConfirmTxt", "pw123");
         }},
    };
}

const char* const kEveryPageCommands = "store tcpip 1 opts -bootp -dhcp \r\n"
                                       "store tcpip 1 addr 10.1.2.3\r\n"
                                       "store tcpip 1 mask 255.255.255.0\r\n"
                                       "store tcpip route add default1 10.1.2.1 1\r\n"
                                       "store ifc 1 mode 100half\r\n"
                                       "store tcpip tcp opts keepalive\r\n"
                                       "store tcpip tcp keepalivetimeout 5\r\n"
                                       "store pserver opts jobcontrol fast\r\n"
                                       "set sysinfo module -netbios\r\n"
                                       "save\r\n"
                                       "store pping opts enable\r\n"
                                       "store pping packet 3\r\n"
                                       "store pping period 2\r\n"
                                       "store ifc 2 wlan ssid Office Net\r\n"
                                       "store ifc 2 wlan mode adhoc\r\n"
                                       "store ifc 2 wlan speed   9\r\n"
                                       "store ifc 2 wlan channel 11\r\n"
                                       "store ifc 2 wlan antenna aux\r\n"
                                       "store ifc 2 wlan preamble long\r\n"
                                       "store ifc 2 wlan txpwr 75\r\n"
                                       "store ifc 2 wlan pmm off\r\n"
                                       "store ifc 2 wlan profile 3\r\n"
                                       "store ifc 2 wlan opts intnl\r\n"
                                       "store ifc 2 wlan country FR\r\n"
                                       "store ifc 2 wlan passphrase secret phrase\r\n"
                                       "store ifc 2 wlan wpa enterprise\r\n"
                                       "store ifc 2 wlan cipher tkip+aes\r\n"
                                       "store ifc 2 wlan eap leap\r\n"
                                       "store ifc 2 wlan user jdoe\r\n"
                                       "store ifc 2 wlan pass pw123\r\n";

// Confirmation fields are not stored: after a load the user types them again.
PageActions retype(Harness& h) {
    auto one = [&h](const std::string& field) {
        return [&h, field](ui::Form& f) { h.setText(f, "ConfirmTxt", f.ctl(field).text()); };
    };
    auto rows = [&h](ui::Form& f) {
        for (int i = 0; i < 4; ++i)
            h.setText(f, "ConfirmTxt", f.ctl("KeyText", i).text(), i);
    };
    return {{"WPADlg", one("PassPhrase")},
            {"LEAPDlg", one("Password")},
            {"WEPkeyDlg", rows},
            {"WEPphraseDlg", rows}};
}

void keys(Harness& h, ui::Form& f, const std::array<const char*, 4>& texts) {
    for (int i = 0; i < 4; ++i) {
        h.setText(f, "KeyText", texts[i], i);
        h.setText(f, "ConfirmTxt", texts[i], i);
    }
}

PageActions wep(Harness& h, bool hex) {
    PageActions a{
        {"WirelessDlg",
         [&h](ui::Form& f) {
             h.type(f, "SSID", "lab");
             h.select(f, "Channel", 0);
         }},
        {"EncryptQuestionDlg", [&h](ui::Form& f) { h.click(f, "click", 1); }},
        {"WEPDlg", [&h, hex](ui::Form& f) { h.click(f, hex ? "EntryManual" : "Phrase"); }},
    };
    if (hex)
        a["WEPkeyDlg"] = [&h](ui::Form& f) {
            h.select(f, "DefaultKey", 3);
            keys(h, f,
                 {"A7E3-5B19-C2D4-80F6-1E9A-7C3B-6D", "", "00:11:22:33:44:55:66:77:88:99:aa:bb:cc",
                  ""});
        };
    else
        a["WEPphraseDlg"] = [&h](ui::Form& f) {
            h.select(f, "DefaultKey", 2);
            h.select(f, "AuthMethod", 0);
            keys(h, f, {"alpha", " beta", "", "delta"});
        };
    return a;
}

const char* const kWepHexCommands =
    "store ifc 2 wlan ssid lab\r\n"
    "store ifc 2 wlan channel default\r\n"
    "store ifc 2 wlan auth shared\r\n"
    "store ifc 2 wlan key 1 A7E3-5B19-C2D4-80F6-1E9A-7C3B-6D\r\n"
    "store ifc 2 wlan key 3 00:11:22:33:44:55:66:77:88:99:aa:bb:cc\r\n"
    "store ifc 2 wlan defkey 3\r\n";

const char* const kWepPhraseCommands = "store ifc 2 wlan ssid lab\r\n"
                                       "store ifc 2 wlan channel default\r\n"
                                       "store ifc 2 wlan auth open\r\n"
                                       "store ifc 2 wlan key 1 $alpha\r\n"
                                       "store ifc 2 wlan key 2 $ beta\r\n"
                                       "store ifc 2 wlan key 4 $delta\r\n"
                                       "store ifc 2 wlan defkey 2\r\n";

// The controls the settings records carry back, by page.
const std::map<std::string, std::vector<std::pair<std::string, int>>> kRestored = {
    {"QuestionDlg",
     {{"Check1", 0},
      {"Check1", 1},
      {"Check1", 2},
      {"Check1", 3},
      {"Check1", 4},
      {"Check1", 5},
      {"Check1", 6}}},
    {"WiredDlg",
     {{"NicOption", 0},
      {"useAutoIP", -1},
      {"useStaticIP", -1},
      {"IPAddr", -1},
      {"SubMask", -1},
      {"Gateway", -1}}},
    {"NetworkDlg",
     {{"Combo1", 1},
      {"Combo1", 2},
      {"Combo1", 3},
      {"Combo1", 4},
      {"Combo1", 5},
      {"Packet", -1},
      {"Period", -1}}},
    {"WirelessQuestionDlg",
     {{"check", 0},
      {"check", 1},
      {"check", 2},
      {"check", 3},
      {"check", 4},
      {"check", 5},
      {"check", 6},
      {"check", 7},
      {"check", 8},
      {"check", 9},
      {"EncryptionCB", -1}}},
    {"WirelessDlg",
     {{"SSID", -1},
      {"OpMode", -1},
      {"Speed", -1},
      {"Channel", -1},
      {"Antenna", -1},
      {"Preamble", -1},
      {"TxPower", -1},
      {"PowerMgmt", -1},
      {"Devices", -1},
      {"CountryCode", -1},
      {"Check2", -1}}},
    {"EncryptQuestionDlg", {{"click", 0}, {"click", 1}, {"click", 2}, {"WPA", -1}, {"EAP", -1}}},
    {"WEPDlg", {{"Phrase", -1}, {"EntryManual", -1}}},
    {"WEPkeyDlg",
     {{"KeySize", -1},
      {"DefaultKey", -1},
      {"AuthMethod", -1},
      {"KeyText", 0},
      {"KeyText", 1},
      {"KeyText", 2},
      {"KeyText", 3}}},
    {"WEPphraseDlg",
     {{"DefaultKey", -1},
      {"AuthMethod", -1},
      {"KeyText", 0},
      {"KeyText", 1},
      {"KeyText", 2},
      {"KeyText", 3}}},
    {"WPADlg", {{"PassPhrase", -1}, {"EncryptMethod", -1}, {"WPAMode", -1}}},
    {"LEAPDlg", {{"UserName", -1}, {"Password", -1}, {"Combo1", -1}}},
};

// "Page.Control(i)=value" for every restored control, values as the records hold them.
// A load resets the wireless settings whose boxes are clear, so only ticked rows count.
std::vector<std::string> snapshot(kestrel::KestrelPages& pages) {
    const std::vector<std::string> wirelessRows{"SSID",    "OpMode",     "Speed",   "Channel",
                                                "Antenna", "Preamble",   "TxPower", "PowerMgmt",
                                                "Devices", "CountryCode"};
    auto ticked = [&](const std::string& control) {
        std::string row = control == "Check2" ? "CountryCode" : control;
        for (int i = 0; i < 10; ++i)
            if (wirelessRows[i] == row)
                return pages.form("WirelessQuestionDlg").ctl("check", i).value() == 1;
        return true;
    };
    std::vector<std::string> out;
    for (const auto& [pageName, controls] : kRestored)
        for (const auto& [name, index] : controls) {
            if (pageName == "WirelessDlg" && !ticked(name))
                continue;
            ui::Control& c = pages.form(pageName).ctl(name, index);
            std::string v = c.kind() == ui::ControlKind::TextBox    ? c.text()
                            : c.kind() == ui::ControlKind::ComboBox ? std::to_string(c.listIndex())
                                                                    : std::to_string(c.value());
            out.push_back(pageName + "." + c.fullName() + "=" + v);
        }
    return out;
}

// A second program run on the same folder.
struct FreshRun {
    explicit FreshRun(const std::string& folder) : system(folder) {
        core.setPages(pages);
        spooler.setPorts({"LPT1:", "LPT2:", "COM1:", "USB001"});
    }
    ~FreshRun() {
        if (!h.app.ended())
            for (ui::Form* f : pages.all())
                h.run([f] { f->Unload(); });
    }
    Harness h;
    sys::RealSystem system;
    spooler::MemorySpooler spooler;
    PrinterSetupRunner processes{h.clock, spooler, system};
    TestNetwork network;
    kestrel::Core core{kestrel::CoreServices{h.app, system, processes, spooler, network}};
    kestrel::KestrelPages pages{h.app, core};
};

class WirelessCommandTextTest : public WirelessPagesFixture,
                                public ::testing::WithParamInterface<int> {
  protected:
    Config config() {
        switch (GetParam()) {
        case 0:
            return {"EveryPage",
                    {0, 1, 2, 3, 4, 5, 6},
                    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
                    everyPage(h),
                    kEveryPageCommands};
        case 1:
            return {"WepHex", {6}, {0, 3}, wep(h, true), kWepHexCommands};
        default:
            return {"WepPhrase", {6}, {0, 3}, wep(h, false), kWepPhraseCommands};
        }
    }
};

TEST_P(WirelessCommandTextTest, FinishPageBuildsTheTextAndALoadRebuildsIt) {
    Config c = config();
    question(c.question);
    wirelessQuestion(c.wireless, true);
    open("QuestionDlg");
    std::vector<std::string> route = walkForward(h, pages, c.actions);
    ASSERT_EQ(route.back(), "FinishDialog");
    EXPECT_EQ(core.ws.SetupCommands, c.commands);
    EXPECT_TRUE(h.boxes.allShown());

    const std::string file = path("settings.ksf");
    h.boxes.expectContaining(kNotice, "Settings successfully saved in");
    bool saved = false;
    h.run([&] { saved = core.SaveSettings(file, "pw"); });
    ASSERT_TRUE(saved);
    const std::vector<std::string> before = snapshot(pages);
    const auto records = core.ws.CurrentSettings;

    FreshRun run(folder.path());
    bool loaded = false;
    run.h.run([&] { loaded = run.core.LoadSavedSettings(file, "pw"); });
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(run.h.boxes.allShown());
    const std::vector<std::string> after = snapshot(run.pages);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i], before[i]);

    // Through the pages again, retyping only the confirmations.
    run.h.run([&] { run.pages.form("QuestionDlg").Show(); });
    route = walkForward(run.h, run.pages, retype(run.h));
    ASSERT_EQ(route.back(), "FinishDialog");
    EXPECT_EQ(run.core.ws.SetupCommands, c.commands);
    EXPECT_EQ(run.core.ws.CurrentSettings, records);
    EXPECT_FALSE(run.core.SettingsDiffer());
}

std::string configName(const ::testing::TestParamInfo<int>& info) {
    static const char* const names[] = {"EveryPage", "WepHex", "WepPhrase"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Configs, WirelessCommandTextTest, ::testing::Values(0, 1, 2), configName);

} // namespace
} // namespace kestrel_test
