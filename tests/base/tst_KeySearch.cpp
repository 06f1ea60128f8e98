// The find-key search over a whole key base: every file's page, the shown one as edited, hits in
// tree order, and its file errors, progress and cancelling.
#include "BaseBuilder.h"
#include "TestEnvironment.h"

#include "base/FileErrors.h"
#include "base/KeySearch.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

namespace {

KeyQuery hexQuery(const char* digits, KeyFamily family = KeyFamily::Any) {
    auto error = KeyQuery::Error::Empty;
    return KeyQuery::hexDigits(digits, family, error);
}

// "file row column" per hit, the file by its pre-order index.
QStringList hitList(const KeySearchJob& job, const KeySearchResult& result) {
    QStringList list;
    for (const KeyHit& hit : result.hits) {
        QString line =
            QStringLiteral("%1 %2 %3").arg(job.files.at(std::size_t(hit.file)).index).arg(hit.row).arg(hit.column);
        if (hit.comment >= 0)
            line += QLatin1Char(' ') + QString::fromLatin1(result.comment(hit));
        list << line;
    }
    return list;
}

} // namespace

class KeySearchTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void hitsComeInTreeOrder_data();
    void hitsComeInTreeOrder();
    void shownPageAsEdited();
    void shownPageNotWrittenYet();
    void blocksAndProgress();
    void fileErrors();
    void cancelled();

private:
    // Tree order against page order: Yard (page 1) comes before Street (page 0).
    //   0 Yard        folder
    //   1   Gate      file, page 1
    //   2 Street      folder
    //   3   House 1   file, page 0
    //   4   House 2   file, page 2
    //   5   Copy      file, page 1 again (a damaged base may share a page)
    //   6   Lost      file, page 7 (not in the page file)
    void buildBase();
    KeySearchJob job(const KeyQuery& query) const;

    std::unique_ptr<TestEnvironment> m_env;
    QString m_base;
    std::unique_ptr<BaseBuilder> m_builder;
};

void KeySearchTest::init() {
    m_env = std::make_unique<TestEnvironment>();
    m_base = m_env->paths.root() + QStringLiteral("/shop");
    buildBase();
}

void KeySearchTest::cleanup() {
    if (!QTest::currentTestFailed())
        QCOMPARE(m_env->prompts.shown().size(), 0); // the search itself shows nothing
    m_builder.reset();
    m_env.reset();
}

void KeySearchTest::buildBase() {
    m_builder = std::make_unique<BaseBuilder>();
    BaseBuilder& b = *m_builder;
    BaseNode* yard = b.folder(QStringLiteral("Yard"));
    BaseNode* street = b.folder(QStringLiteral("Street"));
    BaseNode* house1 = b.file(QStringLiteral("House 1"), street); // page 0
    BaseNode* gate = b.file(QStringLiteral("Gate"), yard);        // page 1, first in tree order
    BaseNode* house2 = b.file(QStringLiteral("House 2"), street); // page 2
    for (const auto& [name, page] : {std::pair{"Copy", 1}, std::pair{"Lost", 7}}) {
        BaseNode* node = b.tree().addChild(street);
        node->text = name;
        node->imageIndex = ImageFile;
        node->pageNumber = page;
    }

    b.page(house1).setCell(10, 5, dallasCell(0x123456));
    b.page(house1).setCell(10, 0, dallasCell(0x991234));
    b.page(house1).setComment(10, "row ten");
    b.page(house1).setCell(2, 3, dallasCell(0x555555));
    b.page(gate).setCell(499, 5, dallasCell(0x1234));
    KeyCell em = cellFromHex("80 00 00 56 34 12 00 00 06 00"); // 0000123456
    b.page(house2).setCell(0, 1, em);
    QVERIFY(b.write(m_base));
}

KeySearchJob KeySearchTest::job(const KeyQuery& query) const {
    KeySearchJob j;
    j.query = query;
    j.pageFile = m_base + QStringLiteral(".dat");
    j.files = keySearchFiles(m_builder->tree());
    return j;
}

void KeySearchTest::hitsComeInTreeOrder_data() {
    QTest::addColumn<QByteArray>("digits");
    QTest::addColumn<int>("family");
    QTest::addColumn<QStringList>("hits");
    QTest::newRow("in every file, Gate twice")
        << QByteArray("1234") << int(KeyFamily::Any)
        << QStringList{"1 499 5", "3 10 0 row ten", "3 10 5 row ten", "4 0 1", "5 499 5"};
    QTest::newRow("one family") << QByteArray("1234") << int(KeyFamily::Em410x) << QStringList{"4 0 1"};
    QTest::newRow("nowhere") << QByteArray("ABCDEF") << int(KeyFamily::Any) << QStringList{};
}

void KeySearchTest::hitsComeInTreeOrder() {
    QFETCH(QByteArray, digits);
    QFETCH(int, family);
    QFETCH(QStringList, hits);
    const KeySearchJob j = job(hexQuery(digits.constData(), KeyFamily(family)));
    QCOMPARE(j.files.size(), std::size_t(5));
    const KeySearchResult result = searchKeys(j);
    QCOMPARE(result.errorCode, 0);
    QVERIFY(!result.cancelled);
    QCOMPARE(hitList(j, result), hits);
    for (const KeyHit& hit : result.hits) {
        const KeyPage& page = m_builder->page(m_builder->tree().nodeAt(j.files.at(std::size_t(hit.file)).index));
        QCOMPARE(hit.cell.bytes, page.cell(hit.row, hit.column).bytes);
    }
}

// The page shown is searched as the grid holds it, not as its record in the file.
void KeySearchTest::shownPageAsEdited() {
    KeySearchJob j = job(hexQuery("1234"));
    auto shown = std::make_shared<KeyPage>(m_builder->page(m_builder->tree().nodeAt(3)));
    shown->clearCell(10, 0);
    shown->setCell(20, 2, dallasCell(0x12340000));
    j.shownPage = 0;
    j.shownContent = shown;
    QCOMPARE(hitList(j, searchKeys(j)), (QStringList{"1 499 5", "3 10 5 row ten", "3 20 2", "4 0 1", "5 499 5"}));
}

// A file appended and shown whose page the file does not hold yet still counts.
void KeySearchTest::shownPageNotWrittenYet() {
    BaseNode* added = m_builder->tree().addChild(nullptr);
    added->imageIndex = ImageFile;
    added->pageNumber = 3;
    KeySearchJob j = job(hexQuery("777777"));
    auto shown = std::make_shared<KeyPage>();
    shown->setCell(1, 1, dallasCell(0x777777));
    j.shownPage = 3;
    j.shownContent = shown;
    QCOMPARE(hitList(j, searchKeys(j)), QStringList{"7 1 1"});
}

// Pages in several blocks, files in reverse page order; progress counts the pages to the end.
void KeySearchTest::blocksAndProgress() {
    constexpr int kPages = 70;
    BaseBuilder b;
    std::vector<BaseNode*> files;
    for (int i = 0; i < kPages; ++i)
        files.push_back(b.file(QStringLiteral("f%1").arg(i)));
    for (int page : {0, 31, 32, 63, 64, 69})
        b.page(files[std::size_t(page)]).setCell(page % KeyPage::kRows, 0, dallasCell(0xABC000 + quint64(page)));
    // Tree order becomes the reverse of page order; the pages keep their content.
    for (int i = 0; i < kPages; ++i)
        files[std::size_t(i)]->pageNumber = kPages - 1 - i;
    QVERIFY(b.write(m_base));
    KeySearchJob j = job(hexQuery("ABC0"));
    j.files = keySearchFiles(b.tree());
    std::vector<std::pair<std::int64_t, std::int64_t>> steps;
    const KeySearchResult result =
        searchKeys(j, {}, [&](std::int64_t done, std::int64_t total) { steps.emplace_back(done, total); });
    QStringList expected;
    for (int page : {69, 64, 63, 32, 31, 0})
        expected << QStringLiteral("%1 %2 0").arg(kPages - 1 - page).arg(page);
    QCOMPARE(hitList(j, result), expected);
    QVERIFY(steps.size() >= 3);
    QCOMPARE(steps.front(), std::make_pair(std::int64_t(0), std::int64_t(kPages)));
    QCOMPARE(steps.back(), std::make_pair(std::int64_t(kPages), std::int64_t(kPages)));
    for (std::size_t i = 1; i < steps.size(); ++i)
        QVERIFY(steps[i].first > steps[i - 1].first);
}

void KeySearchTest::fileErrors() {
    KeySearchJob j = job(hexQuery("1234"));
    j.pageFile = m_base + QStringLiteral("-missing.dat");
    KeySearchResult result = searchKeys(j);
    QCOMPARE(result.errorCode, std::int32_t(FileErrorOpen));
    QCOMPARE(result.errorPath, j.pageFile);
    QVERIFY(result.hits.empty());

    // A folder in place of the page file.
    QTemporaryDir folder;
    j.pageFile = folder.path();
    result = searchKeys(j);
    QVERIFY(result.errorCode == FileErrorOpen || result.errorCode == FileErrorRead);
    QVERIFY(result.hits.empty());
}

void KeySearchTest::cancelled() {
    std::stop_source stop;
    stop.request_stop();
    const KeySearchResult result = searchKeys(job(hexQuery("1234")), stop.get_token());
    QVERIFY(result.cancelled);
    QVERIFY(result.hits.empty());
    QCOMPARE(result.errorCode, 0);
}

QTEST_GUILESS_MAIN(KeySearchTest)
#include "tst_KeySearch.moc"
