#include "DocumentChild.h"
#include "FileModes.h"
#include "PageFileFixtures.h"
#include "TestEnvironment.h"

#include "base/FileErrors.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>

using namespace tervane;
using namespace tervane::test;

Q_DECLARE_METATYPE(tervane::UiLanguage)

namespace {
constexpr qint64 kPage = KeyPage::kSize;
} // namespace

class TestPageFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void cellAndCommentOffsets_data();
    void cellAndCommentOffsets();
    void commentStorage_data();
    void commentStorage();
    void rowContent();

    void appendPage_data();
    void appendPage();
    void readPage_data();
    void readPage();
    void writePage_data();
    void writePage();
    void deletePage_data();
    void deletePage();
    void deletePages_data();
    void deletePages();
    void deletePageFailures_data();
    void deletePageFailures();
    void deletePageAcrossFileSystems();
    void deletePageKeepsPermissions_data();
    void deletePageKeepsPermissions();
    void twoInstancesDeleteAtOnce_data();
    void twoInstancesDeleteAtOnce();

    void freeSpaceThreshold_data();
    void freeSpaceThreshold();
    void fullDiskRetryThenCancel_data();
    void fullDiskRetryThenCancel();
    void retryAfterSpaceFreed();
    void networkVolumeIsNotChecked();
    void largeFilesAskForRoomIn64Bits();

    void reportFileErrorTexts_data();
    void reportFileErrorTexts();

private:
    QString pageFile() const { return m_env->paths.root() + QStringLiteral("/base.dat"); }
    // The files beside the page file and in the temporary folder: nothing but the page file.
    QStringList filesLeft() const {
        const QDir::Filters files = QDir::Files | QDir::Hidden | QDir::System;
        return QDir(m_env->paths.root()).entryList(files, QDir::Name) +
               QDir(m_env->paths.tempFolder()).entryList(files, QDir::Name);
    }
    void expectFileError(const QString& text);

    std::unique_ptr<test::TestEnvironment> m_env;
};

void TestPageFile::init() {
    m_env = std::make_unique<test::TestEnvironment>();
}

void TestPageFile::cleanup() {
    const int pending = m_env->prompts.pendingAnswers();
    m_env.reset();
    setUiLanguage(UiLanguage::English);
    QCOMPARE(pending, 0);
}

// The one error box shown, its text and its look.
void TestPageFile::expectFileError(const QString& text) {
    QCOMPARE(m_env->prompts.shown().size(), 1);
    const test::ShownPrompt shown = m_env->prompts.last();
    QCOMPARE(shown.text, text);
    QCOMPARE(shown.icon, PromptIcon::Error);
    QCOMPARE(shown.caption, QStringLiteral("Tervane"));
    QCOMPARE(shown.buttons, int(ButtonOk));
}

void TestPageFile::cellAndCommentOffsets_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("cellAt");
    QTest::addColumn<int>("commentAt");
    QTest::newRow("first") << 0 << 0 << 0 << 30000;
    QTest::newRow("row 1, last column") << 1 << 5 << 110 << 30129;
    QTest::newRow("last row, last column") << 499 << 5 << 29990 << 94371;
}

void TestPageFile::cellAndCommentOffsets() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, cellAt);
    QFETCH(int, commentAt);

    KeyPage page;
    KeyCell cell;
    for (int i = 0; i < KeyCell::kSize; ++i)
        cell.bytes[size_t(i)] = std::uint8_t(0xA0 + i);
    page.setCell(row, column, cell);
    page.setComment(row, "note");

    QByteArray expected(KeyPage::kSize, '\0');
    for (int i = 0; i < KeyCell::kSize; ++i)
        expected[cellAt + i] = char(0xA0 + i);
    expected.replace(commentAt, 5, QByteArray("\x04note", 5));
    QCOMPARE(bytesOf(page), expected);
    QCOMPARE(page.cell(row, column).bytes, cell.bytes);
    QCOMPARE(page.comment(row), QByteArray("note"));

    page.clearCell(row, column);
    page.clearComment(row);
    QCOMPARE(page.cellType(row, column), std::uint8_t(0));
    QVERIFY(!page.hasComment(row));
}

void TestPageFile::commentStorage_data() {
    QTest::addColumn<QByteArray>("before"); // the 129 stored bytes before
    QTest::addColumn<QByteArray>("text");   // stored with setComment; empty: not stored
    QTest::addColumn<QByteArray>("after");  // the 129 stored bytes after
    QTest::addColumn<QByteArray>("readBack");

    const QByteArray zeros(KeyPage::kCommentSize, '\0');
    const QByteArray long200(200, 'x');
    QTest::newRow("200 characters are cut to 128")
        << zeros << long200 << (QByteArray(1, char(128)) + QByteArray(128, 'x')) << QByteArray(128, 'x');

    const QByteArray old = QByteArray(1, char(100)) + QByteArray(100, 'A') + QByteArray(28, 'B');
    QTest::newRow("bytes after a shorter comment are kept")
        << old << QByteArray("xy") << (QByteArray("\x02xy", 3) + old.mid(3)) << QByteArray("xy");

    const QByteArray stale = QByteArray(1, '\0') + QByteArray(128, 'S');
    QTest::newRow("length 0 reads empty whatever follows") << stale << QByteArray() << stale << QByteArray();

    // A damaged length never reads into the next row's comment.
    const QByteArray damaged = QByteArray(1, char(200)) + QByteArray(128, 'D');
    QTest::newRow("damaged length") << damaged << QByteArray() << damaged << QByteArray(128, 'D');

    const QByteArray cyrillic = test::cp1251(QStringLiteral("Подъезд №3"));
    QTest::newRow("Windows-1251 bytes as they are")
        << zeros << cyrillic << (QByteArray(1, char(cyrillic.size())) + cyrillic).leftJustified(129, '\0') << cyrillic;
}

void TestPageFile::commentStorage() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, after);
    QFETCH(QByteArray, readBack);

    // The last row, whose comment ends the page.
    const int row = KeyPage::kRows - 1;
    KeyPage page;
    std::memcpy(page.data() + KeyPage::commentOffset(row), before.constData(), KeyPage::kCommentSize);
    if (!text.isEmpty())
        page.setComment(row, text);
    QCOMPARE(bytesOf(page).mid(KeyPage::commentOffset(row)), after);
    QCOMPARE(page.comment(row), readBack);
    QCOMPARE(bytesOf(page).left(KeyPage::commentOffset(row)), QByteArray(KeyPage::commentOffset(row), '\0'));
}

void TestPageFile::rowContent() {
    KeyPage page;
    QVERIFY(page.isBlank());
    // Type 5 is not a key: such a cell does not make a row show.
    page.data()[KeyPage::cellOffset(7, 2)] = 5;
    QVERIFY(!page.rowHasContent(7));
    QVERIFY(page.isBlank());
    page.data()[KeyPage::cellOffset(7, 3)] = KeyTypeEm410x;
    page.data()[KeyPage::cellOffset(499, 5)] = KeyTypeDallas;
    page.setComment(8, "c");
    QVERIFY(page.rowHasContent(7));
    QVERIFY(page.rowHasContent(8));
    QVERIFY(!page.rowHasContent(9));
    QCOMPARE(page.occupiedCellCount(), 2);
    QVERIFY(!page.isBlank());
}

void TestPageFile::appendPage_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("expectedPage");
    QTest::addColumn<QByteArray>("after");

    const QByteArray zero(KeyPage::kSize, '\0');
    QTest::newRow("missing file") << false << QByteArray() << 0 << zero;
    QTest::newRow("empty file") << true << QByteArray() << 0 << zero;
    QTest::newRow("three pages") << true << fileOf({1, 2, 3}) << 3 << fileOf({1, 2, 3}) + zero;
    QTest::newRow("partial record is overwritten")
        << true << fileOf({1, 2}, "0123456789") << 2 << fileOf({1, 2}) + zero;
}

void TestPageFile::appendPage() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(int, expectedPage);
    QFETCH(QByteArray, after);

    if (exists)
        QVERIFY(writeFileBytes(pageFile(), before));
    std::int32_t page = -5;
    QVERIFY(AppendPage(pageFile(), page));
    QCOMPARE(page, expectedPage);
    QCOMPARE(readFileBytes(pageFile()), after);
    QCOMPARE(pageCount(pageFile()), expectedPage + 1);
    QVERIFY(m_env->prompts.shown().isEmpty());
}

void TestPageFile::readPage_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("seed");      // of the page read, when it succeeds
    QTest::addColumn<QString>("error"); // the prefix of the error shown

    QTest::newRow("first") << true << 0 << 10 << QString();
    QTest::newRow("last whole page") << true << 1 << 11 << QString();
    QTest::newRow("partial record") << true << 2 << 0 << QStringLiteral("File read error:");
    QTest::newRow("past the end") << true << 7 << 0 << QStringLiteral("File read error:");
    QTest::newRow("negative") << true << -1 << 0 << QStringLiteral("File read error:");
    QTest::newRow("missing file") << false << 0 << 0 << QStringLiteral("Open file error: ");
}

void TestPageFile::readPage() {
    QFETCH(bool, exists);
    QFETCH(int, page);
    QFETCH(int, seed);
    QFETCH(QString, error);

    const QByteArray content = fileOf({10, 11}, QByteArray(10, 'p'));
    if (exists)
        QVERIFY(writeFileBytes(pageFile(), content));
    if (!error.isEmpty())
        m_env->prompts.answer(ButtonOk);

    const QByteArray untouched = pageBytes(99);
    KeyPage destination = pageOf(untouched);
    QCOMPARE(ReadPage(pageFile(), page, destination), error.isEmpty());
    if (error.isEmpty()) {
        QCOMPARE(bytesOf(destination), pageBytes(seed));
        QVERIFY(m_env->prompts.shown().isEmpty());
    } else {
        QCOMPARE(bytesOf(destination), untouched);
        expectFileError(error + QLatin1Char('"') + pageFile() + QLatin1Char('"'));
    }
    QCOMPARE(QFileInfo::exists(pageFile()), exists);
}

void TestPageFile::writePage_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("page");
    QTest::addColumn<qint64>("sizeLimit"); // writes past it fail; 0: none
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("error");

    const QByteArray before = fileOf({1, 2, 3});
    QTest::newRow("middle page") << true << 1 << qint64(0) << fileOf({1, 9, 3}) << QString();
    QTest::newRow("page count appends") << true << 3 << qint64(0) << fileOf({1, 2, 3, 9}) << QString();
    QTest::newRow("negative") << true << -1 << qint64(0) << before << QStringLiteral("File write error:");
    QTest::newRow("missing file is not created")
        << false << 0 << qint64(0) << QByteArray() << QStringLiteral("Open file error: ");
#ifdef Q_OS_LINUX
    QTest::newRow("write fails") << true << 3 << 3 * kPage << before << QStringLiteral("File write error:");
#endif
}

void TestPageFile::writePage() {
    QFETCH(bool, exists);
    QFETCH(int, page);
    QFETCH(qint64, sizeLimit);
    QFETCH(QByteArray, after);
    QFETCH(QString, error);

    if (exists)
        QVERIFY(writeFileBytes(pageFile(), fileOf({1, 2, 3})));
    if (!error.isEmpty())
        m_env->prompts.answer(ButtonOk);

    bool written = false;
    {
#ifdef Q_OS_LINUX
        std::unique_ptr<FileSizeLimit> limit;
        if (sizeLimit > 0)
            limit = std::make_unique<FileSizeLimit>(rlim_t(sizeLimit));
#endif
        written = WritePage(pageFile(), page, pageOf(pageBytes(9)));
    }
    QCOMPARE(written, error.isEmpty());
    QCOMPARE(readFileBytes(pageFile()), after);
    QCOMPARE(QFileInfo::exists(pageFile()), exists);
    if (error.isEmpty())
        QVERIFY(m_env->prompts.shown().isEmpty());
    else
        expectFileError(error + QLatin1Char('"') + pageFile() + QLatin1Char('"'));
}

void TestPageFile::deletePage_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("page");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("page 1 of 3") << fileOf({1, 2, 3}) << 1 << fileOf({1, 3});
    QTest::newRow("first") << fileOf({1, 2, 3}) << 0 << fileOf({2, 3});
    QTest::newRow("last") << fileOf({1, 2, 3}) << 2 << fileOf({1, 2});
    QTest::newRow("only page") << fileOf({1}) << 0 << QByteArray();
    QTest::newRow("past the end keeps every page") << fileOf({1, 2}) << 2 << fileOf({1, 2});
    QTest::newRow("negative keeps every page") << fileOf({1, 2}) << -1 << fileOf({1, 2});
    QTest::newRow("partial record is dropped") << fileOf({1, 2}, "tail") << 0 << fileOf({2});
}

void TestPageFile::deletePage() {
    QFETCH(QByteArray, before);
    QFETCH(int, page);
    QFETCH(QByteArray, after);

    QVERIFY(writeFileBytes(pageFile(), before));
    QVERIFY(DeletePage(pageFile(), page));
    QCOMPARE(readFileBytes(pageFile()), after);
    QCOMPARE(filesLeft(), QStringList{QStringLiteral("base.dat")});
    QVERIFY(m_env->prompts.shown().isEmpty());
}

void TestPageFile::deletePages_data() {
    QTest::addColumn<QList<int>>("pages");
    QTest::addColumn<QList<int>>("left"); // the seeds of the pages that stay, of pages 1..6

    QTest::newRow("two apart") << QList<int>{1, 4} << QList<int>{1, 3, 4, 6};
    QTest::newRow("side by side") << QList<int>{2, 3} << QList<int>{1, 2, 5, 6};
    QTest::newRow("first and last") << QList<int>{0, 5} << QList<int>{2, 3, 4, 5};
    QTest::newRow("in any order, repeated") << QList<int>{4, 1, 4} << QList<int>{1, 3, 4, 6};
    QTest::newRow("outside the file skipped") << QList<int>{-1, 2, 6, 100} << QList<int>{1, 2, 4, 5, 6};
    QTest::newRow("every page") << QList<int>{0, 1, 2, 3, 4, 5} << QList<int>{};
    QTest::newRow("none") << QList<int>{} << QList<int>{1, 2, 3, 4, 5, 6};
}

// A folder's pages go in one rebuild: the file is copied once, whatever their number.
void TestPageFile::deletePages() {
    QFETCH(QList<int>, pages);
    QFETCH(QList<int>, left);

    QVERIFY(writeFileBytes(pageFile(), fileOf({1, 2, 3, 4, 5, 6}, "tail")));
    int rebuilds = 0;
    setDeletePageHook([&](DeletePageStep step) { rebuilds += step == DeletePageStep::RebuiltCreated; });
    const bool deleted = DeletePages(pageFile(), std::vector<std::int32_t>(pages.begin(), pages.end()));
    setDeletePageHook({});
    QVERIFY(deleted);
    QCOMPARE(rebuilds, 1);
    QCOMPARE(readFileBytes(pageFile()), fileOf(left));
    QCOMPARE(filesLeft(), QStringList{QStringLiteral("base.dat")});
    QVERIFY(m_env->prompts.shown().isEmpty());
}

void TestPageFile::deletePageFailures_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("error"); // empty: false without a message

    QTest::newRow("temp folder missing") << "no temp folder" << QString();
    QTest::newRow("page file missing") << "no page file" << QStringLiteral("Open file error: ");
    QTest::newRow("page file shrinks while copied") << "shrinks" << QStringLiteral("File read error:");
#ifdef Q_OS_LINUX
    QTest::newRow("rebuilt file cannot be created") << "no more files" << QStringLiteral("Create file error: ");
    QTest::newRow("rebuilt file cannot be written") << "size limit" << QStringLiteral("File write error:");
#endif
}

void TestPageFile::deletePageFailures() {
    QFETCH(QString, fault);
    QFETCH(QString, error);

    const QByteArray before = fileOf({1, 2, 3});
    QByteArray after = before;
    if (fault != QLatin1String("no page file"))
        QVERIFY(writeFileBytes(pageFile(), before));
    else
        after.clear();
    if (fault == QLatin1String("no temp folder"))
        QVERIFY(QDir(m_env->paths.tempFolder()).removeRecursively());
    if (fault == QLatin1String("shrinks")) {
        after = before.left(kPage);
        m_env->system.onQuery = [&](VolumeSpace&) { QFile::resize(pageFile(), kPage); };
    }
    if (!error.isEmpty())
        m_env->prompts.answer(ButtonOk);

    bool deleted = true;
    {
#ifdef Q_OS_LINUX
        std::unique_ptr<FileSizeLimit> limit;
        if (fault == QLatin1String("size limit"))
            limit = std::make_unique<FileSizeLimit>(rlim_t(kPage + kPage / 2));
        // The page file is the one file it may still open.
        std::unique_ptr<OpenFileLimit> files;
        if (fault == QLatin1String("no more files"))
            files = std::make_unique<OpenFileLimit>(1);
#endif
        deleted = DeletePage(pageFile(), 2);
    }
    QVERIFY(!deleted);
    QCOMPARE(readFileBytes(pageFile()), after);
    if (error.isEmpty()) {
        QVERIFY(m_env->prompts.shown().isEmpty());
        return;
    }
    expectFileError(error + QLatin1Char('"') + pageFile() + QLatin1Char('"'));
    QCOMPARE(filesLeft(), after.isNull() ? QStringList() : QStringList{QStringLiteral("base.dat")});
}

void TestPageFile::deletePageAcrossFileSystems() {
#ifdef Q_OS_LINUX
    if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable() ||
        sameFileSystem(QStringLiteral("/dev/shm"), m_env->paths.root()))
        QSKIP("needs a writable /dev/shm on another file system");
    QTemporaryDir otherFileSystem(QStringLiteral("/dev/shm/tervane-test-XXXXXX"));
    QVERIFY(otherFileSystem.isValid());
    m_env->paths.setTempFolder(otherFileSystem.path());

    QVERIFY(writeFileBytes(pageFile(), fileOf({1, 2, 3})));
    QVERIFY(DeletePage(pageFile(), 1));
    QCOMPARE(readFileBytes(pageFile()), fileOf({1, 3}));
    QCOMPARE(filesLeft(), QStringList{QStringLiteral("base.dat")});
    QVERIFY(QDir(otherFileSystem.path()).isEmpty());
    QVERIFY(m_env->prompts.shown().isEmpty());
#else
    QSKIP("Linux only");
#endif
}

void TestPageFile::deletePageKeepsPermissions_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("0640") << 0640;
    QTest::newRow("0600") << 0600;
    QTest::newRow("read-only 0444") << 0444;
}

void TestPageFile::deletePageKeepsPermissions() {
#ifdef Q_OS_LINUX
    QFETCH(int, mode);
    QVERIFY(writeFileBytes(pageFile(), fileOf({1, 2})));
    QVERIFY(setMode(pageFile(), mode));
    // Root can show that the group is kept too: it may give the file any group.
    const int group = ::geteuid() == 0 ? 65534 : groupOf(pageFile());
    QVERIFY(setOwner(pageFile(), -1, group));
    QVERIFY(DeletePage(pageFile(), 0));
    QCOMPARE(readFileBytes(pageFile()), fileOf({2}));
    QCOMPARE(modeOf(pageFile()), mode);
    QCOMPARE(groupOf(pageFile()), group);
#else
    QSKIP("mode bits are checked on Linux");
#endif
}

void TestPageFile::twoInstancesDeleteAtOnce_data() {
    QTest::addColumn<int>("firstAt");  // the first instance waits there while the second starts
    QTest::addColumn<int>("secondAt"); // the second waits there while the first ends; 0: it ends
    const int created = int(DeletePageStep::RebuiltCreated);
    const int written = int(DeletePageStep::RebuiltWritten);
    QTest::newRow("second runs while the first has just begun") << created << 0;
    QTest::newRow("second runs while the first is about to rename") << written << 0;
    QTest::newRow("both just begun") << created << created;
    QTest::newRow("both about to rename") << written << written;
    QTest::newRow("first about to rename, second just begun") << written << created;
    QTest::newRow("first just begun, second about to rename") << created << written;
}

// Two instances share the temporary folder, and each deletes a page of its own working copy.
void TestPageFile::twoInstancesDeleteAtOnce() {
#ifndef Q_OS_UNIX
    QSKIP("the instances meet through the child program's steps on Unix only");
#endif
    QFETCH(int, firstAt);
    QFETCH(int, secondAt);
    const QString temp = m_env->paths.tempFolder();
    const QString first = temp + QStringLiteral("/rdb_temp_0.dat");
    const QString second = temp + QStringLiteral("/rdb_temp_1.dat");
    QVERIFY(writeFileBytes(first, fileOf({1, 2, 3})));
    QVERIFY(writeFileBytes(second, fileOf({4, 5, 6})));

    DocumentChild one;
    one.start({QStringLiteral("delete"), temp, first, QStringLiteral("1"), QString::number(firstAt)});
    QVERIFY2(one.waitFor("paused"), qPrintable(one.output()));
    DocumentChild two;
    two.start({QStringLiteral("delete"), temp, second, QStringLiteral("0"), QString::number(secondAt)});
    if (secondAt != 0) {
        QVERIFY2(two.waitFor("paused"), qPrintable(two.output()));
        one.resume();
        two.resume();
    } else {
        QVERIFY2(two.finish() == 0, qPrintable(two.output()));
        one.resume();
    }
    QVERIFY2(one.finish() == 0, qPrintable(one.output()));
    QVERIFY2(two.finish() == 0, qPrintable(two.output()));

    QCOMPARE(readFileBytes(first), fileOf({1, 3}));
    QCOMPARE(readFileBytes(second), fileOf({5, 6}));
    QCOMPARE(QDir(temp).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("rdb_temp_0.dat"), QStringLiteral("rdb_temp_1.dat")}));
}

void TestPageFile::freeSpaceThreshold_data() {
    QTest::addColumn<qint64>("needed");
    QTest::addColumn<qint64>("free");
    QTest::addColumn<bool>("warns");

    QTest::newRow("more than needed") << qint64(189000) << qint64(189001) << false;
    QTest::newRow("equal is not enough") << qint64(189000) << qint64(189000) << true;
    QTest::newRow("nothing reported") << qint64(189000) << qint64(0) << true;
    QTest::newRow("past 32 bits, enough") << qint64(11363) * 189000 << qint64(11363) * 189000 + 1 << false;
    QTest::newRow("past 32 bits, short") << qint64(11363) * 189000 << qint64(11363) * 189000 << true;
}

void TestPageFile::freeSpaceThreshold() {
    QFETCH(qint64, needed);
    QFETCH(qint64, free);
    QFETCH(bool, warns);

    m_env->system.freeBytes = free;
    if (warns)
        m_env->prompts.answer(ButtonCancel);
    QCOMPARE(EnsureFreeSpace(pageFile(), needed), !warns);
    QCOMPARE(m_env->prompts.shown().size(), warns ? 1 : 0);
}

void TestPageFile::fullDiskRetryThenCancel_data() {
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("warning");
    QTest::newRow("English") << UiLanguage::English
                             << QStringLiteral("No free space on a disk /mnt/keys. Cleanup a disk and press "
                                               "repeat operation.");
    QTest::newRow("Russian") << UiLanguage::Russian
                             << QStringLiteral("Не достаточно свободного места на диске /mnt/keys. Освободите "
                                               "диск и нажмите повторить операцию.");
}

void TestPageFile::fullDiskRetryThenCancel() {
    QFETCH(UiLanguage, language);
    QFETCH(QString, warning);

    setUiLanguage(language);
    m_env->system.freeBytes = 0;
    m_env->system.drive = QStringLiteral("/mnt/keys");
    m_env->prompts.answer(ButtonRetry);
    m_env->prompts.answer(ButtonCancel);

    std::int32_t page = 0;
    QVERIFY(!AppendPage(pageFile(), page));
    QCOMPARE(page, -1);
    QVERIFY(!QFileInfo::exists(pageFile()));
    QCOMPARE(m_env->system.queries, 2);
    QCOMPARE(m_env->prompts.shown().size(), 2);
    for (const test::ShownPrompt& shown : m_env->prompts.shown()) {
        QCOMPARE(shown.text, warning);
        QCOMPARE(shown.icon, PromptIcon::Warning);
        QCOMPARE(shown.caption, QStringLiteral("Tervane"));
        QCOMPARE(shown.buttons, int(ButtonRetry | ButtonCancel));
    }
}

void TestPageFile::retryAfterSpaceFreed() {
    m_env->system.freeBytes = 0;
    m_env->system.onQuery = [this](VolumeSpace& space) {
        if (m_env->system.queries > 1)
            space.freeBytes = qint64(1) << 40;
    };
    m_env->prompts.answer(ButtonRetry);
    QVERIFY(writeFileBytes(pageFile(), fileOf({1})));

    std::int32_t page = -1;
    QVERIFY(AppendPage(pageFile(), page));
    QCOMPARE(page, 1);
    QCOMPARE(readFileBytes(pageFile()), fileOf({1}) + QByteArray(KeyPage::kSize, '\0'));
    QCOMPARE(m_env->prompts.shown().size(), 1);
}

void TestPageFile::networkVolumeIsNotChecked() {
    m_env->system.checked = false;
    m_env->system.freeBytes = 0;
    QVERIFY(EnsureFreeSpace(QStringLiteral("//server/share/x.dat"), 189000));

    QVERIFY(writeFileBytes(pageFile(), fileOf({1, 2})));
    std::int32_t page = -1;
    QVERIFY(AppendPage(pageFile(), page));
    QVERIFY(DeletePage(pageFile(), 0));
    QCOMPARE(readFileBytes(pageFile()), fileOf({2}) + QByteArray(KeyPage::kSize, '\0'));
    QVERIFY(m_env->prompts.shown().isEmpty());
}

// A file of 11363 pages needs 2147607000 bytes of room, one past what 32 bits hold. The file
// is sparse, so it costs no disk.
void TestPageFile::largeFilesAskForRoomIn64Bits() {
    const qint64 pages = 11363;
    const qint64 room = pages * 2 * kPage;
    {
        QFile file(pageFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(pages * kPage));
    }
    m_env->system.freeBytes = room;
    m_env->prompts.answer(ButtonCancel);
    QVERIFY(!WritePage(pageFile(), 0, pageOf(pageBytes(1))));
    m_env->prompts.answer(ButtonCancel);
    QVERIFY(!DeletePage(pageFile(), 0));
    QCOMPARE(m_env->prompts.shown().size(), 2);
    QCOMPARE(QFileInfo(pageFile()).size(), pages * kPage);

    m_env->system.freeBytes = room + 1;
    QVERIFY(WritePage(pageFile(), pages - 1, pageOf(pageBytes(1))));
    KeyPage back;
    QVERIFY(ReadPage(pageFile(), pages - 1, back));
    QCOMPARE(bytesOf(back), pageBytes(1));
}

void TestPageFile::reportFileErrorTexts_data() {
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    const QString path = QStringLiteral("/keys/Дом.dat");
    const QString quoted = QLatin1Char('"') + path + QLatin1Char('"');
    struct Row {
        int code;
        const char* english;
        const char* russian;
    };
    const Row rows[] = {
        {-1, "File read error:", "Ошибка чтения файа: "},
        {-2, "File write error:", "Ошибка записи файа: "},
        {-3, "Create file error: ", "Ошибка создания файла: "},
        {-4, "Open file error: ", "Ошибка открытия файла: "},
        {-5, "Delete file error: ", "Ошибка удаления файла: "},
        {-7, "Incorrect data base version: ", "Неверная версия файла базы данных: "},
        {-8, "The database file has an unknown format: ", "Файл базы данных имеет неизвестный формат: "},
    };
    for (const Row& row : rows) {
        QTest::addRow("%d English", row.code)
            << UiLanguage::English << row.code << QString::fromUtf8(row.english) + quoted;
        QTest::addRow("%d Russian", row.code)
            << UiLanguage::Russian << row.code << QString::fromUtf8(row.russian) + quoted;
    }
    QTest::newRow("-6 English") << UiLanguage::English << -6 << QStringLiteral("Error: 6.");
    QTest::newRow("-6 Russian") << UiLanguage::Russian << -6 << QStringLiteral("Ошибка: 6.");
    QTest::newRow("positive code") << UiLanguage::English << 12 << QStringLiteral("Error: -12.");
    QTest::newRow("lowest code") << UiLanguage::English << int(std::numeric_limits<std::int32_t>::min())
                                 << QStringLiteral("Error: 2147483648.");
}

void TestPageFile::reportFileErrorTexts() {
    QFETCH(UiLanguage, language);
    QFETCH(int, code);
    QFETCH(QString, text);

    setUiLanguage(language);
    m_env->prompts.answer(ButtonOk);
    QVERIFY(ReportFileError(code, QStringLiteral("/keys/Дом.dat")));
    expectFileError(text);
}

QTEST_GUILESS_MAIN(TestPageFile)
#include "tst_PageFile.moc"
