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

#include "shell/app_context.h"
#include "shell/satellite_windows.h"
#include "ui/form_binding.h"

namespace varnel {

// A modal window over one of the main dialog's satellite windows: its
// layout's widgets bound through the form's control table, clicks on its
// buttons and slider run the form's change rule, OK runs the window's store
// and closes only when it passes, Cancel closes without storing. The
// concrete windows only set their layout up.
template <class Form>
class FormDialog : public QDialog {
public:
    const Form& form() const { return form_; }
    const FormBinding<Form>& binding() const { return *binding_; }

    void readControls() { binding_->fromWidgets(form_); }
    void showControls() { binding_->toWidgets(form_); }

protected:
    FormDialog(QWidget* parent, AppContext& context, const SatelliteWindow<Form>& window)
        : QDialog(parent), context_(context), window_(window) {}

    // Call once the layout is set up: binds the widgets, shows the form.
    void bindLayout(QDialogButtonBox& buttons) {
        binding_ = std::make_unique<FormBinding<Form>>(*this, window_.controls);
        for (const std::string& name : binding_->missing())
            qWarning("%s layout has no suitable widget \"%s\"", qPrintable(objectName()), name.c_str());
        binding_->takeCaptions(form_);
        window_.show(context_.session, form_);
        for (const ControlInfo<Form>& info : window_.controls) {
            QWidget* w = binding_->widget(info.id);
            const int id = info.id;
            if (auto* b = qobject_cast<QPushButton*>(w); b && info.type == ControlType::Button)
                connect(b, &QPushButton::clicked, this, [this, id] { onChanged(id); });
            else if (auto* s = qobject_cast<QSlider*>(w))
                connect(s, &QSlider::sliderReleased, this, [this, id] { onChanged(id); });
        }
        connect(&buttons, &QDialogButtonBox::accepted, this, [this] {
            readControls();
            if (window_.store(form_, context_.session, context_.ui) == 0) accept();
        });
        connect(&buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        upperCaseEdits(window_.upperCase);
        digitEdits(window_.digitsOnly);
        showControls();
    }

private:
    // Letters typed into these edits come out in upper case, as the
    // tracker's callsign fields want them.
    void upperCaseEdits(std::span<const int> ids) {
        for (int id : ids)
            if (auto* edit = qobject_cast<QLineEdit*>(binding_->widget(id)))
                connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
                    const int cursor = edit->cursorPosition();
                    edit->setText(text.toUpper());
                    edit->setCursorPosition(cursor);
                });
    }

    // These edits take digits only.
    void digitEdits(std::span<const int> ids) {
        for (int id : ids)
            if (auto* edit = qobject_cast<QLineEdit*>(binding_->widget(id)))
                edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    }

    void onChanged(int id) {
        readControls();
        if (window_.changed) window_.changed(form_, id);
        showControls();
    }

    AppContext& context_;
    const SatelliteWindow<Form>& window_;
    Form form_;
    std::unique_ptr<FormBinding<Form>> binding_;
};

}  // namespace varnel
