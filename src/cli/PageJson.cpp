#include "cli/PageJson.h"

#include "base/Cp1251.h"
#include "base/KeyPage.h"
#include "cli/JsonWriter.h"
#include "keys/KeyText.h"

namespace tervane {

void writePageRows(JsonWriter& json, const KeyPage& page, const PageViews& views, bool allRows) {
    json.key(u"used").number(page.occupiedCellCount());
    json.key(u"rows").beginArray();
    for (int row = 0; row < KeyPage::kRows; ++row) {
        if (!allRows && !page.rowHasContent(row))
            continue;
        json.beginObject(JsonWriter::Inline);
        json.key(u"row").number(row);
        json.key(u"cells").beginArray();
        for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
            const std::string text =
                FormatKeyCellText(page.cell(row, column), views.typeView, views.codeView, views.speed, views.crc);
            json.string(QString::fromStdString(text));
        }
        json.endArray();
        json.key(u"comment").string(fromCp1251(page.comment(row)));
        json.endObject();
    }
    json.endArray();
}

} // namespace tervane
