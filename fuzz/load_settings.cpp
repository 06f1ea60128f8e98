// Any bytes as the configuration file: LoadSettings takes them or falls back to the defaults,
// never reads past the record, and every field reads back within its bounds.
#include "seams/AppPaths.h"
#include "seams/Prompts.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using namespace tervane;

class FuzzPaths final : public AppPaths {
public:
    QString programFolder() const override { return m_dir.path(); }
    QString configFile() const override { return m_dir.path() + QStringLiteral("/Tervane.cfg"); }
    QString tempFolder() const override { return m_dir.path() + QStringLiteral("/TEMP"); }
    QString softwareFolder() const override { return m_dir.path() + QStringLiteral("/software"); }

private:
    QTemporaryDir m_dir;
};

// Nothing here should ask the user anything: the temporary folder is always creatable.
class SilentPrompts final : public Prompts {
public:
    PromptButton message(PromptIcon, const QString&, const QString&, int) override { std::abort(); }
    std::optional<QString> openFile(const FileDialogRequest&) override { std::abort(); }
    std::optional<QString> saveFile(const FileDialogRequest&) override { std::abort(); }
};

void readEveryField(const Settings& s) {
    volatile std::int64_t sink = 0;
    sink = sink + s.windowHeight() + s.windowWidth() + s.reserved() + s.selectedNodeIndex() + s.treeWidth() +
           s.windowState() + s.lastDeviceModel() + s.languageSetting() + s.skinIndex() + s.savePolicy() +
           s.gridFontStyle() + s.gridFontSize() + s.keyTypeView() + s.keyCodeView() + s.emSpeedVisible() +
           s.dallasCrcVisible() + s.shortView();
    for (int column = 1; column <= Settings::kColumnCount; ++column)
        sink = sink + s.columnWidth(column);
    if (s.lastBasePath().size() > Settings::kMaxPathLength || s.openFolder().size() > Settings::kMaxPathLength ||
        s.saveFolder().size() > Settings::kMaxPathLength || s.gridFontName().size() > Settings::kMaxFontNameLength)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Static objects, so that the temporary folder goes away when the run ends.
    static FuzzPaths fuzzPaths;
    static SilentPrompts silentPrompts;
    static FuzzPaths* paths = [] {
        setAppPaths(&fuzzPaths);
        setPrompts(&silentPrompts);
        return &fuzzPaths;
    }();

    QFile file(paths->configFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    QDir(paths->tempFolder()).removeRecursively();

    LoadSettings();
    const Settings& s = settings();
    const bool taken = size / Settings::kSize == 1;
    if (taken ? std::memcmp(s.data(), data, Settings::kSize) != 0 : !(s == Settings()))
        std::abort();
    readEveryField(s);

    // The record goes back out byte for byte.
    if (!SaveSettings())
        std::abort();
    QFile saved(paths->configFile());
    const QByteArray record(reinterpret_cast<const char*>(s.data()), Settings::kSize);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != record)
        std::abort();
    return 0;
}
