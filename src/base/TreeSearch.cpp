#include "base/TreeSearch.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"

#include <QByteArrayView>
#include <QVarLengthArray>

namespace tervane {
namespace {

// The text as Windows-1251 bytes, when every character has a byte of its own: "?" in place of
// a character the names cannot hold would match a real "?".
bool exactCp1251(const QString& text, QByteArray& bytes) {
    bytes = toCp1251(text);
    return fromCp1251(bytes) == text;
}

} // namespace

TreeSearch::TreeSearch(const QString& text, bool caseSensitive, const QLocale& locale)
    : m_locale(locale), m_caseSensitive(caseSensitive), m_empty(text.isEmpty()) {
    if (m_empty)
        return;
    if (m_caseSensitive) {
        m_inNames = exactCp1251(text, m_needle);
        return;
    }
    m_loweredText = m_locale.toLower(text);
    m_inNames = exactCp1251(m_loweredText, m_needle);
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        QByteArray lowered;
        if (exactCp1251(m_locale.toLower(fromCp1251(byte)), lowered) && lowered.size() == 1) {
            m_lower[b] = std::uint8_t(lowered[0]);
        } else {
            m_lower[b] = std::uint8_t(b);
            m_throughLocale[b] = true;
        }
    }
}

bool TreeSearch::matchesThroughLocale(const QByteArray& name) const {
    return m_locale.toLower(fromCp1251(name)).contains(m_loweredText);
}

bool TreeSearch::matches(const QByteArray& name) const {
    if (m_empty)
        return false;
    if (m_caseSensitive)
        return m_inNames && QByteArrayView(name).contains(m_needle);
    QVarLengthArray<char, 256> lowered(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const auto b = std::uint8_t(name[i]);
        if (m_throughLocale[b])
            return matchesThroughLocale(name);
        lowered[i] = char(m_lower[b]);
    }
    return m_inNames && QByteArrayView(lowered.constData(), lowered.size()).contains(m_needle);
}

BaseNode* TreeSearch::next(const BaseTree& tree, std::int32_t& occurrence) const {
    // The second pass starts from 0 and so stops at the first match: the search wraps around.
    for (int pass = 0; pass < 2; ++pass) {
        std::int32_t seen = 0;
        for (BaseNode* node = tree.first(); node; node = tree.next(node)) {
            if (!matches(node->text))
                continue;
            if (seen == occurrence) {
                ++occurrence;
                return node;
            }
            ++seen;
        }
        occurrence = 0;
        if (seen == 0)
            break;
    }
    return nullptr;
}

} // namespace tervane
