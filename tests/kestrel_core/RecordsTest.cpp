#include "kestrel/core/Records.h"
#include "kestrel/core/JobFrame.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(PortRecord, OneLinePerOptionWithTheChosenValue) {
    PortValues tcp;
    tcp.tcp = true;
    tcp.ipAddr = "10.1.2.3";
    tcp.lptIndex = 2; // values of options not chosen are not written
    EXPECT_EQ(portRecord(tcp), "0|.\r\n0|.\r\n0|.\r\n1|10.1.2.3\r\n0|.\r\n");

    PortValues lpt;
    lpt.lpt = true; // list with no selection
    EXPECT_EQ(portRecord(lpt), "1|-1\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n");

    PortValues file;
    file.file = true;
    file.fileName = "/tmp/a b.txt";
    EXPECT_EQ(portRecord(file), "0|.\r\n0|.\r\n0|.\r\n0|.\r\n1|/tmp/a b.txt\r\n");
}

TEST(WiredRecord, StaticAndAutomaticAddresses) {
    WiredValues st;
    st.autoIP = false;
    st.ipAddr = "10.1.2.3";
    st.subMask = "255.255.255.0";
    st.gateway = "10.1.2.1";
    EXPECT_EQ(wiredRecord(st), "1\r\n0|10.1.2.3|255.255.255.0|10.1.2.1\r\n");
    EXPECT_EQ(wiredCommands(st, wiredIfcNumber(st)),
              "store tcpip 1 opts -bootp -dhcp \r\n"
              "store tcpip 1 addr 10.1.2.3\r\n"
              "store tcpip 1 mask 255.255.255.0\r\n"
              "store tcpip route add default1 10.1.2.1 1\r\n");

    st.wired = false; // the wireless adapter's route is default2
    EXPECT_EQ(wiredIfcNumber(st), 2);
    EXPECT_EQ(wiredCommands(st, 2), "store tcpip 2 opts -bootp -dhcp \r\n"
                                    "store tcpip 2 addr 10.1.2.3\r\n"
                                    "store tcpip 2 mask 255.255.255.0\r\n"
                                    "store tcpip route add default2 10.1.2.1 2\r\n");

    WiredValues au;
    au.dhcp = 1;
    EXPECT_EQ(wiredRecord(au), "1\r\n1|0|1\r\n");
    EXPECT_EQ(wiredCommands(au, 1), "store tcpip 1 opts -bootp dhcp \r\n");
    au.dhcp = 0;
    EXPECT_EQ(wiredCommands(au, 1), "store tcpip 1 opts -bootp -dhcp \r\n");
    au.bootP = 1;
    EXPECT_EQ(wiredCommands(au, 1), "store tcpip 1 opts bootp -dhcp \r\n");
}

struct NetworkCase {
    int item;
    int index;
    const char* lines;
};

class NetworkCommands : public ::testing::TestWithParam<NetworkCase> {};

TEST_P(NetworkCommands, OneItemTicked) {
    const NetworkCase& c = GetParam();
    NetworkValues v;
    v.check[c.item] = 1;
    v.combo[c.item] = c.index;
    v.packet = "3";
    v.period = "7";
    EXPECT_EQ(networkCommands(v), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Items, NetworkCommands,
    ::testing::Values(NetworkCase{1, 0, "store ifc 1 mode auto\r\n"},
                      NetworkCase{1, 1, "store ifc 1 mode 10half\r\n"},
                      NetworkCase{1, 2, "store ifc 1 mode 10full\r\n"},
                      NetworkCase{1, 3, "store ifc 1 mode 100half\r\n"},
                      NetworkCase{1, 4, "store ifc 1 mode 100full\r\n"},
                      NetworkCase{1, 9, "store ifc 1 mode 100full\r\n"},
                      NetworkCase{2, 0, "store tcpip tcp opts -keepalive\r\n"},
                      NetworkCase{2, 1,
                                  "store tcpip tcp opts keepalive\r\n"
                                  "store tcpip tcp keepalivetimeout 2\r\n"},
                      NetworkCase{2, 9,
                                  "store tcpip tcp opts keepalive\r\n"
                                  "store tcpip tcp keepalivetimeout 10\r\n"},
                      NetworkCase{3, 0, "store pserver opts jobcontrol standard\r\n"},
                      NetworkCase{3, 1, "store pserver opts jobcontrol enhanced\r\n"},
                      NetworkCase{3, 2, "store pserver opts jobcontrol fast\r\n"},
                      NetworkCase{3, 3, "store pserver opts jobcontrol off\r\n"},
                      NetworkCase{3, 7, "store pserver opts jobcontrol off\r\n"},
                      NetworkCase{4, 0, "set sysinfo module netbios\r\nsave\r\n"},
                      NetworkCase{4, 1, "set sysinfo module -netbios\r\nsave\r\n"},
                      NetworkCase{5, 0,
                                  "store pping opts enable\r\n"
                                  "store pping packet 3\r\n"
                                  "store pping period 7\r\n"},
                      NetworkCase{5, 1, "store pping opts -enable\r\n"}));

TEST(NetworkRecord, FixedFirstLineAndPingValues) {
    NetworkValues v;
    EXPECT_EQ(networkRecord(v), "0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n");
    EXPECT_EQ(networkCommands(v), "");
    v.check[3] = 1;
    v.combo[3] = 2;
    v.check[5] = 1;
    v.combo[5] = 0;
    v.packet = "1";
    v.period = "5";
    EXPECT_EQ(networkRecord(v), "0|.\r\n0|.\r\n0|.\r\n1|2\r\n0|.\r\n1|0|1|5\r\n");
}

struct WirelessCase {
    int item;
    int index;
    const char* line; // after "store ifc 2"
};

class WirelessCommands : public ::testing::TestWithParam<WirelessCase> {};

TEST_P(WirelessCommands, OneItemTicked) {
    const WirelessCase& c = GetParam();
    WirelessValues v;
    v.check[c.item] = 1;
    v.index[c.item] = c.index;
    v.ssid = " my net";
    EXPECT_EQ(wirelessCommands(v, 2), std::string("store ifc 2") + c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Items, WirelessCommands,
    ::testing::Values(
        WirelessCase{0, 0, " wlan ssid  my net\r\n"}, WirelessCase{1, 0, " wlan mode managed\r\n"},
        WirelessCase{1, 1, " wlan mode adhoc\r\n"}, WirelessCase{1, 2, " wlan mode pseudo\r\n"},
        WirelessCase{2, 0, " wlan speed auto\r\n"}, WirelessCase{2, 1, " wlan speed  1\r\n"},
        WirelessCase{2, 3, " wlan speed  5.5\r\n"}, WirelessCase{2, 5, " wlan speed   9\r\n"},
        WirelessCase{2, 11, " wlan speed  48\r\n"}, WirelessCase{2, 12, " wlan speed   54\r\n"},
        WirelessCase{3, 0, " wlan channel default\r\n"},
        WirelessCase{3, 11, " wlan channel 11\r\n"},
        WirelessCase{4, 0, " wlan antenna primary\r\n"},
        WirelessCase{4, 1, " wlan antenna diverse\r\n"},
        WirelessCase{4, 2, " wlan antenna aux\r\n"},
        WirelessCase{5, 0, " wlan preamble default\r\n"},
        WirelessCase{5, 1, " wlan preamble long\r\n"},
        WirelessCase{5, 2, " wlan preamble short\r\n"}, WirelessCase{6, 50, " wlan txpwr 50\r\n"},
        WirelessCase{7, 0, " wlan pmm on\r\n"}, WirelessCase{7, 1, " wlan pmm off\r\n"},
        WirelessCase{8, 6, " wlan profile 6\r\n"},
        WirelessCase{9, 8, " wlan opts -intnl\r\nstore ifc 2 wlan country DE\r\n"},
        WirelessCase{9, 11, " wlan opts -intnl\r\nstore ifc 2 wlan country ITI\r\n"}));

TEST(WirelessRecord, TenLinesWithTheCountryPair) {
    WirelessValues none;
    EXPECT_EQ(wirelessRecord(none), "0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|."
                                    "\r\n0|.|.\r\n");
    EXPECT_EQ(wirelessCommands(none, 2), "");

    WirelessValues v;
    v.check[0] = 1; // an empty network name is still written
    v.check[9] = 1;
    v.index[9] = 1;
    v.international = 1;
    EXPECT_EQ(wirelessRecord(v), "1|\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n"
                                 "1|1|1\r\n");
    EXPECT_EQ(wirelessCommands(v, 2), "store ifc 2 wlan ssid \r\n"
                                      "store ifc 2 wlan opts intnl\r\n"
                                      "store ifc 2 wlan country USI\r\n");
}

TEST(WirelessLists, BeyondTheListsNothingIsSent) {
    EXPECT_EQ(wirelessRateText(13), "");
    EXPECT_EQ(countryCodeText(-1), "");
    WirelessValues v;
    v.check[2] = 1;
    v.index[2] = 13;
    EXPECT_EQ(wirelessCommands(v, 2), "");
}

SecurityValues withMethod(int method) {
    SecurityValues v;
    v.encryption = 1;
    v.choice.click[static_cast<std::size_t>(method)] = true;
    return v;
}

TEST(Security, NothingWithoutTheEncryptionBox) {
    SecurityValues v = withMethod(1);
    v.encryption = 0;
    EXPECT_EQ(securityRecord(v), "");
    EXPECT_EQ(securityCommands(v, 2), "");
}

TEST(Security, OpenAuthentication) {
    SecurityValues v = withMethod(0);
    EXPECT_EQ(securityRecord(v), "");
    EXPECT_EQ(securityCommands(v, 2), "store ifc 2 wlan auth open\r\n");
}

TEST(Security, WepWithoutDefaultKeySendsNoKeys) {
    SecurityValues v = withMethod(1);
    v.wep.keys = {"AA", "BB", "CC", "DD"};
    v.wep.authMethod = 1;
    v.wep.phrase = false;
    v.wep.keySize = 1;
    EXPECT_EQ(securityRecord(v), "0|.\r\n1|0|1|1|0\r\n");
    EXPECT_EQ(securityCommands(v, 2), "store ifc 2 wlan defkey disable\r\n");
    v.wep.phrase = true;
    EXPECT_EQ(securityRecord(v), "0|.\r\n1|1|0|1\r\n");
    EXPECT_EQ(securityCommands(v, 2), "store ifc 2 wlan defkey disable\r\n");
}

TEST(Security, WepHexKeysOneAndThree) {
    SecurityValues v = withMethod(1);
    v.wep.phrase = false;
    v.wep.keySize = 0;
    v.wep.authMethod = 1;
    v.wep.defaultKey = 3;
    v.wep.keys = {"0A0B0C0D0E", "", "1112131415", ""};
    EXPECT_EQ(securityRecord(v), "0|.\r\n1|0|0|1|3|0A0B0C0D0E||1112131415|\r\n");
    EXPECT_EQ(securityCommands(v, 2), "store ifc 2 wlan auth shared\r\n"
                                      "store ifc 2 wlan key 1 0A0B0C0D0E\r\n"
                                      "store ifc 2 wlan key 3 1112131415\r\n"
                                      "store ifc 2 wlan defkey 3\r\n");
}

TEST(Security, WepPhraseKeepsLeadingBlankAfterDollar) {
    SecurityValues v = withMethod(1);
    v.wep.defaultKey = 1;
    v.wep.keys = {" secret", "", "", ""};
    EXPECT_EQ(securityRecord(v), "0|.\r\n1|1|1|0| secret|||\r\n");
    EXPECT_EQ(securityCommands(v, 2), "store ifc 2 wlan auth open\r\n"
                                      "store ifc 2 wlan key 1 $ secret\r\n"
                                      "store ifc 2 wlan defkey 1\r\n");
}

TEST(Security, OtherMethodsWpaThenEap) {
    SecurityValues v = withMethod(2);
    v.choice.wpa = 1;
    v.choice.eap = 1;
    v.wpa = {"pass phrase", 3, 1};
    v.eap = {"user", "pw", 2};
    EXPECT_EQ(securityRecord(v), "0|.\r\n0|.\r\n1|1|pass phrase|3|1\r\n1|1|user|pw|2\r\n");
    EXPECT_EQ(securityCommands(v, 2), "store ifc 2 wlan passphrase pass phrase\r\n"
                                      "store ifc 2 wlan wpa personal\r\n"
                                      "store ifc 2 wlan cipher tkip+aes\r\n"
                                      "store ifc 2 wlan eap leap\r\n"
                                      "store ifc 2 wlan user user\r\n"
                                      "store ifc 2 wlan pass pw\r\n");
}

TEST(Security, EapOnlyKeepsTheEapLineFourth) {
    SecurityValues v = withMethod(2);
    v.choice.eap = 1;
    v.eap = {"u", "p", 0};
    EXPECT_EQ(securityRecord(v), "0|.\r\n0|.\r\n0|.\r\n1|1|u|p|0\r\n");
    EXPECT_EQ(securityCommands(v, 2), "store ifc 2 wlan eap none\r\n"
                                      "store ifc 2 wlan user u\r\n"
                                      "store ifc 2 wlan pass p\r\n");
}

TEST(QuestionRecords, ValuesJoinedWithoutLineEnd) {
    EXPECT_EQ(questionRecord({1, 0, 0, 0, 0, 0, 1}), "1|0|0|0|0|0|1");
    EXPECT_EQ(wirelessQuestionRecord({1, 0, 0, 1, 0, 0, 0, 0, 0, 0}, 1), "1|0|0|1|0|0|0|0|0|0|1");
    EncryptQuestionValues e;
    e.click[2] = true;
    e.wpa = 1;
    EXPECT_EQ(encryptQuestionRecord(e), "False|False|True|1|0");
}

TEST(Frame, JobAroundTheCommandText) {
    EXPECT_EQ(nicSetupJob("save\r\n"),
              "!KVT_SETUP\r\nNIC_SETUP\r\nsave\r\n\r\nreboot\r\nEND_NIC_SETUP\r\nKVT_END\r\n");
    EXPECT_EQ(nicSetupJob(""),
              "!KVT_SETUP\r\nNIC_SETUP\r\n\r\nreboot\r\nEND_NIC_SETUP\r\nKVT_END\r\n");
    EXPECT_EQ(commandFrame(""), "!KVT_SETUP\r\nKVT_END\r\n");
}

} // namespace
} // namespace kestrel
