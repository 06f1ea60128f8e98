// Flipper Zero key files as text: the files the Flipper itself publishes as examples, both file
// versions, every kind of malformed file, and the files written for each key type.
#include "BaseBuilder.h"

#include "keys/DallasCrc.h"
#include "keys/FlipperKeyFormat.h"
#include "keys/KeyText.h"

#include <QByteArray>
#include <QTest>

using namespace tervane;
using test::cellFromHex;

Q_DECLARE_METATYPE(tervane::FlipperError)

namespace {

QByteArray hexOf(const KeyCell& cell) {
    return QByteArray(reinterpret_cast<const char*>(cell.bytes.data()), KeyCell::kSize).toHex(' ').toUpper();
}

QString gridText(const KeyCell& cell) {
    return QString::fromStdString(FormatKeyCellText(cell, 0, 0, true, true));
}

FlipperResult read(const QByteArray& text, KeyCell& cell) {
    return readFlipperKey(std::string_view(text.constData(), std::size_t(text.size())), cell);
}

const QByteArray kIButton = "Filetype: Flipper iButton key\n";
const QByteArray kRfid = "Filetype: Flipper RFID key\nVersion: 1\n";

} // namespace

class FlipperKeyFormatTest : public QObject {
    Q_OBJECT

private slots:
    void readsKeys_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QString>("text");
        // The Flipper's own example files. The Dallas ROM's last byte is the check sum of the
        // seven before it, so family code first and check sum last is c[0] .. c[7].
        QTest::newRow("DS1990 example") << kIButton +
                                               "Version: 2\nProtocol: DS1990\nRom Data: 01 AB 90 8B 0B 00 00 A2\n"
                                        << QByteArray("01 00 01 AB 90 8B 0B 00 00 A2")
                                        << " DS1990 - 00000B8B90AB - A2 ";
        QTest::newRow("Cyfral example") << kIButton + "Version: 2\nProtocol: Cyfral\nData: 34 12\n"
                                        << QByteArray("03 00 01 34 12 01 00 00 00 7C") << " CYFRAL - 1234 ";
        QTest::newRow("Metakom example") << kIButton + "Version: 2\nProtocol: Metakom\nData: 82 81 C9 B2\n"
                                         << QByteArray("02 00 01 82 81 C9 B2 00 00 E6") << " TM2002 - B2C98182 ";
        QTest::newRow("EM4100 example") << kRfid + "Key type: EM4100\nData: 20 00 1D 59 1F\n"
                                        << QByteArray("80 00 00 1F 59 1D 00 20 06 00") << " EM410x - 20001D591F - RF64";
        QTest::newRow("EM4100/32") << kRfid + "Key type: EM4100/32\nData: 20 00 1D 59 1F\n"
                                   << QByteArray("80 00 00 1F 59 1D 00 20 03 00") << " EM410x - 20001D591F - RF32";
        QTest::newRow("EM4100/16") << kRfid + "Key type: EM4100/16\nData: 20 00 1D 59 1F\n"
                                   << QByteArray("80 00 00 1F 59 1D 00 20 02 00") << " EM410x - 20001D591F - RF16";
        QTest::newRow("version 1 Dallas")
            << kIButton + "Version: 1\nKey type: Dallas\nData: 01 AB 90 8B 0B 00 00 A2\n"
            << QByteArray("01 00 01 AB 90 8B 0B 00 00 A2") << " DS1990 - 00000B8B90AB - A2 ";
        QTest::newRow("version 1 Cyfral") << kIButton + "Version: 1\nKey type: Cyfral\nData: 34 12\n"
                                          << QByteArray("03 00 01 34 12 01 00 00 00 7C") << " CYFRAL - 1234 ";
        QTest::newRow("version 1 Metakom") << kIButton + "Version: 1\nKey type: Metakom\nData: 82 81 C9 B2\n"
                                           << QByteArray("02 00 01 82 81 C9 B2 00 00 E6") << " TM2002 - B2C98182 ";
        // A ROM read with a wrong check sum stays as read.
        QTest::newRow("DS1990, check sum kept")
            << kIButton + "Version: 2\nProtocol: DS1990\nRom Data: 01 AB 90 8B 0B 00 00 00\n"
            << QByteArray("01 00 01 AB 90 8B 0B 00 00 00") << " DS1990 - 00000B8B90AB - 00 ";
        QTest::newRow("comments, blank lines, CR LF, lower case")
            << QByteArray("# written by hand\r\nFiletype: Flipper RFID key\r\n\r\nVersion: 1\r\n  # the card\r\n"
                          "Key type: EM4100\r\nData: 20 00 1d 59 1f \r\n")
            << QByteArray("80 00 00 1F 59 1D 00 20 06 00") << " EM410x - 20001D591F - RF64";
        QTest::newRow("fields in another order, the first of two counts")
            << QByteArray("Data: 34 12\nProtocol: Cyfral\nVersion: 2\nFiletype: Flipper iButton key\nData: 00 00\n")
            << QByteArray("03 00 01 34 12 01 00 00 00 7C") << " CYFRAL - 1234 ";
    }
    void readsKeys() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, cell);
        QFETCH(QString, text);
        KeyCell got = cellFromHex("FF FF FF FF FF FF FF FF FF FF");
        const FlipperResult result = read(file, got);
        QVERIFY2(result.ok(), result.detail.c_str());
        QCOMPARE(hexOf(got), cell);
        QCOMPARE(gridText(got), text);
        // The check sum of the ROM examples is the one the key carries.
        if (got.type() == KeyTypeDallas && file.contains("A2"))
            QCOMPARE(DallasCrc8(got.code().data(), 7), got.code()[7]);
    }

    void refusesMalformedFiles_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<FlipperError>("error");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<int>("found");
        QTest::newRow("empty") << QByteArray() << FlipperError::NotKeyFile << "" << 0;
        QTest::newRow("other file type") << QByteArray("Filetype: Flipper SubGhz Key File\nVersion: 1\n")
                                         << FlipperError::NotKeyFile << "Flipper SubGhz Key File" << 0;
        QTest::newRow("Filetype in lower case") << QByteArray("Filetype: flipper ibutton key\nVersion: 2\n")
                                                << FlipperError::NotKeyFile << "flipper ibutton key" << 0;
        QTest::newRow("version 3") << kIButton + "Version: 3\nProtocol: DS1990\nRom Data: 01 AB 90 8B 0B 00 00 A2\n"
                                   << FlipperError::WrongVersion << "3" << 0;
        QTest::newRow("RFID version 2") << QByteArray("Filetype: Flipper RFID key\nVersion: 2\nKey type: EM4100\n")
                                        << FlipperError::WrongVersion << "2" << 0;
        QTest::newRow("no version") << kIButton + "Protocol: Cyfral\nData: 34 12\n"
                                    << FlipperError::MissingField << "Version" << 0;
        QTest::newRow("no protocol") << kIButton + "Version: 2\nData: 34 12\n"
                                     << FlipperError::MissingField << "Protocol" << 0;
        QTest::newRow("no data") << kRfid + "Key type: EM4100\n" << FlipperError::MissingField << "Data" << 0;
        QTest::newRow("version 2 data under the old name")
            << kIButton + "Version: 2\nProtocol: DS1990\nData: 01 AB 90 8B 0B 00 00 A2\n"
            << FlipperError::MissingField << "Rom Data" << 0;
        QTest::newRow("unknown protocol")
            << kIButton + "Version: 2\nProtocol: DS1992\nRom Data: 08 00 00 00 00 00 00 00\n"
            << FlipperError::UnknownType << "DS1992" << 0;
        QTest::newRow("HID card") << kRfid + "Key type: H10301\nData: 12 34 56\n"
                                  << FlipperError::UnknownType << "H10301" << 0;
        QTest::newRow("version 2 names in a version 1 file")
            << kIButton + "Version: 1\nKey type: DS1990\nData: 01 AB 90 8B 0B 00 00 A2\n"
            << FlipperError::UnknownType << "DS1990" << 0;
        QTest::newRow("too few bytes") << kIButton + "Version: 2\nProtocol: DS1990\nRom Data: 01 AB 90\n"
                                       << FlipperError::WrongByteCount << "Rom Data" << 3;
        QTest::newRow("too many bytes") << kRfid + "Key type: EM4100\nData: 20 00 1D 59 1F 00\n"
                                        << FlipperError::WrongByteCount << "Data" << 6;
        QTest::newRow("no bytes") << kIButton + "Version: 2\nProtocol: Cyfral\nData:\n"
                                  << FlipperError::WrongByteCount << "Data" << 0;
        QTest::newRow("not hex") << kIButton + "Version: 2\nProtocol: Cyfral\nData: 34 1G\n"
                                 << FlipperError::BadBytes << "Data" << 0;
        QTest::newRow("digits not in pairs") << kIButton + "Version: 2\nProtocol: Cyfral\nData: 3412\n"
                                             << FlipperError::BadBytes << "Data" << 0;
        QTest::newRow("line without a key") << kIButton + "Version: 2\nProtocol Cyfral\n"
                                            << FlipperError::BadLine << "" << 0;
    }
    void refusesMalformedFiles() {
        QFETCH(QByteArray, file);
        QFETCH(FlipperError, error);
        QFETCH(QString, detail);
        QFETCH(int, found);
        const KeyCell before = cellFromHex("01 00 01 02 03 04 05 06 07 08");
        KeyCell cell = before;
        const FlipperResult result = read(file, cell);
        QCOMPARE(result.error, error);
        QCOMPARE(QString::fromStdString(result.detail), detail);
        QCOMPARE(result.found, found);
        QCOMPARE(hexOf(cell), hexOf(before));
        if (error == FlipperError::BadLine)
            QCOMPARE(result.line, 3);
        if (error == FlipperError::WrongByteCount)
            QVERIFY(result.expected == 8 || result.expected == 5 || result.expected == 2);
    }

    void writesKeys_data() {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("reread"); // the cell the file gives back
        const QByteArray dallas = "01 00 01 AB 90 8B 0B 00 00 A2";
        QTest::newRow("Dallas") << dallas
                                << kIButton + "Version: 2\nProtocol: DS1990\nRom Data: 01 AB 90 8B 0B 00 00 A2\n"
                                << dallas;
        QTest::newRow("Dallas, type 4") << QByteArray("04 00 01 AB 90 8B 0B 00 00 A2")
                                        << kIButton +
                                               "Version: 2\nProtocol: DS1990\nRom Data: 01 AB 90 8B 0B 00 00 A2\n"
                                        << dallas;
        const QByteArray cyfral = "03 00 01 34 12 01 00 00 00 7C";
        QTest::newRow("Cyfral") << cyfral << kIButton + "Version: 2\nProtocol: Cyfral\nData: 34 12\n" << cyfral;
        // The VIZIT_DM import keeps a third code byte in c[3]: it is no part of a Cyfral code.
        QTest::newRow("Cyfral from a VIZIT_DM file")
            << QByteArray("03 00 01 34 12 56 00 00 00 00") << kIButton + "Version: 2\nProtocol: Cyfral\nData: 34 12\n"
            << cyfral;
        const QByteArray metakom = "02 00 01 82 81 C9 B2 00 00 E6";
        QTest::newRow("TM2002") << metakom << kIButton + "Version: 2\nProtocol: Metakom\nData: 82 81 C9 B2\n"
                                << metakom;
        const QByteArray em = "80 00 00 1F 59 1D 00 20 06 00";
        QTest::newRow("EM410x RF64") << em << kRfid + "Key type: EM4100\nData: 20 00 1D 59 1F\n" << em;
        QTest::newRow("EM410x RF32") << QByteArray("80 00 00 1F 59 1D 00 20 03 00")
                                     << kRfid + "Key type: EM4100/32\nData: 20 00 1D 59 1F\n"
                                     << QByteArray("80 00 00 1F 59 1D 00 20 03 00");
        QTest::newRow("EM410x RF16") << QByteArray("80 00 00 1F 59 1D 00 20 02 00")
                                     << kRfid + "Key type: EM4100/16\nData: 20 00 1D 59 1F\n"
                                     << QByteArray("80 00 00 1F 59 1D 00 20 02 00");
        // A Flipper emulates EM4100 cards at one speed besides RF32 and RF16.
        QTest::newRow("EM410x RF128") << QByteArray("80 00 00 1F 59 1D 00 20 08 00")
                                      << kRfid + "Key type: EM4100\nData: 20 00 1D 59 1F\n"
                                      << em;
    }
    void writesKeys() {
        QFETCH(QByteArray, cell);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, reread);
        std::string text;
        QVERIFY(writeFlipperKey(cellFromHex(cell), text).ok());
        QCOMPARE(QByteArray::fromStdString(text), file);
        KeyCell back;
        QVERIFY(read(file, back).ok());
        QCOMPARE(hexOf(back), reread);
    }

    void refusesKeysWithoutCounterpart_data() {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<FlipperError>("error");
        QTest::addColumn<QString>("detail");
        QTest::newRow("empty") << QByteArray("00 00 01 02 03 04 05 06 07 08") << FlipperError::NoKey << "";
        QTest::newRow("HID Prox II") << QByteArray("81 00 00 01 02 03 04 05 00 00") << FlipperError::NoCounterpart
                                     << "HID Prox II";
        QTest::newRow("Indala") << QByteArray("83 00 01 02 03 04 05 00 00 80") << FlipperError::NoCounterpart
                                << "Indala (Motorola)";
        QTest::newRow("type 130") << QByteArray("82 00 01 02 03 04 05 00 00 00") << FlipperError::NoCounterpart
                                  << "!UNKNOWN!";
    }
    void refusesKeysWithoutCounterpart() {
        QFETCH(QByteArray, cell);
        QFETCH(FlipperError, error);
        QFETCH(QString, detail);
        std::string text = "unchanged";
        const FlipperResult result = writeFlipperKey(cellFromHex(cell), text);
        QCOMPARE(result.error, error);
        QCOMPARE(QString::fromStdString(result.detail), detail);
        QCOMPARE(text, std::string("unchanged"));
        QCOMPARE(flipperFileKind(cellFromHex(cell).type()), FlipperFileKind::None);
    }
};

QTEST_GUILESS_MAIN(FlipperKeyFormatTest)
#include "tst_FlipperKeyFormat.moc"
