#pragma once

#include <QString>
#include <cstdint>

namespace tervane {

// Programmer models as LastDeviceModel stores them; 2 is not used.
enum DeviceModel : std::int32_t {
    ModelUnknown = 0,
    ModelLark = 1,
    ModelWren = 3,
    ModelKestrel = 4,
};

// The model of a CmdIdentify letter byte: exact values, no case folding.
DeviceModel deviceModelFromLetter(std::uint8_t letter);
// "Lark", "Wren", "Kestrel"; empty for any other value.
QString deviceModelName(std::int32_t model);
// The oldest firmware each model works with, as FirmwareVersionNumber gives it: 382, 110, 136.
int minimumFirmwareVersion(std::int32_t model);
// Characters 1, 3 and 4 of a version text read as one decimal number ("3.82" gives 382);
// -1 when the text is shorter or those characters are not all digits.
int firmwareVersionNumber(const QString& versionText);

} // namespace tervane
