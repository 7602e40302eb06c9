#pragma once
#include "printpath/PrintPath.h"

#include <memory>
#include <string>

namespace wizard {

// What both wizards' cores do alike: the services they run on, the print path they host, the
// debug log, the file tests and the plain boxes. The services outlive the core.
class CoreShell : public printpath::PrintPathHost {
  public:
    CoreShell(ui::App& app, sys::System& system, proc::ProcessRunner& processes,
              spooler::Spooler& spooler, printpath::PrintPathOptions printPathOptions);
    ~CoreShell() override;
    CoreShell(const CoreShell&) = delete;
    CoreShell& operator=(const CoreShell&) = delete;

    ui::App& app() const { return *app_; }
    sys::System& sys() const { return *sys_; }
    proc::ProcessRunner& processes() const { return *processes_; }
    spooler::Spooler& spooler() const { return *spooler_; }
    printpath::PrintPath& printPath() { return *printPath_; }

    // One line in the log file that logFile() names, in the program's folder; nothing while
    // it names none. A failing write is tried three times, 500 ms apart, then the line is
    // dropped, so a log folder that stays unwritable cannot stop the wizard.
    void WriteLog(const std::string& message) override;
    // For the programs' own files: hidden names do not count.
    bool FileExists(const std::string& path) override;
    // For a file the user named (settings file, command file): hidden names count too.
    bool NamedFileExists(const std::string& path);

    int MsgBox(const std::string& text, int flags, const std::string& title) override;
    void ShowNotice(const std::string& text);
    bool ConfirmOverwrite(); // true on Yes

  protected:
    // The log file the log switches choose, "" while logging is off.
    virtual std::string logFile() const = 0;

  private:
    ui::App* app_;
    sys::System* sys_;
    proc::ProcessRunner* processes_;
    spooler::Spooler* spooler_;
    std::unique_ptr<printpath::PrintPath> printPath_;
};

} // namespace wizard
