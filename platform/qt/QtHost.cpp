#include "platform/qt/QtHost.h"

#include "platform/qt/AccessibleInterfaces.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/Pictures.h"
#include "platform/ui/Control.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QtMath>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <utility>

namespace uiqt {

namespace {
int modalDialogs = 0;

// How long a page shown may take to get the keyboard from the desktop.
constexpr qint64 kLongestActivationMs = 1000;
// How long a button an access key pressed may take to click (Qt takes a tenth of a second).
constexpr qint64 kLongestAccessKeyClickMs = 2000;

// Sees every event of the application before its receiver does.
class AppEventFilter : public QObject {
  public:
    explicit AppEventFilter(std::function<bool(QObject*, QEvent*)> fn) : fn_(std::move(fn)) {}
    bool eventFilter(QObject* receiver, QEvent* event) override { return fn_(receiver, event); }

  private:
    std::function<bool(QObject*, QEvent*)> fn_;
};

// Room a window may take on the screen: its available area less the window manager's frame.
QSize screenRoom() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return screen->availableGeometry().size() - QSize(8, 40);
}

bool fits(const QSize& size, const QSize& room) {
    return size.width() <= room.width() && size.height() <= room.height();
}

// A font `factor` times as large, never below a size that can still be read.
QFont scaled(const QFont& font, double factor) {
    QFont f = font;
    if (f.pointSizeF() > 0)
        f.setPointSizeF(std::max(6.0, f.pointSizeF() * factor));
    else
        f.setPixelSize(std::max(8, static_cast<int>(f.pixelSize() * factor)));
    return f;
}

bool atSmallest(const QFont& font) {
    return font.pointSizeF() > 0 ? font.pointSizeF() <= 6.0 : font.pixelSize() <= 8;
}

// The factor by which a font must shrink for `size` to fit `room`, a little less than the
// plain ratio since not every part of a page scales with its font.
double shrinkFor(const QSize& size, const QSize& room) {
    return std::min(static_cast<double>(room.width()) / size.width(),
                    static_cast<double>(room.height()) / size.height()) *
           0.95;
}

// Whether a kept frame is one this program could have measured here: set in the desktop's
// font at its size or made smaller, no further than fittingFont makes it, and no larger than
// the screen's room. A damaged or planted file gives anything else.
bool couldBeMeasuredHere(const SteadyFrame& frame) {
    const QFont desktop = QApplication::font();
    const bool points = desktop.pointSizeF() > 0;
    const double mine = points ? desktop.pointSizeF() : desktop.pixelSize();
    const double kept = points ? frame.font.pointSizeF() : frame.font.pixelSize();
    const double smallest = points ? 6.0 : 8.0; // as scaled() makes it
    if (!fits(frame.size, screenRoom()) || kept < std::min(mine, smallest) ||
        kept > std::max(mine, smallest))
        return false;
    QFont same = frame.font;
    if (points)
        same.setPointSizeF(mine);
    else
        same.setPixelSize(desktop.pixelSize());
    return same == desktop;
}

// The desktop's font, made smaller as far as needed for what `measure` gives in it to fit the
// screen, with that size.
std::pair<QFont, QSize> fittingFont(const std::function<QSize(const QFont&)>& measure) {
    QFont font = QApplication::font();
    QSize size;
    for (int attempt = 0; attempt < 4; ++attempt) {
        size = measure(font);
        if (fits(size, screenRoom()) || atSmallest(font))
            break;
        font = scaled(font, shrinkFor(size, screenRoom()));
    }
    return {font, size};
}
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
    installAccessibleInterfaces();
    passKeys_ = std::make_unique<QTimer>();
    passKeys_->setSingleShot(true);
    QObject::connect(passKeys_.get(), &QTimer::timeout, [this] { passTypedKeys(); });
    if (auto* qapp = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        // The focus a user moves with the mouse or an access key is the model's focus too.
        focusWatch_ =
            QObject::connect(qapp, &QApplication::focusChanged, [this](QWidget*, QWidget* now) {
                if (!now)
                    return;
                for (auto& [form, w] : windows_)
                    if (w->noteFocus(now))
                        return;
            });
        keyWatch_ = new AppEventFilter([this](QObject* receiver, QEvent* e) {
            switch (e->type()) {
            case QEvent::KeyPress:
                // Someone is at the keyboard (also when a button takes the key itself, as
                // the forward button does Enter): the style draws where the focus is.
                if (auto* w = qobject_cast<QWidget*>(receiver))
                    if (FormWindow* page = pageOf(w->window()))
                        page->showKeyboardFocus();
                return holdTypedKey(receiver, e);
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
                return holdTypedKey(receiver, e);
            case QEvent::Shortcut:
                // An access key of a page's button: Qt clicks it once it has been drawn
                // pressed.
                if (auto* button = qobject_cast<QAbstractButton*>(receiver);
                    button && pageOf(button->window())) {
                    accessKeyClick_ = button;
                    accessKeySince_.start();
                }
                return false;
            case QEvent::WindowActivate:
                // The next page has the keyboard: the page kept in sight goes, and the keys
                // typed meanwhile follow.
                if (awaiting_ && awaiting_->window() == receiver)
                    awaiting_ = nullptr;
                if (FormWindow* page = keyboardPage(); page && page->window() == receiver) {
                    finishPageChange();
                    passKeys_->start(0);
                }
                return false;
            case QEvent::Show:
                // A box or file browser opens over no page that is gone.
                if (auto* w = qobject_cast<QWidget*>(receiver);
                    w && w->isWindow() && w->windowType() == Qt::Dialog && !pageOf(w))
                    finishPageChange();
                return false;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
                // A page still in sight but gone in the model takes no click (a second
                // click on its Next).
                if (auto* w = qobject_cast<QWidget*>(receiver); w && keptInSight_)
                    if (FormWindow* page = pageOf(w->window()); page && page->heldInSight())
                        return true;
                return false;
            default:
                return false;
            }
        });
        qapp->installEventFilter(keyWatch_);
    }
    // Windows of forms loaded before the host came are built when first needed.
    for (ui::Form* f : app_->forms())
        if (f->loaded())
            windows_[f] = std::make_unique<FormWindow>(*this, *f);
}

QtHost::~QtHost() {
    QObject::disconnect(focusWatch_);
    delete keyWatch_;
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

bool QtHost::userEvent(const std::function<void()>& event, const FormWindow* from) {
    inputFrom_.push_back(from);
    bool running = false;
    try {
        running = app_->dispatch(event);
    } catch (const std::exception& e) {
        // Nothing may unwind through Qt's event loop; the program goes on.
        std::fprintf(stderr, "unhandled error in an event: %s\n", e.what());
        running = !app_->ended();
    }
    inputFrom_.pop_back();
    if (app_->ended())
        quit();
    // A page kept in sight with no window shown after it to take the keyboard goes now.
    if (inputFrom_.empty() && keptInSight_ && !awaiting_)
        finishPageChange();
    // Keys typed while this input was handled follow it.
    if (!typedAhead_.empty())
        passKeys_->start(0);
    return running;
}

bool QtHost::handlingInputOf(const FormWindow* page) const {
    return page && std::find(inputFrom_.begin(), inputFrom_.end(), page) != inputFrom_.end();
}

FormWindow* QtHost::pageOf(const QWidget* window) const {
    for (const auto& [form, w] : windows_)
        if (w->window() && w->window() == window)
            return w.get();
    return nullptr;
}

FormWindow* QtHost::keyboardPage() const {
    if (awaiting_)
        return nullptr;
    FormWindow* page = pageOf(QApplication::activeWindow());
    return page && page->takesKeys() ? page : nullptr;
}

void QtHost::windowGone(FormWindow& window) {
    if (awaiting_ == &window)
        awaiting_ = nullptr;
}

void QtHost::windowShown(FormWindow& window) {
    if (inputFrom_.empty() || !window.window() || window.window()->isActiveWindow())
        return;
    awaiting_ = &window;
    awaitingSince_.start();
}

bool QtHost::holdForPageChange(ui::Form& form, QWidget& window) {
    if (inputFrom_.empty() || form.dialogWindow() || !window.isActiveWindow())
        return false;
    keptInSight_ = true;
    return true;
}

void QtHost::finishPageChange() {
    keptInSight_ = false;
    awaiting_ = nullptr;
    for (auto& [form, w] : windows_)
        w->finishHide();
}

bool QtHost::holdTypedKey(QObject* receiver, QEvent* event) {
    // A kept key on its way to its page passes, with the access-key check Qt makes of it,
    // on every widget it goes on to.
    if (passing_ &&
        (event == passing_ ||
         (event->type() == QEvent::ShortcutOverride && !event->spontaneous() &&
          static_cast<QKeyEvent*>(event)->keyCombination() == passing_->keyCombination())))
        return false;
    auto* widget = qobject_cast<QWidget*>(receiver);
    FormWindow* page = widget ? pageOf(widget->window()) : nullptr;
    if (!page)
        return false;
    if (awaiting_ && awaitingSince_.elapsed() > kLongestActivationMs)
        finishPageChange(); // the next page never took the keyboard: the desktop kept it
    const bool forAnother = awaiting_ && awaiting_ != page; // a page opening takes them
    if (!forAnother && page->takesKeys() && typedAhead_.empty() && !accessKeyClicking() &&
        !handlingInputOf(page))
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // No access key of a page that is going; the key itself comes next and waits.
        event->accept();
        return true;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    typedAhead_.push_back(TypedKey{key->type(), key->key(), key->modifiers(), key->text(),
                                   key->isAutoRepeat(), static_cast<quint16>(key->count()),
                                   key->nativeScanCode(), key->nativeVirtualKey(),
                                   key->nativeModifiers()});
    passKeys_->start(0);
    return true;
}

bool QtHost::accessKeyClicking() {
    // Clicked, let go of, or held down by something else for longer than a click takes.
    if (accessKeyClick_ &&
        (!accessKeyClick_->isDown() || accessKeySince_.elapsed() > kLongestAccessKeyClickMs))
        accessKeyClick_.clear();
    return accessKeyClick_ != nullptr;
}

void QtHost::passTypedKeys() {
    // One at a time to the page with the keyboard: a key may change the page, and the next
    // ones then wait for the page after it.
    while (!typedAhead_.empty()) {
        FormWindow* page = keyboardPage();
        if (!page)
            return;
        QWidget* target = page->window()->focusWidget();
        if (!target)
            target = page->window();
        if (accessKeyClicking()) {
            passKeys_->start(10);
            return;
        }
        if (handlingInputOf(page))
            return; // its handler still runs: the keys follow when it is done
        const TypedKey k = typedAhead_.front();
        typedAhead_.pop_front();
        QKeyEvent event(k.type, k.key, k.modifiers, k.scanCode, k.virtualKey, k.nativeModifiers,
                        k.text, k.autoRepeat, k.count);
        const QKeyEvent* wasPassing = passing_;
        passing_ = &event;
        QCoreApplication::sendEvent(target, &event);
        passing_ = wasPassing;
    }
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
    if (inputFrom_.empty())
        retired_.clear();
}

QSize QtHost::naturalSize(ui::Form& form, const QFont& font) {
    if (form.loaded())
        return FormWindow::naturalSize(*this, form, form.controlsIfLoaded(), font);
    // A page not shown yet is measured from what it declares.
    return FormWindow::naturalSize(*this, form, form.declaredControls(), font);
}

void QtHost::keepFrameIn(QString file, QString identity) {
    frameFile_ = std::move(file);
    frameIdentity_ = std::move(identity);
}

QPixmap QtHost::printerPicture(int side, qreal devicePixelRatio) {
    const QString which = printerKey(side, devicePixelRatio);
    if (frame_.kept) {
        // Never larger than asked for, so that a damaged file cannot widen the page.
        const int most = qCeil(side * devicePixelRatio);
        auto kept = frame_.kept->printers.find(which);
        if (kept != frame_.kept->printers.end() && kept->second.width() <= most &&
            kept->second.height() <= most) {
            QPixmap pixmap = QPixmap::fromImage(kept->second);
            pixmap.setDevicePixelRatio(devicePixelRatio);
            return pixmap;
        }
    }
    QPixmap pixmap = themePrinter(side, devicePixelRatio);
    printers_[which] = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    return pixmap;
}

SteadyFrame QtHost::measureEveryPage() {
    frame_.measuring = true;
    auto [font, size] = fittingFont([this](const QFont& font) {
        QSize biggest;
        for (ui::Form* f : std::vector<ui::Form*>(app_->forms()))
            if (!f->dialogWindow())
                biggest = biggest.expandedTo(naturalSize(*f, font));
        return biggest;
    });
    frame_.measuring = false;
    // The pictures the pages show, looked up while they were measured.
    return {font, size, printers_};
}

void QtHost::measurePages() {
    if (frame_.measured || frame_.measuring)
        return;
    if (!frameFile_.isEmpty()) {
        frameKey_ = frameKey(frameIdentity_);
        frame_.kept = readFrame(frameFile_, frameKey_);
        if (frame_.kept && !couldBeMeasuredHere(*frame_.kept))
            frame_.kept.reset();
        if (frame_.kept) {
            frame_.font = frame_.kept->font;
            frame_.size = frame_.kept->size;
            frame_.measured = true;
            return;
        }
    }
    const SteadyFrame measured = measureEveryPage();
    frame_.font = measured.font;
    frame_.size = measured.size;
    frame_.measured = true;
    if (!frameFile_.isEmpty())
        writeFrame(frameFile_, frameKey_, measured);
}

void QtHost::checkKeptFrame() {
    const SteadyFrame kept = *frame_.kept;
    frame_.kept.reset();
    const SteadyFrame measured = measureEveryPage();
    if (measured == kept)
        return;
    writeFrame(frameFile_, frameKey_, measured);
    // The pages shown so far keep their font and size; a frame too small grows now.
    growFrame(measured.size, nullptr);
}

void QtHost::growFrame(const QSize& natural, const ui::Form* asking) {
    if (fits(natural, frame_.size))
        return;
    frame_.size = frame_.size.expandedTo(natural);
    // A window on screen keeps its size; it takes the new one when it is shown again.
    for (auto& [f, w] : windows_)
        if (!f->dialogWindow() && f != asking && !(w->window() && w->window()->isVisible()))
            w->resize(frame_.size);
}

QFont QtHost::fontFor(ui::Form& form) {
    if (!form.dialogWindow()) {
        measurePages();
        // A kept frame is checked once the user moves on from the first page, when more
        // pages are built anyway.
        if (frame_.kept && frame_.shown && frame_.shown != &form)
            checkKeptFrame();
        return frame_.measuring ? QApplication::font() : frame_.font;
    }
    auto known = dialogFonts_.find(&form);
    if (known != dialogFonts_.end())
        return known->second;
    const QFont font =
        fittingFont([this, &form](const QFont& f) { return naturalSize(form, f); }).first;
    dialogFonts_[&form] = font;
    return font;
}

QSize QtHost::windowSize(ui::Form& form, const QSize& natural) {
    if (form.dialogWindow() || !frame_.measured)
        return natural;
    // A page asks for more than it declared (entries its load added): the whole frame
    // grows with it.
    growFrame(natural, &form);
    return frame_.size;
}

QPoint QtHost::positionFor(ui::Form& form, const QSize& size) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const QPoint centred = area.center() - QPoint(size.width() / 2, size.height() / 2);
    if (form.dialogWindow())
        return centred;
    // Where the page shown last stands now (the user may have moved it), else where the
    // last page was left.
    if (frame_.shown && frame_.shown != &form) {
        auto it = windows_.find(frame_.shown);
        if (it != windows_.end() && it->second->window() && it->second->window()->isVisible()) {
            frame_.position = it->second->window()->pos();
            frame_.placed = true;
        }
    }
    frame_.shown = &form;
    if (!frame_.placed) {
        frame_.position = centred;
        frame_.placed = true;
    }
    return frame_.position;
}

void QtHost::windowLeft(ui::Form& form, const QPoint& position) {
    if (!form.dialogWindow()) {
        frame_.position = position;
        frame_.placed = true;
    }
}

void QtHost::tick() {
    if (ticking_)
        return;
    collectRetired();
    // The next page never took the keyboard (the desktop did not let it): the page kept in
    // sight goes all the same.
    if (awaiting_ && awaitingSince_.elapsed() > kLongestActivationMs && inputFrom_.empty())
        finishPageChange();
    if (!typedAhead_.empty())
        passTypedKeys();
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
    FormWindow* w = windowOf(form, true);
    if (!w)
        return;
    // The frame grew while the page was on screen: it takes the new size before it shows.
    if (!form.dialogWindow() && frame_.measured && w->window() && !w->window()->isVisible() &&
        w->window()->size() != frame_.size)
        w->resize(frame_.size);
    w->show(form.modal());
}

void QtHost::formHidden(ui::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return;
    if (awaiting_ == it->second.get())
        awaiting_ = nullptr;
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
    finishPageChange();
    typedAhead_.clear();
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
