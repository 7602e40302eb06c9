#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace osprey {

// Slots of the command tables the pages' list loaders fill (one command line with its
// CR LF per slot; the slot index is the list index; an unfilled slot is empty).
constexpr int kMediaTypeSlots = 3;
constexpr int kOrientationSlots = 5;
constexpr int kDispenseSlots = 6;
constexpr int kSpeedSlots = 11;
constexpr int kGapSlots = 6;
constexpr int kEmulationSlots = 10;

// Answers ConfirmExit keeps in ExitAnswer (the message box results).
constexpr std::int16_t kAnswerYes = 6;
constexpr std::int16_t kAnswerNo = 7;

// The wizard's module state, shared by the core and every page. Everything starts as 0,
// false, "" or empty unless Main sets it. The pages themselves live in the page set
// (Core::pages()).
struct WizardState {
    // ---- start-up and log switches ----
    bool LogEnabled = false;    // "Log.txt"
    bool KvtLogEnabled = false; // "KVTLog.txt" and the job dumps
    bool CdMenuMode = false;
    std::string CdMenuArg;
    std::string CdMenuProgram; // "Dunlin.exe", set by Main

    // ---- exit and run flags ----
    bool RequestSent = false;
    std::int16_t ExitAnswer = 0; // last answer of ConfirmExit's question (6 Yes, 7 No)
    bool SettingsChanged = false;
    bool MediaChanged = false;
    bool ExitAsked = false;
    bool PrinterError = false;
    bool SaveCfgFlag = false;
    std::int16_t SaveCfgNumber = 0; // 1 to 8
    bool SetPowerUpFlag = false;
    std::int16_t PowerUpNumber = 0; // 0 factory, 1 to 8

    // ---- chosen printer and its profile ----
    std::string SelectedPrinter;
    std::string PrinterPort;
    std::string PrinterDriver;
    std::int16_t PrinterWidth = 0;    // 4, 6 or 8 inches; 0 until a rule sets it
    std::int16_t ResolutionClass = 0; // 2 or 3
    bool DirectThermal = false;
    bool ModelOption = false;
    bool PartnerModel = false;

    // ---- command tables ----
    std::array<std::string, kMediaTypeSlots> MediaTypeCmds;
    std::array<std::string, kOrientationSlots> OrientationCmds;
    std::array<std::string, kDispenseSlots> DispenseCmds;
    std::array<std::string, kSpeedSlots> SpeedCmds;
    std::array<std::string, kGapSlots> GapCmds;
    std::array<std::string, kEmulationSlots> EmulationCmds;

    // ---- label sizes (five-digit values in 1/1000 inch, index = list index) ----
    std::vector<std::string> LabelLengthKVT;
    std::vector<std::string> LabelWidthKVT;
    std::int16_t nLabelLength = 0; // index of the last entry of the table and its list
    std::int16_t nLabelWidth = 0;
    std::int16_t orgLabelLength = 0; // last index of the built-in entries
    std::int16_t orgLabelWidth = 0;
    float CustomWidthInch = 0;
    float CustomWidthMM = 0;
    float CustomLengthInch = 0;
    float CustomLengthMM = 0;

    // ---- SNMP hand-over between the progress page and the codec ----
    std::array<std::uint8_t, 256> SnmpSendBuffer{}; // never cleared between requests
    std::string SnmpResult;                         // "" while no reply has come
};

} // namespace osprey
