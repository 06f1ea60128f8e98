#pragma once

#include <QByteArray>
#include <QString>

namespace tervane {

// Names and comments are stored as Windows-1251 bytes; they are converted only where they meet
// the screen, the system clipboard or the command line's output.
QString fromCp1251(const QByteArray& bytes);
// Characters that Windows-1251 cannot hold become "?".
QByteArray toCp1251(const QString& text);

} // namespace tervane
