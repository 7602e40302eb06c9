#pragma once
#include "osprey/core/PageSet.h"
#include "osprey/core/WizardState.h"
#include "wizard/CoreShell.h"

#include <cstdint>
#include <string>

namespace ui {
class App;
class Form;
} // namespace ui
namespace net {
class UdpNetwork;
}
namespace registry {
class Registry;
}

namespace osprey {

// The services the wizard runs on; all outlive the core.
struct CoreServices {
    ui::App& app;
    sys::System& system;
    proc::ProcessRunner& processes;
    spooler::Spooler& spooler;
    net::UdpNetwork& network; // the SNMP queries' datagram sockets
    registry::Registry& registry;
};

// The wizard's core: start-up, log, messages and exit, the settings-changed test, the
// printer command jobs, the print path and the settings file. One instance per run.
// Pages reach it through their Core& and read and write `ws`.
//
// Ending: ExitWizard unloads every page and calls ui::App::End(), which throws
// ui::ProgramEnded; nobody catches it below the event entry, so the program ends from any
// depth. ExitWizard returns only when the user chose to save first: the save dialog is
// then open (mode 2) and its OK or Cancel calls ExitWizard again, which ends the program.
class Core : public wizard::CoreShell {
  public:
    explicit Core(const CoreServices& services);
    ~Core() override;

    WizardState ws;

    net::UdpNetwork& network() const { return *network_; }
    registry::Registry& registry() const { return *registry_; }
    // The pages; set once, right after both exist. Throws std::logic_error when unset.
    PageSet& pages() const;
    void setPages(PageSet& pages) { pages_ = &pages; }

    // ---- start-up and log ----

    // The arguments of the command line, without the program's path. Sets the switches
    // ("LOG", "KVT", "CD", anywhere, any case) and shows the welcome page.
    void Main(const std::string& commandLine);
    // The print path writes its lines only with this switch (the KVT switch alone does not).
    bool LogEnabled() const override { return ws.LogEnabled; }
    static std::string CopyrightText();

    // ---- messages and exit ----

    void ShowRequestSent(); // RequestSent after the box
    // PrinterError before the box, RequestSent cleared after it.
    void ShowPrinterUpdateError(const std::string& frontPanel);
    // Critical box "Printer Error"; fatal adds "The wizard will exit." and runs ExitWizard
    // after the box (which returns only when the user chose to save first).
    void ShowPrinterError(const std::string& message, bool fatal);
    bool AskFileQuestion(const std::string& question); // true on Yes
    // Leaves at once once the request was sent; else asks. Yes: ExitWizard. No: shows
    // `page` again and returns.
    void ConfirmExit(ui::Form& page);
    // Clears SettingsChanged, sets ExitAsked and asks. Yes: shows the save dialog in
    // mode 2 and returns true. No: false.
    bool AskSaveBeforeExit();
    // Reads the nine Ignore boxes (loading a page that is not loaded) and sets
    // SettingsChanged and MediaChanged.
    void CheckSettingsChanged();
    // Offers to save changed settings (once), restores the CD menu in CD mode, unloads every
    // page and ends the program. Returns only when the save dialog was opened.
    void ExitWizard();

    // ---- print path host ----

    std::string ProgramTitle() const override { return "Osprey"; }
    // The print path's error box (used only by SelectPrinter, which the wizard does not
    // call): the printer error box, titled as given or "Printer Error".
    void ShowProgramError(const std::string& text, bool exitFlag,
                          const std::string& title) override;
    std::string PrinterName() const override { return {}; } // the current printer is purged
    void SetStatusPortName(const std::string& port) override { ws.PrinterPort = port; }
    void SetStatusDriverName(const std::string& driver) override { ws.PrinterDriver = driver; }

    // ---- print path variants (the print path with Osprey's options) ----

    std::string CheckPrinter(std::string& printerPart, std::string& jobPart);
    void PurgePrintQueue();
    void KillPrintJob(const std::string& printer, std::uint32_t jobId);
    // One raw document "Osprey Command" on the current printer, which must be the chosen
    // one (SelectedPrinter) and still installed; true when it went out whole.
    bool SendToPrinter(const std::string& jobText);
    bool RunAndWait(const std::string& commandLine, std::string& message, std::int64_t timeoutMs);

    // ---- printer command jobs ----
    // Each sends one job to the current printer and, with either log switch, dumps it to
    // the log. A job the pages' values cannot make whole (a list without a valid entry
    // for a setting to be sent) is not sent at all. Each returns true only when its job
    // went out whole (the spooler took every byte), so the run can count it as a step.

    bool LoadCfgCmd(std::int16_t n);
    bool SendNullCmd();
    bool SendEmuCmd(std::int16_t n);
    // What became of the settings job.
    enum class CfgSend {
        Nothing, // every setting ignored: no job, no check
        Sent,    // went out whole
        Failed,  // could not be made whole, or did not go out whole
    };
    CfgSend SendCfgCmd();
    bool SendCalibrateCmd();
    bool SendSaveCfgCmd(std::int16_t n);
    bool SendSetPowerUpCmd(std::int16_t p);

    // ---- settings file ----

    // Asks before overwriting; replaces the whole file. A failed write shows the error,
    // leaves SettingsChanged and any earlier file as they were.
    enum class SaveResult { Saved, Declined, Failed };
    SaveResult SaveSettings(const std::string& path);
    // Reads and checks the whole file before any control changes; any fault shows its
    // message and changes nothing. True when the settings were restored.
    bool LoadSavedSettings(const std::string& path);

  protected:
    // "KVTLog.txt" with the KVT switch, else "Log.txt" with the LOG switch.
    std::string logFile() const override {
        return ws.KvtLogEnabled ? "KVTLog.txt" : ws.LogEnabled ? "Log.txt" : "";
    }

  private:
    void unloadPages();
    bool sendJob(const std::string& builder, const std::string& job, bool dump = true);

    net::UdpNetwork* network_;
    registry::Registry* registry_;
    PageSet* pages_ = nullptr;
};

} // namespace osprey
