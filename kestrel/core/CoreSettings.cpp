// The settings file routines of the core: between the pages' controls and the codec.
#include "kestrel/core/Core.h"
#include "kestrel/core/Records.h"
#include "kestrel/core/Restore.h"
#include "kestrel/core/SettingsFile.h"
#include "platform/sys/Strings.h"
#include "platform/sys/System.h"
#include "platform/sys/Utf8.h"
#include "platform/sys/Windows1252.h"
#include "platform/ui/App.h"
#include "platform/ui/Form.h"

#include <algorithm>
#include <array>

namespace kestrel {

namespace {

const char* const kDamagedFile = "Error Reading File\r\n"
                                 "The settings file is damaged or incomplete.\r\n"
                                 "Unable to load the saved settings\r\n";

} // namespace

std::string Core::StrToHex(const std::string& text) {
    std::string hex;
    char32_t code;
    for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
        n = sys::charAt(text, i, code);
        if (auto b = sys::toWindows1252(text.substr(i, n)))
            hex += sys::hexEncode(*b);
        app().DoEvents();
    }
    return hex;
}

std::string Core::HexToStr(const std::string& hex) {
    return sys::fromWindows1252(sys::hexDecode(hex));
}

bool Core::SaveSettings(const std::string& path, const std::string& password) {
    BuildSetupCommands();

    // Refuse what a settings file could not give back unchanged; nothing is written then.
    if (const RestorePlan plan = restorePlan(ws.CurrentSettings); !plan.valid || !plan.exact) {
        ShowNotice("Unable to save the settings.\r\n"
                   "A text entered in the wizard holds a \"|\" or a line break,\r\n"
                   "which a settings file cannot hold. Please change it and save again.");
        return false;
    }
    std::size_t longest = 0;
    bool encodable = true;
    auto check = [&](const std::string& text) {
        auto b = sys::toWindows1252(text);
        if (!b)
            encodable = false;
        else
            longest = std::max(longest, b->size());
    };
    check(password);
    for (int i = 0; i < rec::Count; ++i)
        check(ws.CurrentSettings[static_cast<std::size_t>(i)]);
    if (!encodable) {
        ShowNotice("Unable to save the settings.\r\n"
                   "A text entered in the wizard holds a character that a settings file\r\n"
                   "cannot hold. Please change it and save again.");
        return false;
    }
    if (longest * 2 > kMaxRecordBytes) {
        ShowNotice("Unable to save the settings.\r\n"
                   "A text entered in the wizard is too long for a settings file.");
        return false;
    }

    if (NamedFileExists(path) && !ConfirmOverwrite())
        return false;

    std::array<std::string, 8> hex;
    const std::string passwordHex = StrToHex(password);
    for (int i = 0; i < rec::Count; ++i)
        hex[static_cast<std::size_t>(i)] =
            StrToHex(ws.CurrentSettings[static_cast<std::size_t>(i)]);
    auto bytes = settingsFileFromHex(passwordHex, hex);
    if (!bytes || !sys().writeFile(path, *bytes).ok) {
        ShowNotice("Unable to save the settings in " + path + "\r\n" +
                   "Please check the file name and try again.\r\n");
        return false;
    }
    ShowNotice("Settings successfully saved in " + path + "\r\n");
    return true;
}

bool Core::LoadSavedSettings(const std::string& path, const std::string& password) {
    if (!NamedFileExists(path)) {
        ShowNotice("File not found. Please select another file.");
        return false;
    }
    auto bytes = sys().readFile(path);
    if (!bytes) {
        ShowNotice(kDamagedFile);
        return false;
    }
    RecordCursor cursor(*bytes);
    // A file whose first record is not a text beginning with the tag (an empty file, any
    // other kind of file) is not a settings file at all.
    auto tag = cursor.nextText();
    if (!tag)
        WriteLog("...LoadSavedSettings: " + cursor.error());
    if (!tag || tag->compare(0, 4, kSettingsTag) != 0) {
        ShowNotice("Error Reading File\r\n"
                   "Incompatible File Type Detected\r\n"
                   "Unable to load the saved settings\r\n");
        return false;
    }
    auto passwordHex = cursor.nextText();
    if (!passwordHex || !sys::isHexText(*passwordHex)) {
        WriteLog("...LoadSavedSettings: password record damaged " + cursor.error());
        ShowNotice(kDamagedFile);
        return false;
    }
    if (HexToStr(*passwordHex) != password) {
        ShowNotice("Error Invalid Password.\r\n"
                   "Unable to load the saved settings\r\n");
        return false;
    }
    std::array<std::string, 9> records;
    for (int i = 0; i < rec::Count; ++i) {
        auto hex = cursor.nextText();
        if (!hex || !sys::isHexText(*hex)) {
            WriteLog("...LoadSavedSettings: record " + std::to_string(i) + " damaged " +
                     cursor.error());
            ShowNotice(kDamagedFile);
            return false;
        }
        records[static_cast<std::size_t>(i)] = HexToStr(*hex);
    }
    RestorePlan plan = restorePlan(records);
    if (!plan.valid) {
        WriteLog("...LoadSavedSettings: " + plan.problem);
        ShowNotice(kDamagedFile);
        return false;
    }

    for (int i = 0; i < rec::Count; ++i) {
        ws.CurrentSettings[static_cast<std::size_t>(i)] = records[static_cast<std::size_t>(i)];
        ws.InitialSettings[static_cast<std::size_t>(i)] = records[static_cast<std::size_t>(i)];
    }
    if (!RestoreSettings())
        ShowNotice("Some of the saved settings do not fit the choices this wizard offers now\r\n"
                   "(such as a port that is no longer present) and were left as they were.\r\n"
                   "Please check the settings on each page.");
    return true;
}

bool Core::applyRestoreOp(const RestoreOp& op) {
    ui::Control* c = pages().form(op.form).find(op.control, op.index);
    if (!c)
        return false;
    switch (op.kind) {
    case RestoreOp::Kind::Text:
        c->setText(op.text);
        return true;
    case RestoreOp::Kind::ListIndex:
        return c->setListIndex(op.number);
    case RestoreOp::Kind::Value:
        c->setValue(op.number);
        return true;
    case RestoreOp::Kind::Choose:
        c->setValue(1);
        return true;
    }
    return false;
}

bool Core::RestoreSettings() {
    RestorePlan plan = restorePlan(ws.CurrentSettings);
    if (!plan.valid)
        return false;
    bool complete = true;
    for (const RestoreOp& op : plan.ops)
        if (!applyRestoreOp(op)) {
            WriteLog("...RestoreSettings: " + op.form + "." + op.control +
                     (op.index >= 0 ? "(" + std::to_string(op.index) + ")" : "") +
                     " left as it was");
            complete = false;
        }
    return complete;
}

} // namespace kestrel
