#include "cli/PageCommand.h"

#include "base/Cp1251.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "keys/KeyText.h"
#include "keys/KeyTypes.h"

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
    const int typeView = viewValue(line.value(QStringLiteral("type-view"), QStringLiteral("full")));
    const int codeView = viewValue(line.value(QStringLiteral("code-view"), QStringLiteral("full")));
    const bool speed = line.value(QStringLiteral("speed"), QStringLiteral("on")) == QLatin1String("on");
    const bool crc = line.value(QStringLiteral("crc"), QStringLiteral("off")) == QLatin1String("on");
    const bool allRows = line.isSet(QStringLiteral("all"));

    const QString pageFile = CommandLine::basePath(line.positional().first()) + QStringLiteral(".dat");
    KeyPage page;
    if (!ReadPage(pageFile, pageNumber, page))
        return ExitFileError;

    JsonWriter json;
    json.beginObject();
    json.key(u"page").number(pageNumber);
    json.key(u"used").number(page.occupiedCellCount());
    json.key(u"rows").beginArray();
    for (int row = 0; row < KeyPage::kRows; ++row) {
        if (!allRows && !page.rowHasContent(row))
            continue;
        json.beginObject(JsonWriter::Inline);
        json.key(u"row").number(row);
        json.key(u"cells").beginArray();
        for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
            const std::string text = FormatKeyCellText(page.cell(row, column), typeView, codeView, speed, crc);
            json.string(QString::fromStdString(text));
        }
        json.endArray();
        json.key(u"comment").string(fromCp1251(page.comment(row)));
        json.endObject();
    }
    json.endArray();
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
