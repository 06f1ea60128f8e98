#pragma once

#include <QString>
#include <QUrl>

namespace tervane {

// The update server: the build's configured TERVANE_UPDATE_URL, unless the environment variable
// TERVANE_UPDATE_URL gives another one (scheme://host[:port]). Only http and https addresses
// with a host count; any other value of the variable is ignored with a warning.
QUrl updateServerUrl();
// The same with the variable's value given (empty: not set).
QUrl updateServerUrl(const QString& override);

// The version list and the offered file on a server.
QUrl updateListUrl(const QUrl& server);
QUrl updateFileUrl(const QUrl& server, const QString& fileName);

} // namespace tervane
