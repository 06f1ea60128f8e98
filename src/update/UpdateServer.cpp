#include "update/UpdateServer.h"

#include "BuildConfig.h"

#include <QtGlobal>

namespace tervane {
namespace {

bool usableServer(const QUrl& url) {
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty() && (scheme == u"http" || scheme == u"https");
}

// A path under the server's own path; the name is plain text, so "#", "?" and "%" in it are
// sent encoded and stay part of the name.
QUrl under(const QUrl& server, const QString& path) {
    QUrl url = server;
    QString base = server.path(QUrl::FullyDecoded);
    while (base.endsWith(u'/'))
        base.chop(1);
    url.setPath(base + path, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

} // namespace

QUrl updateServerUrl() {
    return updateServerUrl(qEnvironmentVariable("TERVANE_UPDATE_URL"));
}

QUrl updateServerUrl(const QString& override) {
    if (!override.isEmpty()) {
        const QUrl url(override, QUrl::StrictMode);
        if (usableServer(url))
            return url;
        qWarning("TERVANE_UPDATE_URL is not an http or https address with a host; the configured server is used");
    }
    return QUrl(QString::fromUtf8(config::kUpdateUrl));
}

QUrl updateListUrl(const QUrl& server) {
    return under(server, QStringLiteral("/update/swUpdate.ver"));
}

QUrl updateFileUrl(const QUrl& server, const QString& fileName) {
    return under(server, QStringLiteral("/update/orvel/") + fileName);
}

} // namespace tervane
