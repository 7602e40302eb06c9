#include "wizard/CoreShell.h"

#include "platform/sys/Log.h"
#include "platform/sys/System.h"
#include "platform/ui/App.h"
#include "platform/ui/Dialogs.h"

namespace wizard {

CoreShell::CoreShell(ui::App& app, sys::System& system, proc::ProcessRunner& processes,
                     spooler::Spooler& spooler, printpath::PrintPathOptions printPathOptions)
    : app_(&app), sys_(&system), processes_(&processes), spooler_(&spooler),
      printPath_(std::make_unique<printpath::PrintPath>(
          printpath::PrintPathServices{spooler, processes, system, app, *this},
          std::move(printPathOptions))) {}

CoreShell::~CoreShell() = default;

void CoreShell::WriteLog(const std::string& message) {
    const std::string file = logFile();
    // Without the program's own folder there is no log: the current folder may be anyone's.
    if (file.empty() || sys().programFolder().empty())
        return;
    sys::appendLogLine(sys(), sys::joinPath(sys().programFolder(), file),
                       sys::logLine(sys(), message), 2, [this](int ms) { app().Sleep(ms); });
}

bool CoreShell::FileExists(const std::string& path) {
    return sys::typedFileExists(sys(), path);
}

bool CoreShell::NamedFileExists(const std::string& path) {
    return sys::typedNamedFileExists(sys(), path);
}

int CoreShell::MsgBox(const std::string& text, int flags, const std::string& title) {
    return app().MsgBox(text, flags, title);
}

void CoreShell::ShowNotice(const std::string& text) {
    MsgBox(text, ui::mb::OkOnly | ui::mb::Information, "Notice");
}

bool CoreShell::ConfirmOverwrite() {
    return MsgBox("Warning! Selected file currently exists\r\nDo you want to overwrite the file?",
                  ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2,
                  "File Exist Error") == ui::mb::Yes;
}

} // namespace wizard
