#pragma once
#include "platform/qt/FrameCache.h"
#include "platform/ui/App.h"
#include "platform/ui/Form.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QFont>
#include <QMetaObject>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QKeyEvent;
class QTimer;
class QWidget;

namespace uiqt {

class FormWindow;

// Puts the model's forms on screen with Qt widgets. Needs a QApplication. The model stays
// the single truth: the widgets only mirror it and hand user input to its user* methods.
// Installs itself as the app's host for its lifetime; create it before the forms.
class QtHost : public ui::Host {
  public:
    explicit QtHost(ui::App& app);
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    ui::App& app() const { return *app_; }
    // The QtHost installed on an app, or null.
    static QtHost* of(ui::App& app);

    // The form's window, built when needed; null when the form is not loaded.
    QWidget* window(ui::Form& form);
    // The widget of a control; null for timers and controls of forms not built.
    QWidget* widget(const ui::Control& control) const;
    // The control widgets of a form in declaration order (builds the window when needed).
    std::vector<std::pair<const ui::Control*, QWidget*>> widgets(ui::Form& form);

    // Runs user input (on the page `from`) or a tick into the model. False once the program
    // has ended. Keys typed on that page meanwhile wait until the input has been handled.
    bool userEvent(const std::function<void()>& event, const FormWindow* from = nullptr);

    // Runs the model's DoEvents every intervalMs from the Qt loop, so that its timers and
    // posted actions run. With quitWhenIdle the Qt loop ends once no form is loaded.
    void startPump(int intervalMs = 10, bool quitWhenIdle = false);
    void stopPump();

    // Deletes the windows of unloaded forms when no input is being handled.
    void collectRetired();

    // One steady window per wizard: every page (a form that is no dialog window) takes the
    // size of the largest page and opens where the last page stood. A wizard whose largest
    // page would not fit the screen's available area is set in a smaller font, as far as
    // needed; a dialog window takes its own size, made to fit the same way.
    QFont fontFor(ui::Form& form);
    QSize windowSize(ui::Form& form, const QSize& natural);
    QPoint positionFor(ui::Form& form, const QSize& size);
    void windowLeft(ui::Form& form, const QPoint& position);
    // Keeps the measured steady window in `file` under `identity` (the program's build), so
    // that a later start shows its first page without first building every page to measure
    // it. The pages are measured when the user moves on from the first page: a kept frame
    // that no longer holds is put right in the file, and one too small grows at once, as
    // for a page that asks for more.
    void keepFrameIn(QString file, QString identity);
    // What a picture box without a picture file of its own shows (themePrinter); while a kept
    // frame is not checked yet, the picture kept with it.
    QPixmap printerPicture(int side, qreal devicePixelRatio);

    // The user moved the focus with the keyboard: later pages show at once where it is.
    void noteKeyboardUse() { keyboardUsed_ = true; }
    bool keyboardUsed() const { return keyboardUsed_; }
    // A page that the model hides while the user's input is handled stays in sight until the
    // next page has the keyboard (or a box opens, or none follows), so that keys typed
    // meanwhile reach the program; they wait and go to that page, in order. True: keep it.
    bool holdForPageChange(ui::Form& form, QWidget& window);
    // A window was shown while the user's input is handled: until it has the keyboard, keys
    // for the other windows wait for it.
    void windowShown(FormWindow& window);
    // The window goes (its form unloads, or the host deletes it).
    void windowGone(FormWindow& window);

    // ui::Host
    void formLoaded(ui::Form&) override;
    void formUnloading(ui::Form&) override;
    void formShown(ui::Form&) override;
    void formHidden(ui::Form&) override;
    void formCaptionChanged(ui::Form&) override;
    void controlAdded(ui::Control&) override;
    void controlChanged(ui::Control&, ui::Prop) override;
    void processEvents() override;
    void quit() override;

  private:
    FormWindow* windowOf(ui::Form& form, bool build);
    // Keys for a page that is going, or typed while earlier ones wait, are kept for the page
    // that has the keyboard next.
    bool holdTypedKey(QObject* receiver, QEvent* event);
    void passTypedKeys();
    // A button an access key pressed clicks a moment later (Qt shows it pressed first): keys
    // typed after the access key wait for that click, so that they act on what it chose.
    bool accessKeyClicking();
    // Input on the page is being handled (its handler may let events run while it waits).
    bool handlingInputOf(const FormWindow* page) const;
    // The page whose window has the keyboard and takes keys now, or none.
    FormWindow* keyboardPage() const;
    FormWindow* pageOf(const QWidget* window) const;
    void finishPageChange();
    void tick();
    void measurePages();
    SteadyFrame measureEveryPage();
    void checkKeptFrame();
    void growFrame(const QSize& natural, const ui::Form* asking);
    QSize naturalSize(ui::Form& form, const QFont& font);

    // The wizard's steady window: its font, size and where it stands.
    struct Frame {
        bool measured = false;
        bool measuring = false;
        std::optional<SteadyFrame> kept; // taken from the file, not measured yet
        QFont font;
        QSize size;
        bool placed = false;
        QPoint position;
        ui::Form* shown = nullptr; // the page shown last
    };
    Frame frame_;
    std::map<ui::Form*, QFont> dialogFonts_;
    QString frameFile_, frameIdentity_, frameKey_;
    std::map<QString, QImage> printers_; // what themePrinter gave, by printerKey
    QMetaObject::Connection focusWatch_;
    bool keyboardUsed_ = false;
    // A key as typed, kept until a page can take it.
    struct TypedKey {
        QEvent::Type type;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        bool autoRepeat;
        quint16 count;
        quint32 scanCode, virtualKey, nativeModifiers;
    };
    std::deque<TypedKey> typedAhead_;
    QObject* keyWatch_ = nullptr;
    std::unique_ptr<QTimer> passKeys_;
    bool keptInSight_ = false;                 // a page hidden in the model is still on screen
    const QKeyEvent* passing_ = nullptr;       // a kept key being handed on
    QPointer<QAbstractButton> accessKeyClick_; // pressed by an access key, maybe not clicked
    QElapsedTimer accessKeySince_;
    FormWindow* awaiting_ = nullptr; // shown, not yet with the keyboard
    QElapsedTimer awaitingSince_;

    ui::App* app_;
    std::map<ui::Form*, std::unique_ptr<FormWindow>> windows_;
    std::vector<std::unique_ptr<FormWindow>> retired_;
    std::unique_ptr<QTimer> pump_;
    bool quitWhenIdle_ = false;
    bool ticking_ = false;
    // The user events being handled, each with the page it came from (null: a tick).
    std::vector<const FormWindow*> inputFrom_;
};

// Runs the Qt loop until the program ends (App::End) or no form is loaded any more.
// Returns the exit code for main.
int runQtProgram(ui::App& app, QtHost& host);

// While one lives, a Qt modal dialog of ours is open: the model's timers wait, as they do
// in the headless model while a box is open.
class ModalDialogScope {
  public:
    ModalDialogScope();
    ~ModalDialogScope();
    ModalDialogScope(const ModalDialogScope&) = delete;
    ModalDialogScope& operator=(const ModalDialogScope&) = delete;
    static bool active();
};

} // namespace uiqt
