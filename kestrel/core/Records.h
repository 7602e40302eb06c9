#pragma once
#include <array>
#include <string>

namespace kestrel {

// The values the readers take from the pages, and the settings records and command lines
// built from them. Check boxes are 0/1 as the pages hold them (a box counts as ticked when
// its value is 1); list values are list indexes (-1: none chosen); texts are as typed.

inline constexpr const char* kCrLf = "\r\n";

// Record 0, the port page.
struct PortValues {
    bool lpt = false, com = false, usb = false, tcp = false, file = false;
    int lptIndex = -1, comIndex = -1, usbIndex = -1;
    std::string ipAddr, fileName;
};
std::string portRecord(const PortValues& v);

// Record 1: Check1(0) to Check1(6) of the question page.
std::string questionRecord(const std::array<int, 7>& check1);

// Record 2 and the TCP/IP commands.
struct WiredValues {
    bool wired = true;  // NicOption(0); else the wireless adapter
    bool autoIP = true; // useAutoIP; else useStaticIP
    int bootP = 0, dhcp = 0;
    std::string ipAddr, subMask, gateway;
};
int wiredIfcNumber(const WiredValues& v);
std::string wiredRecord(const WiredValues& v);
std::string wiredCommands(const WiredValues& v, int ifc);

// Record 3 and the network option commands. Entries 1 to 5: the question page's
// Check1(i) and the list index of Combo1(i) (read only for ticked items).
struct NetworkValues {
    std::array<int, 6> check{};
    std::array<int, 6> combo{};
    std::string packet, period; // read only when item 5 is ticked
};
std::string networkRecord(const NetworkValues& v);
std::string networkCommands(const NetworkValues& v);

// Record 4: check(0) to check(9) and EncryptionCB of the wireless question page.
std::string wirelessQuestionRecord(const std::array<int, 10>& check, int encryption);

// Record 5 and the wireless commands. Entry i: the question page's check(i) and, when
// ticked, the item's list index (entries 1 to 9; entry 0 is the SSID text).
struct WirelessValues {
    std::array<int, 10> check{};
    std::string ssid;
    std::array<int, 10> index{};
    int international = 0; // Check2
};
std::string wirelessRecord(const WirelessValues& v);
std::string wirelessCommands(const WirelessValues& v, int ifc);
// Rate text of a Speed index ("auto", " 1", ..., "  54"); "" beyond the list.
std::string wirelessRateText(int index);
// Country code of a CountryCode index ("US" ... "ITI"); "" beyond the list.
std::string countryCodeText(int index);

// Record 6, the encryption choice page.
struct EncryptQuestionValues {
    std::array<bool, 3> click{}; // open, WEP, other methods
    int wpa = 0, eap = 0;
};
std::string encryptQuestionRecord(const EncryptQuestionValues& v);

// Record 7 and the security commands.
struct WepValues {
    bool phrase = true; // keys from the phrase page; else from the hex key page
    int keySize = 0;    // hex key page only
    int authMethod = 0, defaultKey = 0;
    std::array<std::string, 4> keys;
};
struct WpaValues {
    std::string passPhrase;
    int encryptMethod = 0, wpaMode = 0;
};
struct EapValues {
    std::string userName, password;
    int type = 0; // LEAPDlg.Combo1
};
struct SecurityValues {
    int encryption = 0; // WirelessQuestionDlg.EncryptionCB
    EncryptQuestionValues choice;
    WepValues wep;
    WpaValues wpa;
    EapValues eap;
};
// Which option of the encryption choice the records and commands follow: the first that
// is set, -1 when none.
int chosenMethod(const EncryptQuestionValues& v);
std::string securityRecord(const SecurityValues& v);
std::string securityCommands(const SecurityValues& v, int ifc);

} // namespace kestrel
