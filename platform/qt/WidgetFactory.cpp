#include "platform/qt/WidgetFactory.h"

#include "platform/qt/AccessibleNames.h"
#include "platform/qt/EventHook.h"
#include "platform/qt/FileFilter.h"
#include "platform/qt/KeyRouting.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <optional>
#include <utility>

namespace uiqt {

using ui::Control;
using ui::ControlKind;

namespace {

// A heading's font against the body text's.
constexpr qreal kHeadingScale = 1.25;

// The desktop's style draws a default button as it draws a focused one, so the focus on the
// default button would not show: that one takes the style's own focus frame as well.
class DefaultButtonFocus : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (element != CE_PushButton || !button ||
            !(button->features & QStyleOptionButton::DefaultButton) ||
            !(option->state & State_HasFocus))
            return;
        QStyleOptionFocusRect frame;
        frame.QStyleOption::operator=(*option);
        frame.rect = subElementRect(SE_PushButtonFocusRect, button, widget);
        drawPrimitive(PE_FrameFocusRect, &frame, painter, widget);
    }
};

// One for all buttons, made from the application's style; it goes with the application.
QStyle* buttonStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new DefaultButtonFocus(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

// An option of a group. Qt keeps its group exclusive (the window puts it in a button group
// with the other options of its model group) and names it a radio button. A click, also on
// the chosen option, is the user's click; so is a check that came without a click (a screen
// reader's toggle). Unchecking by the group, or by the model, is none.
class OptionButton : public QRadioButton {
  public:
    explicit OptionButton(std::function<void()> click) {
        connect(this, &QAbstractButton::pressed, [this] { pressing_ = true; });
        connect(this, &QAbstractButton::released, [this] { pressing_ = false; });
        connect(this, &QAbstractButton::clicked, click);
        connect(this, &QAbstractButton::toggled, [this, click](bool on) {
            if (on && !pressing_)
                click();
        });
    }

  private:
    bool pressing_ = false; // between the press and the release of a click
};

// A list box that, unlike Qt's, picks no entry by itself when it gets the focus.
class ListBox : public QListWidget {
  public:
    bool focusing = false;
    std::function<void()> afterFocusIn;

  protected:
    void focusInEvent(QFocusEvent* event) override {
        focusing = true;
        QListWidget::focusInEvent(event);
        focusing = false;
        if (afterFocusIn)
            afterFocusIn();
    }
};

// A text box's length limit as the model counts it, in characters (Qt's own limit counts
// UTF-16 units): an edit that does not fit keeps what fits of it, the caret after that, and
// one that adds nothing is refused. Edits through the accessibility interface pass here too.
class LimitValidator : public QValidator {
  public:
    // The model's text before the edit and its limit; nothing once the control is gone.
    using ModelText = std::function<std::optional<std::pair<std::string, int>>()>;
    LimitValidator(QObject* parent, ModelText model)
        : QValidator(parent), model_(std::move(model)) {}
    State validate(QString& input, int& pos) const override {
        const auto model = model_();
        if (!model)
            return Acceptable;
        const std::string after = input.toStdString();
        const std::string kept = ui::fitEdit(model->first, after, model->second);
        if (kept == after)
            return Acceptable;
        if (kept == model->first)
            return Invalid; // nothing of the edit fits: as if it never happened
        const qsizetype fromEnd = input.size() - pos;
        input = QString::fromStdString(kept);
        pos = static_cast<int>(std::max<qsizetype>(0, input.size() - fromEnd));
        return Acceptable;
    }

  private:
    ModelText model_;
};

// A click on a widget without a click of its own (a label, a picture) is the control's click.
void clickOnRelease(QWidget* w, Control* cp, WidgetInput& input) {
    new EventHook(w, [&input, cp](QEvent* e) {
        if (e->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
            input.userEvent(cp, [](Control& c) { c.userClick(); });
        return false;
    });
}

// The widget of the control's kind, wired to the model.
QWidget* makeWidget(Control& c, const FormWidgets& before, WidgetInput& input) {
    const Control* previous = before.controls().empty() ? nullptr : before.controls().back();
    Control* cp = &c;
    auto click = [&input, cp] { input.userEvent(cp, [](Control& c) { c.userClick(); }); };
    switch (c.kind()) {
    case ControlKind::Timer:
        return nullptr;
    case ControlKind::Label: {
        auto* label = new QLabel;
        label->setTextFormat(Qt::PlainText);
        clickOnRelease(label, cp, input);
        if (c.layout().width > 0 || c.layout().height > 0)
            label->setWordWrap(true);
        return label;
    }
    case ControlKind::TextBox: {
        if (!c.multiLine()) {
            auto* edit = new QLineEdit;
            wireTextField(c, edit, input);
            return edit;
        }
        auto* edit = new QPlainTextEdit;
        edit->setTabChangesFocus(true); // Tab leaves it, as it leaves every field
        QObject::connect(edit, &QPlainTextEdit::textChanged, [&input, cp, edit] {
            const std::string text = fromDisplayLines(edit->toPlainText().toStdString());
            input.userEvent(cp, [text](Control& c) { c.userReplaceText(text); });
        });
        if (c.layout().height <= 0)
            edit->setFixedHeight(std::max(edit->minimumSizeHint().height(),
                                          edit->fontMetrics().lineSpacing() * 4 + 12));
        hookTypedKeys(c, edit, input);
        return edit;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox;
        // Any change of state not made by the model is the user's click, whether it came from
        // the mouse, a key or the accessibility interface's toggle.
        QObject::connect(box, &QCheckBox::stateChanged, click);
        return box;
    }
    case ControlKind::OptionButton: {
        auto* option = new OptionButton(click);
        hookArrowKeys(option, input);
        return option;
    }
    case ControlKind::ComboBox: {
        auto* combo = new DropDownCombo;
        // Known before a screen reader first asks for it, which fixes how it is read.
        if (const Control* namer = namerOf(c, before))
            combo->namedBy = before.of(*namer);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->onDropDown = [&input, cp] {
            input.userEvent(cp, [](Control& c) { c.userDropDown(); });
        };
        QObject::connect(combo, &QComboBox::activated, [&input, cp](int i) {
            input.userEvent(cp, [i](Control& c) { c.userSelect(i); });
        });
        return combo;
    }
    case ControlKind::ListBox: {
        auto* list = new ListBox;
        list->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
        QObject::connect(list, &QListWidget::currentRowChanged, [&input, cp, list](int row) {
            if (!list->focusing)
                input.userEvent(cp, [row](Control& c) { c.userSelect(row); });
        });
        list->afterFocusIn = [&input, cp] { input.resync(cp); };
        if (c.layout().height <= 0)
            list->setFixedHeight(list->fontMetrics().height() * 6 + 2 * list->frameWidth() + 8);
        return list;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton;
        button->setStyle(buttonStyle());
        button->setAutoDefault(false); // Enter is the model's: the forward button
        QObject::connect(button, &QPushButton::clicked, click);
        return button;
    }
    case ControlKind::ScrollBar: {
        // A slider, whose style shows where the keyboard is: Right, Up and Page Up raise the
        // value, Page Up and Down by ten steps.
        auto* bar = new FormSlider;
        bar->setMinimumWidth(200);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setSingleStep(1);
        bar->setPageStep(10);
        QObject::connect(bar, &QSlider::valueChanged, [&input, cp](int v) {
            input.userEvent(cp, [v](Control& c) {
                if (c.enabled())
                    c.setValue(v);
            });
        });
        return bar;
    }
    case ControlKind::Image: {
        auto* image = new QLabel;
        image->setAlignment(Qt::AlignCenter);
        clickOnRelease(image, cp, input);
        return image;
    }
    case ControlKind::Frame:
        return new QGroupBox;
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar;
        bar->setTextVisible(false);
        bar->setMinimumWidth(300);
        return bar;
    }
    case ControlKind::Line: {
        // Two lines in a row are one etched line, drawn once.
        if (previous && previous->kind() == ControlKind::Line)
            return nullptr;
        auto* line = new QFrame;
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    }
    }
    return nullptr;
}

} // namespace

void DropDownCombo::showPopup() {
    if (onDropDown)
        onDropDown();
    if (isVisible() && isEnabled())
        QComboBox::showPopup();
}

QWidget* createWidget(Control& c, const FormWidgets& before, QWidget* window, WidgetInput& input) {
    QWidget* w = makeWidget(c, before, input);
    if (!w)
        return nullptr;
    w->setObjectName(QString::fromStdString(c.fullName()));
    w->setParent(window); // the window's font from the start, for every measure
    if (c.layout().heading) {
        QFont font = w->font();
        font.setBold(true);
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * kHeadingScale);
        else
            font.setPixelSize(qRound(font.pixelSize() * kHeadingScale));
        w->setFont(font);
    }
    if (c.layout().width > 0)
        w->setFixedWidth(c.layout().width);
    else if (c.layout().chars > 0 && c.kind() == ControlKind::TextBox && !c.multiLine())
        w->setFixedWidth(widthForChars(w, c.layout().chars)); // sized for what it holds
    else if (c.layout().chars > 0)
        w->setMinimumWidth(widthForChars(w, c.layout().chars));
    if (c.layout().height > 0)
        w->setFixedHeight(c.layout().height);
    return w;
}

void wireTextField(Control& c, QLineEdit* edit, WidgetInput& input) {
    hookTypedKeys(c, edit, input);
    Control* cp = &c;
    auto replace = [&input, cp](const QString& t) {
        const std::string text = t.toStdString();
        input.userEvent(cp, [text](Control& c) { c.userReplaceText(text); });
    };
    if (c.kind() == ControlKind::TextBox) {
        edit->setValidator(new LimitValidator(
            edit, [&input, cp, edit]() -> std::optional<std::pair<std::string, int>> {
                if (input.widgetFor(*cp) != edit)
                    return std::nullopt;
                return std::pair(cp->text(), cp->maxLength());
            }));
        // Typing and the accessibility interface's text changes alike; the model's own
        // changes arrive while the window shows them and are not passed back.
        QObject::connect(edit, &QLineEdit::textChanged, replace);
        return;
    }
    // A combo's field: typing at once. The combo sets the field itself when an entry is
    // picked, just before it reports the pick; any other change of the text (through the
    // accessibility interface) reaches the model once the event is over, when the pick, if
    // it was one, has already brought the model to the same text.
    QObject::connect(edit, &QLineEdit::textEdited, replace);
    QObject::connect(edit, &QLineEdit::textChanged, [&input, cp, edit] {
        if (!input.takesInput())
            return;
        QTimer::singleShot(0, edit, [&input, cp, edit] {
            auto* combo = qobject_cast<QComboBox*>(input.widgetFor(*cp));
            if (combo && combo->lineEdit() == edit && edit->text().toStdString() != cp->text())
                input.userEvent(cp, [text = edit->text().toStdString()](Control& c) {
                    c.userReplaceText(text);
                });
        });
    });
}

int widthForChars(QWidget* w, int n) {
    // Names and keys are mostly letters and digits; a digit is wider than the average.
    const QFontMetrics fm = w->fontMetrics();
    const int perChar = std::max(fm.averageCharWidth(), fm.horizontalAdvance(QLatin1Char('0')));
    int frame = 0;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) // Qt sizes a line edit for 17 x's
        frame = edit->sizeHint().width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
    return perChar * n + std::max(frame, 0);
}

} // namespace uiqt
