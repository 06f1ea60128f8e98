#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <vector>

namespace tervane {

// Writes JSON in the order the calls come, so the keys of an object appear in the documented
// order (QJsonObject would sort them). Block containers put each member on its own line;
// inline containers keep their members on one line, which gives one line per tree node or row.
class JsonWriter {
public:
    enum Layout { Block, Inline };

    JsonWriter& beginObject(Layout layout = Block);
    JsonWriter& endObject();
    JsonWriter& beginArray(Layout layout = Block);
    JsonWriter& endArray();

    // The name of the next member of the current object.
    JsonWriter& key(QStringView name);
    JsonWriter& string(QStringView text);
    JsonWriter& number(qint64 value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    // The document written so far, with a final newline.
    QByteArray finish() const { return m_out + '\n'; }

    // text as a JSON string in UTF-8: quotes, backslashes and control characters escaped.
    static QByteArray quoted(QStringView text);

private:
    struct Frame {
        char close;
        bool inlineLayout;
        int members = 0;
    };
    void beforeValue();
    void separate();
    JsonWriter& begin(char open, char close, Layout layout);
    JsonWriter& end();

    QByteArray m_out;
    std::vector<Frame> m_frames;
    bool m_afterKey = false;
};

} // namespace tervane
