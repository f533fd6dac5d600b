#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QProgressBar>

namespace varnel {

void announceChange(QWidget& widget) {
    if (!QAccessible::isActive()) return;
    if (auto* bar = qobject_cast<QProgressBar*>(&widget)) {
        QAccessibleValueChangeEvent event(bar, bar->value());
        QAccessible::updateAccessibility(&event);
        return;
    }
    QAccessibleEvent event(&widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

namespace {

class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}
    QString text(QAccessible::Text t) const override {
        // The widget's interface gives the accessible name, else the text
        // of the label whose buddy the list is.
        if (t == QAccessible::Value) return static_cast<QComboBox*>(widget())->currentText();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* namedComboBoxes(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox"))
        if (auto* box = qobject_cast<QComboBox*>(object)) return new NamedComboBox(box);
    return nullptr;
}

}  // namespace

void installAccessibleNames() { QAccessible::installFactory(namedComboBoxes); }

}  // namespace varnel
