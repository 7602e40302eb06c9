#pragma once
// The controls of the pages that the core reads and restores, declared once: each page
// derives from its struct, and the core reaches them through PageSet.
#include "platform/ui/Form.h"

namespace kestrel {

struct PageControls {
    // A pointer, so that a page passes `this` without its copy of the struct in the way.
    explicit PageControls(ui::Form* page) : form(*page) {}
    ui::Form& form;
};

struct PortSelectControls : PageControls {
    using PageControls::PageControls;
    // The route: one of the five options.
    ui::ControlRef PortLPT{form, "PortLPT"};
    ui::ControlRef PortCOM{form, "PortCOM"};
    ui::ControlRef PortUSB{form, "PortUSB"};
    ui::ControlRef PortTCP{form, "PortTCP"};
    ui::ControlRef PortFile{form, "PortFile"};
    // The local ports of each kind.
    ui::ControlRef LPTCombo{form, "LPTCombo"};
    ui::ControlRef ComCombo{form, "ComCombo"};
    ui::ControlRef USBCombo{form, "USBCombo"};
    ui::ControlRef IPAddr{form, "IPAddr"};     // the printer's address (TCP/IP)
    ui::ControlRef FileName{form, "FileName"}; // the file the job goes to (File)
};

struct QuestionDlgControls : PageControls {
    using PageControls::PageControls;
    // What to configure: Check1[0] the IP address (wired page), [1] to [5] the rows of the
    // network options page, [6] the wireless adapter.
    ui::ControlRef Check1{form, "Check1"};
};

struct WiredDlgControls : PageControls {
    using PageControls::PageControls;
    ui::ControlRef NicOption{form, "NicOption"}; // [0] wired, [1] wireless adapter
    ui::ControlRef useAutoIP{form, "useAutoIP"};
    ui::ControlRef BootP{form, "BootP"};
    ui::ControlRef DHCP{form, "DHCP"};
    ui::ControlRef useStaticIP{form, "useStaticIP"};
    ui::ControlRef IPAddr{form, "IPAddr"};
    ui::ControlRef SubMask{form, "SubMask"};
    ui::ControlRef Gateway{form, "Gateway"};
};

struct NetworkDlgControls : PageControls {
    using PageControls::PageControls;
    // Combo1[1] to [5]: the rows of the question page's Check1[1] to [5] (speed, keep
    // alive, job control, NetBIOS, periodic PING).
    ui::ControlRef Combo1{form, "Combo1"};
    ui::ControlRef Packet{form, "Packet"}; // PING packets
    ui::ControlRef Period{form, "Period"}; // minutes between PINGs
};

struct WirelessQuestionDlgControls : PageControls {
    using PageControls::PageControls;
    // check[i]: row i of the wireless page is to be set (0 the network name, 9 the country).
    ui::ControlRef check{form, "check"};
    ui::ControlRef EncryptionCB{form, "EncryptionCB"}; // the security pages follow
};

struct WirelessDlgControls : PageControls {
    using PageControls::PageControls;
    ui::ControlRef SSID{form, "SSID"};
    ui::ControlRef OpMode{form, "OpMode"};
    ui::ControlRef Speed{form, "Speed"};
    ui::ControlRef Channel{form, "Channel"};
    ui::ControlRef Antenna{form, "Antenna"};
    ui::ControlRef Preamble{form, "Preamble"};
    ui::ControlRef TxPower{form, "TxPower"};
    ui::ControlRef PowerMgmt{form, "PowerMgmt"};
    ui::ControlRef Devices{form, "Devices"};
    ui::ControlRef CountryCode{form, "CountryCode"};
    ui::ControlRef Check2{form, "Check2"}; // international mode, on the country's row

    // The field of row i: the network name (0) or a list (1 to 9).
    const ui::ControlRef& row(int i) const {
        const ui::ControlRef* rows[] = {&SSID,     &OpMode,  &Speed,     &Channel, &Antenna,
                                        &Preamble, &TxPower, &PowerMgmt, &Devices, &CountryCode};
        return *rows[i];
    }
};

struct EncryptQuestionDlgControls : PageControls {
    using PageControls::PageControls;
    ui::ControlRef click{form, "click"}; // [0] open, [1] WEP, [2] WPA and/or EAP
    ui::ControlRef WPA{form, "WPA"};
    ui::ControlRef EAP{form, "EAP"};
};

struct WEPDlgControls : PageControls {
    using PageControls::PageControls;
    ui::ControlRef Phrase{form, "Phrase"};           // keys typed as phrases
    ui::ControlRef EntryManual{form, "EntryManual"}; // keys typed as hex numbers
};

// The phrase page; the hex key page has these and its key size.
struct WepKeysControls : PageControls {
    using PageControls::PageControls;
    ui::ControlRef DefaultKey{form, "DefaultKey"}; // 0 disabled, else key 1 to 4
    ui::ControlRef AuthMethod{form, "AuthMethod"};
    ui::ControlRef KeyText{form, "KeyText"}; // [0] to [3]
};

struct WEPkeyDlgControls : WepKeysControls {
    using WepKeysControls::WepKeysControls;
    ui::ControlRef KeySize{form, "KeySize"};
};

struct WPADlgControls : PageControls {
    using PageControls::PageControls;
    ui::ControlRef WPAMode{form, "WPAMode"};
    ui::ControlRef EncryptMethod{form, "EncryptMethod"};
    ui::ControlRef PassPhrase{form, "PassPhrase"};
};

struct LEAPDlgControls : PageControls {
    using PageControls::PageControls;
    ui::ControlRef Combo1{form, "Combo1"}; // the EAP type
    ui::ControlRef UserName{form, "UserName"};
    ui::ControlRef Password{form, "Password"};
};

struct ProgressDlgControls : PageControls {
    using PageControls::PageControls;
    ui::ControlRef StatusLog{form, "StatusLog"};
    ui::ControlRef Timer1{form, "Timer1"}; // drives the delivery run
};

} // namespace kestrel
