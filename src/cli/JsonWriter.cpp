#include "cli/JsonWriter.h"

namespace tervane {

void JsonWriter::separate() {
    if (m_frames.empty())
        return;
    Frame& frame = m_frames.back();
    if (frame.members > 0)
        m_out += frame.inlineLayout ? ", " : ",";
    if (!frame.inlineLayout)
        m_out += '\n' + QByteArray(2 * qsizetype(m_frames.size()), ' ');
    ++frame.members;
}

void JsonWriter::beforeValue() {
    if (m_afterKey)
        m_afterKey = false;
    else
        separate();
}

JsonWriter& JsonWriter::begin(char open, char close, Layout layout) {
    beforeValue();
    m_out += open;
    const bool insideInline = !m_frames.empty() && m_frames.back().inlineLayout;
    m_frames.push_back(Frame{close, insideInline || layout == Inline});
    return *this;
}

JsonWriter& JsonWriter::end() {
    const Frame frame = m_frames.back();
    m_frames.pop_back();
    if (!frame.inlineLayout && frame.members > 0)
        m_out += '\n' + QByteArray(2 * qsizetype(m_frames.size()), ' ');
    m_out += frame.close;
    return *this;
}

JsonWriter& JsonWriter::beginObject(Layout layout) {
    return begin('{', '}', layout);
}

JsonWriter& JsonWriter::endObject() {
    return end();
}

JsonWriter& JsonWriter::beginArray(Layout layout) {
    return begin('[', ']', layout);
}

JsonWriter& JsonWriter::endArray() {
    return end();
}

JsonWriter& JsonWriter::key(QStringView name) {
    separate();
    m_out += quoted(name) + ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::string(QStringView text) {
    beforeValue();
    m_out += quoted(text);
    return *this;
}

JsonWriter& JsonWriter::number(qint64 value) {
    beforeValue();
    m_out += QByteArray::number(value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    beforeValue();
    m_out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    m_out += "null";
    return *this;
}

QByteArray JsonWriter::quoted(QStringView text) {
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            escaped += QLatin1String("\\\"");
            break;
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\b':
            escaped += QLatin1String("\\b");
            break;
        case '\f':
            escaped += QLatin1String("\\f");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    escaped += QLatin1Char('"');
    return escaped.toUtf8();
}

} // namespace tervane
