// Any bytes as the configuration file: the record is taken or the defaults stay, nothing is read
// past the record, every field reads back within its bounds, and the record goes back out byte for
// byte and reads in again as itself. All in memory, through the same reader and writer that
// LoadSettings and SaveSettings wrap.
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using namespace tervane;

void readEveryField(const Settings& s) {
    volatile std::int64_t sink = 0;
    sink = sink + s.windowHeight() + s.windowWidth() + s.reserved() + s.selectedNodeIndex() + s.treeWidth() +
           int(s.windowState()) + s.lastDeviceModel() + int(s.languageSetting()) + s.skinIndex() + int(s.savePolicy()) +
           int(s.gridFontStyle()) + s.gridFontSize() + s.keyTypeView() + s.keyCodeView() + s.emSpeedVisible() +
           s.dallasCrcVisible() + s.shortView();
    for (int column = 1; column <= Settings::kColumnCount; ++column)
        sink = sink + s.columnWidth(column);
    if (s.lastBasePath().size() > Settings::kMaxPathLength || s.openFolder().size() > Settings::kMaxPathLength ||
        s.saveFolder().size() > Settings::kMaxPathLength || s.gridFontName().size() > Settings::kMaxFontNameLength)
        std::abort();
}

bool read(const QByteArray& bytes, Settings& target) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readSettingsRecord(buffer, target);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Settings s;
    const bool taken = read(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)), s);
    if (taken != (size / Settings::kSize == 1))
        std::abort();
    if (taken ? std::memcmp(s.data(), data, Settings::kSize) != 0 : !(s == Settings()))
        std::abort();
    readEveryField(s);

    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    if (!writeSettingsRecord(out, s) || saved.size() != Settings::kSize ||
        std::memcmp(saved.constData(), s.data(), Settings::kSize) != 0)
        std::abort();
    Settings again;
    if (!read(saved, again) || !(again == s))
        std::abort();
    return 0;
}
