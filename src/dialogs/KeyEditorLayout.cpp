#include "dialogs/KeyEditorLayout.h"

#include "keys/HexText.h"

#include <QStringList>
#include <array>

namespace tervane {
namespace {

constexpr std::array<KeyEditorLayout, 6> kLayouts{{
    {KeyTypeDallas, 6, 1, true, 270, false, true},
    {KeyTypeCyfral, 2, 1, false, 109, false, false},
    {KeyTypeTm2002, 4, 1, false, 156, false, false},
    {KeyTypeEm410x, 5, 1, false, 180, true, false},
    {KeyTypeHidProx, 6, 1, false, 204, false, false},
    {KeyTypeIndala, 5, 0, false, 180, false, false},
}};

QString label(UiLanguage language) {
    return language == UiLanguage::Russian ? QStringLiteral("код:") : QStringLiteral("code:");
}

// Mask letters that are literal text must be escaped; the others may be.
QString escaped(const QString& literal) {
    QString mask;
    for (const QChar c : literal) {
        if (c != QLatin1Char(' '))
            mask += QLatin1Char('\\');
        mask += c;
    }
    return mask;
}

} // namespace

const KeyEditorLayout* KeyEditorLayout::of(std::uint8_t type) {
    if (type == KeyTypeDallas4)
        type = KeyTypeDallas;
    for (const KeyEditorLayout& layout : kLayouts) {
        if (layout.type == type)
            return &layout;
    }
    return nullptr;
}

QString KeyEditorLayout::inputMask(UiLanguage language) const {
    QStringList groupMasks;
    for (int i = 0; i < groups; ++i)
        groupMasks << QStringLiteral("nn");
    QString mask =
        QStringLiteral("> ") + escaped(label(language)) + QLatin1Char(' ') + groupMasks.join(QLatin1Char(' '));
    if (checksumGroup)
        mask += QLatin1Char(' ') + escaped(QStringLiteral("crc:")) + QStringLiteral(" nn");
    return mask + QStringLiteral(";0");
}

QString KeyEditorLayout::fieldText(UiLanguage language, const KeyCode& code) const {
    const QString digits = QString::fromStdString(BytesToHexText(code.data(), firstByte, groups));
    QStringList groupTexts;
    for (int i = 0; i < groups; ++i)
        groupTexts << digits.mid(2 * i, 2);
    QString text = QLatin1Char(' ') + label(language) + QLatin1Char(' ') + groupTexts.join(QLatin1Char(' '));
    if (checksumGroup)
        text += QStringLiteral(" crc: ") + QString::fromStdString(BytesToHexText(code.data(), 7, 1));
    return text;
}

KeyCodeGroupPositions codeGroupPositions(UiLanguage language) {
    return language == UiLanguage::Russian ? kRussianCodeField : kEnglishCodeField;
}

} // namespace tervane
