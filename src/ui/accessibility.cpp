#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QVariant>

#include <utility>

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

// The property a row of radio buttons carries its caption in: set when the
// window is bound, read when a screen reader asks (the factory may be asked
// while the window is being destroyed, when nothing else may be walked).
constexpr char kRowCaption[] = "varnelRowCaption";

// A row of radio buttons outside any group box (the units choice after its
// "Units:" caption) is spoken as a group named by the caption tied to one of
// its buttons, as a group box is by its title: "Radio modem, 1200 baud", not
// a bare "1200 baud".
class CaptionedRadioRow : public QAccessibleWidget {
public:
    CaptionedRadioRow(QWidget* row, QString caption)
        : QAccessibleWidget(row, QAccessible::Grouping), caption_(std::move(caption)) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? caption_ : QAccessibleWidget::text(t);
    }

private:
    QString caption_;
};

QAccessibleInterface* namedComboBoxes(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox"))
        if (auto* box = qobject_cast<QComboBox*>(object)) return new NamedComboBox(box);
    if (className == QLatin1String("QWidget"))
        if (const QVariant caption = object->property(kRowCaption); caption.isValid())
            return new CaptionedRadioRow(static_cast<QWidget*>(object), caption.toString());
    return nullptr;
}

}  // namespace

void nameRadioRow(QWidget& root, QRadioButton& radio) {
    QWidget* row = radio.parentWidget();
    if (!row || !radio.autoExclusive() || row->metaObject() != &QWidget::staticMetaObject) return;
    for (QLabel* label : root.findChildren<QLabel*>()) {
        if (label->buddy() != &radio) continue;
        QString text = label->text().trimmed();
        text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
        text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
        row->setProperty(kRowCaption, text.endsWith(QLatin1Char(':')) ? text.chopped(1) : text);
        return;
    }
}

void installAccessibleNames() { QAccessible::installFactory(namedComboBoxes); }

}  // namespace varnel
