#pragma once

#include "keys/KeyCell.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace tervane {

class KeyPage;

// The key files of the VIZIT_DM duplicator (".viz"): 4-byte slots from byte 0, no header. The
// first 2401 slots are used, anything after them is ignored. A slot holds a key's three code
// bytes, least significant first, and an unused fourth byte; a slot of three 0xFF code bytes is
// empty. Slot k is key column k mod 6 of row k div 6, so rows 401 to 499 stay empty. The file
// names no key type: the user picks the one every key gets.
constexpr int kVizitSlotCount = 2401;
constexpr int kVizitSlotSize = 4;
constexpr int kVizitFileSize = kVizitSlotCount * kVizitSlotSize; // 9604

enum class VizitKeyType : std::uint8_t {
    Dallas = KeyTypeDallas,
    Tm2002 = KeyTypeTm2002,
    Cyfral = KeyTypeCyfral,
    Em410x = KeyTypeEm410x,
};

// The cell a slot's code bytes b0, b1, b2 become: c[0] = 1, c[1..3] = b0 b1 b2, and the check sum
// in c[7] (Dallas, TM2002, Cyfral) or the speed RF64 in c[6] (EM410x).
KeyCell vizitCell(VizitKeyType type, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);

// A whole new page from the bytes of a .viz file: keys only, no comments. False, with page left
// as it was, when the bytes are fewer than 9604.
bool readVizitPage(QByteArrayView bytes, VizitKeyType type, KeyPage& page);

// The same from a file. Reports its own failures: code -4 when the file cannot be opened, -1 when
// it holds fewer than 9604 bytes (page left as it was).
bool ImportVizitFile(const QString& path, VizitKeyType type, KeyPage& page);

} // namespace tervane
