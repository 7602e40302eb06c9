#pragma once
#include "kestrel/core/PageSet.h"
#include "kestrel/core/WizardState.h"
#include "platform/net/Tcp.h"
#include "platform/process/Processes.h"
#include "platform/spooler/Spooler.h"
#include "platform/sys/System.h"
#include "platform/ui/App.h"
#include "wizard/CoreShell.h"

#include <array>
#include <string>

namespace kestrel {

struct RestoreOp;

// The services the wizard runs on; all outlive the core.
struct CoreServices {
    ui::App& app;
    sys::System& system;
    proc::ProcessRunner& processes;
    spooler::Spooler& spooler;
    net::Network& network;
};

// Name of the temporary printer the progress page creates on a local port.
inline constexpr const char* kTempPrinterName = "Kestrel";

// The wizard's core: start-up, log, messages and exit, the settings records and the
// command text read from the pages, the command job and its delivery, the settings file.
// One instance per run. Pages reach it through their Core& and read and write `ws`.
//
// Ending: EndWizard calls ui::App::End(), which throws ui::ProgramEnded; nobody catches
// it below the event entry, so the program ends from any depth. ExitWizard never returns
// normally (it either ends through EndWizard or, after a save, unloads the pages and
// ends). ending() is true from the moment an exit has begun (also while ExitWizard waits
// for the save dialog): pages must then run no further step of their own. The progress
// page's CleanUp is the exception: the fatal error path calls it after ending() is set.
class Core : public wizard::CoreShell {
  public:
    explicit Core(const CoreServices& services);

    WizardState ws;

    net::Network& network() const { return *network_; }
    // The pages; set once, right after both exist. Throws std::logic_error when unset.
    PageSet& pages() const;
    void setPages(PageSet& pages) { pages_ = &pages; }

    // ---- start-up and log ----

    // The arguments of the command line, without the program's path. Sets the switches
    // ("LOG", "CD", "GO", anywhere, any case) and shows the first page.
    void Main(const std::string& commandLine);
    bool LogEnabled() const override { return ws.LogEnabled; }
    static std::string GetCopyright();

    // ---- messages and exit ----

    // With the exit flag: adds "The wizard will exit.", then the progress page's CleanUp
    // (when it is loaded) and ExitWizard, so it does not return.
    void ShowProgramError(const std::string& text, bool exitFlag,
                          const std::string& title) override;
    int AskYesNo(const std::string& text, const std::string& title); // ui::mb::Yes or No
    // Asks unless the request was sent; Yes leaves through ExitWizard, No returns.
    void ConfirmExit();
    // Yes: opens the save dialog (mode 1) and returns true once it closed (saved or not).
    // No: restores the CD menu in CD mode and ends the program.
    bool AskSaveBeforeExit();
    void ShowRequestSent(); // sets RequestSent after the box
    void
    ShowPrinterUpdateError(const std::string& frontPanel); // PrinterError, box, RequestSent off
    [[noreturn]] void ExitWizard();
    [[noreturn]] void EndWizard();
    bool ending() const;

    // ---- print path host ----

    std::string ProgramTitle() const override { return "Kestrel"; }
    std::string PrinterName() const override { return ws.PrinterName; }
    void SetStatusPortName(const std::string& port) override { ws.StatusPortName = port; }
    void SetStatusDriverName(const std::string& driver) override { ws.StatusDriverName = driver; }

    // ---- settings records and command text ----
    // Each reader reads its page(s) (creating a page runs its Form_Load) and stores its
    // record in InitialSettings (Initial) or CurrentSettings. The wired, network, wireless
    // and security readers return their command lines, the port reader its record, the
    // others "".

    std::string ReadPortSettings(bool Initial);
    std::string ReadQuestionSettings(bool Initial);
    std::string ReadWiredSettings(bool Initial);
    std::string ReadNetworkSettings(bool Initial);
    std::string ReadWirelessQuestionSettings(bool Initial);
    std::string ReadWirelessSettings(bool Initial);
    std::string ReadEncryptQuestionSettings(bool Initial);
    std::string ReadSecuritySettings(bool Initial);
    void RecordInitialSettings();
    bool SettingsDiffer() const;
    // Rewrites SetupCommands and the eight records of CurrentSettings from the pages.
    void BuildSetupCommands();

    // ---- delivery ----

    // Builds the command job around `commands` and delivers it by the port page's route.
    // TCP: the progress page owns the connection (it connects when it loads and closes it
    // in its CleanUp) and passes it here; no connection (null or not connected) is the
    // fatal "Communication Error" path, which does not return. The whole job is sent; a
    // send failure sets PrinterError and returns false.
    // File: the port page's FileName is replaced by the job and one more CR LF; a file
    // that cannot be written shows an error box, sets PrinterError and returns false.
    // Local port: one raw document on the current printer, which must be the temporary
    // printer; anything short of the whole job in the spooler sets PrinterError, false.
    // Returns true when the job went out whole. Sends nothing once ending().
    bool SendSetupCmd(const std::string& commands, net::TcpClient* pwSocket = nullptr);

    // ---- settings file ----

    // Rebuilds the records, refuses (notice, nothing written) texts a file cannot carry
    // back, asks before overwriting, replaces the whole file. True when written.
    bool SaveSettings(const std::string& path, const std::string& password);
    // Reads and checks all ten records first; on any fault a notice and nothing changes.
    // Then both arrays take the file's records and the pages are restored. True when loaded.
    bool LoadSavedSettings(const std::string& path, const std::string& password);
    // The same, telling a wrong password from the file's other faults.
    enum class LoadResult { Loaded, Refused, WrongPassword };
    LoadResult loadSettingsFile(const std::string& path, const std::string& password);
    // Text (UTF-8) to the hex of its Windows-1252 bytes; lets events run per character;
    // a character with no Windows-1252 form is skipped.
    std::string StrToHex(const std::string& text);
    static std::string HexToStr(const std::string& hex);
    // Puts CurrentSettings 0 to 7 back into the pages. Values that do not fit a control
    // (an index beyond its list) leave it as it was; returns false when any did not.
    bool RestoreSettings();

  protected:
    // "Log.txt" while logging is on.
    std::string logFile() const override { return ws.LogEnabled ? "Log.txt" : ""; }

  private:
    void cdMenuMax();
    void unloadPages(bool withDialog);
    bool applyRestoreOp(const RestoreOp& op);
    void store(bool initial, int index, const std::string& record);

    net::Network* network_;
    PageSet* pages_ = nullptr;
    bool exiting_ = false;
    // Which records of CurrentSettings the last BuildSetupCommands read from the pages.
    std::array<bool, rec::Count> readFromPages_{};
};

} // namespace kestrel
