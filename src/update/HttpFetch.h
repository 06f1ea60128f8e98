#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <span>

class QNetworkAccessManager;
class QNetworkReply;

namespace tervane {

// What one fetch brought: success, or the message to show (empty when the server sent an empty
// body).
struct FetchResult {
    bool ok = false;
    QString message;
    QString text;     // FetchText: the body as 8-bit text with one zero character appended
    qint64 bytes = 0; // FetchData: the bytes written to the caller's buffer
};

// One GET of a whole resource, past every cache, with the agent "Tervane". It runs in the
// background of the event loop and reports once through finished, unless cancelled. The HTTP
// status is not looked at: an error page is a body like any other. Failures are told apart by
// where they happen: before any response ("The server does not respond.") or while the body
// comes ("Access to a server is closed.").
class HttpFetch final : public QObject {
    Q_OBJECT
public:
    explicit HttpFetch(QObject* parent = nullptr);
    ~HttpFetch() override;

    void FetchText(const QUrl& url);
    // The body goes into buffer from its first byte; a body that does not fit fails, and
    // nothing is written past the buffer.
    void FetchData(const QUrl& url, std::span<char> buffer);
    // Stops a fetch without a result.
    void cancel();
    bool running() const { return !m_reply.isNull(); }

    static QString noResponseText();
    static QString accessClosedText();

signals:
    // total is -1 while the server has not said how long the body is.
    void progress(qint64 received, qint64 total);
    void finished(const tervane::FetchResult& result);

private:
    void start(const QUrl& url);
    // The running reply, let go of: no more of its signals arrive here.
    QNetworkReply* takeReply();
    void readBody();
    void finish();

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
    bool m_toBuffer = false;
    std::span<char> m_buffer;
    QByteArray m_text;
    qint64 m_received = 0;
    bool m_overflow = false;
};

} // namespace tervane
