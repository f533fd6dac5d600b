#include "ui/qt_user_interface.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>

#include "device/device_info.h"

namespace varnel {

QtUserInterface::QtUserInterface(LinkState& link, QObject* parent) : QObject(parent), link_(link) {
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
}

QtUserInterface::~QtUserInterface() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

void QtUserInterface::message(const std::string& text, MessageKind kind) {
    const QMessageBox::Icon icon = kind == MessageKind::Information ? QMessageBox::Information
                                   : kind == MessageKind::Error     ? QMessageBox::Critical
                                                                    : QMessageBox::Warning;
    QMessageBox box(icon, QStringLiteral("varnelcfg"), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

namespace {

bool ask(const std::string& text, QMessageBox::StandardButton byDefault) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("varnelcfg"), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(byDefault);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

bool QtUserInterface::askYesNo(const std::string& text) { return ask(text, QMessageBox::Yes); }

bool QtUserInterface::askYesNoDefaultNo(const std::string& text) { return ask(text, QMessageBox::No); }

UserInterface::Answer QtUserInterface::askChoice(const std::string& text, const std::string& first,
                                                 const std::string& second) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("varnelcfg"), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    QAbstractButton* one = box.addButton(QString::fromStdString(first), QMessageBox::AcceptRole);
    QAbstractButton* two = box.addButton(QString::fromStdString(second), QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(static_cast<QPushButton*>(one));
    box.exec();
    if (box.clickedButton() == one) return Answer::First;
    if (box.clickedButton() == two) return Answer::Second;
    return Answer::Cancel;
}

void QtUserInterface::pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (quitRequested_) link_.linkAbort = LinkState::kAbortRequested;
}

bool QtUserInterface::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Quit) {
        quitRequested_ = true;
        link_.linkAbort = LinkState::kAbortRequested;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace varnel
