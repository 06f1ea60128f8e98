// Any bytes as the body of the version list. The lines read back are the body split at LF with
// the CRs left out, and the zero character after the body is never part of one. The offer found
// is the first version line after the header, and a name accepted as plain stays inside the
// "software" folder and inside the server's update folder.
#include "FuzzCheck.h"

#include "base/Cp1251.h"
#include "update/UpdateServer.h"
#include "update/VersionList.h"

#include <QDir>
#include <QUrl>
#include <cstddef>
#include <cstdint>

using namespace tervane;
using tervane::fuzz::Check;

namespace {

void CheckLines(const QString& body, const QString& text) {
    UpdateListText list{text};
    QString line;
    QString joined;
    int lines = 0;
    while (ReadListLine(list, line)) {
        Check(!line.contains(u'\n') && !line.contains(u'\r'));
        if (lines++ > 0)
            joined += u'\n';
        joined += line;
        Check(lines <= body.size());
    }
    Check(!ReadListLine(list, line));
    // A body that ends with LF has no line after it; one that ends with LF and CR has an empty one.
    QString expected = body;
    if (expected.endsWith(u'\n'))
        expected.chop(1);
    expected.remove(u'\r');
    Check(joined == expected);
}

void CheckOffer(const QString& text) {
    UpdateListText list{text};
    const UpdateOffer offer = ReadUpdateOffer(list);
    if (!offer.listed) {
        Check(offer.fileName.isEmpty());
        return;
    }
    Check(offer.version >= 0 && offer.version <= 99);
    // CRs count for nothing, even inside the header.
    Check(QString(text).remove(u'\r').contains(QStringLiteral("[Tervane FIRMWARE UPDATE LIST]")));
    if (!IsPlainFileName(offer.fileName))
        return;
    for (const QChar c : offer.fileName)
        Check(c != u'/' && c != u'\\' && c != u':' && c >= QChar(0x20));
    const QString folder = QStringLiteral("/opt/tervane/software");
    const QString path = QDir::cleanPath(folder + u'/' + offer.fileName);
    Check(path == folder + u'/' + offer.fileName);
    const QUrl server(QStringLiteral("https://update.example:8443"));
    const QUrl url = updateFileUrl(server, offer.fileName);
    Check(url.isValid());
    Check(url.host() == server.host() && url.port() == server.port());
    Check(url.path(QUrl::FullyDecoded) == QStringLiteral("/update/orvel/") + offer.fileName);
    Check(!url.hasQuery() && !url.hasFragment());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString body = fromCp1251(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    // FetchText's text: the body and one zero character.
    const QString text = body + QChar(0);
    CheckLines(body, text);
    CheckOffer(text);
    return 0;
}
