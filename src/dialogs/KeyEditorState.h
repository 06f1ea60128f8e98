#pragma once

#include "dialogs/KeyEditorLayout.h"
#include "keys/KeyCell.h"
#include "texts/UiLanguage.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

namespace tervane {

// The key editor's state and rules without a widget: KeyEditorDialog shows what this holds and
// passes the user's changes in. It lives as long as the dialog, so the type, the code and the
// check-sum box carry over from one use to the next; only its construction (FormCreate) resets
// them.
//
// The designed state is kept as the plain fields below. What the controls show (the type list
// and its selection, the field's layout and text, the speed, the box, OK) has accessors.
class KeyEditorState {
public:
    explicit KeyEditorState(UiLanguage language = UiLanguage::English);

    // Opening on a cell: an occupied cell is edited with its own type and code; an empty one is
    // created from the type and code of the last use.
    void open(const KeyCell& cell, std::int32_t lastDeviceModel, UiLanguage language);

    void FillTypeList(std::int32_t lastDeviceModel);
    void ConfigureForType();
    void KeyTypeBoxChange(int position);
    // The field's text changed; text is the whole field as shown, an unfilled position as "0".
    // Returns the field's new text when the check sum was written into it.
    std::optional<QString> CodeEditChange(const QString& text);
    std::optional<QString> TMCRCCheckBoxClick(bool ticked);
    void TMSpeedBoxChange(int position);
    // The cell that OK stores.
    KeyCell EditorOkButtonClick();

    std::uint8_t EditorType = KeyTypeDallas;
    KeyCode EditorCode{1, 0, 0, 0, 0, 0, 0, 0};
    // The type for which EditorCode was last started afresh.
    std::uint8_t LastNewType = 0;
    // A change of type starts a fresh code.
    bool NewKeyMode = false;
    // False while the editor rewrites the field itself.
    bool ReactToText = false;
    int CodeGroupPos = kEnglishCodeField.codeGroup;
    int CrcGroupPos = kEnglishCodeField.crcGroup;

    bool creating() const { return m_creating; }
    // The offered types, in list order.
    const QList<std::uint8_t>& typeList() const { return m_typeList; }
    // -1: no selection.
    int typePosition() const { return m_typePosition; }
    int speedPosition() const { return m_speedPosition; }
    bool checksumTicked() const { return m_checksumTicked; }
    bool okEnabled() const { return m_okEnabled; }
    // The layout shown, which a type without one leaves as it was, and its language.
    const KeyEditorLayout& layout() const { return *m_layout; }
    UiLanguage layoutLanguage() const { return m_layoutLanguage; }
    const QString& fieldText() const { return m_fieldText; }

private:
    int positionOf(std::uint8_t type) const;
    // Reads the field as CodeEditChange does once ReactToText holds.
    std::optional<QString> readField();
    std::optional<QString> rewriteChecksum();

    bool m_creating = false;
    UiLanguage m_language;
    QList<std::uint8_t> m_typeList;
    int m_typePosition = 0;
    int m_speedPosition = 1;
    bool m_checksumTicked = true;
    bool m_okEnabled = true;
    const KeyEditorLayout* m_layout;
    UiLanguage m_layoutLanguage;
    QString m_fieldText;
};

} // namespace tervane
