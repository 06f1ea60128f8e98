#include "FakeSystem.h"

#include <QCoreApplication>
#include <QDir>

namespace tervane::test {

VolumeSpace FakeSystemInfo::volumeSpace(const QString&) const {
    auto* self = const_cast<FakeSystemInfo*>(this);
    ++self->queries;
    VolumeSpace v;
    v.checked = checked;
    v.drive = drive;
    v.freeBytes = freeBytes;
    if (onQuery)
        onQuery(v);
    return v;
}

TempAppPaths::TempAppPaths() {
    QDir(m_dir.path()).mkpath(QStringLiteral("program"));
    QDir(m_dir.path()).mkpath(QStringLiteral("temp"));
    m_temp = m_dir.path() + QStringLiteral("/temp");
}

void VirtualEventPump::processEvents() {
    ++processCalls;
    if (processQtEvents && QCoreApplication::instance())
        QCoreApplication::processEvents();
    if (onProcessEvents)
        onProcessEvents();
}

} // namespace tervane::test
