#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace tervane::test {

// A small HTTP/1.1 server on 127.0.0.1 for the update tests: it serves fixed bodies by path,
// answers any other path with a short 404 page, and can cut a connection in the middle of a body
// or hold it open. It records every request head it was sent.
class LoopbackHttpServer {
public:
    struct Response {
        QByteArray body;
        QByteArray status = "200 OK";
        qsizetype cutAfter = -1; // close the connection after this many body bytes
        bool hold = false;       // send the head and cutAfter bytes, then keep the connection open
    };

    LoopbackHttpServer() {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
        m_server.listen(QHostAddress::LocalHost);
    }

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort())); }
    void serve(const QByteArray& path, Response response) { m_routes.insert(path, std::move(response)); }
    void serve(const QByteArray& path, const QByteArray& body) { serve(path, Response{body}); }

    // The heads of the requests, in order.
    const QList<QByteArray>& requests() const { return m_requests; }
    QList<QByteArray> requestedPaths() const {
        QList<QByteArray> paths;
        for (const QByteArray& head : m_requests)
            paths.append(head.split(' ').value(1));
        return paths;
    }

    // Bytes that differ from a shifted copy of themselves, for bodies that must arrive intact.
    static QByteArray patternBytes(qsizetype size) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (qsizetype i = 0; i < size; ++i)
            bytes[i] = char(i * 7 + i / 251);
        return bytes;
    }

    // An address where nothing listens.
    static QUrl deadUrl() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        const quint16 port = probe.serverPort();
        probe.close();
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
    }

private:
    void accept() {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
        }
    }

    void read(QTcpSocket* socket) {
        QByteArray& head = m_pending[socket];
        head += socket->readAll();
        const qsizetype end = head.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray request = head.left(end);
        m_pending.remove(socket);
        m_requests.append(request);
        const QByteArray path = request.split(' ').value(1);
        Response response = m_routes.value(
            path, Response{"<html><body><h1>404 Not Found</h1></body></html>\n", "404 Not Found", -1, false});
        QByteArray reply = "HTTP/1.1 " + response.status + "\r\nContent-Type: application/octet-stream\r\n" +
                           "Content-Length: " + QByteArray::number(response.body.size()) +
                           "\r\nConnection: close\r\n\r\n";
        const qsizetype sent = response.cutAfter < 0 ? response.body.size() : response.cutAfter;
        reply += response.body.left(sent);
        socket->write(reply);
        if (!response.hold)
            socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QMap<QByteArray, Response> m_routes;
    QMap<QTcpSocket*, QByteArray> m_pending;
    QList<QByteArray> m_requests;
};

} // namespace tervane::test
