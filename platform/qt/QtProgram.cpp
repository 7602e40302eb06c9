#include "platform/qt/QtProgram.h"

#include "platform/process/Processes.h"
#include "platform/qt/FirstShownReport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>

#include <clocale>

namespace uiqt {

QtProgram::QtProgram(int& argc, char** argv, const char* name)
    : commandLine_(proc::joinArguments(argc, argv)), qapp_(argc, argv),
      app_(clock_, boxes_, browser_), host_(app_) {
    QApplication::setApplicationName(name);
    // Qt takes the user's locale; numbers in jobs, files and lists keep "." as their point.
    std::setlocale(LC_NUMERIC, "C");
    reportFirstWindowShown();
    // The steady window's size is kept in the user's cache for the next start, for this
    // build of the program only; one file for each place the program lies in, so that two
    // installations started in turn do not undo each other's.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString place = QString::fromLatin1(
        QCryptographicHash::hash(program.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(12));
    if (!cache.isEmpty())
        host_.keepFrameIn(cache + "/" + name + "/steady-window-" + place,
                          QStringLiteral("%1 %2 %3")
                              .arg(program.absoluteFilePath())
                              .arg(program.size())
                              .arg(program.lastModified().toMSecsSinceEpoch()));
}

int QtProgram::run(std::function<void()> start) {
    host_.userEvent(start);
    return runQtProgram(app_, host_);
}

} // namespace uiqt
