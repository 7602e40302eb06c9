// The settings file routines of the core: between the pages' controls and the codec.
#include "osprey/core/Core.h"
#include "osprey/core/SettingsFile.h"
#include "platform/sys/System.h"
#include "platform/ui/Form.h"

namespace osprey {

namespace {

constexpr int kInvalidProcedureCall = 5;

std::string recordsLog(const char* prefix, const SettingsRecords& r) {
    std::string t;
    auto item = [&](const std::string& name, const std::string& value) {
        t += "\r\n" + std::string(prefix) + name + ": " + value;
    };
    auto num = [&](const char* name, std::int16_t v) { item(name, std::to_string(v)); };
    item("Version", r.version);
    if (r.printerWidth)
        num("PrinterWidth", *r.printerWidth);
    num("MediaTypeCB", r.MediaTypeCB);
    num("MediaTypeCombo", r.MediaTypeCombo);
    num("MediaSizeCB", r.MediaSizeCB);
    num("CustomLengths", static_cast<std::int16_t>(r.customLengths.size()));
    num("CustomWidths", static_cast<std::int16_t>(r.customWidths.size()));
    for (const auto& s : r.customLengths)
        item("LabelLengthKVT", s.value + " " + s.text);
    for (const auto& s : r.customWidths)
        item("LabelWidthKVT", s.value + " " + s.text);
    num("LabelLengthCombo", r.LabelLengthCombo);
    num("LabelWidthCombo", r.LabelWidthCombo);
    num("OrientationCB", r.OrientationCB);
    num("OrientationCombo", r.OrientationCombo);
    num("DispenseCB", r.DispenseCB);
    num("DispenseCombo", r.DispenseCombo);
    num("PrintSpeedCB", r.PrintSpeedCB);
    num("PrintSpeedCombo", r.PrintSpeedCombo);
    num("GapCB", r.GapCB);
    num("GapCombo", r.GapCombo);
    num("HorzCB", r.HorzCB);
    num("HorzShiftHScroll", r.HorzShiftHScroll);
    num("VertCB", r.VertCB);
    num("VertShiftHScroll", r.VertShiftHScroll);
    num("EmulationCB", r.EmulationCB);
    num("EmulationCombo", r.EmulationCombo);
    return t + "\r\nDone";
}

std::int16_t v16(int v) {
    return static_cast<std::int16_t>(v);
}

} // namespace

Core::SaveResult Core::SaveSettings(const std::string& path) {
    if (ws.LogEnabled)
        WriteLog("...SaveSettings:" + path);
    if (NamedFileExists(path) && !ConfirmOverwrite())
        return SaveResult::Declined;

    auto& o = pages().operation();
    auto& p = pages().printerSetup();
    SettingsRecords r;
    r.printerWidth = ws.PrinterWidth;
    r.MediaTypeCB = v16(o.MediaTypeCB->value());
    r.MediaTypeCombo = v16(o.MediaTypeCombo->listIndex());
    r.MediaSizeCB = v16(o.MediaSizeCB->value());
    auto customs = [](const std::vector<std::string>& table, const ui::Control& list, int org,
                      int last) {
        std::vector<CustomSize> out;
        for (int i = org + 1; i <= last; ++i) {
            CustomSize s;
            if (i >= 0 && static_cast<std::size_t>(i) < table.size())
                s.value = table[static_cast<std::size_t>(i)];
            s.text = list.list(i);
            out.push_back(std::move(s));
        }
        return out;
    };
    r.customLengths =
        customs(ws.LabelLengthKVT, *o.LabelLengthCombo, ws.orgLabelLength, ws.nLabelLength);
    r.customWidths =
        customs(ws.LabelWidthKVT, *o.LabelWidthCombo, ws.orgLabelWidth, ws.nLabelWidth);
    for (const ui::ControlRef& list : {o.LabelLengthCombo, o.LabelWidthCombo}) {
        if (list->listIndex() >= list->listCount())
            list->setListIndex(list->listCount() - 1);
    }
    r.LabelLengthCombo = v16(o.LabelLengthCombo->listIndex());
    r.LabelWidthCombo = v16(o.LabelWidthCombo->listIndex());
    r.OrientationCB = v16(o.OrientationCB->value());
    r.OrientationCombo = v16(o.OrientationCombo->listIndex());
    r.DispenseCB = v16(o.DispenseCB->value());
    r.DispenseCombo = v16(o.DispenseCombo->listIndex());
    r.PrintSpeedCB = v16(p.PrintSpeedCB->value());
    r.PrintSpeedCombo = v16(p.PrintSpeedCombo->listIndex());
    r.GapCB = v16(p.GapCB->value());
    r.GapCombo = v16(p.GapCombo->listIndex());
    r.HorzCB = v16(p.HorzCB->value());
    r.HorzShiftHScroll = v16(p.HorzShiftHScroll->value());
    r.VertCB = v16(p.VertCB->value());
    r.VertShiftHScroll = v16(p.VertShiftHScroll->value());
    r.EmulationCB = v16(p.EmulationCB->value());
    r.EmulationCombo = v16(p.EmulationCombo->listIndex());

    int error = 0;
    auto bytes = encodeSettings(r);
    if (!bytes) {
        error = kInvalidProcedureCall;
    } else {
        sys::IoResult written = sys().writeFile(path, *bytes);
        if (!written.ok)
            error = saveErrorNumber(written.error);
    }
    if (error != 0) {
        // Nothing was saved: the settings stay unsaved and the caller stays in its dialog.
        const std::string text = "Unexpected error occurred: [ErrCode:" + std::to_string(error) +
                                 "]\r\nUnable to save settings";
        WriteLog("Done - Err");
        if (ws.LogEnabled)
            WriteLog(text);
        ShowPrinterError(text, false);
        return SaveResult::Failed;
    }

    ws.SettingsChanged = false;
    if (ws.LogEnabled)
        WriteLog(recordsLog("...save:", r));
    ShowNotice("Settings successfully saved in " + path + "\r\n");
    return SaveResult::Saved;
}

bool Core::LoadSavedSettings(const std::string& path) {
    if (ws.LogEnabled)
        WriteLog("...LoadSavedSettings:" + path);
    if (!NamedFileExists(path)) {
        ShowNotice("File not found. Please select another file.");
        return false;
    }
    auto corrupted = [this](int error, const std::string& detail) {
        const std::string text =
            "File corrupted [ErrCode:" + std::to_string(error) + "]\r\nUnable to load settings";
        WriteLog("Done - Err");
        if (ws.LogEnabled) {
            WriteLog("...LoadSavedSettings: " + detail);
            WriteLog(text);
        }
        ShowPrinterError(text, false);
        return false;
    };

    auto bytes = sys().readFile(path);
    if (!bytes)
        return corrupted(75, "the file cannot be read");

    // The whole file is read and checked before any control changes.
    RecordReader in(*bytes);
    SettingsRecords r;
    r.version = in.nextText();
    if (!in.ok())
        return corrupted(in.error(), in.errorText());
    if (!versionMatches(r.version)) {
        if (!AskFileQuestion("Error Incompatible File Type Detected (" + r.version +
                             ") need V2.0\r\nAll settings may not be restored\r\n"
                             "Do you want to continue?")) {
            WriteLog("Done - Failure");
            return false;
        }
    } else {
        r.printerWidth = in.nextNumber();
        if (!in.ok())
            return corrupted(in.error(), in.errorText());
        if (*r.printerWidth != ws.PrinterWidth) {
            ShowPrinterError("Error Incompatible Printer Types. The settings are for a " +
                                 std::to_string(*r.printerWidth) + " inch printer.\r\n" +
                                 "The selected printer driver is for a " +
                                 std::to_string(ws.PrinterWidth) + " inch printer.\r\n" +
                                 "Saved settings not loaded.\r\n",
                             false);
            WriteLog("Done - Failure");
            return false;
        }
    }
    if (!readSettingsBody(in, r))
        return corrupted(in.error(), in.errorText());

    auto& o = pages().operation();
    auto& p = pages().printerSetup();
    ControlLimits limits;
    limits.mediaTypeCount = o.MediaTypeCombo->listCount();
    limits.lengthCount = o.LabelLengthCombo->listCount();
    limits.widthCount = o.LabelWidthCombo->listCount();
    limits.lengthOrg = ws.orgLabelLength;
    limits.widthOrg = ws.orgLabelWidth;
    limits.orientationCount = o.OrientationCombo->listCount();
    limits.dispenseCount = o.DispenseCombo->listCount();
    limits.speedCount = p.PrintSpeedCombo->listCount();
    limits.gapCount = p.GapCombo->listCount();
    limits.emulationCount = p.EmulationCombo->listCount();
    limits.horzMin = p.HorzShiftHScroll->min();
    limits.horzMax = p.HorzShiftHScroll->max();
    limits.vertMin = p.VertShiftHScroll->min();
    limits.vertMax = p.VertShiftHScroll->max();
    std::string item;
    if (int error = checkSettings(r, limits, item); error != 0)
        return corrupted(error, "the value of " + item + " does not fit its control");
    // Everything below has been checked: applying cannot fail part way.

    // Apply, in file order; each control runs its own change handling.
    o.MediaTypeCB->setValue(r.MediaTypeCB);
    o.MediaTypeCombo->setListIndex(r.MediaTypeCombo);
    o.MediaSizeCB->setValue(r.MediaSizeCB);
    auto appendCustoms = [](const std::vector<CustomSize>& sizes, std::vector<std::string>& table,
                            ui::Control& list, std::int16_t org, std::int16_t& last) {
        if (sizes.empty())
            return;
        last = static_cast<std::int16_t>(org + static_cast<int>(sizes.size()));
        table.resize(static_cast<std::size_t>(last) + 1);
        for (std::size_t k = 0; k < sizes.size(); ++k) {
            table[static_cast<std::size_t>(org) + 1 + k] = sizes[k].value;
            list.addItem(sizes[k].text);
        }
    };
    appendCustoms(r.customLengths, ws.LabelLengthKVT, *o.LabelLengthCombo, ws.orgLabelLength,
                  ws.nLabelLength);
    appendCustoms(r.customWidths, ws.LabelWidthKVT, *o.LabelWidthCombo, ws.orgLabelWidth,
                  ws.nLabelWidth);
    auto chooseSize = [this](ui::Control& list, int stored) {
        const int index = clampSizeIndex(stored, list.listCount());
        if (index != stored)
            WriteLog("...load:" + list.name() + ": reduced to " + std::to_string(index));
        list.setListIndex(index);
    };
    chooseSize(*o.LabelLengthCombo, r.LabelLengthCombo);
    chooseSize(*o.LabelWidthCombo, r.LabelWidthCombo);
    o.OrientationCB->setValue(r.OrientationCB);
    o.OrientationCombo->setListIndex(r.OrientationCombo);
    o.DispenseCB->setValue(r.DispenseCB);
    o.DispenseCombo->setListIndex(r.DispenseCombo);
    p.PrintSpeedCB->setValue(r.PrintSpeedCB);
    p.PrintSpeedCombo->setListIndex(r.PrintSpeedCombo);
    p.GapCB->setValue(r.GapCB);
    p.GapCombo->setListIndex(r.GapCombo);
    p.HorzCB->setValue(r.HorzCB);
    p.HorzShiftHScroll->setValue(r.HorzShiftHScroll);
    p.VertCB->setValue(r.VertCB);
    p.VertShiftHScroll->setValue(r.VertShiftHScroll);
    p.EmulationCB->setValue(r.EmulationCB);
    p.EmulationCombo->setListIndex(r.EmulationCombo);

    if (ws.LogEnabled)
        WriteLog(recordsLog("...load:", r));
    return true;
}

} // namespace osprey
