#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>

namespace tervane {

class BaseTree;
struct BaseNode;

// The find command's rule over the names of a key base's tree: a name matches when it contains
// the text as one piece; unless the case counts, both are lower-cased first by the locale's
// rules, Cyrillic included. An empty text matches nothing. The editor's Find and Find next and
// tervane-cli's find share it.
//
// Names stay Windows-1251 bytes: every byte is lower-cased once through a table made from the
// locale here, so a walk over a large tree converts no name. A byte whose lower case is not
// one Windows-1251 character (a locale could have one) sends its name through the locale whole.
class TreeSearch {
public:
    TreeSearch(const QString& text, bool caseSensitive, const QLocale& locale = QLocale::system());

    bool matches(const QByteArray& name) const;

    // The find walk. Passes over occurrence matches in pre-order (every node, expanded or not)
    // and returns the next one, adding 1 to occurrence. When fewer matches remain, occurrence
    // goes back to 0 and the walk wraps around to the first match. nullptr, with occurrence 0,
    // when no node matches.
    BaseNode* next(const BaseTree& tree, std::int32_t& occurrence) const;

private:
    bool matchesThroughLocale(const QByteArray& name) const;

    QLocale m_locale;
    bool m_caseSensitive;
    bool m_empty;
    // The text as Windows-1251 bytes (lower-cased unless the case counts); not set when the
    // text holds a character no name can hold.
    bool m_inNames = false;
    QByteArray m_needle;
    QString m_loweredText;
    std::array<std::uint8_t, 256> m_lower{};
    std::array<bool, 256> m_throughLocale{};
};

} // namespace tervane
