#include "cli/FindKeyCommand.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/DirectoryFile.h"
#include "base/FileErrors.h"
#include "base/KeySearch.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "cli/KeyCellArgs.h"

#include <array>
#include <optional>

namespace tervane {
namespace {

constexpr std::array kFamilies{std::pair{"dallas", KeyFamily::Dallas}, std::pair{"cyfral", KeyFamily::Cyfral},
                               std::pair{"tm2002", KeyFamily::Tm2002}, std::pair{"em410x", KeyFamily::Em410x},
                               std::pair{"hid", KeyFamily::HidProx},   std::pair{"indala", KeyFamily::Indala}};

QStringList familyNames() {
    QStringList names;
    for (const auto& [name, family] : kFamilies)
        names << QString::fromLatin1(name);
    return names;
}

KeyFamily familyNamed(const QString& name) {
    for (const auto& [familyName, family] : kFamilies) {
        if (name == QLatin1String(familyName))
            return family;
    }
    return KeyFamily::Any;
}

QString queryError(KeyQuery::Error error, const QString& text) {
    switch (error) {
    case KeyQuery::Error::Empty:
        return QStringLiteral("QUERY holds no hex digit");
    case KeyQuery::Error::NotHex:
        return QStringLiteral("QUERY must be hex digits (0-9, A-F) and blanks, not \"%1\"").arg(text);
    case KeyQuery::Error::TooLong:
        return QStringLiteral("QUERY has more than 12 hex digits, more than any key's code shows");
    case KeyQuery::Error::NotCardNumber:
        return QStringLiteral("N must be a card number: up to 10 digits, or 3 digits, a point or a comma and "
                              "5 digits, not \"%1\"")
            .arg(text);
    case KeyQuery::Error::CardNumberRange:
        return QStringLiteral("N is too large for a card number: \"%1\"").arg(text);
    case KeyQuery::Error::None:
        break;
    }
    return {};
}

std::optional<KeyQuery> parseQuery(const CommandLine& line, QString& usageError) {
    const bool decimal = line.isSet(QStringLiteral("dec"));
    if (line.positional().size() != (decimal ? 1 : 2)) {
        usageError = QStringLiteral("find-key takes BASE and QUERY, or BASE and --dec N");
        return std::nullopt;
    }
    if (decimal && line.isSet(QStringLiteral("type"))) {
        usageError = QStringLiteral("--type does not go with --dec: card numbers are EM410x cards");
        return std::nullopt;
    }
    const QString text = decimal ? line.value(QStringLiteral("dec"), {}) : line.positional().at(1);
    auto error = KeyQuery::Error::None;
    const KeyQuery query =
        decimal ? KeyQuery::cardNumber(text.toStdString(), error)
                : KeyQuery::hexDigits(text.toStdString(), familyNamed(line.value(QStringLiteral("type"), {})), error);
    if (error != KeyQuery::Error::None) {
        usageError = queryError(error, text);
        return std::nullopt;
    }
    return query;
}

} // namespace

QString FindKeyCommand::usage() const {
    return QStringLiteral("  find-key BASE QUERY [--type dallas|cyfral|tm2002|em410x|hid|indala]\n"
                          "  find-key BASE --dec N\n"
                          "      The keys whose code, as the grid's full view shows it without type, speed\n"
                          "      and check sum, holds QUERY (hex digits of either case, blanks ignored),\n"
                          "      or the EM410x cards whose printed number is N (DEZ 10, DEZ 8, or DEZ 3.5C\n"
                          "      as 051.17493 or 051,17493). In tree order, then row, then column, each with\n"
                          "      the path of names from the top, the file's index (as tree numbers the\n"
                          "      nodes), page, row, column (0..5), type, code (16 hex digits, c[0] first),\n"
                          "      text and comment.\n");
}

ExitCode FindKeyCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line({{QStringLiteral("type"), familyNames()}, {QStringLiteral("dec"), {}, true}});
    if (!line.parse(args, usageError))
        return ExitUsage;
    const std::optional<KeyQuery> query = parseQuery(line, usageError);
    if (!query)
        return ExitUsage;
    const QString base = CommandLine::basePath(line.positional().first());
    BaseTree tree;
    if (!LoadDirectory(base + QStringLiteral(".dir"), tree))
        return ExitFileError;
    KeySearchJob job;
    job.query = *query;
    job.pageFile = base + QStringLiteral(".dat");
    job.files = keySearchFiles(tree);
    const KeySearchResult result = searchKeys(job);
    if (result.errorCode != 0) {
        ReportFileError(result.errorCode, result.errorPath);
        return ExitFileError;
    }

    JsonWriter json;
    json.beginObject();
    json.key(u"hits").beginArray();
    for (const KeyHit& hit : result.hits) {
        const KeySearchFile& file = job.files.at(std::size_t(hit.file));
        json.beginObject(JsonWriter::Inline);
        json.key(u"path").beginArray(JsonWriter::Inline);
        for (const QString& name : nodePath(file.node))
            json.string(name);
        json.endArray();
        json.key(u"index").number(file.index);
        json.key(u"page").number(file.page);
        json.key(u"row").number(hit.row);
        json.key(u"column").number(hit.column);
        writeKeyMembers(json, hit.cell);
        json.key(u"comment").string(fromCp1251(result.comment(hit)));
        json.endObject();
    }
    json.endArray();
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
