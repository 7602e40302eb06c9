#pragma once
// Checks shared by the tests that render forms offscreen.
#include "platform/qt/FieldPalette.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtRender.h"
#include "platform/ui/Form.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/Harness.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace uiqt_test {

// The folder a test's PNGs go to: its own for each test screen (QtTestMain.cpp), so that
// runs on several screens side by side do not share files.
inline std::string pngFolder(const std::string& base) {
    const QString screen = qEnvironmentVariable("UI_TEST_SCREEN");
    if (screen.isEmpty())
        return base;
    const std::string folder = base + "/screen-" + QString(screen).replace('@', '-').toStdString();
    QDir().mkpath(QString::fromStdString(folder));
    return folder;
}

// Distinct colours on a grid of every third pixel: a handful means nothing was drawn.
inline std::size_t sampledColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

// Renders a page to a PNG at `path` and checks that something was drawn and that no control
// overlaps another or is clipped by its container. Wrap in ASSERT_NO_FATAL_FAILURE.
inline void expectCleanPage(ui::Form& form, const std::string& path) {
    ASSERT_TRUE(uiqt::renderFormToPng(form, path)) << path;
    const QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(sampledColours(image), 4u) << "the picture is blank";
    for (const std::string& problem : uiqt::checkNoOverlap(form))
        ADD_FAILURE() << problem;
    // The window fits the screen's available area, whatever its scale.
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
    const QWidget* window = uiqt::QtHost::of(form.app())->window(form);
    EXPECT_TRUE(window->width() <= room.width() && window->height() <= room.height())
        << form.name() << " is " << window->width() << "x" << window->height();
    // What a screen reader reads, through Qt's accessibility interface: every control a user
    // operates has a name of its own; a list's name is its entry and a named control labels
    // it; a field's name is not its text; options are radio buttons, and a frame without a
    // caption is named after the question its options answer; sliders read as the page shows
    // them; a read-only text is no field to type in; no name has blanks around it.
    std::map<std::tuple<QAccessible::Role, QString, QString>, std::string> names;
    for (const auto& [control, w] : uiqt::QtHost::of(form.app())->widgets(form)) {
        // Every picture box in sight shows a picture.
        if (control->kind() == ui::ControlKind::Image && !w->isHidden()) {
            auto* picture = qobject_cast<QLabel*>(w);
            EXPECT_TRUE(picture && !picture->pixmap().isNull())
                << control->fullName() << " is empty";
        }
        if (w->isHidden())
            continue;
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(w);
        const QString name = read->text(QAccessible::Name);
        const QString value = read->text(QAccessible::Value);
        QStringList labels; // the controls that label it, not the frames around it (its group)
        for (const auto& [by, relation] : read->relations(QAccessible::Label)) {
            bool around = false;
            for (QAccessibleInterface* up = read->parent(); up && !around; up = up->parent())
                around = up->object() == by->object();
            if (!around)
                labels << by->text(QAccessible::Name);
        }
        const QString label = labels.join(' ');
        const std::string what = form.name() + "." + control->fullName();
        EXPECT_EQ(name, name.trimmed()) << what << " is read with blanks around its name";
        EXPECT_EQ(label, label.trimmed()) << what << " is labelled with blanks around";
        const bool listed =
            control->listIndex() >= 0 && control->listIndex() < control->listCount();
        if (control->kind() == ui::ControlKind::ComboBox) {
            EXPECT_EQ(read->role(), QAccessible::ComboBox) << what;
            EXPECT_FALSE(label.isEmpty()) << what << " is labelled by no named control";
            if (listed) {
                EXPECT_EQ(name.toStdString(), control->list(control->listIndex()))
                    << what << " does not read its entry";
            }
            if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) {
                EXPECT_FALSE(combo->lineEdit()->accessibleName().isEmpty())
                    << what << "'s field has no name";
            }
        } else if (control->takesFocus() || control->kind() == ui::ControlKind::ProgressBar) {
            const std::string own = listed ? control->list(control->listIndex()) : control->text();
            EXPECT_FALSE(name.isEmpty()) << what << " has no accessible name";
            EXPECT_TRUE(own.empty() || name.toStdString() != own)
                << what << " is named by its value " << own;
        }
        if (control->takesFocus() || control->kind() == ui::ControlKind::ProgressBar) {
            const auto [it, fresh] = names.emplace(std::tuple(read->role(), name, label), what);
            EXPECT_TRUE(fresh) << what << " and " << it->second << " both read "
                               << name.toStdString() << " / " << label.toStdString();
        }
        if (control->kind() == ui::ControlKind::Frame && control->caption().empty() &&
            read->childCount() > 0) {
            EXPECT_FALSE(name.isEmpty()) << what << " is not named after its question";
        }
        if (control->kind() == ui::ControlKind::TextBox) {
            EXPECT_EQ(read->state().readOnly, control->readOnly()) << what;
            EXPECT_EQ(read->state().editable, !control->readOnly()) << what;
        }
        if (control->kind() == ui::ControlKind::OptionButton) {
            EXPECT_EQ(read->role(), QAccessible::RadioButton) << what;
            EXPECT_EQ(read->state().checked, control->checked()) << what;
        }
        if (control->kind() == ui::ControlKind::ScrollBar) {
            EXPECT_EQ(read->role(), QAccessible::Slider) << what;
            if (!control->valueText().empty()) {
                EXPECT_EQ(value.toStdString(), control->valueText()) << what;
            }
        }
    }
}

// Tab walks the page's stops, as a user at the keyboard does: each is drawn otherwise with
// the focus on it than without, the model's focus and Qt's stay one, and the page opens on
// a named control. Wrap in ASSERT_NO_FATAL_FAILURE.
inline void expectVisibleFocus(testing_support::Harness& h, uiqt::QtHost& host, ui::Form& form) {
    h.run([&] { form.Show(); });
    QWidget* window = host.window(form);
    ASSERT_NE(window, nullptr);
    window->activateWindow();
    QApplication::processEvents();
    ASSERT_NE(QApplication::focusWidget(), nullptr) << form.name() << " has not the keyboard";
    // The control and any part of it that reads as focused (a log's text area).
    QAccessibleInterface* opened =
        QAccessible::queryAccessibleInterface(QApplication::focusWidget());
    std::vector<QAccessibleInterface*> reading{opened};
    for (int i = 0; i < opened->childCount(); ++i)
        if (QAccessibleInterface* part = opened->child(i); part && part->state().focused)
            reading.push_back(part);
    for (QAccessibleInterface* part : reading)
        EXPECT_FALSE(part->text(QAccessible::Name).isEmpty())
            << form.name() << " opens on a control without a name";
    const std::size_t stops = form.tabOrder().size();
    const ui::Control* before = nullptr;
    QImage focused;
    for (std::size_t i = 0; stops > 1 && i <= stops; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const ui::Control* now = form.focused();
        ASSERT_NE(now, nullptr) << form.name();
        QWidget* w = host.widget(*now);
        ASSERT_TRUE(w == QApplication::focusWidget() ||
                    w->isAncestorOf(QApplication::focusWidget()))
            << form.name() << "." << now->fullName() << " has the focus in the model only";
        if (before) {
            EXPECT_NE(host.widget(*before)->grab().toImage(), focused)
                << form.name() << "." << before->fullName() << " shows no focus";
        }
        focused = w->grab().toImage();
        before = now;
    }
}

// A desktop's dark colour scheme, as a settings tool would set it (no style sheet).
inline QPalette darkPalette() {
    QPalette p(QColor(232, 232, 232), QColor(60, 60, 60), QColor(90, 90, 90), QColor(30, 30, 30),
               QColor(60, 60, 60), QColor(232, 232, 232), QColor(Qt::white), QColor(35, 35, 35),
               QColor(53, 53, 53));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
    return p;
}

// Text typed into each text box of the page stands out from the box by the contrast
// guidelines ask for, enabled or not. A twin of the box takes the typing, so the page's
// own text and handlers stay as they are.
inline void expectReadableTyping(uiqt::QtHost& host, ui::Form& form) {
    for (const auto& [control, w] : host.widgets(form)) {
        if (control->kind() != ui::ControlKind::TextBox || w->isHidden())
            continue;
        QLineEdit twin;
        twin.setPalette(w->palette());
        twin.setFont(w->font());
        twin.setEnabled(w->isEnabled());
        twin.setText("Wg8 @");
        twin.resize(std::max(w->width(), 80), std::max(w->height(), 24));
        const QImage image = twin.grab().toImage();
        const QColor base = image.pixelColor(image.width() - 6, image.height() / 2);
        double best = 1;
        for (int y = 3; y < image.height() - 3; ++y)
            for (int x = 3; x < image.width() / 2; ++x)
                best = std::max(best, uiqt::contrastRatio(image.pixelColor(x, y), base));
        EXPECT_GE(best, uiqt::kReadableContrast) << form.name() << "." << control->fullName();
    }
}

// Every page of a wizard (its dialogs apart) has one window size, its forward button in
// one place, and Enter and Escape each a button to press.
inline void expectSteadyWindow(testing_support::Harness& h, uiqt::QtHost& host,
                               const std::vector<ui::Form*>& forms) {
    std::optional<QSize> size;
    std::optional<QRect> forward;
    const test_fixtures::TempFolder scratch("steady");
    for (ui::Form* form : forms) {
        if (form->dialogWindow())
            continue;
        h.run([&] { form->load(); });
        ASSERT_TRUE(uiqt::renderFormToPng(*form, (scratch.path / "steady.png").string()));
        const QSize own = host.window(*form)->size();
        EXPECT_EQ(own, size.value_or(own)) << form->name();
        size = own;
        int buttons = 0, defaults = 0, cancels = 0;
        for (const auto& [control, w] : host.widgets(*form)) {
            buttons += control->kind() == ui::ControlKind::Button;
            defaults += control->isDefault();
            cancels += control->isCancel();
            if (control->isDefault()) {
                const QRect at(w->mapTo(w->window(), QPoint(0, 0)), w->size());
                EXPECT_EQ(at, forward.value_or(at)) << form->name() << "." << control->fullName();
                forward = at;
            }
        }
        EXPECT_TRUE(buttons == 0 || (defaults == 1 && cancels == 1)) << form->name();
    }
}

// Presses a key where the keyboard's focus is, as a user does, then types a text there.
inline void pressKey(Qt::Key key, const QString& thenType = {},
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QApplication::processEvents();
    ASSERT_NE(QApplication::focusWidget(), nullptr) << "no control has the keyboard";
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    QApplication::processEvents();
    // A button an access key pressed clicks a moment later.
    const auto buttons = QApplication::activeWindow()
                             ? QApplication::activeWindow()->findChildren<QAbstractButton*>()
                             : QList<QAbstractButton*>();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return std::none_of(buttons.begin(), buttons.end(), [](auto* b) { return b->isDown(); });
    }));
    if (!thenType.isEmpty())
        QTest::keyClicks(QApplication::focusWidget(), thenType);
}

// Alt and a letter, then Enter with no wait between, as keys typed ahead arrive: straight
// to the control with the focus as the desktop delivers them, or through the event queue.
inline void typeAccessKeyThenEnter(Qt::Key letter, bool queued) {
    QApplication::processEvents();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no control has the keyboard";
    const QString text = QString(QChar(letter)).toLower();
    if (queued) {
        for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(focus, new QKeyEvent(t, letter, Qt::AltModifier, text));
        for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(focus, new QKeyEvent(t, Qt::Key_Return, {}, "\r"));
        return;
    }
    QTest::keyClick(focus, letter, Qt::AltModifier);
    // The access key may have moved the focus (to the option it chose).
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// The page that has just opened shows at once where the keyboard is: its control with the
// focus is drawn as it is after Tab and Shift+Tab have brought the focus back to it, and
// otherwise than without the focus. Carets must not blink meanwhile (a flash time of 0).
inline void expectFocusShownAsItOpens() {
    QApplication::processEvents();
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr) << "no control has the keyboard";
    const std::string what =
        w->window()->objectName().toStdString() + "." + w->objectName().toStdString();
    const QImage opened = w->grab().toImage();
    QTest::keyClick(w, Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), w) << what << " is the page's only stop";
    const QImage without = w->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), w) << what;
    EXPECT_NE(opened, without) << what << " shows no focus";
    EXPECT_EQ(opened, w->grab().toImage()) << what << " shows its focus only after Tab";
}

// The page whose window has the keyboard ("" when none has).
inline std::string pageWithKeyboard() {
    QApplication::processEvents();
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->window()->objectName().toStdString() : std::string();
}

// Where a control sits in its page's window (empty when it has no widget).
inline QRect placeOf(uiqt::QtHost& host, const ui::ControlRef& control) {
    QWidget* w = host.widget(*control);
    return w ? QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()) : QRect();
}

// Two controls of one page start at one left edge, and share one width when asked.
inline void expectLinedUp(testing_support::Harness& h, uiqt::QtHost& host,
                          const ui::ControlRef& first, const ui::ControlRef& second, bool sameWidth,
                          const std::string& pngDir) {
    ui::Form& form = first.form();
    const std::string names = form.name() + ": " + first.name() + " and " + second.name();
    h.run([&] { form.load(); });
    // Rendering lays out the whole page, frames included, as showing it would.
    ASSERT_TRUE(uiqt::renderFormToPng(form, pngDir + "/lined-up-" + form.name() + ".png"));
    const QRect a = placeOf(host, first);
    const QRect b = placeOf(host, second);
    ASSERT_FALSE(a.isNull() || b.isNull()) << names;
    EXPECT_EQ(a.left(), b.left()) << names;
    if (sameWidth) {
        EXPECT_EQ(a.width(), b.width()) << names;
    }
}

// An About box's OK stands at its right, where the desktop puts a dialog's buttons, however
// many buttons it has. Wrap in ASSERT_NO_FATAL_FAILURE.
inline void expectOkAtTheRight(testing_support::Harness& h, uiqt::QtHost& host,
                               const ui::ControlRef& ok, const std::string& pngDir) {
    ui::Form& form = ok.form();
    h.run([&] { form.load(); });
    ASSERT_TRUE(uiqt::renderFormToPng(form, pngDir + "/ok-" + form.name() + ".png"));
    const QRect at = placeOf(host, ok);
    const QWidget* window = host.window(form);
    EXPECT_GT(at.left(), window->width() / 2) << form.name();
    EXPECT_LT(window->width() - at.right(), at.width()) << form.name();
}

// A page in one state. `prepare` runs before the page loads; the page's window is then
// built, as showing it would, and `act` runs the user's changes on it.
template <class Fixture> struct PageState {
    const char* name; // also the PNG's name
    const char* page;
    std::function<void(Fixture&)> act = nullptr;
    std::function<void(Fixture&)> prepare = nullptr;
};

template <class Fixture> void PrintTo(const PageState<Fixture>& s, std::ostream* os) {
    *os << s.name;
}

// Brings `form` into the state, renders it to "<pngDir>/<name>.png" and checks it; every
// box the state scripted must have shown. Wrap in ASSERT_NO_FATAL_FAILURE.
template <class Fixture>
void expectCleanState(Fixture& f, testing_support::Harness& h, uiqt::QtHost& host, ui::Form& form,
                      const PageState<Fixture>& state, const std::string& pngDir) {
    if (state.prepare)
        state.prepare(f);
    h.run([&] { form.load(); });
    ASSERT_NE(host.window(form), nullptr);
    if (state.act)
        state.act(f);
    ASSERT_NO_FATAL_FAILURE(expectCleanPage(form, pngDir + "/" + state.name + ".png"));
    ASSERT_NO_FATAL_FAILURE(expectVisibleFocus(h, host, form));
    EXPECT_TRUE(h.boxes.allShown()) << "a box the state expects was not shown";
}

// The same under a dark desktop scheme (PNGs in "<pngDir>/dark"), where what the user types
// must stay readable in every field.
template <class Fixture>
void expectReadableUnderDarkScheme(Fixture& f, testing_support::Harness& h, uiqt::QtHost& host,
                                   ui::Form& form, const PageState<Fixture>& state,
                                   const std::string& pngDir) {
    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(darkPalette());
    QDir().mkpath(QString::fromStdString(pngDir + "/dark"));
    expectCleanState<Fixture>(f, h, host, form, state, pngDir + "/dark");
    expectReadableTyping(host, form);
    QApplication::setPalette(desktop);
}

} // namespace uiqt_test
