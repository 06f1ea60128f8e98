#include "update/VersionList.h"

namespace tervane {
namespace {

const QString kHeader = QStringLiteral("[Tervane FIRMWARE UPDATE LIST]");

// Two decimal digits, or -1.
int twoDigits(QChar tens, QChar ones) {
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : -1; };
    const int t = digit(tens);
    const int o = digit(ones);
    return t < 0 || o < 0 ? -1 : t * 10 + o;
}

} // namespace

bool ReadListLine(UpdateListText& list, QString& line) {
    line.clear();
    // The last character is the zero that FetchText appends.
    const qsizetype end = list.text.size() - 1;
    if (list.text.isEmpty() || list.position >= end)
        return false;
    qsizetype i = list.position;
    for (; i < end && list.text[i] != u'\n'; ++i) {
        if (list.text[i] != u'\r')
            line += list.text[i];
    }
    list.position = i + 1;
    return true;
}

UpdateOffer ReadUpdateOffer(UpdateListText& list) {
    UpdateOffer offer;
    QString line;
    if (!ReadListLine(list, line))
        return offer;
    bool header = false;
    while (!header && ReadListLine(list, line))
        header = line == kHeader;
    if (!header)
        return offer;
    while (ReadListLine(list, line)) {
        if (line.startsWith(u'['))
            break;
        if (line.size() < 4 || line[0] != u'V')
            continue;
        const int version = twoDigits(line[1], line[3]);
        if (version < 0)
            continue;
        offer.listed = true;
        offer.version = version;
        offer.fileName = line.mid(5);
        break;
    }
    return offer;
}

bool IsPlainFileName(const QString& name) {
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

int VersionNumber(const char* version) {
    if (!version[0] || !version[1])
        return -1;
    return twoDigits(QLatin1Char(version[0]), QLatin1Char(version[2]));
}

} // namespace tervane
