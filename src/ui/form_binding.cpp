#include "ui/form_binding.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <algorithm>

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
        if (box.itemText(i) != caption(entries[i].text) || box.itemData(i).toInt() != entries[i].data)
            return false;
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
    }
    return "";
}

namespace widget_binding {

QWidget* find(QWidget& root, std::string_view name, ControlType type, int typingLimit, std::string_view tooltip) {
    auto* w = root.findChild<QWidget*>(caption(name));
    if (!w || !w->inherits(widgetClassFor(type))) return nullptr;
    if (auto* edit = qobject_cast<QLineEdit*>(w); edit && typingLimit > 0) edit->setMaxLength(typingLimit);
    if (!tooltip.empty()) w->setToolTip(caption(tooltip));
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
    case ControlType::Edit: fillEdit(static_cast<QLineEdit&>(w), typingLimit, c.text); break;
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
    case ControlType::Slider: static_cast<QSlider&>(w).setValue(c.position); break;
    }
    w.setEnabled(c.enabled);
    w.setHidden(!c.visible);
}

void fromWidget(const QWidget& w, ControlType type, FormControl& c) {
    switch (type) {
    case ControlType::Edit: c.text = editBytes(static_cast<const QLineEdit&>(w).text()); break;
    case ControlType::Check: c.checked = static_cast<const QCheckBox&>(w).isChecked(); break;
    case ControlType::Radio: c.checked = static_cast<const QRadioButton&>(w).isChecked(); break;
    case ControlType::List: c.selected = static_cast<const QComboBox&>(w).currentIndex(); break;
    case ControlType::Slider: c.position = static_cast<const QSlider&>(w).value(); break;
    default: break;  // the tab position, captions and states belong to the form
    }
}

}  // namespace widget_binding

}  // namespace varnel
