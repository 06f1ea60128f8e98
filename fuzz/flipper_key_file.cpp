// Any bytes as a Flipper Zero key file: a file that is read gives a key of one of the four types
// that have a counterpart, and writing that key gives a file that reads back as the same cell. A
// failed read leaves the cell as it was.
#include "FuzzCheck.h"

#include "keys/FlipperKeyFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace tervane;
using tervane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    KeyCell cell;
    cell.bytes.fill(0xA5);
    const FlipperResult result = readFlipperKey(text, cell);
    if (!result.ok()) {
        for (const std::uint8_t b : cell.bytes)
            Check(b == 0xA5);
        return 0;
    }
    const std::uint8_t type = cell.type();
    Check(type == KeyTypeDallas || type == KeyTypeTm2002 || type == KeyTypeCyfral || type == KeyTypeEm410x);
    Check(cell.bytes[1] == 0);

    std::string written;
    Check(writeFlipperKey(cell, written).ok());
    KeyCell again;
    Check(readFlipperKey(written, again).ok());
    Check(again.bytes == cell.bytes);
    return 0;
}
