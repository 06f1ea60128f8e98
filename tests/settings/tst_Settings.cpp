#include "TestEnvironment.h"

#include "settings/Settings.h"
#include "settings/SettingsFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QtEndian>
#include <cstring>
#include <functional>

using namespace tervane;
using namespace tervane::test;

namespace {

// One numeric field of the record: where it lies, how wide it is, and its accessors.
struct NumberField {
    std::function<qint64(const Settings&)> get;
    std::function<void(Settings&, qint64)> set;
};

// One zero-terminated path field.
struct PathField {
    std::function<QByteArray(const Settings&)> get;
    std::function<void(Settings&, const QByteArray&)> set;
};

qint64 rawValue(const QByteArray& bytes, int offset, int size) {
    quint64 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | quint8(bytes[offset + i]);
    return size == 4 ? qint64(qint32(quint32(v))) : qint64(v);
}

QByteArray recordBytes(const Settings& s) {
    return QByteArray(reinterpret_cast<const char*>(s.data()), Settings::kSize);
}

// A record in which every byte differs from its neighbours and from the defaults.
QByteArray patternedRecord() {
    QByteArray bytes(Settings::kSize, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 37 + 11) % 251 + 1);
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(NumberField)
Q_DECLARE_METATYPE(PathField)

class TestSettings : public QObject {
    Q_OBJECT

private:
    QString configFile() const { return appPaths().configFile(); }
    void addNumberFields();

private slots:
    void init() { settings().setDefaults(); }

    void numberFieldDefaults_data() { addNumberFields(); }
    void numberFieldDefaults();
    void numberFieldRoundTrip_data() { addNumberFields(); }
    void numberFieldRoundTrip();
    void windowStateReadsOnlyTheLowByte();
    void defaultsLeaveTextsAndPaddingZero();

    void pathFields_data();
    void pathFields();
    void pathLengthLimit_data();
    void pathLengthLimit();
    void pathKeepsStaleBytesBehindItsZero();
    void gridFontName();

    void wholeRecordRule_data();
    void wholeRecordRule();
    void untouchedBytesSurviveLoadAndSave();

    void tempFolder_data();
    void tempFolder();
    void cannotCreateMessageLanguage_data();
    void cannotCreateMessageLanguage();

    void saveCreatesTheConfigFolder();
    void saveFailsQuietly_data();
    void saveFailsQuietly();
};

void TestSettings::addNumberFields() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("size");
    QTest::addColumn<qint64>("defaultValue");
    QTest::addColumn<qint64>("otherValue");
    QTest::addColumn<NumberField>("field");

    auto row = [](const char* name, int offset, int size, qint64 def, qint64 other, NumberField f) {
        QTest::newRow(name) << offset << size << def << other << f;
    };
    // clang-format off
    row("WindowHeight", 0, 4, 560, 0x01020304,
        {[](const Settings& s) { return s.windowHeight(); }, [](Settings& s, qint64 v) { s.setWindowHeight(qint32(v)); }});
    row("WindowWidth", 4, 4, 1030, 1920,
        {[](const Settings& s) { return s.windowWidth(); }, [](Settings& s, qint64 v) { s.setWindowWidth(qint32(v)); }});
    row("Reserved", 4108, 4, -1, -1,
        {[](const Settings& s) { return s.reserved(); }, [](Settings&, qint64) {}});
    row("SelectedNodeIndex", 4112, 4, -1, 17,
        {[](const Settings& s) { return s.selectedNodeIndex(); }, [](Settings& s, qint64 v) { s.setSelectedNodeIndex(qint32(v)); }});
    for (int column = 1; column <= Settings::kColumnCount; ++column) {
        const QByteArray name = "ColumnWidths[" + QByteArray::number(column) + "]";
        row(name.constData(), 4116 + 4 * (column - 1), 4, 96, 200 + column,
            {[column](const Settings& s) { return s.columnWidth(column); },
             [column](Settings& s, qint64 v) { s.setColumnWidth(column, qint32(v)); }});
    }
    row("TreeWidth", 4144, 4, 185, 321,
        {[](const Settings& s) { return s.treeWidth(); }, [](Settings& s, qint64 v) { s.setTreeWidth(qint32(v)); }});
    row("WindowState", 4148, 4, 0, 2,
        {[](const Settings& s) { return qint64(s.windowState()); }, [](Settings& s, qint64 v) { s.setWindowState(WindowState(v)); }});
    row("LastDeviceModel", 4152, 4, 1, 4,
        {[](const Settings& s) { return s.lastDeviceModel(); }, [](Settings& s, qint64 v) { s.setLastDeviceModel(qint32(v)); }});
    row("LanguageSetting", 4156, 4, 0, 2,
        {[](const Settings& s) { return qint64(s.languageSetting()); }, [](Settings& s, qint64 v) { s.setLanguageSetting(LanguageSetting(v)); }});
    row("SkinIndex", 4160, 4, 1, 39,
        {[](const Settings& s) { return s.skinIndex(); }, [](Settings& s, qint64 v) { s.setSkinIndex(qint32(v)); }});
    row("SavePolicy", 4164, 4, 1, 2,
        {[](const Settings& s) { return qint64(s.savePolicy()); }, [](Settings& s, qint64 v) { s.setSavePolicy(SavePolicy(v)); }});
    row("GridFontStyle", 4424, 4, 0, 3,
        {[](const Settings& s) { return qint64(s.gridFontStyle()); }, [](Settings& s, qint64 v) { s.setGridFontStyle(FontStyle(v)); }});
    row("GridFontSize", 4428, 4, 8, 14,
        {[](const Settings& s) { return s.gridFontSize(); }, [](Settings& s, qint64 v) { s.setGridFontSize(qint32(v)); }});
    row("KeyTypeView", 4432, 4, 0, 2,
        {[](const Settings& s) { return s.keyTypeView(); }, [](Settings& s, qint64 v) { s.setKeyTypeView(qint32(v)); }});
    row("KeyCodeView", 4436, 4, 0, 1,
        {[](const Settings& s) { return s.keyCodeView(); }, [](Settings& s, qint64 v) { s.setKeyCodeView(qint32(v)); }});
    row("EmSpeedVisible", 4440, 1, 1, 0,
        {[](const Settings& s) { return s.emSpeedVisible(); }, [](Settings& s, qint64 v) { s.setEmSpeedVisible(v != 0); }});
    row("DallasCrcVisible", 4441, 1, 0, 1,
        {[](const Settings& s) { return s.dallasCrcVisible(); }, [](Settings& s, qint64 v) { s.setDallasCrcVisible(v != 0); }});
    row("ShortView", 12636, 1, 0, 1,
        {[](const Settings& s) { return s.shortView(); }, [](Settings& s, qint64 v) { s.setShortView(v != 0); }});
    // clang-format on
}

void TestSettings::numberFieldDefaults() {
    QFETCH(int, offset);
    QFETCH(int, size);
    QFETCH(qint64, defaultValue);
    QFETCH(NumberField, field);
    TestEnvironment env;

    // A record left over from earlier use must not leak into the defaults.
    std::memset(settings().data(), 0x5A, Settings::kSize);
    LoadSettings(); // no configuration file
    QCOMPARE(field.get(settings()), defaultValue);
    QCOMPARE(rawValue(recordBytes(settings()), offset, size), defaultValue);
}

void TestSettings::numberFieldRoundTrip() {
    QFETCH(int, offset);
    QFETCH(int, size);
    QFETCH(qint64, otherValue);
    QFETCH(NumberField, field);
    TestEnvironment env;

    const QByteArray before = recordBytes(settings());
    field.set(settings(), otherValue);
    QVERIFY(SaveSettings());

    const QByteArray file = readFileBytes(configFile());
    QCOMPARE(file.size(), Settings::kSize);
    QCOMPARE(rawValue(file, offset, size), otherValue);
    // Nothing outside the field changed.
    QCOMPARE(file.left(offset), before.left(offset));
    QCOMPARE(file.mid(offset + size), before.mid(offset + size));

    settings().setDefaults();
    LoadSettings();
    QCOMPARE(field.get(settings()), otherValue);
}

void TestSettings::windowStateReadsOnlyTheLowByte() {
    qToLittleEndian<qint32>(0x7F000102, settings().data() + 4148);
    QCOMPARE(settings().windowState(), WindowState::Maximised);
}

void TestSettings::defaultsLeaveTextsAndPaddingZero() {
    QByteArray bytes = recordBytes(Settings());
    // Blank out what the number table and the font name cover; the rest must be zero.
    const std::pair<int, int> fields[] = {{0, 8}, {4108, 4168 - 4108}, {4168, 7}, {4424, 4442 - 4424}};
    for (const auto& [offset, size] : fields)
        bytes.replace(offset, size, QByteArray(size, '\0'));
    QCOMPARE(bytes, QByteArray(Settings::kSize, '\0'));
}

void TestSettings::pathFields_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<PathField>("field");
    QTest::newRow("LastBasePath") << 8
                                  << PathField{[](const Settings& s) { return s.lastBasePath(); },
                                               [](Settings& s, const QByteArray& v) { s.setLastBasePath(v); }};
    QTest::newRow("OpenFolder") << 4442
                                << PathField{[](const Settings& s) { return s.openFolder(); },
                                             [](Settings& s, const QByteArray& v) { s.setOpenFolder(v); }};
    QTest::newRow("SaveFolder") << 8539
                                << PathField{[](const Settings& s) { return s.saveFolder(); },
                                             [](Settings& s, const QByteArray& v) { s.setSaveFolder(v); }};
}

void TestSettings::pathFields() {
    QFETCH(int, offset);
    QFETCH(PathField, field);
    TestEnvironment env;

    LoadSettings();
    QVERIFY(field.get(settings()).isEmpty());
    QCOMPARE(settings().data()[offset], 0);

    const QByteArray path = cp1251(QStringLiteral("/home/user/Ключи/Дом 5"));
    field.set(settings(), path);
    QVERIFY(SaveSettings());
    const QByteArray file = readFileBytes(configFile());
    QCOMPARE(file.mid(offset, path.size() + 1), path + '\0');

    settings().setDefaults();
    LoadSettings();
    QCOMPARE(field.get(settings()), path);
}

void TestSettings::pathLengthLimit_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("length");
    QTest::addColumn<PathField>("field");
    const PathField lastBase{[](const Settings& s) { return s.lastBasePath(); },
                             [](Settings& s, const QByteArray& v) { s.setLastBasePath(v); }};
    const PathField openFolder{[](const Settings& s) { return s.openFolder(); },
                               [](Settings& s, const QByteArray& v) { s.setOpenFolder(v); }};
    const PathField saveFolder{[](const Settings& s) { return s.saveFolder(); },
                               [](Settings& s, const QByteArray& v) { s.setSaveFolder(v); }};
    QTest::newRow("LastBasePath 4096 fits") << 8 << 4096 << lastBase;
    QTest::newRow("LastBasePath 4097 cut") << 8 << 4097 << lastBase;
    QTest::newRow("LastBasePath 10000 cut") << 8 << 10000 << lastBase;
    QTest::newRow("OpenFolder 5000 cut") << 4442 << 5000 << openFolder;
    QTest::newRow("SaveFolder 4097 cut") << 8539 << 4097 << saveFolder;
}

void TestSettings::pathLengthLimit() {
    QFETCH(int, offset);
    QFETCH(int, length);
    QFETCH(PathField, field);
    TestEnvironment env;

    // The byte after the field (padding or the next field) must not be overwritten by a long path.
    settings().data()[offset + Settings::kPathFieldSize] = 0xA5;
    const QByteArray after = recordBytes(settings()).mid(offset + Settings::kPathFieldSize);

    QByteArray path(length, 'p');
    path[0] = '/';
    field.set(settings(), path);
    const QByteArray stored = path.left(Settings::kMaxPathLength);
    QCOMPARE(field.get(settings()), stored);
    QCOMPARE(settings().data()[offset + Settings::kMaxPathLength], 0);
    QCOMPARE(recordBytes(settings()).mid(offset + Settings::kPathFieldSize), after);

    QVERIFY(SaveSettings());
    settings().setDefaults();
    LoadSettings();
    QCOMPARE(field.get(settings()), stored);
}

void TestSettings::pathKeepsStaleBytesBehindItsZero() {
    TestEnvironment env;
    settings().setLastBasePath("/a/long/old/path");
    settings().setLastBasePath("/b");
    QCOMPARE(settings().lastBasePath(), QByteArray("/b"));
    const QByteArray field = recordBytes(settings()).mid(8, 17);
    QCOMPARE(field, QByteArray("/b\0long/old/path\0", 17));

    QVERIFY(SaveSettings());
    QCOMPARE(readFileBytes(configFile()).mid(8, 17), field);

    // A field damaged to hold no zero at all ends with the field.
    std::memset(settings().data() + 8, 'x', Settings::kPathFieldSize);
    QCOMPARE(settings().lastBasePath(), QByteArray(Settings::kMaxPathLength, 'x'));
}

void TestSettings::gridFontName() {
    TestEnvironment env;
    LoadSettings();
    QCOMPARE(settings().gridFontName(), QByteArray("Tahoma"));
    QCOMPARE(recordBytes(settings()).mid(4168, 7), QByteArray("\x06Tahoma"));

    settings().setGridFontName("Arial");
    QCOMPARE(recordBytes(settings()).mid(4168, 7), QByteArray("\x05"
                                                              "Arial"
                                                              "a"));
    QVERIFY(SaveSettings());
    settings().setDefaults();
    LoadSettings();
    QCOMPARE(settings().gridFontName(), QByteArray("Arial"));

    const QByteArray longName(300, 'F');
    settings().setGridFontName(longName);
    QCOMPARE(settings().gridFontName(), longName.left(255));
    QCOMPARE(settings().gridFontStyle(), FontStyle::Regular); // the field after the name is intact
}

void TestSettings::wholeRecordRule_data() {
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<bool>("taken");
    QTest::newRow("empty") << 0 << false;
    QTest::newRow("one byte") << 1 << false;
    QTest::newRow("12639: no whole record") << 12639 << false;
    QTest::newRow("12640: one record") << 12640 << true;
    QTest::newRow("12641: one record and a byte") << 12641 << true;
    QTest::newRow("25279: still one record") << 25279 << true;
    QTest::newRow("25280: two records") << 25280 << false;
    QTest::newRow("30000: two records") << 30000 << false;
}

void TestSettings::wholeRecordRule() {
    QFETCH(int, fileSize);
    QFETCH(bool, taken);
    TestEnvironment env;

    QByteArray bytes = patternedRecord();
    bytes = bytes.repeated(3).left(fileSize);
    QVERIFY(writeFileBytes(configFile(), bytes));

    settings().setWindowWidth(4444); // a stale value: the load starts from the defaults
    LoadSettings();
    QCOMPARE(recordBytes(settings()), taken ? patternedRecord() : recordBytes(Settings()));

    // The record reader itself, from a buffer past a few bytes of something else: the same rule
    // from the buffer's position, and a record it does not take leaves the target as it was.
    QBuffer buffer;
    buffer.setData(QByteArray("head") + bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly) && buffer.seek(4));
    Settings target;
    target.setWindowWidth(4444);
    const QByteArray before = recordBytes(target);
    QCOMPARE(readSettingsRecord(buffer, target), taken);
    QCOMPARE(recordBytes(target), taken ? patternedRecord() : before);
}

void TestSettings::untouchedBytesSurviveLoadAndSave() {
    TestEnvironment env;
    QByteArray record = patternedRecord();
    record[4156] = 1; // English, whatever the rest holds
    record[4157] = record[4158] = record[4159] = 0;
    QVERIFY(writeFileBytes(configFile(), record));

    LoadSettings();
    const qint32 reserved = settings().reserved();
    const qint32 selected = settings().selectedNodeIndex();
    QVERIFY(SaveSettings());
    QCOMPARE(readFileBytes(configFile()), record);

    // What the close sequence writes changes only those fields; stale path bytes, padding,
    // Reserved and SelectedNodeIndex stay.
    settings().setWindowWidth(800);
    settings().setLastBasePath("/k");
    QVERIFY(SaveSettings());
    QByteArray expected = record;
    expected.replace(4, 4, QByteArray("\x20\x03\x00\x00", 4));
    expected.replace(8, 3, QByteArray("/k\0", 3));
    QCOMPARE(readFileBytes(configFile()), expected);

    LoadSettings();
    QCOMPARE(settings().reserved(), reserved);
    QCOMPARE(settings().selectedNodeIndex(), selected);
}

void TestSettings::tempFolder_data() {
    QTest::addColumn<QString>("relativeFolder");
    QTest::addColumn<bool>("created");
    QTest::newRow("exists") << QStringLiteral("temp") << true;
    QTest::newRow("missing") << QStringLiteral("TEMP") << true;
    // One level is created, never a chain of folders.
    QTest::newRow("parent missing") << QStringLiteral("missing/TEMP") << false;
    QTest::newRow("under a regular file") << QStringLiteral("afile/TEMP") << false;
    QTest::newRow("a regular file") << QStringLiteral("afile") << false;
}

void TestSettings::tempFolder() {
    QFETCH(QString, relativeFolder);
    QFETCH(bool, created);
    TestEnvironment env;
    QVERIFY(writeFileBytes(env.paths.root() + QStringLiteral("/afile"), "x"));
    const QString folder = env.paths.root() + QLatin1Char('/') + relativeFolder;
    env.paths.setTempFolder(folder);

    if (!created)
        env.prompts.answer(ButtonOk);
    LoadSettings();

    QCOMPARE(QFileInfo(folder).isDir(), created);
    QCOMPARE(env.prompts.shown().size(), created ? 0 : 1);
    if (!created) {
        const ShownPrompt shown = env.prompts.last();
        QCOMPARE(shown.kind, ShownPrompt::Message);
        QCOMPARE(shown.icon, PromptIcon::Error);
        QCOMPARE(shown.caption, QStringLiteral("Tervane"));
        QCOMPARE(shown.buttons, int(ButtonOk));
        QCOMPARE(shown.text, QStringLiteral("Cannot create \"") + folder + QLatin1Char('"'));
    }
    QCOMPARE(env.prompts.pendingAnswers(), 0);
}

void TestSettings::cannotCreateMessageLanguage_data() {
    QTest::addColumn<int>("languageSetting");
    QTest::addColumn<bool>("systemRussian");
    QTest::addColumn<bool>("russian");
    QTest::newRow("automatic, English system") << 0 << false << false;
    QTest::newRow("automatic, Russian system") << 0 << true << true;
    QTest::newRow("English, English system") << 1 << false << false;
    QTest::newRow("English, Russian system") << 1 << true << false;
    QTest::newRow("Russian, English system") << 2 << false << true;
    QTest::newRow("Russian, Russian system") << 2 << true << true;
}

void TestSettings::cannotCreateMessageLanguage() {
    QFETCH(int, languageSetting);
    QFETCH(bool, systemRussian);
    QFETCH(bool, russian);
    TestEnvironment env;
    env.system.russian = systemRussian;

    // The language comes from the loaded file, not from the record in memory before the load.
    settings().setLanguageSetting(LanguageSetting(languageSetting));
    QVERIFY(SaveSettings());
    settings().setLanguageSetting(languageSetting == 2 ? LanguageSetting::English : LanguageSetting::Russian);

    QVERIFY(writeFileBytes(env.paths.root() + QStringLiteral("/afile"), "x"));
    const QString folder = env.paths.root() + QStringLiteral("/afile/TEMP");
    env.paths.setTempFolder(folder);
    env.prompts.answer(ButtonOk);
    LoadSettings();

    const QString prefix = russian ? QStringLiteral("Невозможно создать каталог ") : QStringLiteral("Cannot create ");
    QCOMPARE(env.prompts.last().text, prefix + QLatin1Char('"') + folder + QLatin1Char('"'));
    QCOMPARE(env.prompts.last().caption, QStringLiteral("Tervane"));
    QCOMPARE(uiLanguage(), UiLanguage::English); // showing the message does not switch the interface
}

void TestSettings::saveCreatesTheConfigFolder() {
    TestEnvironment env;
    QVERIFY(QDir(env.paths.programFolder()).removeRecursively());
    settings().setTreeWidth(250);
    QVERIFY(SaveSettings());
    const QByteArray file = readFileBytes(configFile());
    QCOMPARE(file, recordBytes(settings()));
}

void TestSettings::saveFailsQuietly_data() {
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("program folder is a regular file") << QStringLiteral("folder");
    QTest::newRow("config file name is a folder") << QStringLiteral("file");
    QTest::newRow("read-only program folder") << QStringLiteral("readonly");
}

void TestSettings::saveFailsQuietly() {
    QFETCH(QString, obstacle);
    TestEnvironment env;
    const QString program = env.paths.programFolder();
    if (obstacle == QLatin1String("folder")) {
        QVERIFY(QDir(program).removeRecursively());
        QVERIFY(writeFileBytes(program, "not a folder"));
    } else if (obstacle == QLatin1String("file")) {
        QVERIFY(QDir(program).mkdir(QStringLiteral("Tervane.cfg")));
    } else {
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        if (QFileInfo(program).isWritable()) {
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("running with rights that ignore a read-only folder");
        }
    }

    settings().setTreeWidth(250);
    QVERIFY(!SaveSettings()); // and no prompt: none is queued
    QVERIFY(env.prompts.shown().isEmpty());
    QVERIFY(!QFileInfo(configFile()).isFile());
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_Settings.moc"
