#include "ui/qt_http_client.h"

#include <algorithm>

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace varnel {

HttpResponse QtHttpClient::get(const std::string& server, const std::string& path, std::size_t maxBody) {
    const HttpAddress address = httpAddress(server, path);
    if (!address.error.empty()) return {0, {}, false, address.error};
    HttpResponse response;
    // Built from its parts: the path comes from a list on the web and is used
    // exactly as written, not re-resolved against anything.
    QUrl url;
    url.setScheme("http");
    url.setHost(QString::fromStdString(address.host));
    url.setPort(address.port);
    url.setPath(QString::fromStdString(path), QUrl::TolerantMode);

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(timeoutMs_);

    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    auto take = [&] {
        if (response.truncated) return;
        const QByteArray chunk = reply->readAll();
        const std::size_t room = maxBody - std::min(maxBody, response.body.size());
        if (static_cast<std::size_t>(chunk.size()) > room) {
            response.body.append(chunk.constData(), room);
            response.truncated = true;
            reply->abort();
            return;
        }
        response.body.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
    };
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec();
    take();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    response.status = status.isValid() ? status.toInt() : 0;
    if (response.status == 0) {
        response.error = reply->errorString().toStdString();
        response.body.clear();
    }
    reply->deleteLater();
    return response;
}

}  // namespace varnel
