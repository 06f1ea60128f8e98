#include "base/Cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tervane {

QString FromCp1251(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

QByteArray ToCp1251(const QString& text) {
    QStringEncoder encoder("windows-1251", QStringConverter::Flag::Default);
    QByteArray out = encoder.encode(text);
    return out;
}

} // namespace tervane
