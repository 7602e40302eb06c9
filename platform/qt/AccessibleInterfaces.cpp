#include "platform/qt/AccessibleInterfaces.h"

#include "platform/qt/WidgetFactory.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLineEdit>

#include <cmath>

namespace uiqt {

namespace {

// A list that no label names, read as Qt reads a list on this desktop: its current entry is
// its name (its own name stands in while it has none), the list and an editable field are
// its children, its actions open and close the list. The control that names it (a port's
// option, the label of the field it stands beside) labels it.
class NamedCombo : public QAccessibleWidget {
  public:
    explicit NamedCombo(DropDownCombo* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name || t == QAccessible::Value) {
            const QString entry =
                combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
            if (!entry.isEmpty() || t == QAccessible::Value)
                return entry;
        }
        return QAccessibleWidget::text(t);
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto related = QAccessibleWidget::relations(match);
        // Before the frame around it, which readers take for the group, not the label.
        if ((match & QAccessible::Label) && combo()->namedBy)
            if (QAccessibleInterface* namer =
                    QAccessible::queryAccessibleInterface(combo()->namedBy.data()))
                related.prepend({namer, QAccessible::Label});
        return related;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        s.editable = combo()->isEditable();
        return s;
    }
    int childCount() const override { return combo()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->isEditable())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child)
            return -1;
        if (child->object() == combo()->view())
            return 0;
        if (combo()->isEditable() && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (combo()->view()->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup(); // the model's drop-down event first
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    DropDownCombo* combo() const { return static_cast<DropDownCombo*>(widget()); }
};

// A slider whose value reads as the page shows it ("0.13 inch"), in the unit shown.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit SliderAccessible(FormSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return slider()->valueText.isEmpty() ? QString::number(slider()->value())
                                                 : slider()->valueText;
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return shown(slider()->value()); }
    void setCurrentValue(const QVariant& value) override {
        // The widget's change reaches the model as the user's.
        slider()->setValue(static_cast<int>(std::lround(value.toDouble() / slider()->valueStep)));
    }
    QVariant maximumValue() const override { return shown(slider()->maximum()); }
    QVariant minimumValue() const override { return shown(slider()->minimum()); }
    QVariant minimumStepSize() const override { return slider()->valueStep; }

  private:
    FormSlider* slider() const { return static_cast<FormSlider*>(widget()); }
    QVariant shown(int steps) const { return steps * slider()->valueStep; }
};

QAccessibleInterface* formInterface(const QString&, QObject* object) {
    // A list that a label names keeps Qt's own interface, which the label's buddy labels.
    if (auto* combo = dynamic_cast<DropDownCombo*>(object); combo && combo->namedBy)
        return new NamedCombo(combo);
    if (auto* slider = dynamic_cast<FormSlider*>(object))
        return new SliderAccessible(slider);
    return nullptr;
}

} // namespace

void installAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(formInterface);
        return true;
    }();
    (void)installed;
}

} // namespace uiqt
