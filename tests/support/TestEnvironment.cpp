#include "TestEnvironment.h"

#include <QFile>
#include <QStringEncoder>

namespace tervane::test {

QByteArray readFileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray cp1251(const QString& text) {
    QStringEncoder enc("windows-1251");
    return enc.encode(text);
}

} // namespace tervane::test
