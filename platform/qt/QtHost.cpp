#include "platform/qt/QtHost.h"

#include "platform/qt/FormWindow.h"
#include "platform/ui/Control.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <exception>

namespace uiqt {

namespace {
int modalDialogs = 0;
} // namespace

ModalDialogScope::ModalDialogScope() {
    ++modalDialogs;
}
ModalDialogScope::~ModalDialogScope() {
    --modalDialogs;
}
bool ModalDialogScope::active() {
    return modalDialogs > 0;
}

QtHost::QtHost(ui::App& app) : app_(&app) {
    app_->setHost(this);
    // Windows of forms loaded before the host came are built when first needed.
    for (ui::Form* f : app_->forms())
        if (f->loaded())
            windows_[f] = std::make_unique<FormWindow>(*this, *f);
}

QtHost::~QtHost() {
    stopPump();
    if (app_->host() == this)
        app_->setHost(nullptr);
    windows_.clear();
    retired_.clear();
}

QtHost* QtHost::of(ui::App& app) {
    return dynamic_cast<QtHost*>(app.host());
}

FormWindow* QtHost::windowOf(ui::Form& form, bool build) {
    auto it = windows_.find(&form);
    if (it == windows_.end()) {
        if (!form.loaded())
            return nullptr;
        it = windows_.emplace(&form, std::make_unique<FormWindow>(*this, form)).first;
    }
    FormWindow* w = it->second.get();
    if (build && (!w->built() || w->stale()))
        w->build();
    return w;
}

QWidget* QtHost::window(ui::Form& form) {
    FormWindow* w = windowOf(form, true);
    return w ? w->window() : nullptr;
}

QWidget* QtHost::widget(const ui::Control& control) const {
    auto it = windows_.find(&control.form());
    return it == windows_.end() ? nullptr : it->second->widgetFor(control);
}

std::vector<std::pair<const ui::Control*, QWidget*>> QtHost::widgets(ui::Form& form) {
    FormWindow* w = windowOf(form, true);
    return w ? w->widgets() : std::vector<std::pair<const ui::Control*, QWidget*>>{};
}

bool QtHost::userEvent(const std::function<void()>& event) {
    ++depth_;
    bool running = false;
    try {
        running = app_->dispatch(event);
    } catch (const std::exception& e) {
        // Nothing may unwind through Qt's event loop; the program goes on.
        std::fprintf(stderr, "unhandled error in an event: %s\n", e.what());
        running = !app_->ended();
    }
    --depth_;
    if (app_->ended())
        quit();
    return running;
}

void QtHost::startPump(int intervalMs, bool quitWhenIdle) {
    quitWhenIdle_ = quitWhenIdle;
    if (!pump_) {
        pump_ = std::make_unique<QTimer>();
        QObject::connect(pump_.get(), &QTimer::timeout, [this] { tick(); });
    }
    pump_->start(intervalMs);
}

void QtHost::stopPump() {
    if (pump_)
        pump_->stop();
}

void QtHost::collectRetired() {
    if (depth_ == 0)
        retired_.clear();
}

void QtHost::tick() {
    if (ticking_)
        return;
    collectRetired();
    if (app_->ended()) {
        quit();
        return;
    }
    if (quitWhenIdle_) {
        bool anyLoaded = false;
        for (ui::Form* f : app_->forms())
            anyLoaded = anyLoaded || f->loaded();
        if (!anyLoaded) {
            QCoreApplication::exit(0);
            return;
        }
    }
    if (ModalDialogScope::active())
        return;
    ticking_ = true;
    userEvent([this] { app_->DoEvents(); });
    ticking_ = false;
}

void QtHost::formLoaded(ui::Form& form) {
    auto it = windows_.find(&form);
    if (it != windows_.end()) {
        // A window left from an earlier load: start afresh.
        it->second->retire();
        retired_.push_back(std::move(it->second));
        windows_.erase(it);
    }
    windows_.emplace(&form, std::make_unique<FormWindow>(*this, form));
}

void QtHost::formUnloading(ui::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return;
    it->second->retire();
    retired_.push_back(std::move(it->second));
    windows_.erase(it);
}

void QtHost::formShown(ui::Form& form) {
    if (FormWindow* w = windowOf(form, true))
        w->show(form.modal());
}

void QtHost::formHidden(ui::Form& form) {
    auto it = windows_.find(&form);
    if (it != windows_.end())
        it->second->hide();
}

void QtHost::formCaptionChanged(ui::Form& form) {
    auto it = windows_.find(&form);
    if (it != windows_.end())
        it->second->captionChanged();
}

void QtHost::controlAdded(ui::Control& control) {
    auto it = windows_.find(&control.form());
    if (it != windows_.end() && it->second->built())
        it->second->markStale();
}

void QtHost::controlChanged(ui::Control& control, ui::Prop prop) {
    auto it = windows_.find(&control.form());
    if (it != windows_.end())
        it->second->controlChanged(control, prop);
}

void QtHost::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtHost::quit() {
    for (auto& [form, w] : windows_)
        w->hide();
    QCoreApplication::exit(0);
}

int runQtProgram(ui::App& app, QtHost& host) {
    if (app.ended())
        return 0;
    bool anyLoaded = false;
    for (ui::Form* f : app.forms())
        anyLoaded = anyLoaded || f->loaded();
    if (!anyLoaded)
        return 0;
    auto* qapp = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (qapp)
        qapp->setQuitOnLastWindowClosed(false); // the model decides when the program ends
    host.startPump(10, true);
    int code = QCoreApplication::exec();
    host.stopPump();
    host.collectRetired();
    return code;
}

} // namespace uiqt
