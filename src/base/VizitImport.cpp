#include "base/VizitImport.h"

#include "base/FileErrors.h"
#include "base/KeyPage.h"
#include "keys/DallasCrc.h"

#include <QFile>

#include <array>

namespace tervane {
namespace {

constexpr std::uint8_t kEmSpeedRf64 = 6;

// The check sum of the seven code bytes 1 b0 b1 b2 0 0 0, three look-ups a key. A CRC with a
// zero start and no final XOR is linear: the sum of those bytes is the XOR of the sums of
// 1 0 0 0 0 0 0, 0 b0 0 0 0 0 0, 0 0 b1 0 0 0 0 and 0 0 0 b2 0 0 0. The tables are made once from
// DallasCrc8 itself.
class VizitChecksum {
public:
    VizitChecksum() {
        for (int value = 0; value < 256; ++value) {
            for (std::size_t at = 0; at < m_byte.size(); ++at) {
                std::array<std::uint8_t, 7> code{};
                code[at + 1] = std::uint8_t(value);
                m_byte[at][std::size_t(value)] = DallasCrc8(code.data(), code.size());
            }
        }
        const std::array<std::uint8_t, 7> lead{1, 0, 0, 0, 0, 0, 0};
        m_lead = DallasCrc8(lead.data(), lead.size());
    }

    std::uint8_t of(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) const {
        return std::uint8_t(m_lead ^ m_byte[0][b0] ^ m_byte[1][b1] ^ m_byte[2][b2]);
    }

private:
    std::array<std::array<std::uint8_t, 256>, 3> m_byte{};
    std::uint8_t m_lead = 0;
};

const VizitChecksum& vizitChecksum() {
    static const VizitChecksum checksum;
    return checksum;
}

// The ten bytes of a key cell: type, reserved byte, then the code c[0..7].
void writeVizitCell(std::uint8_t* cell, VizitKeyType type, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                    const VizitChecksum& checksum) {
    cell[0] = std::uint8_t(type);
    cell[1] = 0;
    cell[2] = 1;
    cell[3] = b0;
    cell[4] = b1;
    cell[5] = b2;
    cell[6] = 0;
    cell[7] = 0;
    cell[8] = type == VizitKeyType::Em410x ? kEmSpeedRf64 : 0;
    cell[9] = type == VizitKeyType::Em410x ? 0 : checksum.of(b0, b1, b2);
}

} // namespace

KeyCell vizitCell(VizitKeyType type, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    KeyCell cell;
    writeVizitCell(cell.bytes.data(), type, b0, b1, b2, vizitChecksum());
    return cell;
}

bool readVizitPage(QByteArrayView bytes, VizitKeyType type, KeyPage& page) {
    if (bytes.size() < kVizitFileSize)
        return false;
    page.clear();
    const VizitChecksum& checksum = vizitChecksum();
    // Slot k is cell k of the row-major cell area.
    static_assert(KeyPage::cellOffset(1, 0) == KeyPage::kKeyColumns * KeyCell::kSize);
    std::uint8_t* cell = page.data();
    const auto* slot = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (int k = 0; k < kVizitSlotCount; ++k, slot += kVizitSlotSize, cell += KeyCell::kSize) {
        if (slot[0] == 0xFF && slot[1] == 0xFF && slot[2] == 0xFF)
            continue;
        writeVizitCell(cell, type, slot[0], slot[1], slot[2], checksum);
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
