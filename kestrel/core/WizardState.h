#pragma once
#include "printpath/PrintPath.h"

#include <array>
#include <cstdint>
#include <string>

namespace kestrel {

// Index of each settings record in CurrentSettings and InitialSettings.
namespace rec {
constexpr int Port = 0;
constexpr int Question = 1;
constexpr int Wired = 2;
constexpr int Network = 3;
constexpr int WirelessQuestion = 4;
constexpr int Wireless = 5;
constexpr int EncryptQuestion = 6;
constexpr int Security = 7;
constexpr int Count = 8; // records in use; the arrays keep a ninth, unused entry
} // namespace rec

// What the save/load dialog reports through FinishAction.
namespace finish {
constexpr int Open = 0;
constexpr int Done = 1;
constexpr int Cancelled = -1;
} // namespace finish

// The wizard's module state, shared by the core and every page. Zeroed at start; the
// pages themselves live in the page set (Core::pages()).
struct WizardState {
    bool LogEnabled = false;
    bool CdMenuMode = false;
    std::string CdMenuArg;
    std::string CdMenuProgram;
    bool GoMode = false;
    bool PartnerEdition = false; // never set in this program
    bool SettingsSaved = false;  // set by the save/load dialog after a good save
    bool ExitAfterSave = false;  // set by ExitWizard before it leaves after a save
    bool DialogClosed = false;   // set by the save/load dialog on OK and Cancel
    int FinishAction = finish::Open;
    bool RequestSent = false;
    bool PrinterError = false;
    std::string PrinterName; // the temporary printer, once the progress page made it
    std::string StatusPortName;
    std::string StatusDriverName;
    std::int16_t IfcNumber = 0;
    std::array<std::string, 9> CurrentSettings;
    std::array<std::string, 9> InitialSettings;
    std::string SetupCommands;
    printpath::PortTable PortTable;
};

} // namespace kestrel
