#include "osprey/core/Commands.h"

#include "printpath/CommandFrame.h"

namespace osprey {

namespace {

const char* const kCrLf = "\r\n";

std::string line(const std::string& text) {
    return text + kCrLf;
}

// The slot at `index` when it holds a command; nothing for an index off the table or an
// empty slot.
template <std::size_t N>
std::optional<std::string> slot(const std::array<std::string, N>& table, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N || table[index].empty())
        return std::nullopt;
    return table[index];
}

std::optional<std::string> sizeValue(const std::vector<std::string>& table, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size() ||
        !isLabelSizeValue(table[index]))
        return std::nullopt;
    return table[index];
}

} // namespace

// ---------------------------------------------------------------- tables

std::array<std::string, kMediaTypeSlots> mediaTypeCommands() {
    return {line("ENGINE-MODE;D"), line("ENGINE-MODE;X"), ""};
}

std::array<std::string, kOrientationSlots> orientationCommands() {
    return {line("~PAPER;ROTATE 0"), line("~PAPER;ROTATE 90"), line("~PAPER;ROTATE 180"),
            line("~PAPER;ROTATE 270"), ""};
}

std::array<std::string, kDispenseSlots> dispenseCommands(bool modelOption) {
    auto handling = [](int n) { return line("ENGINE-MEDIA_HANDLING;" + std::to_string(n)); };
    if (modelOption)
        return {handling(0), handling(1), handling(2), handling(3), handling(4), ""};
    return {handling(0), handling(1), handling(3), handling(4), handling(5), ""};
}

std::array<std::string, kSpeedSlots> speedCommands() {
    std::array<std::string, kSpeedSlots> t;
    for (int i = 0; i < 10; ++i)
        t[i] = line("~PAPER;SPEED IPS " + std::to_string(i + 1));
    return t;
}

std::array<std::string, kGapSlots> gapCommands() {
    return {line("~PAPER;LABELS 0"), line("~PAPER;LABELS 2"), line("~PAPER;LABELS 1"),
            line("~PAPER;LABELS 3"), line("~PAPER;LABELS 4"), ""};
}

std::string emulationSwitchLine(int number) {
    return line("uqtswitch   .e  " + std::to_string(number) + "   0x0");
}

std::array<std::string, kEmulationSlots> emulationCommands(bool modelOption) {
    static const int numbers[] = {1, 2, 4, 5, 6, 7, 8, 9};
    std::array<std::string, kEmulationSlots> t;
    for (int i = 0; i < 8; ++i)
        t[i] = emulationSwitchLine(numbers[i]);
    if (modelOption)
        t[8] = emulationSwitchLine(0);
    return t;
}

const std::array<const char*, 7> kBuiltInLabelLengths = {"01000", "01500", "02000", "03000",
                                                         "04000", "06000", "08000"};
const std::array<const char*, 7> kBuiltInLabelWidths = {"01500", "02000", "02500", "03000",
                                                        "04100", "06600", "08500"};

bool isLabelSizeValue(const std::string& value) {
    if (value.size() != 5)
        return false;
    for (char c : value)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// ---------------------------------------------------------------- jobs

std::string loadCfgJob(int n) {
    return printpath::commandFrame(line("CONFIG-LOAD;" + std::to_string(n)));
}

std::string nullJob() {
    return printpath::commandFrame("");
}

std::optional<std::string> emuJob(int n, const std::string& emulationSlot) {
    if (emulationSlot.empty())
        return std::nullopt;
    return printpath::commandFrame(line("CONFIG-OVERLAY;" + std::to_string(n) + ".") +
                                   line("guardsave   .e  0   0x0") + emulationSlot +
                                   line("CONFIG-OVERLAY;END."));
}

std::string calibrateJob() {
    return printpath::commandFrame(line("WINMODE-BEGIN")) + line("~PAPER;CALIBRATE") +
           printpath::commandFrame(line("WINMODE-END"));
}

std::string saveCfgJob(int n) {
    return printpath::commandFrame(n > 0 ? line("CONFIG-SAVE;" + std::to_string(n)) : "");
}

std::string powerUpJob(int p) {
    return printpath::commandFrame(p >= 0 ? line("CONFIG-POWERUP;" + std::to_string(p)) : "");
}

SettingsJob settingsJob(const SettingsChoice& c, const WizardState& t) {
    SettingsJob job;
    std::string a, w;
    auto fail = [&job](const char* setting) {
        job.ok = false;
        job.fault = setting;
        job.text.clear();
        return job;
    };

    if (c.MediaTypeCB == 0) {
        auto cmd = slot(t.MediaTypeCmds, c.MediaTypeIndex);
        if (!cmd)
            return fail("media type");
        a += *cmd;
    }
    if (c.MediaSizeCB == 0) {
        auto length = sizeValue(t.LabelLengthKVT, c.LabelLengthIndex);
        auto width = sizeValue(t.LabelWidthKVT, c.LabelWidthIndex);
        if (!length || !width)
            return fail("media size");
        a += line("ENGINE-LENGTH;" + *length + ":WIDTH;" + *width);
    }
    if (c.OrientationCB == 0) {
        auto cmd = slot(t.OrientationCmds, c.OrientationIndex);
        if (!cmd)
            return fail("orientation");
        w += *cmd;
    }
    if (c.DispenseCB == 0) {
        auto cmd = slot(t.DispenseCmds, c.DispenseIndex);
        if (!cmd)
            return fail("dispense mode");
        a += *cmd;
    }
    if (c.PrintSpeedCB == 0) {
        auto cmd = slot(t.SpeedCmds, c.PrintSpeedIndex);
        if (!cmd)
            return fail("print speed");
        w += *cmd;
    }
    if (c.GapCB == 0) {
        auto cmd = slot(t.GapCmds, c.GapIndex);
        if (!cmd)
            return fail("gap sensing");
        w += *cmd;
    }
    if (c.HorzCB == 0)
        a += line("ENGINE-IMAGE_SHFT_H;" + std::to_string(c.HorzShift * 10));
    if (c.VertCB == 0)
        a += line("ENGINE-IMAGE_SHFT_V;" + std::to_string(c.VertShift * 10));

    if (!a.empty())
        job.text += printpath::commandFrame(a);
    if (!w.empty())
        job.text += printpath::commandFrame(line("WINMODE-BEGIN")) + w +
                    printpath::commandFrame(line("WINMODE-END"));
    return job;
}

// ---------------------------------------------------------------- changed test

ChangedFlags changedFromBoxes(const std::array<int, 9>& boxes) {
    // Media type, media size and sensing need a calibration.
    static const bool media[9] = {true, true, false, false, false, true, false, false, false};
    ChangedFlags f;
    for (int i = 0; i < 9; ++i) {
        if (boxes[i] != 0)
            continue;
        f.settings = true;
        if (media[i])
            f.media = true;
    }
    return f;
}

} // namespace osprey
