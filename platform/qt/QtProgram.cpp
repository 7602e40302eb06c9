#include "platform/qt/QtProgram.h"

#include "platform/process/Processes.h"
#include "platform/qt/FirstShownReport.h"

#include <clocale>

namespace uiqt {

QtProgram::QtProgram(int& argc, char** argv, const char* name)
    : commandLine_(proc::joinArguments(argc, argv)), qapp_(argc, argv),
      app_(clock_, boxes_, browser_), host_(app_) {
    QApplication::setApplicationName(name);
    // Qt takes the user's locale; numbers in jobs, files and lists keep "." as their point.
    std::setlocale(LC_NUMERIC, "C");
    reportFirstWindowShown();
}

int QtProgram::run(std::function<void()> start) {
    host_.userEvent(start);
    return runQtProgram(app_, host_);
}

} // namespace uiqt
