#include "base/VizitImport.h"

#include "base/FileErrors.h"
#include "base/KeyPage.h"
#include "keys/DallasCrc.h"

#include <QFile>

namespace tervane {
namespace {

constexpr std::uint8_t kEmSpeedRf64 = 6;

} // namespace

KeyCell vizitCell(VizitKeyType type, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    KeyCode code{1, b0, b1, b2, 0, 0, 0, 0};
    if (type == VizitKeyType::Em410x)
        code[6] = kEmSpeedRf64;
    else
        code[7] = DallasCrc8(code.data(), 7);
    KeyCell cell;
    cell.setType(std::uint8_t(type));
    cell.setCode(code);
    return cell;
}

bool readVizitPage(QByteArrayView bytes, VizitKeyType type, KeyPage& page) {
    if (bytes.size() < kVizitFileSize)
        return false;
    page.clear();
    const auto* slot = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (int k = 0; k < kVizitSlotCount; ++k, slot += kVizitSlotSize) {
        if (slot[0] == 0xFF && slot[1] == 0xFF && slot[2] == 0xFF)
            continue;
        page.setCell(k / KeyPage::kKeyColumns, k % KeyPage::kKeyColumns, vizitCell(type, slot[0], slot[1], slot[2]));
    }
    return true;
}

bool ImportVizitFile(const QString& path, VizitKeyType type, KeyPage& page) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ReportFileError(FileErrorOpen, path);
        return false;
    }
    const QByteArray bytes = file.read(kVizitFileSize);
    if (!readVizitPage(bytes, type, page)) {
        ReportFileError(FileErrorRead, path);
        return false;
    }
    return true;
}

} // namespace tervane
