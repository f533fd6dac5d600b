#include "ui/qt_user_interface.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>

#include "device/device_info.h"

namespace varnel {

QtUserInterface::QtUserInterface(LinkState& link, QObject* parent) : QObject(parent), link_(link) {
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
}

QtUserInterface::~QtUserInterface() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

void QtUserInterface::message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("varnelcfg"), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtUserInterface::askYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("varnelcfg"),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes;
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
