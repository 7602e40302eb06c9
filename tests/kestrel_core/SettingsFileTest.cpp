#include "FakePages.h"

#include "kestrel/core/Restore.h"
#include "kestrel/core/SettingsFile.h"
#include "tests/support/Harness.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

std::string rec(const std::string& text) {
    std::string out;
    EXPECT_TRUE(appendTextRecord(out, text));
    return out;
}

TEST(SettingsFileBytes, TenTextRecordsFromTheFirstByte) {
    std::array<std::string, 8> records = {"1|0\r\n", "", "", "", "", "", "", ""};
    auto file = encodeSettingsFile("pw", records);
    ASSERT_TRUE(file);
    std::string expected = std::string("\x08\x00\x04\x00V1.1", 8) +
                           std::string("\x08\x00\x04\x00"
                                       "7077",
                                       8) +
                           std::string("\x08\x00\x0a\x00"
                                       "317C300D0A",
                                       14);
    for (int i = 0; i < 7; ++i)
        expected += std::string("\x08\x00\x00\x00", 4);
    EXPECT_EQ(*file, expected);
}

TEST(SettingsFileBytes, RecordLengthLimit) {
    std::string out;
    EXPECT_TRUE(appendTextRecord(out, std::string(65535, 'A')));
    EXPECT_EQ(out.substr(0, 4), std::string("\x08\x00\xff\xff", 4));
    std::string none;
    EXPECT_FALSE(appendTextRecord(none, std::string(65536, 'A')));
    EXPECT_TRUE(none.empty());
    std::array<std::string, 8> records{};
    records[7] = std::string(32768, 'x'); // 65536 hex digits
    EXPECT_FALSE(encodeSettingsFile("", records));
}

TEST(RecordCursor, ErrorsAreStickyAndNameTheOffset) {
    std::string bytes = rec("V1.1") + std::string("\x02\x00\x01\x00", 4);
    RecordCursor c(bytes);
    EXPECT_EQ(c.nextText(), "V1.1");
    EXPECT_FALSE(c.nextText());
    EXPECT_EQ(c.error(), "record at offset 8: type 2 is not text");
    EXPECT_FALSE(c.nextText());
    EXPECT_EQ(c.offset(), 8u);

    std::string shortText = std::string("\x08\x00\x05\x00"
                                        "abc",
                                        7);
    RecordCursor s(shortText);
    EXPECT_FALSE(s.nextText());
    EXPECT_EQ(s.error(), "record at offset 0: the file ends early");
    RecordCursor h(std::string("\x08", 1));
    EXPECT_FALSE(h.nextText());
}

// ---- restore plans ----

std::string describe(const RestorePlan& p) {
    std::string out;
    for (const auto& op : p.ops) {
        out += op.control.form().name() + "." + op.control.name();
        if (op.control.index() >= 0)
            out += "(" + std::to_string(op.control.index()) + ")";
        switch (op.kind) {
        case RestoreOp::Kind::Text:
            out += "='" + op.text + "'";
            break;
        case RestoreOp::Kind::ListIndex:
            out += "#" + std::to_string(op.number);
            break;
        case RestoreOp::Kind::Value:
            out += "=" + std::to_string(op.number);
            break;
        case RestoreOp::Kind::Choose:
            out += "!";
            break;
        }
        out += " ";
    }
    return out;
}

struct PlanCase {
    int record;
    const char* text;
    const char* ops; // nullptr: the record is refused; "~" ends a record not as written
};

class RestorePlans : public ::testing::TestWithParam<PlanCase> {
  protected:
    testing_support::Harness h;
    testing::FakePages pages{h.app};
};

TEST_P(RestorePlans, ValuesInPageOrderOrRefused) {
    const PlanCase& c = GetParam();
    RestorePlan p = restorePlan(pages, c.record, c.text);
    if (!c.ops) {
        EXPECT_FALSE(p.valid) << describe(p);
        EXPECT_FALSE(p.problem.empty());
        return;
    }
    ASSERT_TRUE(p.valid) << p.problem;
    EXPECT_EQ(describe(p) + (p.exact ? "" : "~"), c.ops);
}

INSTANTIATE_TEST_SUITE_P(
    Records, RestorePlans,
    ::testing::Values(
        // Port page: only the first chosen line counts.
        PlanCase{0, "0|.\r\n1|2\r\n0|.\r\n1|10.0.0.1\r\n0|.\r\n",
                 "PortSelect.IPAddr='' PortSelect.FileName='' PortSelect.PortCOM! "
                 "PortSelect.ComCombo#2 "},
        PlanCase{0, "0|.\r\n0|.\r\n0|.\r\n1|10.1.2.3\r\n0|.\r\n",
                 "PortSelect.IPAddr='' PortSelect.FileName='' PortSelect.PortTCP! "
                 "PortSelect.IPAddr='10.1.2.3' "},
        PlanCase{0, "0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n",
                 "PortSelect.IPAddr='' PortSelect.FileName='' "},
        PlanCase{0, "1|x\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n", nullptr}, // not a number
        // A "|" typed into the address or the file name, each its line's last field.
        PlanCase{0, "0|.\r\n0|.\r\n0|.\r\n1|a|b\r\n0|.\r\n",
                 "PortSelect.IPAddr='' PortSelect.FileName='' PortSelect.PortTCP! "
                 "PortSelect.IPAddr='a|b' "},
        PlanCase{0, "0|.\r\n0|.\r\n0|.\r\n0|.\r\n1||x||\r\n",
                 "PortSelect.IPAddr='' PortSelect.FileName='' PortSelect.PortFile! "
                 "PortSelect.FileName='|x||' "},
        // A line that does not count changes nothing.
        PlanCase{0, "1\r\n0|.\r\n0|.\r\n1|10.0.0.1\r\n",
                 "PortSelect.IPAddr='' PortSelect.FileName='' PortSelect.PortTCP! "
                 "PortSelect.IPAddr='10.0.0.1' ~"},
        PlanCase{0, "0|.\r\n0|.\r\n0|.\r\n1|a\nb\r\n0|.\r\n", nullptr}, // a line break
        // Question page.
        PlanCase{1, "1|0|0|0|0|0|1",
                 "QuestionDlg.Check1(0)=1 QuestionDlg.Check1(1)=0 QuestionDlg.Check1(2)=0 "
                 "QuestionDlg.Check1(3)=0 QuestionDlg.Check1(4)=0 QuestionDlg.Check1(5)=0 "
                 "QuestionDlg.Check1(6)=1 "},
        PlanCase{1, "1|0|0|0|0|0|2", nullptr},
        // TCP/IP page.
        PlanCase{2, "", ""},
        PlanCase{2, "1\r\n1|0|1\r\n",
                 "WiredDlg.NicOption(0)! WiredDlg.useAutoIP! WiredDlg.IPAddr='' "
                 "WiredDlg.SubMask='' WiredDlg.Gateway='' WiredDlg.BootP=0 WiredDlg.DHCP=1 "},
        PlanCase{2, "2\r\n0|10.1.2.3|255.0.0.0|10.1.2.1\r\n",
                 "WiredDlg.NicOption(1)! WiredDlg.useStaticIP! WiredDlg.IPAddr='10.1.2.3' "
                 "WiredDlg.SubMask='255.0.0.0' WiredDlg.Gateway='10.1.2.1' "},
        // One line: skipped; an address line of one field: only the interface.
        PlanCase{2, "1", "~"}, PlanCase{2, "1\r\n", "WiredDlg.NicOption(0)! ~"},
        PlanCase{2, "1\r\n0|1|2\r\n",
                 "WiredDlg.NicOption(0)! WiredDlg.useStaticIP! WiredDlg.IPAddr='1' "
                 "WiredDlg.SubMask='2' WiredDlg.Gateway='' ~"},
        // Network options.
        PlanCase{3, "0|.\r\n1|2\r\n0|.\r\n0|.\r\n0|.\r\n1|0|1|5\r\n",
                 "NetworkDlg.Combo1(1)#2 NetworkDlg.Combo1(5)#0 NetworkDlg.Packet='1' "
                 "NetworkDlg.Period='5' "},
        PlanCase{3, "1|2\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n", "~"},
        PlanCase{3, "0|.\r\n0|.\r\n\r\n0|.\r\n0|.\r\n1|0\r\n", "NetworkDlg.Combo1(5)#0 ~"},
        // Wireless question page.
        PlanCase{4, "1|0|0|0|0|0|0|0|0|0|1",
                 "WirelessQuestionDlg.check(0)=1 WirelessQuestionDlg.check(1)=0 "
                 "WirelessQuestionDlg.check(2)=0 WirelessQuestionDlg.check(3)=0 "
                 "WirelessQuestionDlg.check(4)=0 WirelessQuestionDlg.check(5)=0 "
                 "WirelessQuestionDlg.check(6)=0 WirelessQuestionDlg.check(7)=0 "
                 "WirelessQuestionDlg.check(8)=0 WirelessQuestionDlg.check(9)=0 "
                 "WirelessQuestionDlg.EncryptionCB=1 "},
        // Wireless settings: cleared items reset their control.
        PlanCase{5, "1|net\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n1|3\r\n0|.|.\r\n",
                 "WirelessQuestionDlg.check(0)=1 WirelessDlg.SSID='net' "
                 "WirelessQuestionDlg.check(1)=0 WirelessDlg.OpMode#0 "
                 "WirelessQuestionDlg.check(2)=0 WirelessDlg.Speed#0 "
                 "WirelessQuestionDlg.check(3)=0 WirelessDlg.Channel#0 "
                 "WirelessQuestionDlg.check(4)=0 WirelessDlg.Antenna#0 "
                 "WirelessQuestionDlg.check(5)=0 WirelessDlg.Preamble#0 "
                 "WirelessQuestionDlg.check(6)=0 WirelessDlg.TxPower#0 "
                 "WirelessQuestionDlg.check(7)=0 WirelessDlg.PowerMgmt#0 "
                 "WirelessQuestionDlg.check(8)=1 WirelessDlg.Devices#3 "
                 "WirelessQuestionDlg.check(9)=0 WirelessDlg.CountryCode#0 "
                 "WirelessDlg.Check2=0 "},
        // Lines that do not count keep their items; a country line of two values resets.
        PlanCase{5, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n0|.\r\n",
                 "WirelessQuestionDlg.check(9)=0 WirelessDlg.CountryCode#0 WirelessDlg.Check2=0 ~"},
        PlanCase{5, "1|a|b\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.|.\r\n",
                 "WirelessQuestionDlg.check(0)=1 WirelessDlg.SSID='a|b' "
                 "WirelessQuestionDlg.check(1)=0 WirelessDlg.OpMode#0 "
                 "WirelessQuestionDlg.check(2)=0 WirelessDlg.Speed#0 "
                 "WirelessQuestionDlg.check(3)=0 WirelessDlg.Channel#0 "
                 "WirelessQuestionDlg.check(4)=0 WirelessDlg.Antenna#0 "
                 "WirelessQuestionDlg.check(5)=0 WirelessDlg.Preamble#0 "
                 "WirelessQuestionDlg.check(6)=0 WirelessDlg.TxPower#0 "
                 "WirelessQuestionDlg.check(7)=0 WirelessDlg.PowerMgmt#0 "
                 "WirelessQuestionDlg.check(8)=0 WirelessDlg.Devices#0 "
                 "WirelessQuestionDlg.check(9)=0 WirelessDlg.CountryCode#0 "
                 "WirelessDlg.Check2=0 "},
        PlanCase{5, "0|.\r\n1|0|1\r\n",
                 "WirelessQuestionDlg.check(0)=0 WirelessDlg.SSID='' "
                 "WirelessQuestionDlg.check(1)=1 WirelessDlg.OpMode#0 ~"}, // surplus field
        // Encryption choice.
        PlanCase{6, "False|True|False|1|0",
                 "EncryptQuestionDlg.click(1)! EncryptQuestionDlg.WPA=1 "
                 "EncryptQuestionDlg.EAP=0 "},
        // One field: skipped; the last "True" is chosen, and "False" clears nothing.
        PlanCase{6, "True", "~"},
        PlanCase{6, "False|False|False|0|0", "EncryptQuestionDlg.WPA=0 EncryptQuestionDlg.EAP=0 ~"},
        PlanCase{
            6, "True|True|False|0|0",
            "EncryptQuestionDlg.click(1)! EncryptQuestionDlg.WPA=0 EncryptQuestionDlg.EAP=0 ~"},
        // Security pages.
        PlanCase{7, "0|.\r\n1|0|1|1|3|AA||CC|\r\n",
                 "WEPDlg.EntryManual! WEPkeyDlg.KeySize#1 WEPkeyDlg.AuthMethod#1 "
                 "WEPkeyDlg.DefaultKey#3 WEPkeyDlg.KeyText(0)='AA' WEPkeyDlg.KeyText(1)='' "
                 "WEPkeyDlg.KeyText(2)='CC' WEPkeyDlg.KeyText(3)='' "},
        PlanCase{7, "0|.\r\n1|1|0|1\r\n",
                 "WEPDlg.Phrase! WEPphraseDlg.DefaultKey#0 WEPphraseDlg.AuthMethod#1 "},
        PlanCase{7, "0|.\r\n1|1|2|1\r\n", nullptr}, // a default key without the keys
        PlanCase{7, "0|.\r\n0|.\r\n0|.\r\n1|1|u|p|2\r\n",
                 "LEAPDlg.UserName='u' LEAPDlg.Password='p' LEAPDlg.Combo1#2 "},
        PlanCase{7, "0|.\r\n0|.\r\n1|1|pp|1|2\r\n",
                 "WPADlg.PassPhrase='pp' WPADlg.EncryptMethod#1 WPADlg.WPAMode#2 "},
        PlanCase{7, "0|.\r\n0|.\r\n1|1|pp|1\r\n", nullptr},
        PlanCase{7, "0|.\r\n0|.\r\n0|.\r\n1|1|u|p|2\r\n0|.\r\n",
                 "LEAPDlg.UserName='u' LEAPDlg.Password='p' LEAPDlg.Combo1#2 ~"}));

} // namespace
} // namespace kestrel
