#include "platform/qt/FormWindow.h"

#include "platform/qt/FieldPalette.h"
#include "platform/qt/FileFilter.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/QtHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTextCursor>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <optional>
#include <utility>

namespace uiqt {

using ui::Control;
using ui::ControlKind;
using ui::Prop;

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
    if (onKey && mods == Qt::NoModifier &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        onKey(ui::Key::Enter);
        event->accept();
        return;
    }
    if (onKey && mods == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        onKey(ui::Key::Escape);
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

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Labels longer than this wrap their text.
constexpr qsizetype kWrapAfter = 80;
// A heading's font against the body text's.
constexpr qreal kHeadingScale = 1.25;

// Runs a function for events of a watched object; true swallows the event.
class EventHook : public QObject {
  public:
    EventHook(QObject* watched, std::function<bool(QEvent*)> fn)
        : QObject(watched), fn_(std::move(fn)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override { return fn_(event); }

  private:
    std::function<bool(QEvent*)> fn_;
};

// A combo box whose opening list raises the model's drop-down event first.
class DropDownCombo : public QComboBox {
  public:
    std::function<void()> onDropDown;
    void showPopup() override {
        if (onDropDown)
            onDropDown();
        if (isVisible() && isEnabled())
            QComboBox::showPopup();
    }
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

// Controls that take the width of their grid cell rather than their own (a label, so that a
// wrapping text gets the width its height was measured for).
bool fillsItsCell(ControlKind k) {
    switch (k) {
    case ControlKind::Label:
    case ControlKind::TextBox:
    case ControlKind::ScrollBar:
    case ControlKind::ProgressBar:
    case ControlKind::Frame:
    case ControlKind::Line:
        return true;
    default:
        return false;
    }
}

QStringList toQStrings(const std::vector<std::string>& items) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& s : items)
        list << qs(s);
    return list;
}

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

// True when a caption marks an access key ("&Name", not "Save && Exit").
bool hasAccessKey(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i)
        if (caption[i] == '&') {
            if (caption[i + 1] != '&')
                return true;
            ++i;
        }
    return false;
}

// Controls that a label names.
bool isField(ControlKind k) {
    return k == ControlKind::TextBox || k == ControlKind::ComboBox || k == ControlKind::ListBox ||
           k == ControlKind::ScrollBar;
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

// The width a field needs to show `n` characters of average width, frame included.
int widthForChars(QWidget* w, int n) {
    // Names and keys are mostly letters and digits; a digit is wider than the average.
    const QFontMetrics fm = w->fontMetrics();
    const int perChar = std::max(fm.averageCharWidth(), fm.horizontalAdvance(QLatin1Char('0')));
    int frame = 0;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) // Qt sizes a line edit for 17 x's
        frame = edit->sizeHint().width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
    return perChar * n + std::max(frame, 0);
}

} // namespace

void activateLayouts(QWidget* window) {
    window->ensurePolished();
    // A frame's layout runs only when its own request arrives, after the window's has
    // given it its size: run both until nothing moves any more.
    for (int pass = 0; pass < 4; ++pass) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        std::vector<QRect> before;
        QList<QWidget*> all = window->findChildren<QWidget*>();
        for (QWidget* w : all)
            before.push_back(w->geometry());
        if (QLayout* layout = window->layout()) {
            layout->invalidate();
            layout->activate();
        }
        for (QWidget* w : all)
            if (QLayout* layout = w->layout())
                layout->activate();
        bool moved = false;
        for (qsizetype i = 0; i < all.size(); ++i)
            moved = moved || all[i]->geometry() != before[static_cast<std::size_t>(i)];
        if (!moved)
            break;
    }
}

FormWindow::FormWindow(QtHost& host, ui::Form& form) : host_(&host), form_(&form) {}

FormWindow::~FormWindow() {
    // Touches no model object: the form may be gone.
    retired_ = true;
    widgets_.clear();
    order_.clear();
}

QWidget* FormWindow::widgetFor(const Control& control) const {
    auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

std::vector<std::pair<const Control*, QWidget*>> FormWindow::widgets() const {
    std::vector<std::pair<const Control*, QWidget*>> out;
    for (const Control* c : order_) {
        auto it = widgets_.find(c);
        if (it != widgets_.end() && it->second)
            out.emplace_back(c, it->second);
    }
    return out;
}

QSize FormWindow::construct(const Controls& controls, const QFont& font) {
    widgets_.clear();
    order_.clear();
    containers_.clear();
    rows_.clear();
    rowHead_.clear();
    unplaced_.clear();
    slots_.clear();
    stale_ = false;

    window_ = std::make_unique<FormDialog>();
    window_->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                            Qt::MSWindowsFixedSizeDialogHint);
    window_->setObjectName(qs(form_->name()));
    if (font != QApplication::font())
        window_->setFont(font); // smaller, so that the page fits the screen
    containers_[""] = window_.get();

    // Widgets first, so that a control may name a frame declared after it.
    for (const auto& c : controls) {
        order_.push_back(c.get());
        if (QWidget* w = createWidget(*c))
            widgets_[c.get()] = w;
    }
    for (const auto& c : controls)
        if (QWidget* w = widgetFor(*c))
            place(*c, w);
    for (const auto& [name, container] : containers_)
        layOutRows(container, name);
    rows_.clear();

    // Assistive tools learn a field's label from the label's buddy: a label is the buddy of
    // the field it names, or, set beside a field, of that field as its unit ("Inches"). A
    // heading or a note is nobody's. An access key in a label moves to the next control that
    // takes the focus.
    for (std::size_t i = 0; i < controls.size(); ++i) {
        auto* label = controls[i]->kind() == ControlKind::Label
                          ? qobject_cast<QLabel*>(widgetFor(*controls[i]))
                          : nullptr;
        if (!label)
            continue;
        const Control* buddy = fieldNamedBy(*controls[i]);
        if (!buddy && controls[i]->layout().sameRow && i > 0 && isField(controls[i - 1]->kind()))
            buddy = controls[i - 1].get();
        if (hasAccessKey(controls[i]->caption()))
            for (std::size_t j = i + 1; j < controls.size(); ++j)
                if (controls[j]->takesFocus()) {
                    buddy = controls[j].get();
                    break;
                }
        if (buddy)
            label->setBuddy(widgetFor(*buddy));
    }

    // Everything but the visibility, so that the content is measured with every control
    // that has a place shown.
    updating_ = true;
    for (const auto& c : controls)
        applyAll(*c);
    nameControls(controls);
    updating_ = false;
    // The buttons of a navigation row share the width the widest of them needs.
    int slot = 0;
    for (QWidget* w : slots_) {
        w->ensurePolished();
        slot = std::max({slot, w->sizeHint().width(), widthForChars(w, 10)});
    }
    for (QWidget* w : slots_)
        w->setFixedWidth(slot);
    QLayout* root = window_->layout();
    root->setSizeConstraint(QLayout::SetNoConstraint);
    window_->ensurePolished();
    root->activate();
    return root->totalSizeHint().expandedTo(root->totalMinimumSize());
}

QSize FormWindow::naturalSize(QtHost& host, ui::Form& form, const Controls& controls,
                              const QFont& font) {
    FormWindow measure(host, form);
    const QSize size = measure.construct(controls, font);
    measure.retire(); // its widgets were never shown and take no input
    return size;
}

void FormWindow::build() {
    if (retired_ || !form_->loaded())
        return;
    bool wasVisible = window_ && window_->isVisible();
    QPoint pos = window_ ? window_->pos() : QPoint();
    if (window_) {
        // A signal of one of the old widgets may be running: delete them later.
        window_->hide();
        window_.release()->deleteLater();
    }
    const QFont font = host_->fontFor(*form_);
    const QSize natural = construct(form_->controlsIfLoaded(), font);
    window_->setWindowTitle(qs(form_->caption()));
    window_->onCloseBox = [this] {
        if (retired_ || updating_)
            return;
        ui::Form* f = form_;
        host_->userEvent([f] { f->userClose(); });
    };
    window_->onKey = [this](ui::Key key) { return userKey(key); };
    // A fixed field colour was made from the desktop's palette: a new one paints it again.
    new EventHook(window_.get(), [this](QEvent* e) {
        if (e->type() == QEvent::ApplicationPaletteChange && !retired_)
            for (const auto& [control, w] : widgets_)
                paintField(*const_cast<Control*>(control), w);
        return false;
    });

    // Controls hidden now have no place (a kind of port this PC lacks); one hidden later
    // gives up its place too, and the window keeps its size.
    updating_ = true;
    for (const auto& c : form_->controlsIfLoaded())
        apply(*c, Prop::Visible);
    updating_ = false;
    window_->setFixedSize(host_->windowSize(*form_, natural));
    activateLayouts(window_.get());
    if (wasVisible) {
        window_->move(pos);
        show(form_->modal());
    }
}

void FormWindow::resize(const QSize& size) {
    if (window_ && !retired_) {
        window_->setFixedSize(size);
        activateLayouts(window_.get());
    }
}

bool FormWindow::noteFocus(QWidget* widget) {
    if (retired_ || !window_ || !window_->isAncestorOf(widget))
        return false;
    if (updating_)
        return true; // the model put it there
    // The control's own widget, or one inside it (a list's field or its open list); never
    // the frame around it.
    const Control* owner = nullptr;
    for (const auto& [control, w] : widgets_)
        if (w == widget || (!owner && control->takesFocus() && w->isAncestorOf(widget)))
            owner = control;
    if (owner)
        form_->userFocus(*const_cast<Control*>(owner));
    return true;
}

void FormWindow::followModelFocus(Qt::FocusReason reason) {
    const Control* focused = form_->focused();
    QWidget* w = focused ? widgetFor(*focused) : nullptr;
    if (!w || !window_ || !window_->isVisible())
        return;
    const bool was = updating_;
    updating_ = true;
    w->setFocus(reason);
    updating_ = was;
}

bool FormWindow::userKey(ui::Key key) {
    if (retired_)
        return false;
    if (updating_) {
        // Qt moves the focus on its own (a widget being hidden): the model has moved it.
        followModelFocus(Qt::OtherFocusReason);
        return true;
    }
    bool taken = false;
    host_->userEvent([this, key, &taken] { taken = form_->userKey(key); });
    if (!retired_ && (key == ui::Key::Tab || key == ui::Key::BackTab))
        followModelFocus(key == ui::Key::Tab ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return taken || key == ui::Key::Tab || key == ui::Key::BackTab;
}

void FormWindow::nameControls(const Controls& controls) {
    // A caption that stands more than once on the form ("What is this?", "Show Password")
    // is told apart by the row it stands in; a name the page gives wins.
    std::map<std::string, int> seen;
    for (const auto& c : controls)
        if (c->kind() == ControlKind::Button || c->kind() == ControlKind::CheckBox)
            ++seen[stripAccessKeys(c->caption())];
    auto rowName = [](const Control& head) {
        std::string name = stripAccessKeys(head.caption());
        while (!name.empty() && (name.back() == ':' || name.back() == ' '))
            name.pop_back();
        const std::size_t from = name.find_first_not_of("* ");
        return from == std::string::npos ? std::string() : name.substr(from);
    };
    for (const auto& c : controls) {
        QWidget* w = widgetFor(*c);
        if (!w)
            continue;
        if (!c->accessibleName().empty()) {
            w->setAccessibleName(qs(c->accessibleName()));
            continue;
        }
        const std::string caption = stripAccessKeys(c->caption());
        auto head = rowHead_.find(c.get());
        if (!caption.empty() && seen[caption] > 1 && head != rowHead_.end() &&
            head->second != c.get())
            if (const std::string context = rowName(*head->second); !context.empty())
                w->setAccessibleName(qs(caption + " (" + context + ")"));
    }
}

void FormWindow::putOnCaption(QWidget* frame, QWidget* picture) {
    // The picture sits over the blanks a caption begins with, and follows the frame's size.
    auto* box = qobject_cast<QGroupBox*>(frame);
    if (!box)
        return;
    picture->setParent(box);
    auto follow = [box, picture] {
        QStyleOptionGroupBox opt;
        opt.initFrom(box);
        opt.text = box->title();
        opt.textAlignment = box->alignment();
        opt.lineWidth = 1;
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect label =
            box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
        const int blank = box->fontMetrics().horizontalAdvance(QLatin1Char(' '));
        picture->move(label.left() + blank, label.center().y() - picture->height() / 2);
    };
    new EventHook(box, [follow](QEvent* e) {
        if (e->type() == QEvent::Resize || e->type() == QEvent::Show)
            follow();
        return false;
    });
    new EventHook(picture, [follow](QEvent* e) {
        if (e->type() == QEvent::Resize)
            follow();
        return false;
    });
}

void FormWindow::layOutRows(QWidget* container, const std::string& name) {
    // One grid per form or frame, so that the rows line up in columns. A row of buttons only
    // spans the whole width. An empty last column takes the width the rows do not need, so
    // they stay packed at the left.
    auto* grid = new QGridLayout(container);
    std::vector<Row> rows = rows_[name];
    std::erase_if(rows, [](const Row& row) { return row.empty(); });
    auto isButtonRow = [](const Row& row) {
        return std::all_of(row.begin(), row.end(), [](const auto& cell) {
            return cell.first->kind() == ControlKind::Button;
        });
    };
    // Columns the controls of a row start in; a control in the last column gets -1 here.
    auto startColumns = [](const Row& row) {
        std::vector<int> starts;
        int next = 0;
        for (const auto& [c, w] : row) {
            if (c->layout().lastColumn) {
                starts.push_back(-1);
                continue;
            }
            starts.push_back(std::max(next, c->layout().column));
            next = starts.back() + 1;
        }
        return starts;
    };
    int columns = 1;
    for (const Row& row : rows) {
        if (isButtonRow(row))
            continue;
        int needed = 0;
        for (int start : startColumns(row))
            needed = start < 0 ? needed + 1 : std::max(needed, start + 1);
        columns = std::max(columns, needed);
    }
    const int all = columns + 1;
    grid->setColumnStretch(columns, 1);
    int r = 0;
    bool navigation = false;
    for (const Row& row : rows) {
        if (isButtonRow(row) && row.size() > 1) {
            const bool nav = std::any_of(row.begin(), row.end(), [](const auto& cell) {
                return cell.first->isDefault() || cell.first->isCancel();
            });
            if (nav && container == window_.get()) {
                // The height the page does not need stays above its navigation row, so the
                // row stands at the foot of every page alike.
                grid->setRowStretch(r++, 1);
                navigation = true;
            }
            grid->addLayout(buttonRow(row), r++, 0, 1, all);
            continue;
        }
        std::vector<int> starts = startColumns(row);
        for (int& start : starts)
            if (start < 0)
                start = columns - 1;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const auto [c, w] = row[i];
            // Text fields and bars fill their cells, so those of a column share one width;
            // they reach past their own column only up to the next control of their row, or
            // over all columns when alone in it. Lists are as wide as their entries; the rest
            // keep their own width at the left of the cell, and the last of a row may run on
            // unless it holds the last column.
            const bool fills = fillsItsCell(c->kind()) && c->layout().width <= 0 &&
                               (c->kind() != ControlKind::TextBox || c->layout().chars <= 0);
            const bool field = isField(c->kind()) || c->kind() == ControlKind::ProgressBar;
            const int end = i + 1 < row.size()       ? starts[i + 1]
                            : c->layout().lastColumn ? columns
                            : !field                 ? all
                            : row.size() == 1        ? columns
                                                     : starts[i] + 1;
            const Qt::Alignment align = fills ? Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter;
            // A description beside a control wraps rather than widen the page.
            if (c->kind() == ControlKind::Label && !c->layout().heading && i > 0 &&
                i + 1 == row.size())
                if (auto* label = qobject_cast<QLabel*>(w))
                    label->setWordWrap(true);
            grid->addWidget(w, r, starts[i], 1, std::max(1, end - starts[i]), align);
        }
        ++r;
    }
    if (!navigation && container == window_.get())
        grid->setRowStretch(r, 1); // a page without one keeps its content at the top
}

QHBoxLayout* FormWindow::buttonRow(const Row& row) {
    // A navigation row keeps one order and place on every page: other buttons at the left,
    // then Back, the forward button and the cancel button at the right, each as wide as the
    // others, Back's place kept where a page has none.
    auto* buttons = new QHBoxLayout;
    const Control* back = nullptr;
    const Control* forward = nullptr;
    const Control* cancel = nullptr;
    for (const auto& [c, w] : row) {
        if (c->layout().back && !back)
            back = c;
        else if (c->isDefault() && !forward)
            forward = c;
        else if (c->isCancel() && !cancel)
            cancel = c;
    }
    if (!forward && !cancel) {
        for (const auto& [c, w] : row)
            buttons->addWidget(w);
        buttons->addStretch(1);
        return buttons;
    }
    for (const auto& [c, w] : row)
        if (c != back && c != forward && c != cancel)
            buttons->addWidget(w);
    buttons->addStretch(1);
    if (forward && forward->isCancel())
        cancel = nullptr; // one button is both (an About box's OK)
    // Their common width is set once their captions are (sizeSlots).
    auto add = [&](const Control* c) {
        QWidget* w = widgetFor(*c);
        slots_.push_back(w);
        buttons->addWidget(w);
    };
    if (back) {
        add(back);
    } else if (forward && cancel && !form_->dialogWindow()) {
        auto* keep = new QWidget; // Back's place on a page without one
        keep->setFixedHeight(1);
        slots_.push_back(keep);
        buttons->addWidget(keep);
    }
    if (forward)
        add(forward);
    if (cancel)
        add(cancel);
    return buttons;
}

QWidget* FormWindow::createWidget(Control& c) {
    Control* cp = &c;
    QWidget* w = nullptr;
    switch (c.kind()) {
    case ControlKind::Timer:
        return nullptr;
    case ControlKind::Label: {
        auto* label = new QLabel;
        label->setTextFormat(Qt::PlainText);
        new EventHook(label, [this, cp](QEvent* e) {
            if (e->type() == QEvent::MouseButtonRelease &&
                static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
                userEvent(cp, [](Control& c) { c.userClick(); });
            return false;
        });
        if (c.layout().width > 0 || c.layout().height > 0)
            label->setWordWrap(true);
        w = label;
        break;
    }
    case ControlKind::TextBox: {
        if (c.multiLine()) {
            auto* edit = new QPlainTextEdit;
            edit->setTabChangesFocus(true); // Tab leaves it, as it leaves every field
            QObject::connect(edit, &QPlainTextEdit::textChanged, [this, cp, edit] {
                const std::string text = fromDisplayLines(edit->toPlainText().toStdString());
                userEvent(cp, [text](Control& c) { c.userReplaceText(text); });
            });
            if (c.layout().height <= 0)
                edit->setFixedHeight(std::max(edit->minimumSizeHint().height(),
                                              edit->fontMetrics().lineSpacing() * 4 + 12));
            w = edit;
        } else {
            auto* edit = new QLineEdit;
            wireLineEdit(c, edit);
            w = edit;
        }
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox;
        // Any change of state not made by the model is the user's click, whether it came from
        // the mouse, a key or the accessibility interface's toggle.
        QObject::connect(box, &QCheckBox::stateChanged,
                         [this, cp] { userEvent(cp, [](Control& c) { c.userClick(); }); });
        w = box;
        break;
    }
    case ControlKind::OptionButton: {
        auto* option = new QRadioButton;
        option->setAutoExclusive(false); // the model keeps one option of a group true
        // Arrows move the choice within the group, as the model says.
        new EventHook(option, [this](QEvent* e) {
            if (e->type() != QEvent::KeyPress)
                return false;
            const auto* key = static_cast<QKeyEvent*>(e);
            if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
                return false;
            switch (key->key()) {
            case Qt::Key_Up:
                return userKey(ui::Key::Up);
            case Qt::Key_Down:
                return userKey(ui::Key::Down);
            case Qt::Key_Left:
                return userKey(ui::Key::Left);
            case Qt::Key_Right:
                return userKey(ui::Key::Right);
            default:
                return false;
            }
        });
        QObject::connect(option, &QRadioButton::toggled,
                         [this, cp] { userEvent(cp, [](Control& c) { c.userClick(); }); });
        w = option;
        break;
    }
    case ControlKind::ComboBox: {
        auto* combo = new DropDownCombo;
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->onDropDown = [this, cp] { userEvent(cp, [](Control& c) { c.userDropDown(); }); };
        QObject::connect(combo, &QComboBox::activated, [this, cp](int i) {
            userEvent(cp, [i](Control& c) { c.userSelect(i); });
        });
        w = combo;
        break;
    }
    case ControlKind::ListBox: {
        auto* list = new ListBox;
        list->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
        QObject::connect(list, &QListWidget::currentRowChanged, [this, cp, list](int row) {
            if (!list->focusing)
                userEvent(cp, [row](Control& c) { c.userSelect(row); });
        });
        list->afterFocusIn = [this, cp] { resync(cp); };
        if (c.layout().height <= 0)
            list->setFixedHeight(list->fontMetrics().height() * 6 + 2 * list->frameWidth() + 8);
        w = list;
        break;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton;
        button->setAutoDefault(false); // Enter is the model's: the forward button
        QObject::connect(button, &QPushButton::clicked,
                         [this, cp] { userEvent(cp, [](Control& c) { c.userClick(); }); });
        w = button;
        break;
    }
    case ControlKind::ScrollBar: {
        auto* bar = new QScrollBar(Qt::Horizontal);
        bar->setMinimumWidth(200);
        // Arrows and Page Up/Down move it as a slider: Right and Page Up raise the value.
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setInvertedControls(false);
        QObject::connect(bar, &QScrollBar::valueChanged, [this, cp](int v) {
            userEvent(cp, [v](Control& c) {
                if (c.enabled())
                    c.setValue(v);
            });
        });
        w = bar;
        break;
    }
    case ControlKind::Image: {
        auto* image = new QLabel;
        image->setAlignment(Qt::AlignCenter);
        new EventHook(image, [this, cp](QEvent* e) {
            if (e->type() == QEvent::MouseButtonRelease &&
                static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
                userEvent(cp, [](Control& c) { c.userClick(); });
            return false;
        });
        w = image;
        break;
    }
    case ControlKind::Frame: {
        auto* box = new QGroupBox;
        containers_[c.name()] = box;
        w = box;
        break;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar;
        bar->setTextVisible(false);
        bar->setMinimumWidth(300);
        w = bar;
        break;
    }
    case ControlKind::Line: {
        // Two lines in a row are one etched line, drawn once.
        if (order_.size() > 1 && order_[order_.size() - 2]->kind() == ControlKind::Line)
            return nullptr;
        auto* line = new QFrame;
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        w = line;
        break;
    }
    }
    if (!w)
        return nullptr;
    w->setObjectName(qs(c.fullName()));
    w->setParent(window_.get()); // the window's font from the start, for every measure
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
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        hookKeys(c, edit);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        hookKeys(c, plain);
    return w;
}

void FormWindow::hookKeys(Control& c, QWidget* target) {
    // Typed keys go to the page's key-press handler first, which may drop or change them.
    Control* cp = &c;
    new EventHook(target, [this, cp, target](QEvent* e) {
        if (e->type() != QEvent::KeyPress || retired_ || updating_ || !cp->onKeyPress)
            return false;
        int key = keyAsciiOf(static_cast<QKeyEvent*>(e));
        // Enter goes on to the window, where the model gives it to the handler of the field
        // it was pressed in, or to the forward button.
        if (key == 13)
            form_->userFocus(*cp);
        if (key == 0 || key == 13)
            return false;
        const int typed = key;
        userEvent(cp, [&key](Control& c) {
            if (c.onKeyPress)
                c.onKeyPress(key);
        });
        if (retired_)
            return true;
        if (key == typed)
            return false;
        if (key != 0) {
            // The handler changed the key: type that one instead.
            const QString text(QChar(static_cast<char16_t>(key)));
            if (auto* edit = qobject_cast<QLineEdit*>(target)) {
                if (key == 8)
                    edit->backspace();
                else
                    edit->insert(text);
            } else if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
                if (key == 8)
                    plain->textCursor().deletePreviousChar();
                else
                    plain->insertPlainText(text);
            }
        }
        return true;
    });
}

void FormWindow::wireLineEdit(Control& c, QLineEdit* edit) {
    Control* cp = &c;
    auto replace = [this, cp](const QString& t) {
        const std::string text = t.toStdString();
        userEvent(cp, [text](Control& c) { c.userReplaceText(text); });
    };
    if (c.kind() == ControlKind::TextBox) {
        edit->setValidator(new LimitValidator(
            edit, [this, cp, edit]() -> std::optional<std::pair<std::string, int>> {
                if (retired_ || widgetFor(*cp) != edit)
                    return std::nullopt;
                return std::pair(cp->text(), cp->maxLength());
            }));
        // Typing and the accessibility interface's text changes alike; the model's own
        // changes arrive while updating_ is set and are not passed back.
        QObject::connect(edit, &QLineEdit::textChanged, replace);
        return;
    }
    // A combo's field: typing at once. The combo sets the field itself when an entry is
    // picked, just before it reports the pick; any other change of the text (through the
    // accessibility interface) reaches the model once the event is over, when the pick, if
    // it was one, has already brought the model to the same text.
    QObject::connect(edit, &QLineEdit::textEdited, replace);
    QObject::connect(edit, &QLineEdit::textChanged, [this, cp, edit] {
        if (retired_ || updating_)
            return;
        QTimer::singleShot(0, edit, [this, cp, edit] {
            auto* combo = retired_ ? nullptr : qobject_cast<QComboBox*>(widgetFor(*cp));
            if (combo && combo->lineEdit() == edit && edit->text().toStdString() != cp->text())
                userEvent(cp, [text = edit->text().toStdString()](Control& c) {
                    c.userReplaceText(text);
                });
        });
    });
}

const Control* FormWindow::fieldNamedBy(const Control& label) const {
    // The field declared right after the label, unless the label is the unit of the field
    // before it.
    auto it = std::find(order_.begin(), order_.end(), &label);
    if (it == order_.end() || std::next(it) == order_.end() || !isField((*std::next(it))->kind()))
        return nullptr;
    if (label.layout().sameRow && it != order_.begin() && isField((*std::prev(it))->kind()))
        return nullptr;
    return *std::next(it);
}

void FormWindow::place(Control& c, QWidget* w) {
    std::string container = containers_.count(c.layout().container) ? c.layout().container : "";
    if (c.kind() == ControlKind::Frame && container == c.name())
        container.clear(); // a frame never holds itself
    if (c.layout().onCaption && !container.empty()) {
        putOnCaption(containers_[container], w);
        return;
    }
    std::vector<Row>& rows = rows_[container];
    const bool afterLine = !rows.empty() && !rows.back().empty() &&
                           rows.back().front().first->kind() == ControlKind::Line;
    const bool newRow = !c.layout().sameRow || rows.empty() || afterLine ||
                        c.kind() == ControlKind::Line || (!rows.empty() && rows.back().empty());
    if (!c.visible()) {
        // No place, so the controls beside it start where it would have (a heading beside a
        // picture of another model lines up with the text below it).
        unplaced_.insert(&c);
        w->setParent(window_.get());
        w->hide();
        if (newRow)
            rows.emplace_back(); // an empty row: the next control begins afresh
        return;
    }
    if (newRow && (rows.empty() || !rows.back().empty()))
        rows.emplace_back();
    rows.back().emplace_back(&c, w);
    rowHead_[&c] = rows.back().front().first;
}

void FormWindow::applyAll(Control& c) {
    for (Prop p : {Prop::Caption, Prop::Items, Prop::Range, Prop::Text, Prop::Value,
                   Prop::ListIndex, Prop::Enabled, Prop::Visible, Prop::BackColor,
                   Prop::PasswordChar, Prop::MaxLength, Prop::ToolTip, Prop::Picture})
        apply(c, p);
}

void FormWindow::apply(Control& c, Prop prop) {
    QWidget* w = widgetFor(c);
    if (!w)
        return;
    switch (prop) {
    case Prop::Caption: {
        const QString caption = qs(toDisplayLines(c.caption()));
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (c.kind() == ControlKind::Label) {
                // Long texts wrap, so that one sentence does not make the window very wide.
                if (caption.size() > kWrapAfter && !label->wordWrap()) {
                    label->setWordWrap(true);
                    if (c.layout().width <= 0 && c.layout().chars <= 0)
                        label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 70);
                }
                label->setText(label->buddy() ? caption
                                              : qs(stripAccessKeys(toDisplayLines(c.caption()))));
                // Lists read a name only, not the label relation.
                if (const Control* field = fieldNamedBy(c);
                    field && field->accessibleName().empty())
                    if (QWidget* fw = widgetFor(*field))
                        fw->setAccessibleName(qs(stripAccessKeys(c.caption())));
                // A grid measures a wrapping text at its cell's width; one of a fixed width
                // asks for the height its own width needs.
                if (label->wordWrap() && c.layout().width > 0 && c.layout().height <= 0)
                    label->setMinimumHeight(label->heightForWidth(c.layout().width));
            }
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            button->setText(caption);
            button->setDefault(c.isDefault());
        } else if (auto* ab = qobject_cast<QAbstractButton*>(w)) {
            ab->setText(caption);
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            box->setTitle(caption);
        }
        break;
    }
    case Prop::Text: {
        if (c.kind() == ControlKind::TextBox) {
            if (c.multiLine() != (qobject_cast<QPlainTextEdit*>(w) != nullptr)) {
                stale_ = true; // a different widget is needed: rebuilt when next shown
                break;
            }
            if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                const QString text = qs(c.text());
                if (edit->text() != text)
                    edit->setText(text);
            } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
                showLastLines(plain, qs(toDisplayLines(c.text())));
            }
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (combo->isEditable()) {
                if (combo->currentText() != qs(c.text()))
                    combo->setEditText(qs(c.text()));
            } else if (combo->currentIndex() != c.listIndex()) {
                combo->setCurrentIndex(c.listIndex());
            }
        }
        break;
    }
    case Prop::Value:
        if (auto* box = qobject_cast<QCheckBox*>(w)) {
            box->setCheckState(c.value() == 0   ? Qt::Unchecked
                               : c.value() == 2 ? Qt::PartiallyChecked
                                                : Qt::Checked);
        } else if (auto* option = qobject_cast<QRadioButton*>(w)) {
            option->setChecked(c.value() != 0);
        } else if (auto* bar = qobject_cast<QScrollBar*>(w)) {
            bar->setValue(c.value());
        } else if (auto* progress = qobject_cast<QProgressBar*>(w)) {
            progress->setValue(c.value());
        }
        break;
    case Prop::Range:
        if (auto* bar = qobject_cast<QScrollBar*>(w)) {
            bar->setRange(c.min(), c.max());
            bar->setValue(c.value());
        } else if (auto* progress = qobject_cast<QProgressBar*>(w)) {
            progress->setRange(c.min(), c.max());
            progress->setValue(c.value());
        }
        break;
    case Prop::Items:
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            const bool editable = c.comboStyle() == ui::ComboStyle::Editable;
            if (combo->isEditable() != editable) {
                combo->setEditable(editable);
                if (editable) {
                    // The field shows what was typed, as the model holds it: no completion.
                    combo->setCompleter(nullptr);
                    wireLineEdit(c, combo->lineEdit());
                    hookKeys(c, combo->lineEdit());
                    combo->setInsertPolicy(QComboBox::NoInsert);
                }
            }
            QStringList items = toQStrings(c.items());
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i)
                shown << combo->itemText(i);
            if (shown != items) {
                combo->clear();
                combo->addItems(items);
            }
            // An empty list keeps a usable width; a filled one is as wide as its entries.
            combo->setMinimumContentsLength(items.isEmpty() ? 12 : 0);
            combo->setCurrentIndex(c.listIndex());
            if (editable && combo->currentText() != qs(c.text()))
                combo->setEditText(qs(c.text()));
        } else if (auto* list = qobject_cast<QListWidget*>(w)) {
            QStringList items = toQStrings(c.items());
            QStringList shown;
            for (int i = 0; i < list->count(); ++i)
                shown << list->item(i)->text();
            if (shown != items) {
                list->clear();
                list->addItems(items);
            }
            list->setCurrentRow(c.listIndex());
            // As wide as its longest entry, and wide enough for a usual one.
            list->setMinimumWidth(std::max(widthForChars(list, 32),
                                           list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                                               list->verticalScrollBar()->sizeHint().width()));
        }
        break;
    case Prop::ListIndex:
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (combo->currentIndex() != c.listIndex())
                combo->setCurrentIndex(c.listIndex());
            if (combo->isEditable() && combo->currentText() != qs(c.text()))
                combo->setEditText(qs(c.text()));
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
        if (auto* image = qobject_cast<QLabel*>(w); image && c.kind() == ControlKind::Image) {
            // Without a picture file of its own the box shows a printer, at a size hinted or
            // the desktop's large icon size.
            const ui::LayoutHint& hint = c.layout();
            const int side = hint.height > 0  ? hint.height
                             : hint.width > 0 ? hint.width
                             : hint.onCaption
                                 ? image->fontMetrics().height()
                                 : image->style()->pixelMetric(QStyle::PM_LargeIconSize);
            const QPixmap pixmap = pictureFor(c.picture(), side, image->devicePixelRatioF());
            image->setFrameShape(QFrame::NoFrame);
            image->setPixmap(pixmap);
            if (hint.width <= 0 && hint.height <= 0)
                image->setFixedSize(pixmap.deviceIndependentSize().toSize());
        }
        break;
    case Prop::Interval:
        break;
    case Prop::Focus:
        if (window_ && window_->isVisible() && c.hasFocus())
            w->setFocus(Qt::OtherFocusReason);
        break;
    case Prop::AccessibleName:
        if (!c.accessibleName().empty())
            w->setAccessibleName(qs(c.accessibleName()));
        break;
    }
}

void FormWindow::paintField(Control& c, QWidget* w) {
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

void FormWindow::controlChanged(Control& control, Prop prop) {
    if (retired_ || !window_)
        return;
    if (prop == Prop::Visible && control.visible() && unplaced_.count(&control)) {
        build(); // it had no place: the window is laid out again with it
        return;
    }
    if (!widgets_.count(&control))
        return;
    const bool was = updating_;
    updating_ = true;
    apply(control, prop);
    updating_ = was;
}

void FormWindow::resync(Control* c) {
    if (retired_ || !widgets_.count(c))
        return;
    const bool was = updating_;
    updating_ = true;
    for (Prop p : {Prop::Text, Prop::Value, Prop::ListIndex})
        apply(*c, p);
    updating_ = was;
}

void FormWindow::userEvent(Control* c, const std::function<void(Control&)>& action) {
    if (retired_ || updating_)
        return;
    host_->userEvent([c, &action] { action(*c); });
    // The model may have refused or changed what the widget did: show the model's value.
    resync(c);
}

void FormWindow::show(bool modal) {
    if (!window_)
        build();
    if (!window_)
        return;
    Qt::WindowModality want = modal ? Qt::ApplicationModal : Qt::NonModal;
    if (window_->windowModality() != want) {
        if (window_->isVisible())
            window_->hide();
        window_->setWindowModality(want);
    }
    // A page opens where the wizard's window stands; a dialog where it first opened.
    if (!placed_ || !form_->dialogWindow())
        window_->move(host_->positionFor(*form_, window_->size()));
    placed_ = true;
    window_->show();
    // Qt makes the first button the default when none is; only the model's default counts.
    for (const Control* c : order_)
        if (auto* button = qobject_cast<QPushButton*>(widgetFor(*c)))
            button->setDefault(c->isDefault());
    window_->raise();
    window_->activateWindow();
    followModelFocus(Qt::OtherFocusReason);
}

void FormWindow::hide() {
    if (!window_)
        return;
    if (window_->isVisible())
        host_->windowLeft(*form_, window_->pos());
    window_->hide();
}

void FormWindow::captionChanged() {
    if (window_ && !retired_ && form_->loaded())
        window_->setWindowTitle(qs(form_->caption()));
}

void FormWindow::retire() {
    retired_ = true;
    widgets_.clear();
    order_.clear();
    if (window_)
        window_->hide();
}

} // namespace uiqt
