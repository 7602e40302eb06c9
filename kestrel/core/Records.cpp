#include "kestrel/core/Records.h"

#include <vector>

namespace kestrel {

namespace {

const std::string crlf = kCrLf;
const std::string unchosen = "0|.";

std::string num(int v) {
    return std::to_string(v);
}

std::string ticked(int v) {
    return v == 1 ? "1" : "0";
}

template <std::size_t N> std::string joinValues(const std::array<int, N>& values) {
    std::string out;
    for (std::size_t i = 0; i < N; ++i) {
        if (i)
            out += '|';
        out += num(values[i]);
    }
    return out;
}

// Items of a comma-separated list, each keeping the blanks that follow its comma.
std::vector<std::string> splitCommas(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            return items;
        start = comma + 1;
    }
}

std::string pick(const std::vector<std::string>& items, int index) {
    if (index < 0 || index >= static_cast<int>(items.size()))
        return {};
    return items[static_cast<std::size_t>(index)];
}

std::string wlan(int ifc, const std::string& keyword) {
    return "store ifc " + num(ifc) + keyword + crlf;
}

} // namespace

std::string portRecord(const PortValues& v) {
    std::string r;
    r += (v.lpt ? "1|" + num(v.lptIndex) : unchosen) + crlf;
    r += (v.com ? "1|" + num(v.comIndex) : unchosen) + crlf;
    r += (v.usb ? "1|" + num(v.usbIndex) : unchosen) + crlf;
    r += (v.tcp ? "1|" + v.ipAddr : unchosen) + crlf;
    r += (v.file ? "1|" + v.fileName : unchosen) + crlf;
    return r;
}

std::string questionRecord(const std::array<int, 7>& check1) {
    return joinValues(check1);
}

int wiredIfcNumber(const WiredValues& v) {
    return v.wired ? 1 : 2;
}

std::string wiredRecord(const WiredValues& v) {
    std::string r = (v.wired ? "1" : "2") + crlf;
    if (v.autoIP)
        r += "1|" + ticked(v.bootP) + "|" + ticked(v.dhcp);
    else
        r += "0|" + v.ipAddr + "|" + v.subMask + "|" + v.gateway;
    return r + crlf;
}

std::string wiredCommands(const WiredValues& v, int ifc) {
    const std::string n = num(ifc);
    if (v.autoIP)
        return "store tcpip " + n + " opts " + (v.bootP == 1 ? "bootp " : "-bootp ") +
               (v.dhcp == 1 ? "dhcp " : "-dhcp ") + crlf;
    return "store tcpip " + n + " opts -bootp -dhcp " + crlf + //
           "store tcpip " + n + " addr " + v.ipAddr + crlf +   //
           "store tcpip " + n + " mask " + v.subMask + crlf +  //
           "store tcpip route add default" + n + " " + v.gateway + " " + n + crlf;
}

std::string networkRecord(const NetworkValues& v) {
    std::string r = unchosen + crlf;
    for (int i = 1; i <= 5; ++i) {
        if (v.check[i] == 1) {
            r += "1|" + num(v.combo[i]);
            if (i == 5)
                r += "|" + v.packet + "|" + v.period;
        } else {
            r += unchosen;
        }
        r += crlf;
    }
    return r;
}

std::string networkCommands(const NetworkValues& v) {
    std::string c;
    if (v.check[1] == 1) {
        static const char* modes[] = {"auto", "10half", "10full", "100half"};
        int k = v.combo[1];
        c += std::string("store ifc 1 mode ") + (k >= 0 && k < 4 ? modes[k] : "100full") + crlf;
    }
    if (v.check[2] == 1) {
        int k = v.combo[2];
        if (k == 0) {
            c += "store tcpip tcp opts -keepalive" + crlf;
        } else {
            c += "store tcpip tcp opts keepalive" + crlf;
            c += "store tcpip tcp keepalivetimeout " + num(k + 1) + crlf;
        }
    }
    if (v.check[3] == 1) {
        static const char* modes[] = {"jobcontrol standard", "jobcontrol enhanced",
                                      "jobcontrol fast"};
        int k = v.combo[3];
        c += std::string("store pserver opts ") + (k >= 0 && k < 3 ? modes[k] : "jobcontrol off") +
             crlf;
    }
    if (v.check[4] == 1) {
        c += std::string("set sysinfo module ") + (v.combo[4] == 0 ? "netbios" : "-netbios") + crlf;
        c += "save" + crlf;
    }
    if (v.check[5] == 1) {
        if (v.combo[5] == 0) {
            c += "store pping opts enable" + crlf;
            c += "store pping packet " + v.packet + crlf;
            c += "store pping period " + v.period + crlf;
        } else {
            c += "store pping opts -enable" + crlf;
        }
    }
    return c;
}

std::string wirelessQuestionRecord(const std::array<int, 10>& check, int encryption) {
    std::string r;
    for (int v : check)
        r += num(v) + "|";
    return r + num(encryption);
}

std::string wirelessRecord(const WirelessValues& v) {
    std::string r;
    for (int i = 0; i < 10; ++i) {
        if (v.check[i] == 1) {
            r += "1|" + (i == 0 ? v.ssid : num(v.index[i]));
            if (i == 9)
                r += "|" + num(v.international);
        } else {
            r += i == 9 ? "0|.|." : unchosen;
        }
        r += crlf;
    }
    return r;
}

std::string wirelessRateText(int index) {
    static const std::vector<std::string> rates =
        splitCommas("auto, 1, 2, 5.5, 6,  9, 11, 12, 18, 24, 36, 48,  54");
    return pick(rates, index);
}

std::string countryCodeText(int index) {
    static const std::vector<std::string> codes =
        splitCommas("US,USI,GB,GBI,NL,NLI,FR,FRI,DE,DEI,IT,ITI");
    return pick(codes, index);
}

std::string wirelessCommands(const WirelessValues& v, int ifc) {
    std::string c;
    for (int i = 0; i < 10; ++i) {
        if (v.check[i] != 1)
            continue;
        const int k = v.index[i];
        switch (i) {
        case 0:
            c += wlan(ifc, " wlan ssid " + v.ssid);
            break;
        case 1:
            c += wlan(ifc, std::string(" wlan mode ") + (k == 0   ? "managed"
                                                         : k == 1 ? "adhoc"
                                                                  : "pseudo"));
            break;
        case 2: {
            // An index outside the list has no rate to send.
            std::string rate = wirelessRateText(k);
            if (!rate.empty())
                c += wlan(ifc, " wlan speed " + rate);
            break;
        }
        case 3:
            c += wlan(ifc, " wlan channel " + (k == 0 ? std::string("default") : num(k)));
            break;
        case 4:
            c += wlan(ifc, std::string(" wlan antenna ") + (k == 0   ? "primary"
                                                            : k == 1 ? "diverse"
                                                                     : "aux"));
            break;
        case 5:
            c += wlan(ifc, std::string(" wlan preamble ") + (k == 0   ? "default"
                                                             : k == 1 ? "long"
                                                                      : "short"));
            break;
        case 6:
            c += wlan(ifc, " wlan txpwr " + num(k));
            break;
        case 7:
            c += wlan(ifc, std::string(" wlan pmm ") + (k == 0 ? "on" : "off"));
            break;
        case 8:
            c += wlan(ifc, " wlan profile " + num(k));
            break;
        case 9: {
            c += wlan(ifc, v.international == 1 ? " wlan opts intnl" : " wlan opts -intnl");
            std::string code = countryCodeText(k);
            if (!code.empty())
                c += wlan(ifc, " wlan country " + code);
            break;
        }
        }
    }
    return c;
}

std::string encryptQuestionRecord(const EncryptQuestionValues& v) {
    std::string r;
    for (bool on : v.click)
        r += on ? "True|" : "False|";
    return r + num(v.wpa) + "|" + num(v.eap);
}

int chosenMethod(const EncryptQuestionValues& v) {
    for (int k = 0; k < 3; ++k)
        if (v.click[k])
            return k;
    return -1;
}

std::string securityRecord(const SecurityValues& v) {
    if (v.encryption != 1)
        return {};
    const int method = chosenMethod(v.choice);
    std::string r;
    for (int k = 0; k < 3 && k != method; ++k)
        r += unchosen + crlf;
    if (method == 1) {
        const WepValues& w = v.wep;
        const std::string keys =
            "|" + w.keys[0] + "|" + w.keys[1] + "|" + w.keys[2] + "|" + w.keys[3];
        if (w.phrase)
            r += "1|1|" + num(w.defaultKey) + "|" + num(w.authMethod) +
                 (w.defaultKey != 0 ? keys : std::string());
        else
            r += "1|0|" + num(w.keySize) + "|" + num(w.authMethod) + "|" + num(w.defaultKey) +
                 (w.defaultKey != 0 ? keys : std::string());
        r += crlf;
    } else if (method == 2) {
        if (v.choice.wpa == 1)
            r += "1|1|" + v.wpa.passPhrase + "|" + num(v.wpa.encryptMethod) + "|" +
                 num(v.wpa.wpaMode);
        else
            r += unchosen;
        r += crlf;
        if (v.choice.eap == 1)
            r += "1|1|" + v.eap.userName + "|" + v.eap.password + "|" + num(v.eap.type) + crlf;
    }
    return r;
}

std::string securityCommands(const SecurityValues& v, int ifc) {
    if (v.encryption != 1)
        return {};
    std::string c;
    switch (chosenMethod(v.choice)) {
    case 0:
        c += wlan(ifc, " wlan auth open");
        break;
    case 1: {
        const WepValues& w = v.wep;
        if (w.defaultKey == 0) {
            c += wlan(ifc, " wlan defkey disable");
            break;
        }
        c += wlan(ifc, w.authMethod == 0 ? " wlan auth open" : " wlan auth shared");
        for (int k = 1; k <= 4; ++k) {
            const std::string& key = w.keys[k - 1];
            if (!key.empty())
                c += wlan(ifc, " wlan key " + num(k) + (w.phrase ? " $" : " ") + key);
        }
        c += wlan(ifc, " wlan defkey " + num(w.defaultKey));
        break;
    }
    case 2:
        if (v.choice.wpa == 1) {
            const WpaValues& p = v.wpa;
            c += wlan(ifc, " wlan passphrase " + p.passPhrase);
            c += wlan(ifc, p.wpaMode == 1   ? " wlan wpa personal"
                           : p.wpaMode == 2 ? " wlan wpa enterprise"
                                            : " wlan wpa disable");
            c += wlan(ifc, p.encryptMethod == 1   ? " wlan cipher aes"
                           : p.encryptMethod == 2 ? " wlan cipher tkip"
                           : p.encryptMethod == 3 ? " wlan cipher tkip+aes"
                                                  : " wlan cipher disable");
        }
        if (v.choice.eap == 1) {
            const EapValues& e = v.eap;
            c += wlan(ifc, e.type == 1   ? " wlan eap peap"
                           : e.type == 2 ? " wlan eap leap"
                           : e.type == 3 ? " wlan eap ttls"
                                         : " wlan eap none");
            c += wlan(ifc, " wlan user " + e.userName);
            c += wlan(ifc, " wlan pass " + e.password);
        }
        break;
    default:
        break;
    }
    return c;
}

} // namespace kestrel
