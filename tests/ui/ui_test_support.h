#pragma once

#include <QApplication>
#include <QByteArray>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

#include "firmware/http_client.h"
#include "session/session.h"
#include "support/recording_ui.h"
#include "shell/app_context.h"
#include "shell/front_end.h"
#include "ui/app_settings.h"
#include "ui/qt_http_client.h"
#include "ui/qt_windows.h"

namespace varnel::test {

// Answers the file dialogs from a queue ("" = cancelled) and remembers filters.
class ScriptedFiles : public FileChooser {
public:
    std::deque<QString> answers;
    QStringList filters;
    std::string openFile(const std::string& filter, const std::string&) override { return next(filter); }
    std::string saveFile(const std::string& filter, const std::string&, const std::string& = {}) override {
        return next(filter);
    }

private:
    std::string next(const std::string& filter) {
        filters << QString::fromStdString(filter);
        if (answers.empty()) return {};
        QString a = answers.front();
        answers.pop_front();
        return a.toStdString();
    }
};

// A loopback HTTP server: path -> (status, body). Every request is logged.
class LoopbackHttpServer : public QObject {
public:
    struct Reply {
        int status;
        QByteArray body;
    };
    QMap<QString, Reply> replies;
    QStringList requests;

    LoopbackHttpServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
            }
        });
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(server_.serverPort()); }

private:
    void serve(QTcpSocket* s) {
        buffer_[s] += s->readAll();
        if (!buffer_[s].contains("\r\n\r\n")) return;
        const QByteArray line = buffer_[s].left(buffer_[s].indexOf("\r\n"));
        buffer_.remove(s);
        const QString path = QString::fromLatin1(line.split(' ').value(1));
        requests << path;
        const Reply r = replies.value(path, Reply{404, "not here"});
        QByteArray out = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\n";
        if (r.status == 301) out += "Location: http://127.0.0.1:1/elsewhere\r\n";
        out += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\nConnection: close\r\n\r\n" + r.body;
        s->write(out);
        s->disconnectFromHost();
    }
    QTcpServer server_;
    QMap<QTcpSocket*, QByteArray> buffer_;
};

// Records what is said, and keeps the event loop going during serial waits
// as the desktop program's own interface does.
class PumpingUi : public RecordingUi {
public:
    void pump() override {
        ++pumps;
        QCoreApplication::processEvents();
    }
};

// Session, recording UI, real Qt HTTP client and scripted files in one place.
struct UiFixture {
    Session session;
    PumpingUi ui;
    QtHttpClient http{5000};
    ScriptedFiles files;
    QtAppSettings settings;
    QtWindows windows;
    QTemporaryDir dataDir;  // each test's own backups
    AppContext context{session,
                       ui,
                       http,
                       files,
                       settings,
                       windows,
                       "127.0.0.1:1",
                       "127.0.0.1:1",
                       (dataDir.path() + "/backups").toStdString()};
};

// Saves the window's picture where VARNEL_SCREENSHOT_DIR points, so that a
// developer can look at the layouts; nothing is saved otherwise.
inline void screenshot(QWidget& w, const char* name) {
    const QByteArray dir = qgetenv("VARNEL_SCREENSHOT_DIR");
    if (!dir.isEmpty()) w.grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
}

// Polls the modal dialog on top with `act` until it says it is done.
inline void onNextModal(std::function<bool(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* w = QApplication::activeModalWidget();
        if (w != nullptr && act(w)) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

}  // namespace varnel::test
