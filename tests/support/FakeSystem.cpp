#include "FakeSystem.h"

#include <QCoreApplication>
#include <QDir>

namespace tervane::test {

FakeSystemInfo::FakeSystemInfo() {
    setSystemInfo(this);
}

FakeSystemInfo::~FakeSystemInfo() {
    setSystemInfo(nullptr);
}

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
    setAppPaths(this);
}

TempAppPaths::~TempAppPaths() {
    setAppPaths(nullptr);
}

VirtualEventPump::VirtualEventPump() {
    setEventPump(this);
}

VirtualEventPump::~VirtualEventPump() {
    setEventPump(nullptr);
}

void VirtualEventPump::processEvents() {
    ++processCalls;
    if (processQtEvents && QCoreApplication::instance())
        QCoreApplication::processEvents();
    if (onProcessEvents)
        onProcessEvents();
}

} // namespace tervane::test
