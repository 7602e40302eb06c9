#include "platform/qt/FormWindow.h"

#include "platform/qt/AccessibleNames.h"
#include "platform/qt/EventHook.h"
#include "platform/qt/FormLayout.h"
#include "platform/qt/PropertySync.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/WidgetFactory.h"

#include <QApplication>
#include <QButtonGroup>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>

#include <map>
#include <string>

namespace uiqt {

using ui::Control;
using ui::Prop;

FormWindow::FormWindow(QtHost& host, ui::Form& form) : host_(&host), form_(&form) {}

FormWindow::~FormWindow() {
    // Touches no model object: the form may be gone.
    host_->windowGone(*this);
    retired_ = true;
    widgets_.clear();
}

QSize FormWindow::construct(const Controls& controls, const QFont& font) {
    widgets_.clear();
    unplaced_.clear();
    stale_ = false;

    window_ = std::make_unique<FormDialog>();
    window_->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                            Qt::MSWindowsFixedSizeDialogHint);
    window_->setObjectName(QString::fromStdString(form_->name()));
    if (font != QApplication::font())
        window_->setFont(font); // smaller, so that the page fits the screen

    for (const auto& c : controls)
        widgets_.add(*c, createWidget(*c, widgets_, window_.get(), *this));
    FormLayout layout = layOutForm(window_.get(), widgets_, form_->dialogWindow());
    unplaced_ = std::move(layout.unplaced);
    setLabelBuddies(widgets_);
    // The options of a model group (the form or a frame) are one exclusive group in Qt too,
    // so that each reads as a radio button.
    std::map<std::string, QButtonGroup*> groups;
    for (const auto& [c, w] : widgets_.inOrder())
        if (auto* option = qobject_cast<QRadioButton*>(w)) {
            QButtonGroup*& group = groups[c->layout().container];
            if (!group)
                group = new QButtonGroup(window_.get());
            group->addButton(option);
        }

    // The model's values, so that the content is measured as it will be shown.
    updating_ = true;
    for (const auto& c : controls)
        apply(*c,
              {Prop::Caption, Prop::Items, Prop::Range, Prop::Text, Prop::Value, Prop::ListIndex,
               Prop::Enabled, Prop::Visible, Prop::BackColor, Prop::PasswordChar, Prop::MaxLength,
               Prop::ReadOnly, Prop::ToolTip, Prop::Picture, Prop::ValueText});
    nameControls(widgets_, layout.rowHead);
    updating_ = false;
    shareWidth(layout.buttonSlots);
    lineUpFrames(layout.frameGrids);
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
    bool wasVisible = window_ && window_->isVisible() && !hidePending_;
    hidePending_ = false;
    QPoint pos = window_ ? window_->pos() : QPoint();
    if (window_) {
        // A signal of one of the old widgets may be running: delete them later.
        window_->hide();
        window_.release()->deleteLater();
    }
    const QFont font = host_->fontFor(*form_);
    const QSize natural = construct(form_->controlsIfLoaded(), font);
    window_->setWindowTitle(QString::fromStdString(form_->caption()));
    window_->onCloseBox = [this] {
        if (retired_ || updating_)
            return;
        ui::Form* f = form_;
        host_->userEvent([f] { f->userClose(); }, this);
    };
    window_->onKey = [this](ui::Key key) { return userKey(key); };
    // A fixed field colour was made from the desktop's palette: a new one paints it again.
    new EventHook(window_.get(), [this](QEvent* e) {
        if (e->type() == QEvent::ApplicationPaletteChange && !retired_)
            for (const auto& [control, w] : widgets_.byControl())
                paintField(*control, w);
        return false;
    });

    // Controls hidden now have no place (a kind of port this PC lacks); one hidden later
    // gives up its place too, and the window keeps its size.
    updating_ = true;
    for (const auto& c : form_->controlsIfLoaded())
        apply(*c, {Prop::Visible});
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

void FormWindow::apply(Control& c, std::initializer_list<Prop> props) {
    for (Prop p : props)
        if (!showProperty(c, p, widgets_, *this))
            stale_ = true;
}

bool FormWindow::noteFocus(QWidget* widget) {
    if (retired_ || !window_ || !window_->isAncestorOf(widget))
        return false;
    if (updating_)
        return true; // the model put it there
    // The control's own widget, or one inside it (a list's field or its open list); never
    // the frame around it.
    const Control* owner = nullptr;
    for (const auto& [control, w] : widgets_.byControl())
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
    asModel([&] { w->setFocus(reason); });
}

void FormWindow::showKeyboardFocus() {
    host_->noteKeyboardUse();
    if (!window_ || window_->testAttribute(Qt::WA_KeyboardFocusChange))
        return;
    window_->setAttribute(Qt::WA_KeyboardFocusChange);
    if (QWidget* focus = window_->focusWidget())
        focus->update();
}

bool FormWindow::userKey(ui::Key key) {
    if (retired_)
        return false;
    if (updating_) {
        // Qt moves the focus on its own (a widget being hidden): the model has moved it.
        followModelFocus(Qt::OtherFocusReason);
        return true;
    }
    // The window routes these keys itself, so Qt does not learn that the focus moves by the
    // keyboard unless told.
    showKeyboardFocus();
    bool taken = false;
    host_->userEvent([this, key, &taken] { taken = form_->userKey(key); }, this);
    if (!retired_ && (key == ui::Key::Tab || key == ui::Key::BackTab))
        followModelFocus(key == ui::Key::Tab ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return taken || key == ui::Key::Tab || key == ui::Key::BackTab;
}

void FormWindow::controlChanged(Control& control, Prop prop) {
    if (retired_ || !window_)
        return;
    if (prop == Prop::Visible && control.visible() && unplaced_.count(&control)) {
        build(); // it had no place: the window is laid out again with it
        return;
    }
    if (widgets_.has(control))
        asModel([&] { apply(control, {prop}); });
}

void FormWindow::resync(Control* c) {
    if (retired_ || !widgets_.has(*c))
        return;
    asModel([&] {
        apply(*c, {Prop::Text, Prop::Value, Prop::ListIndex});
        // Qt changed the other options of the group with this one.
        if (c->kind() == ui::ControlKind::OptionButton)
            for (const auto& [other, w] : widgets_.inOrder())
                if (other->kind() == ui::ControlKind::OptionButton &&
                    other->layout().container == c->layout().container)
                    apply(*const_cast<Control*>(other), {Prop::Value});
    });
}

void FormWindow::userEvent(Control* c, const std::function<void(Control&)>& action) {
    if (retired_ || updating_ || hidePending_)
        return;
    host_->userEvent([c, &action] { action(*c); }, this);
    // The model may have refused or changed what the widget did: show the model's value.
    resync(c);
}

QPixmap FormWindow::printerPicture(int side, qreal devicePixelRatio) {
    return host_->printerPicture(side, devicePixelRatio);
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
    hidePending_ = false;
    // A page opens where the wizard's window stands; a dialog where it first opened.
    if (!placed_ || !form_->dialogWindow())
        window_->move(host_->positionFor(*form_, window_->size()));
    placed_ = true;
    window_->show();
    // Someone at the keyboard sees at once where it is on the next page too (Qt clears the
    // mark as a window shows).
    if (host_->keyboardUsed())
        window_->setAttribute(Qt::WA_KeyboardFocusChange);
    // Qt makes the first button the default when none is; only the model's default counts.
    for (const auto& [c, w] : widgets_.inOrder())
        if (auto* button = qobject_cast<QPushButton*>(w))
            button->setDefault(c->isDefault());
    window_->raise();
    window_->activateWindow();
    host_->windowShown(*this);
    followModelFocus(Qt::OtherFocusReason);
}

void FormWindow::hide() {
    if (!window_)
        return;
    if (window_->isVisible() && !hidePending_) {
        host_->windowLeft(*form_, window_->pos());
        if (window_->testAttribute(Qt::WA_KeyboardFocusChange))
            host_->noteKeyboardUse();
        if (host_->holdForPageChange(*form_, *window_)) {
            hidePending_ = true;
            return;
        }
    }
    hidePending_ = false;
    window_->hide();
}

void FormWindow::finishHide() {
    if (!hidePending_)
        return;
    hidePending_ = false;
    if (window_)
        window_->hide();
}

bool FormWindow::takesKeys() const {
    return !retired_ && !hidePending_ && window_ && window_->isVisible() && form_->visible();
}

void FormWindow::captionChanged() {
    if (window_ && !retired_ && form_->loaded())
        window_->setWindowTitle(QString::fromStdString(form_->caption()));
}

void FormWindow::retire() {
    host_->windowGone(*this);
    retired_ = true;
    hidePending_ = false;
    widgets_.clear();
    if (window_)
        window_->hide();
}

} // namespace uiqt
