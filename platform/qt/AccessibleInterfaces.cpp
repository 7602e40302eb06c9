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

// A combo box: its name is its own or its label's (Qt's interface on this system gives its
// current entry as the name), its value the entry; the list and an editable field are its
// children, and its actions open and close the list.
class ComboAccessible : public QAccessibleWidget {
  public:
    explicit ComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
        return QAccessibleWidget::text(t);
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
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
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
    if (auto* combo = dynamic_cast<DropDownCombo*>(object))
        return new ComboAccessible(combo);
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
