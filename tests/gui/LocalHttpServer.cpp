#include "gui/LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace vrx::test {

LocalHttpServer::LocalHttpServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString LocalHttpServer::origin() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
}

void LocalHttpServer::serve(const QByteArray& target, Answer answer) {
    answers_.insert(target, std::move(answer));
}

void LocalHttpServer::answer(QTcpSocket* socket) {
    // Wait for the whole head of the request; the browser sends no bodies here.
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n")) return;
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QByteArray target = requestLine.value(1);
    if (target != "/favicon.ico") requests.push_back(QString::fromLatin1(target));
    Answer found{"404 Not Found", "text/html", "<html><body>Not found</body></html>", {}};
    if (answers_.contains(target)) found = answers_.value(target);
    QByteArray response = "HTTP/1.1 " + found.status + "\r\nContent-Type: " + found.contentType +
                          "\r\nContent-Length: " + QByteArray::number(found.body.size()) +
                          "\r\nCache-Control: no-store\r\nConnection: close\r\n" + found.extraHeaders + "\r\n" +
                          found.body;
    socket->write(response);
    socket->disconnectFromHost();
}

}  // namespace vrx::test
