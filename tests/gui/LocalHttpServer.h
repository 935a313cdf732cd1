#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the browser tests: it serves
// fixed answers by path (the query included) and records every request
// line it receives, so a test can tell that a request never arrived.
// Nothing outside this machine is ever contacted.

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

namespace vrx::test {

class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    struct Answer {
        QByteArray status = "200 OK";
        QByteArray contentType = "text/html";
        QByteArray body;
        QByteArray extraHeaders;  // each ended by "\r\n"
    };

    LocalHttpServer();

    // "http://127.0.0.1:PORT"
    QString origin() const;
    // Answers target (path and query, as in the request line).
    void serve(const QByteArray& target, Answer answer);
    void page(const QByteArray& target, const QByteArray& html) { serve(target, {"200 OK", "text/html", html, {}}); }
    // The targets asked for, in order; the browser's own asks for the site's
    // icon (/favicon.ico) are answered but not listed.
    QStringList requests;

private:
    void answer(class QTcpSocket* socket);

    QTcpServer server_;
    QMap<QByteArray, Answer> answers_;
};

}  // namespace vrx::test
