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

// A field that ticks a box or chooses an item: its text is "1" ("." and "0" are not).
bool one(const Fields& f, std::size_t k) {
    return k < f.size() && f[k] == "1";
}

// A line counts when it has at least two fields; one that does not changes nothing.
bool counts(const Fields& f) {
    return f.size() >= 2;
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

// The lines of a record as the readers end it: `count` lines, each with CR LF.
bool writtenLines(const Fields& lines, std::size_t count) {
    return lines.size() == count + 1 && lines.back().empty();
}

// How many lines to look at: the empty piece after the last CR LF is no line of its own.
std::size_t linesIn(const Fields& lines) {
    return lines.size() - (lines.size() > 1 && lines.back().empty() ? 1 : 0);
}

class Builder {
  public:
    RestorePlan plan;

    void text(const ui::ControlRef& control, const std::string& t) {
        add(Kind::Text, control, t, 0);
    }
    void list(const ui::ControlRef& control, int n) { add(Kind::ListIndex, control, {}, n); }
    void value(const ui::ControlRef& control, int n) { add(Kind::Value, control, {}, n); }
    void choose(const ui::ControlRef& control) { add(Kind::Choose, control, {}, 1); }
    // Notes whether this part of the record is as the readers write it.
    void shape(bool asWritten) { plan.exact = plan.exact && asWritten; }
    RestorePlan fail(const std::string& why) {
        RestorePlan bad;
        bad.valid = false;
        bad.exact = false;
        bad.problem = why;
        return bad;
    }

  private:
    void add(Kind kind, const ui::ControlRef& control, std::string t, int n) {
        plan.ops.push_back(RestoreOp{kind, control, std::move(t), n});
    }
};

RestorePlan portPlan(PortSelectControls& p, const std::string& record) {
    Builder b;
    const Fields lines = split(record, "\r\n");
    b.shape(writtenLines(lines, 5));
    const ui::ControlRef* options[] = {&p.PortLPT, &p.PortCOM, &p.PortUSB, &p.PortTCP, &p.PortFile};
    const ui::ControlRef* lists[] = {&p.LPTCombo, &p.ComCombo, &p.USBCombo};
    b.text(p.IPAddr, "");
    b.text(p.FileName, "");
    // The first chosen line is restored; the later ones are not looked at.
    for (std::size_t i = 0; i < linesIn(lines) && i < 5; ++i) {
        const Fields f = split(lines[i], "|");
        if (!counts(f) || !one(f, 0)) {
            b.shape(unchosen(lines[i]));
            continue;
        }
        if (i < 3) {
            auto index = indexField(f[1]);
            if (!index)
                return b.fail("port record: line " + std::to_string(i));
            b.shape(f.size() == 2);
            b.choose(*options[i]);
            b.list(*lists[i], *index);
        } else {
            // The address and the file name are their lines' last fields.
            const std::string text = restOfLine(f, 1);
            if (!textField(text))
                return b.fail("port record: line " + std::to_string(i));
            b.choose(*options[i]);
            b.text(i == 3 ? p.IPAddr : p.FileName, text);
        }
        break;
    }
    return b.plan;
}

// A record of check box values: field k sets `control`[k] while the page has it; with
// `lastControl`, the last field sets that box instead.
RestorePlan flagsPlan(const std::string& record, const ui::ControlRef& control, std::size_t count,
                      const ui::ControlRef* lastControl) {
    Builder b;
    const Fields f = split(record, "|");
    b.shape(f.size() == count);
    const std::size_t boxes = lastControl ? count - 1 : count;
    for (std::size_t k = 0; k < f.size(); ++k) {
        if (!flagField(f[k]))
            return b.fail(control.form().name() + " record: value " + std::to_string(k));
        if (lastControl && k + 1 == f.size())
            b.value(*lastControl, f[k] == "1");
        else if (k < boxes)
            b.value(control[static_cast<int>(k)], f[k] == "1");
    }
    return b.plan;
}

RestorePlan wiredPlan(WiredDlgControls& w, const std::string& record) {
    Builder b;
    const Fields lines = split(record, "\r\n");
    // Fewer than two lines: the page keeps its values.
    if (lines.size() < 2) {
        b.shape(false);
        return b.plan;
    }
    b.shape(writtenLines(lines, 2) && (lines[0] == "1" || lines[0] == "2"));
    b.choose(w.NicOption[lines[0] == "1" ? 0 : 1]);
    const Fields f = split(lines[1], "|");
    if (!counts(f)) {
        b.shape(false);
        return b.plan;
    }
    if (one(f, 0)) {
        b.shape(f.size() == 3 && flagField(f[1]) && flagField(f[2]));
        b.choose(w.useAutoIP);
        b.text(w.IPAddr, "");
        b.text(w.SubMask, "");
        b.text(w.Gateway, "");
        b.value(w.BootP, one(f, 1));
        b.value(w.DHCP, one(f, 2));
        return b.plan;
    }
    b.shape(f[0] == "0" && f.size() == 4);
    const ui::ControlRef* texts[] = {&w.IPAddr, &w.SubMask, &w.Gateway};
    for (std::size_t k = 1; k < f.size() && k <= 3; ++k)
        if (!textField(f[k]))
            return b.fail("TCP/IP record: address line");
    b.choose(w.useStaticIP);
    // A field the line lacks leaves an empty box.
    for (std::size_t k = 1; k <= 3; ++k)
        b.text(*texts[k - 1], k < f.size() ? f[k] : std::string());
    return b.plan;
}

RestorePlan networkPlan(NetworkDlgControls& n, const std::string& record) {
    Builder b;
    const Fields lines = split(record, "\r\n");
    b.shape(writtenLines(lines, 6) && unchosen(lines[0]));
    // Line 0 is always "0|." and changes nothing; the page has lists 1 to 5.
    for (std::size_t i = 1; i < linesIn(lines) && i <= 5; ++i) {
        const Fields f = split(lines[i], "|");
        if (!counts(f) || !one(f, 0)) {
            b.shape(unchosen(lines[i]));
            continue;
        }
        auto index = indexField(f[1]);
        if (!index || (i == 5 && !(textField(restOfLine(f, 2)))))
            return b.fail("network options record: line " + std::to_string(i));
        b.shape(f.size() == (i == 5 ? 4u : 2u));
        b.list(n.Combo1[static_cast<int>(i)], *index);
        if (i == 5) {
            if (f.size() > 2)
                b.text(n.Packet, f[2]);
            if (f.size() > 3)
                b.text(n.Period, f[3]);
        }
    }
    return b.plan;
}

RestorePlan wirelessPlan(WirelessQuestionDlgControls& q, WirelessDlgControls& w,
                         const std::string& record) {
    Builder b;
    const Fields lines = split(record, "\r\n");
    b.shape(writtenLines(lines, 10));
    for (std::size_t i = 0; i < linesIn(lines) && i < 10; ++i) {
        const Fields f = split(lines[i], "|");
        if (!counts(f)) {
            b.shape(false);
            continue;
        }
        const int n = static_cast<int>(i);
        const bool chosen = one(f, 0);
        // The network name is its line's last field.
        const std::string ssid = i == 0 && chosen ? restOfLine(f, 1) : std::string();
        auto index = i > 0 && chosen ? indexField(f[1]) : std::optional<int>(0);
        if (!textField(ssid) || !index)
            return b.fail("wireless record: line " + std::to_string(i));
        if (chosen)
            b.shape(i == 0 || (f.size() == (i == 9 ? 3u : 2u) && (i != 9 || flagField(f[2]))));
        else
            b.shape(lines[i] == (i == 9 ? "0|.|." : "0|."));
        b.value(q.check[n], chosen ? 1 : 0);
        if (i == 0)
            b.text(w.SSID, ssid);
        else
            b.list(w.row(n), *index);
        if (i == 9)
            b.value(w.Check2, chosen && one(f, 2));
    }
    return b.plan;
}

RestorePlan encryptQuestionPlan(EncryptQuestionDlgControls& e, const std::string& record) {
    Builder b;
    const Fields f = split(record, "|");
    // One field: the page keeps its values.
    if (!counts(f)) {
        b.shape(false);
        return b.plan;
    }
    const std::size_t n = f.size();
    if (!flagField(f[n - 2]) || !flagField(f[n - 1]))
        return b.fail("encryption record: boxes");
    // Choosing an option clears the others, so the last "True" is the one chosen; a
    // "False" alone clears nothing, so that the page never loses its choice.
    int chosen = -1, trues = 0;
    for (std::size_t k = 0; k + 2 < n && k < 3; ++k)
        if (f[k] == "True") {
            chosen = static_cast<int>(k);
            ++trues;
        } else {
            b.shape(f[k] == "False");
        }
    b.shape(n == 5 && trues == 1);
    if (chosen >= 0)
        b.choose(e.click[chosen]);
    b.value(e.WPA, f[n - 2] == "1");
    b.value(e.EAP, f[n - 1] == "1");
    return b.plan;
}

bool wepPlan(PageSet& pages, Builder& b, const Fields& f) {
    if (f.size() < 4 || !flagField(f[1]))
        return false;
    const bool phrase = f[1] == "1";
    // Default key field: third on the phrase page, fifth on the hex key page.
    const std::size_t keyAt = phrase ? 2 : 4;
    const std::size_t shortSize = phrase ? 4 : 5;
    if (f.size() < shortSize || (f.size() > shortSize && f.size() < shortSize + 4))
        return false;
    for (std::size_t i = 2; i < shortSize; ++i)
        if (!indexField(f[i]))
            return false;
    const int defaultKey = *indexField(f[keyAt]);
    const bool withKeys = f.size() >= shortSize + 4;
    if (withKeys != (defaultKey != 0))
        return false;
    for (std::size_t i = shortSize; i < shortSize + 4 && i < f.size(); ++i)
        if (!textField(f[i]))
            return false;
    b.shape(f.size() == shortSize || f.size() == shortSize + 4);

    WEPDlgControls& wep = pages.wepDlg();
    b.choose(phrase ? wep.Phrase : wep.EntryManual);
    WepKeysControls& keys = phrase ? pages.wepPhraseDlg() : pages.wepKeyDlg();
    if (phrase) {
        b.list(keys.DefaultKey, defaultKey);
        b.list(keys.AuthMethod, *indexField(f[3]));
    } else {
        b.list(pages.wepKeyDlg().KeySize, *indexField(f[2]));
        b.list(keys.AuthMethod, *indexField(f[3]));
        b.list(keys.DefaultKey, defaultKey);
    }
    if (withKeys)
        for (int k = 0; k < 4; ++k)
            b.text(keys.KeyText[k], f[shortSize + static_cast<std::size_t>(k)]);
    return true;
}

RestorePlan securityPlan(PageSet& pages, const std::string& record) {
    Builder b;
    const Fields lines = split(record, "\r\n");
    // As written: "0|." and the WEP line, or "0|.", "0|.", the WPA line and the 802.1X line
    // when chosen, or three unchosen lines.
    b.shape(lines.size() >= 3 && lines.size() <= 5 && lines.back().empty() && unchosen(lines[0]));
    // Line 0 and the lines after 3 change nothing.
    for (std::size_t i = 1; i < linesIn(lines) && i <= 3; ++i) {
        const Fields f = split(lines[i], "|");
        if (!counts(f) || !one(f, 0)) {
            b.shape(unchosen(lines[i]));
            continue;
        }
        if (i == 1) {
            if (!wepPlan(pages, b, f))
                return b.fail("security record: WEP line");
            b.shape(lines.size() == 3);
            continue;
        }
        if (!one(f, 1)) {
            b.shape(false);
            continue;
        }
        if (f.size() < 5 || !textField(f[2]) || !indexField(f[4]) ||
            (i == 2 ? !indexField(f[3]) : !textField(f[3])))
            return b.fail(i == 2 ? "security record: WPA line" : "security record: 802.1X line");
        b.shape(f.size() == 5);
        if (i == 2) {
            WPADlgControls& w = pages.wpaDlg();
            b.text(w.PassPhrase, f[2]);
            b.list(w.EncryptMethod, *indexField(f[3]));
            b.list(w.WPAMode, *indexField(f[4]));
        } else {
            LEAPDlgControls& l = pages.leapDlg();
            b.text(l.UserName, f[2]);
            b.text(l.Password, f[3]);
            b.list(l.Combo1, *indexField(f[4]));
        }
    }
    return b.plan;
}

} // namespace

RestorePlan restorePlan(PageSet& pages, int recordIndex, const std::string& record) {
    if (record.empty())
        return {};
    switch (recordIndex) {
    case 0:
        return portPlan(pages.portSelect(), record);
    case 1:
        return flagsPlan(record, pages.questionDlg().Check1, 7, nullptr);
    case 2:
        return wiredPlan(pages.wiredDlg(), record);
    case 3:
        return networkPlan(pages.networkDlg(), record);
    case 4:
        return flagsPlan(record, pages.wirelessQuestionDlg().check, 11,
                         &pages.wirelessQuestionDlg().EncryptionCB);
    case 5:
        return wirelessPlan(pages.wirelessQuestionDlg(), pages.wirelessDlg(), record);
    case 6:
        return encryptQuestionPlan(pages.encryptQuestionDlg(), record);
    case 7:
        return securityPlan(pages, record);
    default:
        return {};
    }
}

RestorePlan restorePlan(PageSet& pages, const std::array<std::string, 9>& records) {
    RestorePlan all;
    for (int i = 0; i < 8; ++i) {
        RestorePlan one = restorePlan(pages, i, records[static_cast<std::size_t>(i)]);
        if (!one.valid)
            return one;
        all.exact = all.exact && one.exact;
        for (auto& op : one.ops)
            all.ops.push_back(std::move(op));
    }
    return all;
}

} // namespace kestrel
