#include "ui/form_binding.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <algorithm>

#include "ui/accessibility.h"

namespace varnel {

namespace {

// Edit boxes hold the tracker's own bytes, one character per byte, so that a
// typing limit of n characters is n bytes in the record. Captions and list
// rows are the program's own texts (UTF-8: the degree sign).
QString editText(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<int>(s.size())); }
std::string editBytes(const QString& s) { return s.toLatin1().toStdString(); }
QString caption(const std::string& s) { return QString::fromStdString(s); }
QString caption(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

bool sameRows(const QComboBox& box, const std::vector<ListEntry>& entries) {
    if (box.count() != static_cast<int>(entries.size())) return false;
    for (int i = 0; i < box.count(); ++i)
        if (box.itemText(i) != caption(entries[i].text) || box.itemData(i).toInt() != entries[i].data) return false;
    return true;
}

void fillList(QComboBox& box, const FormControl& c) {
    if (!sameRows(box, c.entries)) {
        box.clear();
        for (const ListEntry& e : c.entries) box.addItem(caption(e.text), e.data);
    }
    box.setCurrentIndex(c.selected >= 0 && c.selected < box.count() ? c.selected : -1);
}

void fillTabs(QTabBar& bar, const FormControl& c) {
    bool same = bar.count() == static_cast<int>(c.entries.size());
    for (int i = 0; same && i < bar.count(); ++i) same = bar.tabText(i) == caption(c.entries[i].text);
    if (!same) {
        while (bar.count() > 0) bar.removeTab(0);
        for (const ListEntry& e : c.entries) bar.addTab(caption(e.text));
    }
    bar.setCurrentIndex(c.position);
}

// A typing limit limits typing only. QLineEdit cuts any text set beyond its
// maximum length, so a longer text read from a tracker or a file would lose
// its tail on the next store; the limit is widened to what the form holds.
void fillEdit(QLineEdit& edit, int typingLimit, const std::string& text) {
    if (typingLimit > 0) edit.setMaxLength(std::max(typingLimit, static_cast<int>(text.size())));
    // Rewriting an unchanged text would move the cursor while typing.
    if (edit.text() != editText(text)) edit.setText(editText(text));
}

// A list box keeps its rows in place where they are unchanged, so an added,
// moved or deleted row does not scroll a long list back to its top; the
// chosen row is then scrolled into view.
void fillListBox(QListWidget& list, const FormControl& c) {
    const int rows = static_cast<int>(c.entries.size());
    int head = 0;
    while (head < list.count() && head < rows && list.item(head)->text() == editText(c.entries[head].text)) ++head;
    int tail = 0;
    while (tail < list.count() - head && tail < rows - head &&
           list.item(list.count() - 1 - tail)->text() == editText(c.entries[rows - 1 - tail].text))
        ++tail;
    while (list.count() > head + tail) delete list.takeItem(head);
    for (int row = head; row < rows - tail; ++row) list.insertItem(row, editText(c.entries[row].text));
    if (c.selected >= 0 && c.selected < list.count()) {
        list.setCurrentRow(c.selected);
        list.scrollToItem(list.item(c.selected));
    } else {
        list.setCurrentRow(-1);
    }
}

int listBoxRow(const QListWidget& list) {
    const QListWidgetItem* item = list.currentItem();
    return item && item->isSelected() ? list.row(item) : -1;
}

// The form counts a three-state box as 0 unchecked, 1 checked,
// 2 indeterminate; Qt puts indeterminate between the other two.
Qt::CheckState checkState(int position) {
    return position == 1 ? Qt::Checked : position == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}
int statePosition(Qt::CheckState state) { return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0; }

// Radio buttons sharing a parent are exclusive, and Qt will not clear the
// checked one; the form may want neither checked (a record holding a value
// that neither button stands for), so exclusivity is lifted while setting.
void setRadio(QRadioButton& radio, bool checked) {
    if (radio.isChecked() == checked) return;
    radio.setAutoExclusive(false);
    radio.setChecked(checked);
    radio.setAutoExclusive(true);
}

}  // namespace

const char* widgetClassFor(ControlType type) {
    switch (type) {
    case ControlType::Tab: return "QTabBar";
    case ControlType::Group: return "QGroupBox";
    case ControlType::Label: return "QLabel";
    case ControlType::Edit: return "QLineEdit";
    case ControlType::Check: return "QCheckBox";
    case ControlType::Radio: return "QRadioButton";
    case ControlType::Button: return "QPushButton";
    case ControlType::List: return "QComboBox";
    case ControlType::Slider: return "QSlider";
    case ControlType::ListBox: return "QListWidget";
    case ControlType::DigitEdit: return "QLineEdit";
    case ControlType::ThreeState: return "QCheckBox";
    }
    return "";
}

namespace widget_binding {

QWidget* find(QWidget& root, std::string_view name, ControlType type, int typingLimit, std::string_view tooltip,
              std::string_view accessibleName) {
    auto* w = root.findChild<QWidget*>(caption(name));
    if (!w || !w->inherits(widgetClassFor(type))) return nullptr;
    if (auto* edit = qobject_cast<QLineEdit*>(w); edit && typingLimit > 0) edit->setMaxLength(typingLimit);
    if (type == ControlType::DigitEdit) {
        auto* edit = static_cast<QLineEdit*>(w);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    if (type == ControlType::ThreeState) static_cast<QCheckBox*>(w)->setTristate(true);
    if (!tooltip.empty()) w->setToolTip(caption(tooltip));
    if (!accessibleName.empty()) w->setAccessibleName(caption(accessibleName));
    if (auto* radio = qobject_cast<QRadioButton*>(w)) nameRadioRow(root, *radio);
    return w;
}

void takeCaption(const QWidget& w, FormControl& c) {
    if (!c.text.empty()) return;
    if (auto* label = qobject_cast<const QLabel*>(&w)) c.text = label->text().toStdString();
    else if (auto* group = qobject_cast<const QGroupBox*>(&w)) c.text = group->title().toStdString();
    else if (auto* button = qobject_cast<const QAbstractButton*>(&w)) c.text = button->text().toStdString();
}

void toWidget(QWidget& w, ControlType type, int typingLimit, const FormControl& c) {
    const QSignalBlocker quiet(&w);
    switch (type) {
    case ControlType::Tab: fillTabs(static_cast<QTabBar&>(w), c); break;
    case ControlType::Group: static_cast<QGroupBox&>(w).setTitle(caption(c.text)); break;
    case ControlType::Label: static_cast<QLabel&>(w).setText(caption(c.text)); break;
    case ControlType::Edit:
    case ControlType::DigitEdit: fillEdit(static_cast<QLineEdit&>(w), typingLimit, c.text); break;
    case ControlType::Check: {
        auto& box = static_cast<QCheckBox&>(w);
        box.setText(caption(c.text));
        box.setChecked(c.checked);
        break;
    }
    case ControlType::Radio: {
        auto& radio = static_cast<QRadioButton&>(w);
        radio.setText(caption(c.text));
        setRadio(radio, c.checked);
        break;
    }
    case ControlType::Button: static_cast<QPushButton&>(w).setText(caption(c.text)); break;
    case ControlType::List: fillList(static_cast<QComboBox&>(w), c); break;
    case ControlType::Slider:
        static_cast<QSlider&>(w).setValue(c.position);
        // The layout's label beside the slider ("audioLevelValue") follows drags
        // through its own connection; a value set here, signals blocked, is copied.
        if (auto* value = w.window()->findChild<QLabel*>(w.objectName() + "Value")) value->setNum(c.position);
        break;
    case ControlType::ListBox: fillListBox(static_cast<QListWidget&>(w), c); break;
    case ControlType::ThreeState: static_cast<QCheckBox&>(w).setCheckState(checkState(c.position)); break;
    }
    w.setEnabled(c.enabled);
    w.setHidden(!c.visible);
}

void fromWidget(const QWidget& w, ControlType type, FormControl& c) {
    switch (type) {
    case ControlType::Edit:
    case ControlType::DigitEdit: c.text = editBytes(static_cast<const QLineEdit&>(w).text()); break;
    case ControlType::Check: c.checked = static_cast<const QCheckBox&>(w).isChecked(); break;
    case ControlType::Radio: c.checked = static_cast<const QRadioButton&>(w).isChecked(); break;
    case ControlType::List: c.selected = static_cast<const QComboBox&>(w).currentIndex(); break;
    case ControlType::Slider: c.position = static_cast<const QSlider&>(w).value(); break;
    case ControlType::ListBox: c.selected = listBoxRow(static_cast<const QListWidget&>(w)); break;
    case ControlType::ThreeState: c.position = statePosition(static_cast<const QCheckBox&>(w).checkState()); break;
    default: break;  // the tab position, captions and states belong to the form
    }
}

void forward(QWidget& w, int id, ControlType type, QObject& receiver, ControlEvents& events) {
    ControlEvents* to = &events;
    switch (type) {
    case ControlType::Edit:
    case ControlType::DigitEdit:
        QObject::connect(static_cast<QLineEdit*>(&w), &QLineEdit::textEdited, &receiver, [to, id] { to->edited(id); });
        break;
    case ControlType::List:
        QObject::connect(static_cast<QComboBox*>(&w), &QComboBox::activated, &receiver, [to, id] { to->edited(id); });
        break;
    case ControlType::Slider:
        QObject::connect(static_cast<QSlider*>(&w), &QSlider::valueChanged, &receiver, [to, id] { to->edited(id); });
        break;
    case ControlType::Check:
        QObject::connect(static_cast<QCheckBox*>(&w), &QCheckBox::toggled, &receiver, [to, id] { to->clicked(id); });
        break;
    case ControlType::Radio:
        // A radio button turned off says nothing: its partner reports.
        QObject::connect(static_cast<QRadioButton*>(&w), &QRadioButton::toggled, &receiver, [to, id](bool on) {
            if (on) to->clicked(id);
        });
        break;
    case ControlType::Button:
        QObject::connect(static_cast<QAbstractButton*>(&w), &QAbstractButton::clicked, &receiver,
                         [to, id] { to->clicked(id); });
        break;
    case ControlType::Tab:
        QObject::connect(static_cast<QTabBar*>(&w), &QTabBar::currentChanged, &receiver,
                         [to](int tab) { to->tabChanged(tab); });
        break;
    default: break;
    }
}

}  // namespace widget_binding

}  // namespace varnel
