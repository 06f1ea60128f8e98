#include "ui/QtShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace tervane {

bool QtShell::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

bool QtShell::openFile(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace tervane
