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
         [&h](kestrel::KestrelPages& p) {
             auto& f = p.get<kestrel::WiredDlg>();
             h.click(f.useStaticIP);
             h.setText(f.IPAddr, "10.1.2.3");
             h.setText(f.SubMask, "255.255.255.0");
             h.setText(f.Gateway, "10.1.2.1");
         }},
        {"NetworkDlg",
         [&h](kestrel::KestrelPages& p) {
             auto& f = p.get<kestrel::NetworkDlg>();
             h.select(f.Combo1[1], 3);
             h.select(f.Combo1[2], 4);
             h.select(f.Combo1[3], 2);
             h.select(f.Combo1[4], 1);
             h.setText(f.Packet, "3");
             h.setText(f.Period, "2");
         }},
        {"WirelessDlg",
         [&h](kestrel::KestrelPages& p) {
             auto& f = p.get<kestrel::WirelessDlg>();
             h.type(f.SSID, "Office Net");
             h.select(f.OpMode, 1);
             h.select(f.Speed, 5);
             h.select(f.Channel, 11);
             h.select(f.Antenna, 2);
             h.select(f.Preamble, 1);
             h.select(f.TxPower, 75);
             h.select(f.PowerMgmt, 1);
             h.select(f.Devices, 3);
             h.dropDown(f.CountryCode);
             h.select(f.CountryCode, 6);
             h.wait(10);
         }},
        {"EncryptQuestionDlg",
         [&h](kestrel::KestrelPages& p) {
             auto& f = p.get<kestrel::EncryptQuestionDlg>();
             h.click(f.click[2]);
             h.click(f.WPA);
             h.click(f.EAP);
         }},
        {"WPADlg",
         [&h](kestrel::KestrelPages& p) {
             auto& f = p.get<kestrel::WPADlg>();
             h.select(f.WPAMode, 2);
             h.select(f.EncryptMethod, 3);
             h.setText(f.PassPhrase, "secret phrase");
             h.setText(f.ConfirmTxt, "secret phrase");
         }},
        {"LEAPDlg",
         [&h](kestrel::KestrelPages& p) {
             auto& f = p.get<kestrel::LEAPDlg>();
             h.select(f.Combo1, 2);
             h.setText(f.UserName, "jdoe");
             h.setText(f.Password, "pw123");
             h.setText(f.ConfirmTxt, "pw123");
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
    auto rows = [&h](auto& f) {
        for (int i = 0; i < 4; ++i)
            h.setText(f.ConfirmTxt[i], f.KeyText[i]->text());
    };
    return {{"WPADlg",
             [&h](kestrel::KestrelPages& p) {
                 h.setText(p.get<kestrel::WPADlg>().ConfirmTxt,
                           p.get<kestrel::WPADlg>().PassPhrase->text());
             }},
            {"LEAPDlg",
             [&h](kestrel::KestrelPages& p) {
                 h.setText(p.get<kestrel::LEAPDlg>().ConfirmTxt,
                           p.get<kestrel::LEAPDlg>().Password->text());
             }},
            {"WEPkeyDlg", [rows](kestrel::KestrelPages& p) { rows(p.get<kestrel::WEPkeyDlg>()); }},
            {"WEPphraseDlg",
             [rows](kestrel::KestrelPages& p) { rows(p.get<kestrel::WEPphraseDlg>()); }}};
}

void keys(Harness& h, auto& f, const std::array<const char*, 4>& texts) {
    for (int i = 0; i < 4; ++i) {
        h.setText(f.KeyText[i], texts[i]);
        h.setText(f.ConfirmTxt[i], texts[i]);
    }
}

PageActions wep(Harness& h, bool hex) {
    PageActions a{
        {"WirelessDlg",
         [&h](kestrel::KestrelPages& p) {
             auto& f = p.get<kestrel::WirelessDlg>();
             h.type(f.SSID, "lab");
             h.select(f.Channel, 0);
         }},
        {"EncryptQuestionDlg",
         [&h](kestrel::KestrelPages& p) {
             auto& f = p.get<kestrel::EncryptQuestionDlg>();
             h.click(f.click[1]);
         }},
        {"WEPDlg",
         [&h, hex](kestrel::KestrelPages& p) {
             auto& f = p.get<kestrel::WEPDlg>();
             h.click(hex ? f.EntryManual : f.Phrase);
         }},
    };
    if (hex)
        a["WEPkeyDlg"] = [&h](kestrel::KestrelPages& p) {
            auto& f = p.get<kestrel::WEPkeyDlg>();
            h.select(f.DefaultKey, 3);
            keys(h, f,
                 {"A7E3-5B19-C2D4-80F6-1E9A-7C3B-6D", "", "00:11:22:33:44:55:66:77:88:99:aa:bb:cc",
                  ""});
        };
    else
        a["WEPphraseDlg"] = [&h](kestrel::KestrelPages& p) {
            auto& f = p.get<kestrel::WEPphraseDlg>();
            h.select(f.DefaultKey, 2);
            h.select(f.AuthMethod, 0);
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

// The controls the settings records carry back. A load resets the wireless settings whose
// boxes are clear, so only ticked rows count.
std::vector<ui::ControlRef> restored(kestrel::KestrelPages& pages) {
    std::vector<ui::ControlRef> out;
    auto add = [&](std::initializer_list<ui::ControlRef> refs) {
        for (const ui::ControlRef& r : refs)
            out.push_back(r);
    };
    auto elements = [&](const ui::ControlRef& array, int from, int to) {
        for (int i = from; i <= to; ++i)
            out.push_back(array[i]);
    };
    elements(pages.get<kestrel::QuestionDlg>().Check1, 0, 6);
    auto& wired = pages.get<kestrel::WiredDlg>();
    add({wired.NicOption[0], wired.useAutoIP, wired.useStaticIP, wired.IPAddr, wired.SubMask,
         wired.Gateway});
    elements(pages.get<kestrel::NetworkDlg>().Combo1, 1, 5);
    add({pages.get<kestrel::NetworkDlg>().Packet, pages.get<kestrel::NetworkDlg>().Period});
    auto& question = pages.get<kestrel::WirelessQuestionDlg>();
    elements(question.check, 0, 9);
    out.push_back(question.EncryptionCB);
    auto& wireless = pages.get<kestrel::WirelessDlg>();
    for (int i = 0; i < 10; ++i)
        if (question.check[i]->value() == 1)
            out.push_back(wireless.row(i));
    if (question.check[9]->value() == 1)
        out.push_back(wireless.Check2);
    auto& encrypt = pages.get<kestrel::EncryptQuestionDlg>();
    elements(encrypt.click, 0, 2);
    add({encrypt.WPA, encrypt.EAP, pages.get<kestrel::WEPDlg>().Phrase,
         pages.get<kestrel::WEPDlg>().EntryManual, pages.get<kestrel::WEPkeyDlg>().KeySize});
    for (kestrel::WepKeysControls* keys :
         {static_cast<kestrel::WepKeysControls*>(&pages.get<kestrel::WEPkeyDlg>()),
          static_cast<kestrel::WepKeysControls*>(&pages.get<kestrel::WEPphraseDlg>())}) {
        add({keys->DefaultKey, keys->AuthMethod});
        elements(keys->KeyText, 0, 3);
    }
    auto& wpa = pages.get<kestrel::WPADlg>();
    auto& leap = pages.get<kestrel::LEAPDlg>();
    add({wpa.PassPhrase, wpa.EncryptMethod, wpa.WPAMode, leap.UserName, leap.Password,
         leap.Combo1});
    return out;
}

// "Page.Control(i)=value" for every restored control, values as the records hold them.
std::vector<std::string> snapshot(kestrel::KestrelPages& pages) {
    std::vector<std::string> out;
    for (const ui::ControlRef& ref : restored(pages)) {
        ui::Control& c = *ref;
        std::string v = c.kind() == ui::ControlKind::TextBox    ? c.text()
                        : c.kind() == ui::ControlKind::ComboBox ? std::to_string(c.listIndex())
                                                                : std::to_string(c.value());
        out.push_back(ref.form().name() + "." + c.fullName() + "=" + v);
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

    FreshRun run(folder.path);
    bool loaded = false;
    run.h.run([&] { loaded = run.core.LoadSavedSettings(file, "pw"); });
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(run.h.boxes.allShown());
    const std::vector<std::string> after = snapshot(run.pages);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i], before[i]);

    // Through the pages again, retyping only the confirmations.
    run.h.run([&] { run.pages.get<kestrel::QuestionDlg>().Show(); });
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
