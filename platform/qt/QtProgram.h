#pragma once
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtHost.h"
#include "platform/ui/App.h"
#include "platform/ui/Clock.h"

#include <QApplication>

#include <functional>

namespace uiqt {

// The window side of a wizard program: Qt's application object (which takes Qt's own
// options out of argv, so read the command line after making this), the real clock, Qt's
// message boxes and file browser, the form model and its Qt host.
class QtProgram {
  public:
    QtProgram(int& argc, char** argv, const char* name);
    QtProgram(const QtProgram&) = delete;
    QtProgram& operator=(const QtProgram&) = delete;

    ui::App& app() { return app_; }

    // Runs `start` as the program's first event, then the window loop; the exit code for
    // main.
    int run(std::function<void()> start);

  private:
    QApplication qapp_;
    ui::RealClock clock_;
    QtMessageBoxes boxes_;
    QtFileBrowser browser_;
    ui::App app_;
    QtHost host_;
};

} // namespace uiqt
