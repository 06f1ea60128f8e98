#include "keys/FlipperKeyFormat.h"

#include "keys/DallasCrc.h"
#include "keys/HexText.h"
#include "keys/KeyTypes.h"

#include <array>
#include <map>
#include <vector>

namespace tervane {
namespace {

constexpr std::string_view kIButtonFiletype = "Flipper iButton key";
constexpr std::string_view kRfidFiletype = "Flipper RFID key";

constexpr std::uint8_t kSpeedRf16 = 2;
constexpr std::uint8_t kSpeedRf32 = 3;
constexpr std::uint8_t kSpeedRf64 = 6;

// One key type of the files: its name, where its bytes stand and which cell it makes.
struct FlipperType {
    std::string_view name;     // "Protocol" (version 2) or "Key type" (version 1, RFID) value
    std::string_view dataKey;  // the field holding the bytes
    int count;                 // bytes in that field
    std::uint8_t type;         // the cell's type
    std::uint8_t emSpeed;      // EM410x only
    std::array<int, 8> cIndex; // file byte i is c[cIndex[i]]
};

// clang-format off
constexpr FlipperType kIButtonV2[] = {
    {"DS1990", "Rom Data", 8, KeyTypeDallas, 0, {0, 1, 2, 3, 4, 5, 6, 7}},
    {"Cyfral", "Data", 2, KeyTypeCyfral, 0, {1, 2}},
    {"Metakom", "Data", 4, KeyTypeTm2002, 0, {1, 2, 3, 4}},
};
constexpr FlipperType kIButtonV1[] = {
    {"Dallas", "Data", 8, KeyTypeDallas, 0, {0, 1, 2, 3, 4, 5, 6, 7}},
    {"Cyfral", "Data", 2, KeyTypeCyfral, 0, {1, 2}},
    {"Metakom", "Data", 4, KeyTypeTm2002, 0, {1, 2, 3, 4}},
};
constexpr FlipperType kRfid[] = {
    {"EM4100", "Data", 5, KeyTypeEm410x, kSpeedRf64, {5, 4, 3, 2, 1}},
    {"EM4100/32", "Data", 5, KeyTypeEm410x, kSpeedRf32, {5, 4, 3, 2, 1}},
    {"EM4100/16", "Data", 5, KeyTypeEm410x, kSpeedRf16, {5, 4, 3, 2, 1}},
};
// clang-format on

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

FlipperResult failure(FlipperError error, std::string_view detail = {}) {
    FlipperResult result;
    result.error = error;
    result.detail = std::string(detail);
    return result;
}

// The "Key: value" lines; a key given twice counts the first time.
FlipperResult parseFields(std::string_view text, std::map<std::string, std::string, std::less<>>& fields) {
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t colon = line.find(':');
        const std::string_view key =
            colon == std::string_view::npos ? std::string_view() : trimmed(line.substr(0, colon));
        if (key.empty()) {
            FlipperResult result = failure(FlipperError::BadLine);
            result.line = number;
            return result;
        }
        fields.emplace(std::string(key), std::string(trimmed(line.substr(colon + 1))));
    }
    return {};
}

// Blank-separated pairs of hex digits.
bool parseHexBytes(std::string_view value, std::vector<std::uint8_t>& bytes) {
    while (!(value = trimmed(value)).empty()) {
        if (value.size() < 2 || (value.size() > 2 && value[2] != ' ' && value[2] != '\t'))
            return false;
        std::uint8_t byte = 0;
        if (!HexTextToBytes(value.substr(0, 2), 2, &byte, 0, 1))
            return false;
        bytes.push_back(byte);
        value.remove_prefix(2);
    }
    return true;
}

std::string hexLine(const KeyCode& code, const FlipperType& type) {
    std::string text;
    for (int i = 0; i < type.count; ++i) {
        if (i > 0)
            text += ' ';
        text += BytesToHexText(&code[std::size_t(type.cIndex[std::size_t(i)])], 0, 1);
    }
    return text;
}

template <std::size_t N> const FlipperType* findType(const FlipperType (&types)[N], std::string_view name) {
    for (const FlipperType& t : types)
        if (t.name == name)
            return &t;
    return nullptr;
}

const FlipperType* typeForCell(const KeyCell& cell) {
    switch (cell.type()) {
    case KeyTypeDallas:
    case KeyTypeDallas4:
        return &kIButtonV2[0];
    case KeyTypeCyfral:
        return &kIButtonV2[1];
    case KeyTypeTm2002:
        return &kIButtonV2[2];
    case KeyTypeEm410x: {
        const std::uint8_t speed = cell.code()[6];
        return speed == kSpeedRf32 ? &kRfid[1] : speed == kSpeedRf16 ? &kRfid[2] : &kRfid[0];
    }
    default:
        return nullptr;
    }
}

} // namespace

FlipperFileKind flipperFileKind(std::uint8_t type) {
    KeyCell cell;
    cell.setType(type);
    const FlipperType* t = typeForCell(cell);
    if (!t)
        return FlipperFileKind::None;
    return t->type == KeyTypeEm410x ? FlipperFileKind::Rfid : FlipperFileKind::IButton;
}

const char* flipperFileSuffix(FlipperFileKind kind) {
    switch (kind) {
    case FlipperFileKind::IButton:
        return ".ibtn";
    case FlipperFileKind::Rfid:
        return ".rfid";
    case FlipperFileKind::None:
        break;
    }
    return "";
}

FlipperResult writeFlipperKey(const KeyCell& cell, std::string& text) {
    if (!IsKeyOccupied(cell.type()))
        return failure(FlipperError::NoKey);
    const FlipperType* type = typeForCell(cell);
    if (!type)
        return failure(FlipperError::NoCounterpart, KeyTypeFullName(cell.type()));
    const std::string data = hexLine(cell.code(), *type);
    if (type->type == KeyTypeEm410x) {
        text = "Filetype: " + std::string(kRfidFiletype) + "\nVersion: 1\nKey type: " + std::string(type->name) +
               "\nData: " + data + "\n";
    } else {
        text = "Filetype: " + std::string(kIButtonFiletype) + "\nVersion: 2\nProtocol: " + std::string(type->name) +
               "\n" + std::string(type->dataKey) + ": " + data + "\n";
    }
    return {};
}

FlipperResult readFlipperKey(std::string_view text, KeyCell& cell) {
    std::map<std::string, std::string, std::less<>> fields;
    if (FlipperResult parsed = parseFields(text, fields); !parsed.ok())
        return parsed;
    const auto field = [&](std::string_view key) -> const std::string* {
        const auto it = fields.find(key);
        return it == fields.end() ? nullptr : &it->second;
    };

    const std::string* filetype = field("Filetype");
    if (!filetype || (*filetype != kIButtonFiletype && *filetype != kRfidFiletype))
        return failure(FlipperError::NotKeyFile, filetype ? *filetype : std::string());
    const bool rfid = *filetype == kRfidFiletype;
    const std::string* version = field("Version");
    if (!version)
        return failure(FlipperError::MissingField, "Version");
    const bool v1 = *version == "1";
    if (!v1 && (rfid || *version != "2"))
        return failure(FlipperError::WrongVersion, *version);

    const std::string_view typeKey = rfid || v1 ? "Key type" : "Protocol";
    const std::string* typeName = field(typeKey);
    if (!typeName)
        return failure(FlipperError::MissingField, typeKey);
    const FlipperType* type = rfid ? findType(kRfid, *typeName)
                              : v1 ? findType(kIButtonV1, *typeName)
                                   : findType(kIButtonV2, *typeName);
    if (!type)
        return failure(FlipperError::UnknownType, *typeName);

    const std::string* data = field(type->dataKey);
    if (!data)
        return failure(FlipperError::MissingField, type->dataKey);
    std::vector<std::uint8_t> bytes;
    if (!parseHexBytes(*data, bytes))
        return failure(FlipperError::BadBytes, type->dataKey);
    if (int(bytes.size()) != type->count) {
        FlipperResult result = failure(FlipperError::WrongByteCount, type->dataKey);
        result.expected = type->count;
        result.found = int(bytes.size());
        return result;
    }

    KeyCode code{};
    for (int i = 0; i < type->count; ++i)
        code[std::size_t(type->cIndex[std::size_t(i)])] = bytes[std::size_t(i)];
    switch (type->type) {
    case KeyTypeCyfral:
        code[0] = 1;
        code[3] = 1;
        code[7] = DallasCrc8(code.data(), 7);
        break;
    case KeyTypeTm2002:
        code[0] = 1;
        code[7] = DallasCrc8(code.data(), 7);
        break;
    case KeyTypeEm410x:
        code[6] = type->emSpeed;
        break;
    default: // Dallas: the ROM as read, family code and check sum included
        break;
    }
    cell.clear();
    cell.setType(type->type);
    cell.setCode(code);
    return {};
}

} // namespace tervane
