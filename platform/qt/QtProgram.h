#pragma once
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtHost.h"
#include "platform/ui/App.h"
#include "platform/ui/Clock.h"

#include <QApplication>

#include <functional>
#include <string>

namespace uiqt {

// The window side of a wizard program: Qt's application object, the real clock, Qt's
// message boxes and file browser, the form model and its Qt host.
class QtProgram {
  public:
    QtProgram(int& argc, char** argv, const char* name);
    QtProgram(const QtProgram&) = delete;
    QtProgram& operator=(const QtProgram&) = delete;

    ui::App& app() { return app_; }
    // The program's arguments as typed (proc::joinArguments), taken before Qt removes its
    // own options from argv: switches the user typed stay visible to the wizard.
    const std::string& commandLine() const { return commandLine_; }

    // Runs `start` as the program's first event, then the window loop; the exit code for
    // main.
    int run(std::function<void()> start);

  private:
    std::string commandLine_; // made before qapp_, which edits argv
    QApplication qapp_;
    ui::RealClock clock_;
    QtMessageBoxes boxes_;
    QtFileBrowser browser_;
    ui::App app_;
    QtHost host_;
};

} // namespace uiqt
