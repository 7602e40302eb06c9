#pragma once
// With PRINTER_WIZARDS_REPORT_SHOWN set, a program says on standard output when its first
// window has been painted on screen: "shown " and the wall-clock time in microseconds since
// the epoch. scripts/bench-launch.sh times the programs and a bare dialog by it; the bare
// dialog includes this same header, so both are timed at the same event.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWindow>

#include <chrono>
#include <cstdio>

namespace uiqt {

inline constexpr const char* kReportShownVariable = "PRINTER_WIZARDS_REPORT_SHOWN";

class FirstShownReport final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(target);
        if (event->type() != QEvent::Expose || !window || !window->isExposed())
            return false;
        // The window paints itself while it handles its first expose: let it, then report.
        QCoreApplication::instance()->removeEventFilter(this);
        QCoreApplication::sendEvent(target, event);
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
        std::fflush(stdout);
        deleteLater();
        return true;
    }
};

// Installs the report when the variable is set; otherwise does nothing.
inline void reportFirstWindowShown() {
    if (qEnvironmentVariableIsSet(kReportShownVariable))
        QCoreApplication::instance()->installEventFilter(
            new FirstShownReport(QCoreApplication::instance()));
}

} // namespace uiqt
