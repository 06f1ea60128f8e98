// VIZIT_DM files built slot by slot: what each slot becomes in each key type, where it lands on the
// page, and the files that are too short.
#include "TestEnvironment.h"

#include "base/KeyPage.h"
#include "base/VizitImport.h"
#include "keys/DallasCrc.h"
#include "keys/KeyText.h"
#include "keys/KeyTypes.h"

#include <QDir>
#include <QTest>

using namespace tervane;

namespace {

// A file of 2401 empty slots (0xFF code bytes, a stray fourth byte), with the given slots set.
QByteArray vizBytes(const QList<QPair<int, QByteArray>>& keys = {}, int size = kVizitFileSize) {
    QByteArray bytes(size, '\xFF');
    for (int k = 3; k < size; k += kVizitSlotSize)
        bytes[k] = '\x5A';
    for (const auto& [k, slot] : keys)
        bytes.replace(k * kVizitSlotSize, kVizitSlotSize, slot);
    return bytes;
}

// A page that an import must replace whole: keys everywhere and comments.
void fillOldPage(KeyPage& page) {
    KeyCell cell;
    cell.setType(KeyTypeIndala);
    cell.setCode({1, 2, 3, 4, 5, 0, 0, 0x80});
    for (int row = 0; row < KeyPage::kRows; ++row) {
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            page.setCell(row, column, cell);
        page.setComment(row, "old");
    }
}

} // namespace

class VizitImportTest : public QObject {
    Q_OBJECT

private slots:
    void cells_data();
    void cells();
    void slotPositions_data();
    void slotPositions();
    void wholePageReplaced();
    void everyCodeByteChecksummed();
    void files_data();
    void files();

private:
    test::TestEnvironment m_env;
};

void VizitImportTest::cells_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<QByteArray>("cell"); // the ten bytes, empty for an empty cell
    QTest::addColumn<QString>("text");    // full views, speed and check sum shown

    const int dallas = int(VizitKeyType::Dallas);
    QTest::newRow("Dallas 12 34 56 78: 78 is lost")
        << dallas << QByteArray::fromHex("12345678") << QByteArray::fromHex("01000112345600000042")
        << " DS1990 - 000000563412 - 42 ";
    QTest::newRow("TM2002") << int(VizitKeyType::Tm2002) << QByteArray::fromHex("12345678")
                            << QByteArray::fromHex("02000112345600000042") << " TM2002 - 00563412 ";
    // Cyfral shows two code bytes; the third sits where its layout keeps a fixed 1.
    QTest::newRow("Cyfral") << int(VizitKeyType::Cyfral) << QByteArray::fromHex("12345678")
                            << QByteArray::fromHex("03000112345600000042") << " CYFRAL - 3412 ";
    QTest::newRow("EM410x at RF64, no check sum")
        << int(VizitKeyType::Em410x) << QByteArray::fromHex("12345678") << QByteArray::fromHex("80000112345600000600")
        << " EM410x - 0000563412 - RF64";
    QTest::newRow("FF FF FE FF is a key")
        << dallas << QByteArray::fromHex("FFFFFEFF") << QByteArray::fromHex("010001FFFFFE000000C6")
        << " DS1990 - 000000FEFFFF - C6 ";
    QTest::newRow("00 00 00 00 is a key")
        << dallas << QByteArray::fromHex("00000000") << QByteArray::fromHex("0100010000000000003D")
        << " DS1990 - 000000000000 - 3D ";
    QTest::newRow("FF FF FF 00 is empty") << dallas << QByteArray::fromHex("FFFFFF00") << QByteArray() << "";
    QTest::newRow("FF FF FF FF is empty")
        << int(VizitKeyType::Em410x) << QByteArray::fromHex("FFFFFFFF") << QByteArray() << "";
}

void VizitImportTest::cells() {
    QFETCH(int, type);
    QFETCH(QByteArray, slot);
    QFETCH(QByteArray, cell);
    QFETCH(QString, text);

    KeyPage page;
    QVERIFY(readVizitPage(vizBytes({{7, slot}}), VizitKeyType(type), page));
    const KeyCell got = page.cell(1, 1);
    const QByteArray bytes(reinterpret_cast<const char*>(got.bytes.data()), KeyCell::kSize);
    QCOMPARE(bytes.toHex(' '), (cell.isEmpty() ? QByteArray(KeyCell::kSize, '\0') : cell).toHex(' '));
    QCOMPARE(QString::fromStdString(FormatKeyCellText(got, KeyViewFull, KeyViewFull, true, true)), text);
    QCOMPARE(page.occupiedCellCount(), cell.isEmpty() ? 0 : 1);
}

void VizitImportTest::slotPositions_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    QTest::newRow("slot 0") << 0 << 0 << 0;
    QTest::newRow("slot 5: last column of row 0") << 5 << 0 << 5;
    QTest::newRow("slot 6: first column of row 1") << 6 << 1 << 0;
    QTest::newRow("slot 2399: last column of row 399") << 2399 << 399 << 5;
    QTest::newRow("slot 2400: first column of row 400") << 2400 << 400 << 0;
}

void VizitImportTest::slotPositions() {
    QFETCH(int, slot);
    QFETCH(int, row);
    QFETCH(int, column);

    KeyPage page;
    QVERIFY(readVizitPage(vizBytes({{slot, QByteArray::fromHex("01020300")}}), VizitKeyType::Tm2002, page));
    QCOMPARE(page.occupiedCellCount(), 1);
    QCOMPARE(page.cellType(row, column), KeyTypeTm2002);
}

void VizitImportTest::wholePageReplaced() {
    KeyPage page;
    fillOldPage(page);
    // Every slot a key, and one more slot behind them that must stay out of row 400.
    QByteArray full = vizBytes({}, kVizitFileSize + kVizitSlotSize);
    full.fill('\x11');
    QVERIFY(readVizitPage(full, VizitKeyType::Em410x, page));
    QCOMPARE(page.occupiedCellCount(), kVizitSlotCount);
    QCOMPARE(page.cellType(400, 0), KeyTypeEm410x);
    for (int row = 0; row < KeyPage::kRows; ++row) {
        QVERIFY(!page.hasComment(row));
        for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
            if (row > 400 || (row == 400 && column > 0))
                QVERIFY2(page.cell(row, column).bytes == KeyCell().bytes, qPrintable(QString::number(row)));
        }
    }

    // A file of empty slots leaves a blank page: keys and comments gone.
    fillOldPage(page);
    QVERIFY(readVizitPage(vizBytes(), VizitKeyType::Dallas, page));
    QVERIFY(page.isBlank());
    QVERIFY(page == KeyPage());
}

// Every value of every code byte, in all four types: each key's check sum is the one DallasCrc8
// gives its seven code bytes, and the page's cells are the ones vizitCell gives.
void VizitImportTest::everyCodeByteChecksummed() {
    QByteArray bytes = vizBytes();
    for (int k = 0; k < kVizitSlotCount; ++k) {
        const char slot[] = {char(k), char(k / 256 + k * 37), char(k * 101 + 13), '\x5A'};
        bytes.replace(k * kVizitSlotSize, kVizitSlotSize, slot, kVizitSlotSize);
    }
    for (const VizitKeyType type :
         {VizitKeyType::Dallas, VizitKeyType::Tm2002, VizitKeyType::Cyfral, VizitKeyType::Em410x}) {
        KeyPage page;
        QVERIFY(readVizitPage(bytes, type, page));
        for (int k = 0; k < kVizitSlotCount; ++k) {
            const KeyCell got = page.cell(k / KeyPage::kKeyColumns, k % KeyPage::kKeyColumns);
            const auto* slot = reinterpret_cast<const std::uint8_t*>(bytes.constData() + k * kVizitSlotSize);
            QVERIFY2(got.bytes == vizitCell(type, slot[0], slot[1], slot[2]).bytes, qPrintable(QString::number(k)));
            const std::uint8_t sum = type == VizitKeyType::Em410x ? 0 : DallasCrc8(got.bytes.data() + 2, 7);
            QVERIFY2(got.bytes[9] == sum, qPrintable(QString::number(k)));
        }
    }
}

void VizitImportTest::files_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind");  // file, none or folder
    QTest::addColumn<QString>("error"); // %1: the path; empty: imported

    QTest::newRow("9604 bytes") << vizBytes({{0, QByteArray::fromHex("12345678")}}) << "file"
                                << "";
    QTest::newRow("more bytes than slots") << vizBytes({{0, QByteArray::fromHex("12345678")}}, 20000) << "file"
                                           << "";
    QTest::newRow("9603 bytes") << vizBytes({{0, QByteArray::fromHex("12345678")}}).chopped(1) << "file"
                                << "File read error:\"%1\"";
    QTest::newRow("empty file") << QByteArray() << "file"
                                << "File read error:\"%1\"";
    QTest::newRow("no file") << QByteArray() << "none"
                             << "Open file error: \"%1\"";
    QTest::newRow("a folder") << QByteArray() << "folder"
                              << "Open file error: \"%1\"";
}

void VizitImportTest::files() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    QFETCH(QString, error);

    const QString path = m_env.paths.root() + QStringLiteral("/ключи.viz");
    QFile::remove(path);
    QDir(path).removeRecursively();
    if (kind == QLatin1String("file"))
        QVERIFY(test::writeFileBytes(path, bytes));
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    m_env.prompts.clear();
    if (!error.isEmpty())
        m_env.prompts.answer(ButtonOk);
    KeyPage page;
    fillOldPage(page);
    const KeyPage before = page;

    const bool imported = ImportVizitFile(path, VizitKeyType::Dallas, page);
    QCOMPARE(imported, error.isEmpty());
    if (imported) {
        QCOMPARE(m_env.prompts.shown().size(), 0);
        QCOMPARE(page.occupiedCellCount(), 1);
        QCOMPARE(page.cell(0, 0).code()[1], 0x12);
        return;
    }
    QVERIFY(page == before);
    QCOMPARE(m_env.prompts.shown().size(), 1);
    QCOMPARE(m_env.prompts.last().caption, QStringLiteral("Tervane"));
    QCOMPARE(m_env.prompts.last().text, error.arg(path));
}

QTEST_GUILESS_MAIN(VizitImportTest)
#include "tst_VizitImport.moc"
