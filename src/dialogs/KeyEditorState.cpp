#include "dialogs/KeyEditorState.h"

#include "device/DeviceModel.h"
#include "keys/DallasCrc.h"
#include "keys/HexText.h"
#include "keys/KeyValidity.h"

namespace tervane {
namespace {

constexpr int kSpeedCount = 7; // RF16 .. RF128, stored as 2..8

bool isDallas(std::uint8_t type) {
    return type == KeyTypeDallas || type == KeyTypeDallas4;
}

std::u16string_view utf16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

} // namespace

KeyEditorState::KeyEditorState(UiLanguage language)
    : m_language(language), m_layout(KeyEditorLayout::of(KeyTypeDallas)), m_layoutLanguage(language) {
    const KeyCodeGroupPositions positions = codeGroupPositions(language);
    CodeGroupPos = positions.codeGroup;
    CrcGroupPos = positions.crcGroup;
    m_fieldText = m_layout->fieldText(language, EditorCode);
}

void KeyEditorState::open(const KeyCell& cell, std::int32_t lastDeviceModel, UiLanguage language) {
    m_creating = !IsKeyOccupied(cell.type());
    if (m_creating) {
        NewKeyMode = true;
    } else {
        EditorType = cell.type();
        EditorCode = cell.code();
        NewKeyMode = false;
    }
    m_language = language;
    m_okEnabled = true;
    ReactToText = false;
    FillTypeList(lastDeviceModel);
    ConfigureForType();
    m_typePosition = positionOf(EditorType);
    const int speed = EditorCode[6] - 2;
    m_speedPosition = speed >= 0 && speed < kSpeedCount ? speed : -1;
    // A new key's code was not typed in this opening: it is read as shown, so that it takes the
    // type's layout and OK is offered only for a code that may be stored.
    if (m_creating)
        readField();
    ReactToText = true;
}

void KeyEditorState::FillTypeList(std::int32_t lastDeviceModel) {
    m_typeList = {KeyTypeDallas, KeyTypeCyfral, KeyTypeTm2002};
    if (lastDeviceModel == ModelWren || lastDeviceModel == ModelKestrel)
        m_typeList << KeyTypeEm410x;
    if (lastDeviceModel == ModelKestrel)
        m_typeList << KeyTypeHidProx << KeyTypeIndala;
    m_typePosition = -1;
}

void KeyEditorState::ConfigureForType() {
    if (NewKeyMode) {
        if (EditorType != LastNewType) {
            EditorCode.fill(0);
            if (isDallas(EditorType))
                EditorCode[0] = 1;
        }
        LastNewType = EditorType;
    }
    NewKeyMode = true;
    const KeyCodeGroupPositions positions = codeGroupPositions(m_language);
    CodeGroupPos = positions.codeGroup;
    CrcGroupPos = positions.crcGroup;

    const KeyEditorLayout* layout = KeyEditorLayout::of(EditorType);
    if (!layout)
        return;
    m_typePosition = positionOf(EditorType);
    m_layout = layout;
    m_layoutLanguage = m_language;
    // Refilling the field is a change of its text: a Dallas code gets its family byte. With the
    // box ticked it gets its check sum too, so that the field never shows, nor OK stores, a check
    // sum left from other bytes.
    if (isDallas(EditorType)) {
        EditorCode[0] = 1;
        if (m_checksumTicked)
            EditorCode[7] = DallasCrc8(EditorCode.data(), 7);
    }
    m_fieldText = layout->fieldText(m_language, EditorCode);
}

void KeyEditorState::KeyTypeBoxChange(int position) {
    if (position < 0 || position >= m_typeList.size())
        return;
    EditorType = m_typeList[position];
    ReactToText = false;
    ConfigureForType();
    // The code shown now belongs to the new type: read it as typed, so that its constant bytes
    // are the new type's and OK follows its validity.
    readField();
    ReactToText = true;
}

std::optional<QString> KeyEditorState::CodeEditChange(const QString& text) {
    m_fieldText = text;
    if (isDallas(EditorType))
        EditorCode[0] = 1;
    if (!ReactToText)
        return std::nullopt;
    return readField();
}

std::optional<QString> KeyEditorState::readField() {
    const ParsedKeyCode read =
        ParseKeyCodeText(EditorType, utf16(m_fieldText), {CodeGroupPos, CrcGroupPos}, !m_checksumTicked);
    if (!read.valid) {
        m_okEnabled = false;
        return std::nullopt;
    }
    if (EditorType == KeyTypeTm2002)
        m_okEnabled = IsValidTm2002Code(read.code);
    else if (EditorType == KeyTypeIndala)
        m_okEnabled = IsValidIndalaCode(read.code);
    else
        m_okEnabled = true;
    EditorCode = read.code;
    if (EditorType == KeyTypeEm410x)
        EditorCode[6] = static_cast<std::uint8_t>(m_speedPosition + 2);
    if (isDallas(EditorType) && m_checksumTicked)
        return rewriteChecksum();
    return std::nullopt;
}

std::optional<QString> KeyEditorState::rewriteChecksum() {
    EditorCode[7] = DallasCrc8(EditorCode.data(), 7);
    const int at = CrcGroupPos - 1;
    if (at < 0 || at + 2 > m_fieldText.size())
        return std::nullopt;
    const QString digits = QString::fromStdString(BytesToHexText(EditorCode.data(), 7, 1));
    if (QStringView(m_fieldText).mid(at, 2) == digits)
        return std::nullopt;
    m_fieldText.replace(at, 2, digits);
    return m_fieldText;
}

std::optional<QString> KeyEditorState::TMCRCCheckBoxClick(bool ticked) {
    m_checksumTicked = ticked;
    if (!ticked || !isDallas(EditorType))
        return std::nullopt;
    return rewriteChecksum();
}

void KeyEditorState::TMSpeedBoxChange(int position) {
    m_speedPosition = position;
    EditorCode[6] = static_cast<std::uint8_t>(position + 2);
}

KeyCell KeyEditorState::EditorOkButtonClick() {
    if (EditorType == KeyTypeEm410x)
        EditorCode[6] = static_cast<std::uint8_t>(m_speedPosition + 2);
    KeyCell cell;
    cell.setType(EditorType);
    cell.bytes[1] = 0;
    cell.setCode(EditorCode);
    return cell;
}

int KeyEditorState::positionOf(std::uint8_t type) const {
    if (type == KeyTypeDallas4)
        type = KeyTypeDallas;
    return static_cast<int>(m_typeList.indexOf(type));
}

} // namespace tervane
