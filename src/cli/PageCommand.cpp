#include "cli/PageCommand.h"

#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "cli/PageJson.h"

namespace tervane {

namespace {

const QStringList kViews{QStringLiteral("full"), QStringLiteral("short"), QStringLiteral("hide")};
const QStringList kSwitch{QStringLiteral("on"), QStringLiteral("off")};

int viewValue(const QString& name) {
    return name == QLatin1String("short") ? KeyViewShort : name == QLatin1String("hide") ? KeyViewHide : KeyViewFull;
}

} // namespace

QString PageCommand::usage() const {
    return QStringLiteral("  page BASE N [OPTIONS]\n"
                          "      Page N (0 or more) of the page file: the number of cells that hold a key,\n"
                          "      and the rows that hold a key or a comment, each with its six cell texts\n"
                          "      and its comment.\n"
                          "      --type-view full|short|hide   key type: name, letter or none (default full)\n"
                          "      --code-view full|short|hide   key code: whole, low part or none (default full)\n"
                          "      --speed on|off                EM410x speed (default on)\n"
                          "      --crc on|off                  Dallas check sum (default off)\n"
                          "      --all                         all 500 rows\n");
}

ExitCode PageCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line({{QStringLiteral("type-view"), kViews},
                      {QStringLiteral("code-view"), kViews},
                      {QStringLiteral("speed"), kSwitch},
                      {QStringLiteral("crc"), kSwitch},
                      {QStringLiteral("all"), {}}});
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 2) {
        usageError = QStringLiteral("page takes two arguments, BASE and N");
        return ExitUsage;
    }
    int pageNumber = 0;
    if (!CommandLine::parseNumber(line.positional().at(1), pageNumber)) {
        usageError = QStringLiteral("N must be a page number, 0 or more, not \"%1\"").arg(line.positional().at(1));
        return ExitUsage;
    }
    PageViews views;
    views.typeView = viewValue(line.value(QStringLiteral("type-view"), QStringLiteral("full")));
    views.codeView = viewValue(line.value(QStringLiteral("code-view"), QStringLiteral("full")));
    views.speed = line.value(QStringLiteral("speed"), QStringLiteral("on")) == QLatin1String("on");
    views.crc = line.value(QStringLiteral("crc"), QStringLiteral("off")) == QLatin1String("on");
    const bool allRows = line.isSet(QStringLiteral("all"));

    const QString pageFile = CommandLine::basePath(line.positional().first()) + QStringLiteral(".dat");
    KeyPage page;
    if (!ReadPage(pageFile, pageNumber, page))
        return ExitFileError;

    JsonWriter json;
    json.beginObject();
    json.key(u"page").number(pageNumber);
    writePageRows(json, page, views, allRows);
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
