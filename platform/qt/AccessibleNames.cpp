#include "platform/qt/AccessibleNames.h"

#include "platform/qt/FileFilter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <string>

namespace uiqt {

using ui::Control;
using ui::ControlKind;

namespace {

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

} // namespace

bool isField(ControlKind k) {
    return k == ControlKind::TextBox || k == ControlKind::ComboBox || k == ControlKind::ListBox ||
           k == ControlKind::ScrollBar;
}

void setAccessibleNameOf(QWidget* w, const std::string& name) {
    w->setAccessibleName(QString::fromStdString(name).trimmed());
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(w->accessibleName());
    // A log's text area reads as focused with the log, and is read out by the same name.
    if (auto* log = qobject_cast<QPlainTextEdit*>(w))
        log->viewport()->setAccessibleName(w->accessibleName());
}

void nameAfterCaption(const Control& c, QWidget* w) {
    // Only a name this made is replaced: a page's own, or one that tells a repeated caption
    // apart, stays.
    static const char* const kMadeHere = "uiqtCaptionName";
    if (!c.accessibleName().empty() || c.kind() == ControlKind::Image)
        return;
    if (!w->accessibleName().isEmpty() && w->accessibleName() != w->property(kMadeHere).toString())
        return;
    const QString shown = QString::fromStdString(toDisplayLines(stripAccessKeys(c.caption())));
    const QString name = shown.trimmed() == shown ? QString() : shown.trimmed();
    w->setAccessibleName(name);
    w->setProperty(kMadeHere, name);
}

const Control* fieldNamedBy(const Control& label, const FormWidgets& widgets) {
    const auto& order = widgets.controls();
    auto it = std::find(order.begin(), order.end(), &label);
    if (it == order.end() || std::next(it) == order.end())
        return nullptr;
    const Control& field = **std::next(it);
    const ControlKind next = field.kind();
    if (next == ControlKind::Frame && field.caption().empty())
        return &field;
    if (!isField(next) && next != ControlKind::ProgressBar)
        return nullptr;
    if (label.layout().sameRow && it != order.begin() && isField((*std::prev(it))->kind()))
        return nullptr;
    return *std::next(it);
}

const Control* namerOf(const Control& list, const FormWidgets& before) {
    const auto& order = before.controls();
    if (!list.layout().sameRow || order.empty())
        return nullptr;
    std::size_t i = order.size() - 1;
    // A unit or value shown beside the field before it belongs to that field.
    if (order[i]->kind() == ControlKind::Label && order[i]->layout().sameRow && i > 0 &&
        isField(order[i - 1]->kind()))
        --i;
    const ControlKind k = order[i]->kind();
    if (k == ControlKind::OptionButton || k == ControlKind::CheckBox)
        return order[i];
    if (isField(k) && i > 0 && order[i - 1]->kind() == ControlKind::Label)
        return order[i - 1];
    return nullptr;
}

void setLabelBuddies(const FormWidgets& widgets) {
    // A heading or a note is nobody's. A label is read as the label of its buddy, in place of
    // the buddy's own name: a field the page names itself (with its unit, or one of several
    // "Confirm:" fields) keeps that name, and a slider, which reads its value with its unit,
    // does not take the value shown beside it. An access key in a label moves to the next
    // control that takes the focus.
    const auto& controls = widgets.controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        auto* label = controls[i]->kind() == ControlKind::Label
                          ? qobject_cast<QLabel*>(widgets.of(*controls[i]))
                          : nullptr;
        if (!label)
            continue;
        const Control* buddy = fieldNamedBy(*controls[i], widgets);
        if (!buddy && controls[i]->layout().sameRow && i > 0 && isField(controls[i - 1]->kind()) &&
            controls[i - 1]->kind() != ControlKind::ScrollBar)
            buddy = controls[i - 1];
        if (buddy && !buddy->accessibleName().empty())
            buddy = nullptr;
        if (hasAccessKey(controls[i]->caption()))
            for (std::size_t j = i + 1; j < controls.size(); ++j)
                if (controls[j]->takesFocus()) {
                    buddy = controls[j];
                    break;
                }
        if (buddy)
            label->setBuddy(widgets.of(*buddy));
    }
}

void nameControls(const FormWidgets& widgets,
                  const std::map<const Control*, const Control*>& rowHead) {
    std::map<std::string, int> seen;
    for (const Control* c : widgets.controls())
        if (c->kind() == ControlKind::Button || c->kind() == ControlKind::CheckBox)
            ++seen[stripAccessKeys(c->caption())];
    auto rowName = [](const Control& head) {
        std::string name = stripAccessKeys(head.caption());
        while (!name.empty() && (name.back() == ':' || name.back() == ' '))
            name.pop_back();
        const std::size_t from = name.find_first_not_of("* ");
        return from == std::string::npos ? std::string() : name.substr(from);
    };
    const auto& order = widgets.controls();
    for (const auto& [c, w] : widgets.inOrder()) {
        if (!c->accessibleName().empty()) {
            setAccessibleNameOf(w, c->accessibleName());
            continue;
        }
        // A list or field that no label names, beside the option or box that chooses it
        // (a port's list beside the port's option), takes that caption.
        auto at = std::find(order.begin(), order.end(), c);
        if (isField(c->kind()) && c->layout().sameRow && w->accessibleName().isEmpty() &&
            at != order.begin()) {
            const Control* chooser = *std::prev(at);
            if (chooser->kind() == ControlKind::OptionButton ||
                chooser->kind() == ControlKind::CheckBox)
                setAccessibleNameOf(w, stripAccessKeys(chooser->caption()));
        }
        const std::string caption = stripAccessKeys(c->caption());
        auto head = rowHead.find(c);
        if (!caption.empty() && seen[caption] > 1 && head != rowHead.end() && head->second != c)
            if (const std::string context = rowName(*head->second); !context.empty())
                w->setAccessibleName(QString::fromStdString(caption + " (" + context + ")"));
    }
}

} // namespace uiqt
