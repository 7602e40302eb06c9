#include "platform/qt/PropertySync.h"

#include "platform/qt/AccessibleNames.h"
#include "platform/qt/FieldPalette.h"
#include "platform/qt/FileFilter.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/WidgetFactory.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTextCursor>

#include <algorithm>

namespace uiqt {

using ui::Control;
using ui::ControlKind;
using ui::Prop;

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// A text box the user reads but does not change takes no typing, and is still selected.
void showReadOnly(const Control& c, QWidget* w) {
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setReadOnly(c.readOnly());
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        plain->setReadOnly(c.readOnly());
        // Read, it is still walked with the keys and selected, as a reader's caret does.
        if (c.readOnly())
            plain->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
    }
}

// Labels longer than this wrap their text.
constexpr qsizetype kWrapAfter = 80;

// Colours are 0x00BBGGRR, or a system colour index with the high bit set.
QColor toQColor(std::uint32_t colour) {
    if (colour & 0x80000000u) {
        const QPalette pal = QApplication::palette();
        switch (colour & 0xFFu) {
        case 0x05:
            return pal.color(QPalette::Base); // window background
        case 0x08:
            return pal.color(QPalette::Text); // window text
        case 0x12:
            return pal.color(QPalette::ButtonText);
        default:
            return pal.color(QPalette::Button); // button face and the rest
        }
    }
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// Puts the model's entries in a combo or list unless they are there already.
template <class List, class TextAt>
void showEntries(List* list, const std::vector<std::string>& entries, TextAt textAt) {
    QStringList items;
    items.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& s : entries)
        items << qs(s);
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << textAt(i);
    if (shown != items) {
        list->clear();
        list->addItems(items);
    }
}

// An option shows whether it is chosen. Its button group keeps one option checked, so one
// the model clears while none of its group is chosen is cleared with the group let go.
void showChoice(QRadioButton* option, bool chosen) {
    if (option->isChecked() == chosen)
        return;
    QButtonGroup* group = option->group();
    if (chosen || !group || !group->exclusive()) {
        option->setChecked(chosen);
        return;
    }
    group->setExclusive(false);
    option->setChecked(false);
    group->setExclusive(true);
}

// An editable combo's field shows the model's text.
void showEditText(QComboBox* combo, const Control& c) {
    if (combo->isEditable() && combo->currentText() != qs(c.text()))
        combo->setEditText(qs(c.text()));
}

// Shows the program's text in a multi-line box with its last line in sight, as a log is read;
// text added at the end is appended, so the lines above are not laid out again.
void showLastLines(QPlainTextEdit* plain, const QString& text) {
    const QString shown = plain->toPlainText();
    if (shown == text)
        return;
    if (!shown.isEmpty() && text.startsWith(shown)) {
        QTextCursor end(plain->document());
        end.movePosition(QTextCursor::End);
        end.insertText(text.mid(shown.size()));
    } else {
        plain->setPlainText(text);
    }
    plain->moveCursor(QTextCursor::End);
    QScrollBar* bar = plain->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void showCaption(const Control& c, QWidget* w, const FormWidgets& widgets) {
    const QString caption = qs(toDisplayLines(c.caption()));
    nameAfterCaption(c, w);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (c.kind() != ControlKind::Label)
            return;
        // Long texts wrap, so that one sentence does not make the window very wide.
        if (caption.size() > kWrapAfter && !label->wordWrap()) {
            label->setWordWrap(true);
            if (c.layout().width <= 0 && c.layout().chars <= 0)
                label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 70);
        }
        label->setText(label->buddy() ? caption : qs(stripAccessKeys(toDisplayLines(c.caption()))));
        // The field's own name, which a list's field and a reader without relations read.
        if (const Control* field = fieldNamedBy(c, widgets);
            field && field->accessibleName().empty())
            if (QWidget* fw = widgets.of(*field))
                setAccessibleNameOf(fw, stripAccessKeys(c.caption()));
        // A grid measures a wrapping text at its cell's width; one of a fixed width asks for
        // the height its own width needs.
        if (label->wordWrap() && c.layout().width > 0 && c.layout().height <= 0)
            label->setMinimumHeight(label->heightForWidth(c.layout().width));
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->setText(caption);
        button->setDefault(c.isDefault());
    } else if (auto* ab = qobject_cast<QAbstractButton*>(w)) {
        ab->setText(caption);
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        box->setTitle(caption);
        // A picture on the caption shows what the frame holds: it is read by the caption.
        for (const auto& [picture, pw] : widgets.inOrder())
            if (picture->kind() == ControlKind::Image && picture->layout().onCaption &&
                picture->layout().container == c.name())
                setAccessibleNameOf(pw, stripAccessKeys(c.caption()));
    }
}

bool showText(const Control& c, QWidget* w) {
    if (c.kind() == ControlKind::TextBox) {
        if (c.multiLine() != (qobject_cast<QPlainTextEdit*>(w) != nullptr))
            return false; // a different widget is needed: rebuilt when next shown
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            const QString text = qs(c.text());
            if (edit->text() != text)
                edit->setText(text);
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
            showLastLines(plain, qs(toDisplayLines(c.text())));
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable())
            showEditText(combo, c);
        else if (combo->currentIndex() != c.listIndex())
            combo->setCurrentIndex(c.listIndex());
    }
    return true;
}

void showItems(Control& c, QWidget* w, WidgetInput& input) {
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const bool editable = c.comboStyle() == ui::ComboStyle::Editable;
        if (combo->isEditable() != editable) {
            combo->setEditable(editable);
            if (editable) {
                // The field shows what was typed, as the model holds it: no completion.
                combo->setCompleter(nullptr);
                wireTextField(c, combo->lineEdit(), input);
                combo->setInsertPolicy(QComboBox::NoInsert);
                combo->lineEdit()->setAccessibleName(combo->accessibleName());
            }
        }
        showEntries(combo, c.items(), [combo](int i) { return combo->itemText(i); });
        // An empty list keeps a usable width; a filled one is as wide as its entries.
        combo->setMinimumContentsLength(c.items().empty() ? 12 : 0);
        combo->setCurrentIndex(c.listIndex());
        showEditText(combo, c);
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        showEntries(list, c.items(), [list](int i) { return list->item(i)->text(); });
        list->setCurrentRow(c.listIndex());
        // As wide as its longest entry, and wide enough for a usual one.
        list->setMinimumWidth(
            std::max(widthForChars(list, 32), list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                                                  list->verticalScrollBar()->sizeHint().width()));
    }
}

void showPicture(const Control& c, QWidget* w, WidgetInput& input) {
    auto* image = qobject_cast<QLabel*>(w);
    if (!image || c.kind() != ControlKind::Image)
        return;
    // Without a picture file of its own the box shows a printer, at a size hinted or the
    // desktop's large icon size.
    const ui::LayoutHint& hint = c.layout();
    const int side = hint.height > 0  ? hint.height
                     : hint.width > 0 ? hint.width
                     : hint.onCaption ? image->fontMetrics().height()
                                      : image->style()->pixelMetric(QStyle::PM_LargeIconSize);
    QPixmap pixmap = pictureFile(c.picture());
    if (pixmap.isNull())
        pixmap = input.printerPicture(side, image->devicePixelRatioF());
    image->setFrameShape(QFrame::NoFrame);
    image->setPixmap(pixmap);
    if (hint.width <= 0 && hint.height <= 0)
        image->setFixedSize(pixmap.deviceIndependentSize().toSize());
}

} // namespace

bool showProperty(Control& c, Prop prop, const FormWidgets& widgets, WidgetInput& input) {
    QWidget* w = widgets.of(c);
    if (!w)
        return true;
    switch (prop) {
    case Prop::Caption:
        showCaption(c, w, widgets);
        break;
    case Prop::Text:
        return showText(c, w);
    case Prop::Value:
        if (auto* box = qobject_cast<QCheckBox*>(w)) {
            box->setCheckState(c.value() == 0   ? Qt::Unchecked
                               : c.value() == 2 ? Qt::PartiallyChecked
                                                : Qt::Checked);
        } else if (auto* option = qobject_cast<QRadioButton*>(w)) {
            showChoice(option, c.value() != 0);
        } else if (auto* bar = qobject_cast<QSlider*>(w)) {
            bar->setValue(c.value());
        } else if (auto* progress = qobject_cast<QProgressBar*>(w)) {
            progress->setValue(c.value());
        }
        break;
    case Prop::Range:
        if (auto* bar = qobject_cast<QSlider*>(w)) {
            bar->setRange(c.min(), c.max());
            bar->setValue(c.value());
        } else if (auto* progress = qobject_cast<QProgressBar*>(w)) {
            progress->setRange(c.min(), c.max());
            progress->setValue(c.value());
        }
        break;
    case Prop::Items:
        showItems(c, w, input);
        break;
    case Prop::ListIndex:
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (combo->currentIndex() != c.listIndex())
                combo->setCurrentIndex(c.listIndex());
            showEditText(combo, c);
        } else if (auto* list = qobject_cast<QListWidget*>(w)) {
            if (list->currentRow() != c.listIndex())
                list->setCurrentRow(c.listIndex());
        }
        break;
    case Prop::Enabled:
        w->setEnabled(c.enabled());
        break;
    case Prop::Visible:
        w->setHidden(!c.visible());
        break;
    case Prop::BackColor:
        paintField(c, w);
        break;
    case Prop::PasswordChar:
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            edit->setEchoMode(c.passwordChar().empty() ? QLineEdit::Normal : QLineEdit::Password);
        break;
    case Prop::MaxLength:
        break; // the validator reads the model's limit
    case Prop::ToolTip:
        w->setToolTip(qs(c.toolTip()));
        break;
    case Prop::Picture:
        showPicture(c, w, input);
        break;
    case Prop::Interval:
        break;
    case Prop::Focus:
        if (w->window()->isVisible() && c.hasFocus())
            w->setFocus(Qt::OtherFocusReason);
        break;
    case Prop::AccessibleName:
        if (!c.accessibleName().empty())
            setAccessibleNameOf(w, c.accessibleName());
        break;
    case Prop::ReadOnly:
        showReadOnly(c, w);
        break;
    case Prop::ValueText:
        if (auto* slider = dynamic_cast<FormSlider*>(w)) {
            slider->valueText = qs(c.valueText());
            slider->valueStep = c.valueStep();
        }
        break;
    }
    return true;
}

void paintField(const Control& c, QWidget* w) {
    // A background the page fixes takes text colours readable on it; otherwise the field
    // follows the desktop's palette.
    if (c.kind() != ControlKind::TextBox)
        return;
    if (c.backColor() == ui::kDesktop) {
        if (w->testAttribute(Qt::WA_SetPalette))
            w->setPalette(QPalette());
        return;
    }
    w->setPalette(fieldPalette(QApplication::palette(), toQColor(c.backColor())));
}

} // namespace uiqt
