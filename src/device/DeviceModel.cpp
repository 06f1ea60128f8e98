#include "device/DeviceModel.h"

namespace tervane {

DeviceModel deviceModelFromLetter(std::uint8_t letter) {
    switch (letter) {
    case 0x42:
    case 0x43:
        return ModelLark;
    case 0x66:
        return ModelWren;
    case 0x55:
        return ModelKestrel;
    default:
        return ModelUnknown;
    }
}

QString deviceModelName(std::int32_t model) {
    switch (model) {
    case ModelLark:
        return QStringLiteral("Lark");
    case ModelWren:
        return QStringLiteral("Wren");
    case ModelKestrel:
        return QStringLiteral("Kestrel");
    default:
        return {};
    }
}

int minimumFirmwareVersion(std::int32_t model) {
    switch (model) {
    case ModelLark:
        return 382;
    case ModelWren:
        return 110;
    case ModelKestrel:
        return 136;
    default:
        return 0;
    }
}

int firmwareVersionNumber(const QString& versionText) {
    if (versionText.size() < 4)
        return -1;
    int number = 0;
    for (int index : {0, 2, 3}) {
        const QChar c = versionText.at(index);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        number = number * 10 + (c.unicode() - '0');
    }
    return number;
}

} // namespace tervane
