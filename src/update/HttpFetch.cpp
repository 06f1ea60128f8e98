#include "update/HttpFetch.h"

#include "base/Cp1251.h"
#include "texts/UiLanguage.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tervane {
namespace {

// A server that stops sending for this long counts as gone, so that a dead connection does not
// keep the procedure waiting for ever.
constexpr int kTransferTimeoutMs = 30000;

// Errors that only report the HTTP status of a response that did come: its body is the result.
bool isStatusError(QNetworkReply::NetworkError error) {
    return (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError) ||
           (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
}

bool isRedirectError(QNetworkReply::NetworkError error) {
    return error == QNetworkReply::TooManyRedirectsError || error == QNetworkReply::InsecureRedirectError;
}

} // namespace

HttpFetch::HttpFetch(QObject* parent) : QObject(parent), m_network(new QNetworkAccessManager(this)) {}

HttpFetch::~HttpFetch() {
    cancel();
}

QString HttpFetch::noResponseText() {
    return translate("HttpFetch", "The server does not respond.");
}

QString HttpFetch::accessClosedText() {
    return translate("HttpFetch", "Access to a server is closed.");
}

void HttpFetch::FetchText(const QUrl& url) {
    m_toBuffer = false;
    m_buffer = {};
    start(url);
}

void HttpFetch::FetchData(const QUrl& url, std::span<char> buffer) {
    m_toBuffer = true;
    m_buffer = buffer;
    start(url);
}

QNetworkReply* HttpFetch::takeReply() {
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
    return reply;
}

void HttpFetch::cancel() {
    if (m_reply)
        takeReply()->abort();
}

void HttpFetch::start(const QUrl& url) {
    cancel();
    m_text.clear();
    m_received = 0;
    m_overflow = false;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Pragma", "no-cache");
    request.setRawHeader("Cache-Control", "no-cache");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tervane"));
    request.setTransferTimeout(kTransferTimeoutMs);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpFetch::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &HttpFetch::finish);
}

void HttpFetch::readBody() {
    if (!m_reply || m_overflow)
        return;
    if (m_toBuffer) {
        while (m_reply->bytesAvailable() > 0) {
            const qint64 room = qint64(m_buffer.size()) - m_received;
            if (room == 0) {
                // The rest of the body has nowhere to go: the fetch fails here.
                m_overflow = true;
                m_reply->abort();
                return;
            }
            const qint64 n = m_reply->read(m_buffer.data() + m_received, room);
            if (n <= 0)
                break;
            m_received += n;
        }
    } else {
        m_text += m_reply->readAll();
        m_received = m_text.size();
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    emit progress(m_received, length.isValid() ? length.toLongLong() : -1);
}

void HttpFetch::finish() {
    if (!m_reply)
        return;
    readBody();
    QNetworkReply* reply = takeReply();

    const QNetworkReply::NetworkError error = reply->error();
    const bool responded =
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid() && !isRedirectError(error);
    FetchResult result;
    if (m_overflow)
        result.message = accessClosedText();
    else if (error != QNetworkReply::NoError && !(responded && isStatusError(error)))
        result.message = responded ? accessClosedText() : noResponseText();
    else if (m_received > 0)
        result.ok = true;
    if (result.ok) {
        if (m_toBuffer) {
            result.bytes = m_received;
        } else {
            result.text = fromCp1251(m_text);
            result.text += QChar(0);
        }
    }
    m_text.clear();
    emit finished(result);
}

} // namespace tervane
