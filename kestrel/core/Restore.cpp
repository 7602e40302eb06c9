#include "kestrel/core/Restore.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace kestrel {

namespace {

using Kind = RestoreOp::Kind;
using Fields = std::vector<std::string>;

Fields split(const std::string& text, const std::string& sep) {
    Fields parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(sep, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos)
            return parts;
        start = at + sep.size();
    }
}

// A list index as the readers write it: a decimal number, -1 for no selection.
std::optional<int> indexField(const std::string& f) {
    int v = 0;
    auto [end, ec] = std::from_chars(f.data(), f.data() + f.size(), v);
    if (ec != std::errc() || end != f.data() + f.size() || f.empty() || f[0] == '+' || v < -1)
        return std::nullopt;
    return v;
}

bool flagField(const std::string& f) {
    return f == "0" || f == "1";
}

// A text a record can carry back: no line break (it would add lines to the command text).
bool textField(const std::string& f) {
    return f.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

// The text from field `from` to the end of the line: a text that is the last field of its
// line may hold "|" itself, which the writer left as it was.
std::string restOfLine(const Fields& f, std::size_t from) {
    std::string text;
    for (std::size_t k = from; k < f.size(); ++k)
        text += (k > from ? "|" : "") + f[k];
    return text;
}

bool unchosen(const std::string& line) {
    return line == "0|.";
}

class Builder {
  public:
    explicit Builder(std::string form) : form_(std::move(form)) {}

    RestorePlan plan;

    void setForm(std::string form) { form_ = std::move(form); }
    void text(const std::string& control, const std::string& t, int index = -1) {
        add(Kind::Text, control, index, t, 0);
    }
    void list(const std::string& control, int n, int index = -1) {
        add(Kind::ListIndex, control, index, {}, n);
    }
    void value(const std::string& control, int n, int index = -1) {
        add(Kind::Value, control, index, {}, n);
    }
    void choose(const std::string& control, int index = -1) {
        add(Kind::Choose, control, index, {}, 1);
    }
    RestorePlan fail(const std::string& why) {
        RestorePlan bad;
        bad.valid = false;
        bad.problem = why;
        return bad;
    }

  private:
    void add(Kind kind, const std::string& control, int index, std::string t, int n) {
        RestoreOp op;
        op.kind = kind;
        op.form = form_;
        op.control = control;
        op.index = index;
        op.text = std::move(t);
        op.number = n;
        plan.ops.push_back(std::move(op));
    }
    std::string form_;
};

// Lines of a record that ends in CR LF: exactly `count` lines.
std::optional<Fields> linesOf(const std::string& record, std::size_t count) {
    Fields lines = split(record, "\r\n");
    if (lines.size() != count + 1 || !lines.back().empty())
        return std::nullopt;
    lines.pop_back();
    return lines;
}

RestorePlan portPlan(const std::string& record) {
    Builder b("PortSelect");
    auto lines = linesOf(record, 5);
    if (!lines)
        return b.fail("port record: not five lines");
    static const char* options[] = {"PortLPT", "PortCOM", "PortUSB", "PortTCP", "PortFile"};
    static const char* lists[] = {"LPTCombo", "ComCombo", "USBCombo"};
    int chosen = -1;
    std::string chosenValue;
    for (int i = 0; i < 5; ++i) {
        const std::string& line = (*lines)[i];
        if (unchosen(line))
            continue;
        Fields f = split(line, "|");
        // The address and the file name are their lines' last fields.
        const std::string value = restOfLine(f, 1);
        bool ok = f.size() >= 2 && f[0] == "1" &&
                  (i < 3 ? f.size() == 2 && indexField(value).has_value() : textField(value));
        if (!ok)
            return b.fail("port record: line " + std::to_string(i));
        if (chosen < 0) {
            chosen = i;
            chosenValue = value;
        }
    }
    b.text("IPAddr", "");
    b.text("FileName", "");
    if (chosen >= 0) {
        b.choose(options[chosen]);
        if (chosen < 3)
            b.list(lists[chosen], *indexField(chosenValue));
        else
            b.text(chosen == 3 ? "IPAddr" : "FileName", chosenValue);
    }
    return b.plan;
}

RestorePlan flagsPlan(const std::string& record, const std::string& form,
                      const std::string& control, std::size_t count, const char* lastControl) {
    Builder b(form);
    Fields f = split(record, "|");
    if (f.size() != count)
        return b.fail(form + " record: " + std::to_string(f.size()) + " values");
    for (std::size_t k = 0; k < count; ++k) {
        if (!flagField(f[k]))
            return b.fail(form + " record: value " + std::to_string(k));
        if (lastControl && k + 1 == count)
            b.value(lastControl, f[k] == "1");
        else
            b.value(control, f[k] == "1", static_cast<int>(k));
    }
    return b.plan;
}

RestorePlan wiredPlan(const std::string& record) {
    Builder b("WiredDlg");
    auto lines = linesOf(record, 2);
    if (!lines || ((*lines)[0] != "1" && (*lines)[0] != "2"))
        return b.fail("TCP/IP record: interface line");
    Fields f = split((*lines)[1], "|");
    if (f[0] == "1" && f.size() == 3 && flagField(f[1]) && flagField(f[2])) {
        b.choose("NicOption", (*lines)[0] == "1" ? 0 : 1);
        b.choose("useAutoIP");
        b.text("IPAddr", "");
        b.text("SubMask", "");
        b.text("Gateway", "");
        b.value("BootP", f[1] == "1");
        b.value("DHCP", f[2] == "1");
        return b.plan;
    }
    if (f[0] == "0" && f.size() == 4 && textField(f[1]) && textField(f[2]) && textField(f[3])) {
        b.choose("NicOption", (*lines)[0] == "1" ? 0 : 1);
        b.choose("useStaticIP");
        b.text("IPAddr", f[1]);
        b.text("SubMask", f[2]);
        b.text("Gateway", f[3]);
        return b.plan;
    }
    return b.fail("TCP/IP record: address line");
}

RestorePlan networkPlan(const std::string& record) {
    Builder b("NetworkDlg");
    auto lines = linesOf(record, 6);
    if (!lines || !unchosen((*lines)[0]))
        return b.fail("network options record: shape");
    for (int i = 1; i <= 5; ++i) {
        const std::string& line = (*lines)[i];
        if (unchosen(line))
            continue;
        Fields f = split(line, "|");
        const std::size_t fields = i == 5 ? 4 : 2;
        auto idx = f.size() == fields && f[0] == "1" ? indexField(f[1]) : std::nullopt;
        if (!idx || (i == 5 && !(textField(f[2]) && textField(f[3]))))
            return b.fail("network options record: line " + std::to_string(i));
        b.list("Combo1", *idx, i);
        if (i == 5) {
            b.text("Packet", f[2]);
            b.text("Period", f[3]);
        }
    }
    return b.plan;
}

RestorePlan wirelessPlan(const std::string& record) {
    Builder b("WirelessDlg");
    auto lines = linesOf(record, 10);
    if (!lines)
        return b.fail("wireless record: not ten lines");
    static const char* controls[] = {"SSID",     "OpMode",  "Speed",     "Channel", "Antenna",
                                     "Preamble", "TxPower", "PowerMgmt", "Devices", "CountryCode"};
    for (int i = 0; i < 10; ++i) {
        const std::string& line = (*lines)[i];
        const bool clear = i == 9 ? line == "0|.|." : unchosen(line);
        b.setForm("WirelessQuestionDlg");
        if (clear) {
            b.value("check", 0, i);
            b.setForm("WirelessDlg");
            if (i == 0)
                b.text("SSID", "");
            else
                b.list(controls[i], 0);
            if (i == 9)
                b.value("Check2", 0);
            continue;
        }
        Fields f = split(line, "|");
        const std::size_t fields = i == 9 ? 3 : 2;
        // The network name is its line's last field.
        const std::string ssid = i == 0 ? restOfLine(f, 1) : std::string();
        bool ok = (i == 0 ? f.size() >= fields : f.size() == fields) && f[0] == "1" &&
                  (i == 0 ? textField(ssid) : indexField(f[1]).has_value()) &&
                  (i != 9 || flagField(f[2]));
        if (!ok)
            return b.fail("wireless record: line " + std::to_string(i));
        b.value("check", 1, i);
        b.setForm("WirelessDlg");
        if (i == 0)
            b.text("SSID", ssid);
        else
            b.list(controls[i], *indexField(f[1]));
        if (i == 9)
            b.value("Check2", f[2] == "1");
    }
    return b.plan;
}

RestorePlan encryptQuestionPlan(const std::string& record) {
    Builder b("EncryptQuestionDlg");
    Fields f = split(record, "|");
    if (f.size() != 5 || !flagField(f[3]) || !flagField(f[4]))
        return b.fail("encryption record: shape");
    int chosen = -1;
    for (int k = 0; k < 3; ++k) {
        if (f[k] == "True") {
            if (chosen >= 0)
                return b.fail("encryption record: several choices");
            chosen = k;
        } else if (f[k] != "False") {
            return b.fail("encryption record: choice " + std::to_string(k));
        }
    }
    // A group left with nothing chosen would leave the page without a way on.
    if (chosen < 0)
        return b.fail("encryption record: no choice");
    b.choose("click", chosen);
    b.value("WPA", f[3] == "1");
    b.value("EAP", f[4] == "1");
    return b.plan;
}

bool wepPlan(Builder& b, const Fields& f) {
    if (f.size() < 4 || f[0] != "1" || !flagField(f[1]))
        return false;
    const bool phrase = f[1] == "1";
    // Default key field: third on the phrase page, fifth on the hex key page.
    const std::size_t keyAt = phrase ? 2 : 4;
    const std::size_t shortSize = phrase ? 4 : 5;
    if (f.size() != shortSize && f.size() != shortSize + 4)
        return false;
    for (std::size_t i = 2; i < shortSize; ++i)
        if (!indexField(f[i]))
            return false;
    const int defaultKey = *indexField(f[keyAt]);
    const bool withKeys = f.size() == shortSize + 4;
    if (withKeys != (defaultKey != 0))
        return false;
    for (std::size_t i = shortSize; i < f.size(); ++i)
        if (!textField(f[i]))
            return false;

    b.setForm("WEPDlg");
    b.choose(phrase ? "Phrase" : "EntryManual");
    if (phrase) {
        b.setForm("WEPphraseDlg");
        b.list("DefaultKey", defaultKey);
        b.list("AuthMethod", *indexField(f[3]));
    } else {
        b.setForm("WEPkeyDlg");
        b.list("KeySize", *indexField(f[2]));
        b.list("AuthMethod", *indexField(f[3]));
        b.list("DefaultKey", defaultKey);
    }
    if (withKeys)
        for (int k = 0; k < 4; ++k)
            b.text("KeyText", f[shortSize + static_cast<std::size_t>(k)], k);
    return true;
}

RestorePlan securityPlan(const std::string& record) {
    Builder b("WEPDlg");
    Fields lines = split(record, "\r\n");
    if (lines.size() < 3 || lines.size() > 5 || !lines.back().empty() || !unchosen(lines[0]))
        return b.fail("security record: shape");
    lines.pop_back();
    if (!unchosen(lines[1])) {
        if (lines.size() != 2 || !wepPlan(b, split(lines[1], "|")))
            return b.fail("security record: WEP line");
        return b.plan;
    }
    if (lines.size() < 3)
        return b.fail("security record: shape");
    if (!unchosen(lines[2])) {
        Fields f = split(lines[2], "|");
        if (f.size() != 5 || f[0] != "1" || f[1] != "1" || !textField(f[2]) || !indexField(f[3]) ||
            !indexField(f[4]))
            return b.fail("security record: WPA line");
        b.setForm("WPADlg");
        b.text("PassPhrase", f[2]);
        b.list("EncryptMethod", *indexField(f[3]));
        b.list("WPAMode", *indexField(f[4]));
    }
    if (lines.size() == 4) {
        Fields f = split(lines[3], "|");
        if (f.size() != 5 || f[0] != "1" || f[1] != "1" || !textField(f[2]) || !textField(f[3]) ||
            !indexField(f[4]))
            return b.fail("security record: 802.1X line");
        b.setForm("LEAPDlg");
        b.text("UserName", f[2]);
        b.text("Password", f[3]);
        b.list("Combo1", *indexField(f[4]));
    }
    return b.plan;
}

} // namespace

RestorePlan restorePlan(int recordIndex, const std::string& record) {
    if (record.empty())
        return {};
    switch (recordIndex) {
    case 0:
        return portPlan(record);
    case 1:
        return flagsPlan(record, "QuestionDlg", "Check1", 7, nullptr);
    case 2:
        return wiredPlan(record);
    case 3:
        return networkPlan(record);
    case 4:
        return flagsPlan(record, "WirelessQuestionDlg", "check", 11, "EncryptionCB");
    case 5:
        return wirelessPlan(record);
    case 6:
        return encryptQuestionPlan(record);
    case 7:
        return securityPlan(record);
    default:
        return {};
    }
}

RestorePlan restorePlan(const std::array<std::string, 9>& records) {
    RestorePlan all;
    for (int i = 0; i < 8; ++i) {
        RestorePlan one = restorePlan(i, records[static_cast<std::size_t>(i)]);
        if (!one.valid)
            return one;
        for (auto& op : one.ops)
            all.ops.push_back(std::move(op));
    }
    return all;
}

} // namespace kestrel
