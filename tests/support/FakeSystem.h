#pragma once

#include "seams/AppPaths.h"
#include "seams/EventPump.h"
#include "seams/SystemInfo.h"

#include <QTemporaryDir>
#include <functional>

namespace tervane::test {

// A system with a fixed language and fixed free space; installs itself while it lives.
class FakeSystemInfo final : public SystemInfo {
public:
    bool russian = false;
    qint64 freeBytes = qint64(1) << 40; // plenty
    bool checked = true;                // false: a network volume
    QString drive = QStringLiteral("/");
    // When set, asked on every volume query (after the fixed values): lets a test free space
    // after the first warning.
    std::function<void(VolumeSpace&)> onQuery;
    int queries = 0;

    bool systemLanguageIsRussian() const override { return russian; }
    VolumeSpace volumeSpace(const QString& path) const override;

private:
    ScopedSeam<SystemInfo> m_installed{systemInfoSeam(), this};
};

// Paths inside a fresh temporary folder: program folder, temp folder, software folder.
class TempAppPaths final : public AppPaths {
public:
    TempAppPaths();

    QString root() const { return m_dir.path(); }
    QString programFolder() const override { return m_dir.path() + QStringLiteral("/program"); }
    QString configFile() const override { return programFolder() + QStringLiteral("/Tervane.cfg"); }
    QString tempFolder() const override { return m_temp; }
    QString softwareFolder() const override { return programFolder() + QStringLiteral("/software"); }
    void setTempFolder(const QString& folder) { m_temp = folder; }

private:
    QTemporaryDir m_dir;
    QString m_temp;
    ScopedSeam<AppPaths> m_installed{appPathsSeam(), this};
};

// Virtual time: sleeping advances the clock at once; processEvents runs a hook.
class VirtualEventPump final : public EventPump {
public:
    std::function<void()> onProcessEvents;
    bool processQtEvents = false;
    qint64 now = 0;
    int processCalls = 0;

    void processEvents() override;
    void sleepMs(int ms) override { now += ms; }
    qint64 nowMs() const override { return now; }

private:
    ScopedSeam<EventPump> m_installed{eventPumpSeam(), this};
};

} // namespace tervane::test
