#include "platform/qt/KeyRouting.h"

#include "platform/qt/EventHook.h"
#include "platform/ui/Form.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <utility>

namespace uiqt {

using ui::Control;

void FormDialog::closeEvent(QCloseEvent* event) {
    // The model decides whether the window goes (Form_QueryUnload with the user's mode).
    event->ignore();
    if (onCloseBox)
        onCloseBox();
}

void FormDialog::reject() {
    if (onKey)
        onKey(ui::Key::Escape);
}

void FormDialog::keyPressEvent(QKeyEvent* event) {
    // Enter reaches the window from any control that does not take it itself (a line edit
    // passes it on); the model presses the forward button, or lets the field's own Enter
    // handling run. Buttons do not press themselves on Enter (no auto-default).
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (onKey && mods == Qt::NoModifier &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
        onKey(key == Qt::Key_Escape ? ui::Key::Escape : ui::Key::Enter);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool FormDialog::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab follow the model's order, not Qt's chain of widgets.
    if (onKey)
        return onKey(next ? ui::Key::Tab : ui::Key::BackTab);
    return QDialog::focusNextPrevChild(next);
}

namespace {

// The key code a page's key-press handler sees for a typed key, 0 when it sees none
// (navigation keys, Tab, Enter and Escape belong to the window).
int keyAsciiOf(const QKeyEvent* e) {
    const QString t = e->text();
    if (t.isEmpty())
        return 0;
    const char16_t ch = t.at(0).unicode();
    if (ch == 9 || ch == 10 || ch == 27 || ch == 127)
        return 0;
    return ch;
}

} // namespace

void hookTypedKeys(Control& c, QWidget* field, WidgetInput& input) {
    Control* cp = &c;
    new EventHook(field, [&input, cp, field](QEvent* e) {
        if (e->type() != QEvent::KeyPress || !input.takesInput() || !cp->onKeyPress)
            return false;
        int key = keyAsciiOf(static_cast<QKeyEvent*>(e));
        // Enter goes on to the window, where the model gives it to the handler of the field
        // it was pressed in, or to the forward button.
        if (key == 13)
            cp->form().userFocus(*cp);
        if (key == 0 || key == 13)
            return false;
        const int typed = key;
        input.userEvent(cp, [&key](Control& c) {
            if (c.onKeyPress)
                c.onKeyPress(key);
        });
        if (!input.takesInput())
            return true; // the form has gone
        if (key == typed)
            return false;
        if (key != 0) {
            // The handler changed the key: type that one instead.
            const QString text(QChar(static_cast<char16_t>(key)));
            if (auto* edit = qobject_cast<QLineEdit*>(field)) {
                if (key == 8)
                    edit->backspace();
                else
                    edit->insert(text);
            } else if (auto* plain = qobject_cast<QPlainTextEdit*>(field)) {
                if (key == 8)
                    plain->textCursor().deletePreviousChar();
                else
                    plain->insertPlainText(text);
            }
        }
        return true;
    });
}

void hookArrowKeys(QWidget* option, WidgetInput& input) {
    new EventHook(option, [&input](QEvent* e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        static constexpr std::pair<int, ui::Key> kArrows[] = {{Qt::Key_Up, ui::Key::Up},
                                                              {Qt::Key_Down, ui::Key::Down},
                                                              {Qt::Key_Left, ui::Key::Left},
                                                              {Qt::Key_Right, ui::Key::Right}};
        const auto* key = static_cast<QKeyEvent*>(e);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
            for (const auto& [qtKey, arrow] : kArrows)
                if (key->key() == qtKey)
                    return input.userKey(arrow);
        return false;
    });
}

} // namespace uiqt
