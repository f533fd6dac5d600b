#pragma once

#include <memory>
#include <span>

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>

#include "ui/form_binding.h"

namespace varnel {

// A modal window over one form: its layout's widgets bound through the
// form's control table, clicks on its buttons and slider run the form's
// change rule, OK runs the form's check-and-store and closes only when it
// passes, Cancel closes without storing. The concrete windows set their
// layout up and say how to show and store.
template <class Form>
class FormDialog : public QDialog {
public:
    using Table = std::span<const ControlInfo<Form>>;
    using Changed = void (*)(Form&, int);

    const Form& form() const { return form_; }
    const FormBinding<Form>& binding() const { return *binding_; }

    void readControls() { binding_->fromWidgets(form_); }
    void showControls() { binding_->toWidgets(form_); }

protected:
    FormDialog(QWidget* parent, Table table, Changed changed) : QDialog(parent), table_(table), changed_(changed) {}

    // Call once the layout is set up: binds the widgets, shows the form.
    void bindLayout(QDialogButtonBox& buttons) {
        binding_ = std::make_unique<FormBinding<Form>>(*this, table_);
        for (const std::string& name : binding_->missing())
            qWarning("%s layout has no suitable widget \"%s\"", qPrintable(objectName()), name.c_str());
        binding_->takeCaptions(form_);
        showForm(form_);
        for (const ControlInfo<Form>& info : table_) {
            QWidget* w = binding_->widget(info.id);
            const int id = info.id;
            if (auto* b = qobject_cast<QPushButton*>(w); b && info.type == ControlType::Button)
                connect(b, &QPushButton::clicked, this, [this, id] { onChanged(id); });
            else if (auto* s = qobject_cast<QSlider*>(w))
                connect(s, &QSlider::sliderReleased, this, [this, id] { onChanged(id); });
        }
        connect(&buttons, &QDialogButtonBox::accepted, this, [this] {
            readControls();
            if (storeForm(form_) == 0) accept();
        });
        connect(&buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        showControls();
    }

    // Letters typed into these edits come out in upper case, as the
    // tracker's callsign fields want them.
    void upperCaseEdits(std::initializer_list<int> ids) {
        for (int id : ids)
            if (auto* edit = qobject_cast<QLineEdit*>(binding_->widget(id)))
                connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
                    const int cursor = edit->cursorPosition();
                    edit->setText(text.toUpper());
                    edit->setCursorPosition(cursor);
                });
    }

    // These edits take digits only.
    void digitEdits(std::initializer_list<int> ids) {
        for (int id : ids)
            if (auto* edit = qobject_cast<QLineEdit*>(binding_->widget(id)))
                edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    }

    virtual void showForm(Form& form) = 0;
    // 0 closes the window; otherwise the form has said why and it stays.
    virtual int storeForm(const Form& form) = 0;

private:
    void onChanged(int id) {
        readControls();
        if (changed_) changed_(form_, id);
        showControls();
    }

    Table table_;
    Changed changed_;
    Form form_;
    std::unique_ptr<FormBinding<Form>> binding_;
};

}  // namespace varnel
