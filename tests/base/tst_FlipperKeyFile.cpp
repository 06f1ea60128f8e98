// Flipper Zero key files on disk: the messages of files that cannot be read, files written whole
// or not at all, and the names a page's files get.
#include "BaseBuilder.h"
#include "TestEnvironment.h"

#include "base/FlipperKeyFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace tervane;
using test::cellFromHex;

namespace {

const QByteArray kEmFile = "Filetype: Flipper RFID key\nVersion: 1\nKey type: EM4100\nData: 20 00 1D 59 1F\n";

} // namespace

class FlipperKeyFileTest : public QObject {
    Q_OBJECT

private slots:
    void init() { setUiLanguage(UiLanguage::English); }

    void fileNames_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        const int ibtn = int(FlipperFileKind::IButton);
        const int rfid = int(FlipperFileKind::Rfid);
        QTest::newRow("comment") << 42 << 2 << "Front door" << ibtn << "042-3 Front door.ibtn";
        QTest::newRow("no comment") << 0 << 0 << "" << rfid << "000-1.rfid";
        QTest::newRow("Cyrillic") << 499 << 5 << "Подъезд 2, кв. 7" << ibtn << "499-6 Подъезд 2, кв. 7.ibtn";
        QTest::newRow("separators and control characters") << 7 << 0
                                                           << "a/b\\c:d\x01"
                                                              "e\tf*?\"<>|g"
                                                           << ibtn << "007-1 abcdefg.ibtn";
        QTest::newRow("only dots") << 7 << 0 << ".." << ibtn << "007-1.ibtn";
        QTest::newRow("blanks and dots at the ends") << 7 << 0 << "  . gate .  " << rfid << "007-1 gate.rfid";
        QTest::newRow("long comment cut") << 10 << 1 << QString(120, QLatin1Char('x')) + "tail" << ibtn
                                          << "010-2 " + QString(40, QLatin1Char('x')) + ".ibtn";
    }
    void fileNames() {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, comment);
        QFETCH(int, kind);
        QFETCH(QString, name);
        QCOMPARE(flipperFileName(row, column, test::cp1251(comment), FlipperFileKind(kind)), name);
    }

    void readErrors_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message"); // %1: the path
        QTest::newRow("not a key file") << QByteArray("Filetype: Flipper SubGhz Key File\nVersion: 1\n")
                                        << "\"%1\" is not a Flipper key file.";
        QTest::newRow("version 3") << QByteArray(
                                          "Filetype: Flipper iButton key\nVersion: 3\nProtocol: Cyfral\nData: 34 12\n")
                                   << "\"%1\" is a Flipper key file of version 3, which this program cannot read.";
        QTest::newRow("too few bytes")
            << QByteArray("Filetype: Flipper iButton key\nVersion: 2\nProtocol: DS1990\nRom Data: 01 AB 90\n")
            << "The \"Rom Data\" line of \"%1\" holds 3 bytes where 8 are needed.";
        QTest::newRow("unknown type") << QByteArray("Filetype: Flipper RFID key\nVersion: 1\nKey type: Indala26\n")
                                      << "\"%1\" holds a key of type \"Indala26\", which a key base cannot hold.";
        QTest::newRow("no data") << QByteArray("Filetype: Flipper RFID key\nVersion: 1\nKey type: EM4100\n")
                                 << "\"%1\" has no \"Data\" line.";
        QTest::newRow("not hex") << QByteArray(
                                        "Filetype: Flipper iButton key\nVersion: 2\nProtocol: Cyfral\nData: 34 XY\n")
                                 << "The \"Data\" line of \"%1\" does not hold hexadecimal bytes.";
        QTest::newRow("bad line") << QByteArray("Filetype: Flipper iButton key\nVersion 2\n")
                                  << "Line 2 of \"%1\" is not a \"Key: value\" line.";
        // A large file is not read whole, and is no key file.
        QTest::newRow("large") << kEmFile + QByteArray(70 * 1024, '#') << "\"%1\" is not a Flipper key file.";
    }
    void readErrors() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = m_env.paths.root() + QStringLiteral("/ключ.ibtn");
        QVERIFY(test::writeFileBytes(path, bytes));
        m_env.prompts.clear();
        m_env.prompts.answer(ButtonOk);
        QVERIFY(!readFlipperKeyFile(path));
        QCOMPARE(m_env.prompts.shown().size(), 1);
        QCOMPARE(m_env.prompts.last().icon, PromptIcon::Error);
        QCOMPARE(m_env.prompts.last().caption, QStringLiteral("Tervane"));
        QCOMPARE(m_env.prompts.last().text, message.arg(path));
    }

    void missingFileAndRussianTexts() {
        const QString path = m_env.paths.root() + QStringLiteral("/missing.rfid");
        m_env.prompts.clear();
        m_env.prompts.answer(ButtonOk);
        QVERIFY(!readFlipperKeyFile(path));
        QCOMPARE(m_env.prompts.last().text, QStringLiteral("Open file error: \"%1\"").arg(path));

        setUiLanguage(UiLanguage::Russian);
        FlipperResult result;
        result.error = FlipperError::NoCounterpart;
        result.detail = "HID Prox II";
        QCOMPARE(flipperErrorText(result, path),
                 QStringLiteral("Ключи HID Prox II нельзя сохранить в файл Flipper: у Flipper Zero нет типа ключей, "
                                "который в точности им соответствует."));
    }

    void writesWholeFiles() {
        const QString path = m_env.paths.root() + QStringLiteral("/card.rfid");
        QFile::remove(path);
        m_env.prompts.clear();
        QVERIFY(writeFlipperKeyFile(path, cellFromHex("80 00 00 1F 59 1D 00 20 06 00")));
        QCOMPARE(test::readFileBytes(path), kEmFile);
        const std::optional<KeyCell> back = readFlipperKeyFile(path);
        QVERIFY(back);
        QCOMPARE(back->bytes, cellFromHex("80 00 00 1F 59 1D 00 20 06 00").bytes);
        QCOMPARE(m_env.prompts.shown().size(), 0);

        // A card without a counterpart leaves the file that is there alone.
        m_env.prompts.answer(ButtonOk);
        QVERIFY(!writeFlipperKeyFile(path, cellFromHex("83 00 01 02 03 04 05 00 00 80")));
        QCOMPARE(m_env.prompts.last().text,
                 QStringLiteral("Indala (Motorola) keys cannot be stored in a Flipper file: the Flipper Zero has no "
                                "key type that matches them exactly."));
        QCOMPARE(test::readFileBytes(path), kEmFile);
    }

    void writeErrors() {
        // A folder where the file should be, and a folder that is not there.
        const QString folder = m_env.paths.root() + QStringLiteral("/taken.ibtn");
        QVERIFY(QDir().mkpath(folder));
        for (const QString& path : {folder, m_env.paths.root() + QStringLiteral("/missing/key.ibtn")}) {
            m_env.prompts.clear();
            m_env.prompts.answer(ButtonOk);
            QVERIFY(!writeFlipperKeyFile(path, cellFromHex("03 00 01 34 12 01 00 00 00 7C")));
            QCOMPARE(m_env.prompts.last().icon, PromptIcon::Error);
            QCOMPARE(m_env.prompts.last().text, QStringLiteral("Create file error: \"%1\"").arg(path));
        }
        QVERIFY(QFileInfo(folder).isDir());
    }

private:
    test::TestEnvironment m_env;
};

QTEST_GUILESS_MAIN(FlipperKeyFileTest)
#include "tst_FlipperKeyFile.moc"
