#include "keys/KeyTypes.h"

#include "keys/KeyCell.h"

namespace tervane {

namespace {

struct TypeNames {
    const char* full;
    const char* sixLetter;
    const char* letter;
};

TypeNames namesOf(std::uint8_t type) {
    switch (type) {
    case KeyTypeDallas:
    case KeyTypeDallas4:
        return {"Dallas", "DS1990", "D"};
    case KeyTypeTm2002:
        return {"TM2002 Metacom", "TM2002", "T"};
    case KeyTypeCyfral:
        return {"Cyfral (DC-2000)", "CYFRAL", "C"};
    case KeyTypeEm410x:
        return {"EM Marin 410x", "EM410x", "E"};
    case KeyTypeHidProx:
        return {"HID Prox II", "PROXII", "H"};
    case KeyTypeIndala:
        return {"Indala (Motorola)", "INDALA", "I"};
    default:
        return {"!UNKNOWN!", "??????", "?"};
    }
}

} // namespace

std::string KeyTypeFullName(std::uint8_t type) {
    return namesOf(type).full;
}

std::string KeyTypeShortName(std::uint8_t type, int view) {
    switch (view) {
    case KeyViewFull:
        return namesOf(type).sixLetter;
    case KeyViewShort:
        return namesOf(type).letter;
    default:
        return {};
    }
}

std::string EmSpeedName(std::uint8_t value) {
    static const char* const kNames[] = {"RF8", "RF16", "RF32", "RF40", "RF50", "RF64", "RF100", "RF128"};
    if (value >= 1 && value <= 8)
        return kNames[value - 1];
    return "RF???";
}

} // namespace tervane
