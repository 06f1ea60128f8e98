#include "cli/TreeCommand.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/DirectoryFile.h"
#include "base/FileErrors.h"
#include "base/KeyPage.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace tervane {

namespace {

// The header record keeps the selected node's pre-order position where a node keeps its image.
constexpr int kHeaderSelectedOffset = 261;

// The stored position as it is, even when it names no node: a script may want to see that.
bool readSelectedPosition(const QString& directoryFile, qint32& position) {
    QFile file(directoryFile);
    if (!file.open(QIODevice::ReadOnly)) {
        ReportFileError(FileErrorOpen, directoryFile);
        return false;
    }
    const QByteArray header = file.read(kDirectoryRecordSize);
    if (header.size() != kDirectoryRecordSize) {
        ReportFileError(FileErrorRead, directoryFile);
        return false;
    }
    position = qFromLittleEndian<qint32>(header.constData() + kHeaderSelectedOffset);
    return true;
}

qint64 wholePages(const QString& pageFile) {
    const QFileInfo info(pageFile);
    return info.isFile() ? info.size() / KeyPage::kSize : 0;
}

} // namespace

QString TreeCommand::usage() const {
    return QStringLiteral("  tree BASE\n"
                          "      The folder tree: the selected position, the number of pages and the nodes\n"
                          "      in pre-order with name, level, image, selectedImage, page (-1: none) and\n"
                          "      expanded.\n");
}

ExitCode TreeCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line;
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 1) {
        usageError = QStringLiteral("tree takes one argument, BASE");
        return ExitUsage;
    }
    const QString base = CommandLine::basePath(line.positional().first());
    const QString directoryFile = base + QStringLiteral(".dir");

    BaseTree tree;
    qint32 selected = -1;
    if (!LoadDirectory(directoryFile, tree) || !readSelectedPosition(directoryFile, selected))
        return ExitFileError;

    JsonWriter json;
    json.beginObject();
    json.key(u"selected").number(selected);
    json.key(u"pages").number(wholePages(base + QStringLiteral(".dat")));
    json.key(u"nodes").beginArray();
    int level = 0;
    for (const BaseNode* node = tree.first(); node; node = tree.next(node, level)) {
        json.beginObject(JsonWriter::Inline);
        json.key(u"name").string(fromCp1251(node->text));
        json.key(u"level").number(level);
        json.key(u"image").number(node->imageIndex);
        json.key(u"selectedImage").number(node->selectedIndex);
        json.key(u"page").number(node->pageNumber);
        json.key(u"expanded").boolean(node->expanded);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
