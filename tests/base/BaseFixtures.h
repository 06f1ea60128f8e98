#pragma once

// Key bases built byte by byte for the document tests, and the fixture they share: a user's
// folder "keys" holding the base "shop", and the test seams.
#include "TestEnvironment.h"

#include "base/BaseSave.h"
#include "base/Document.h"
#include "settings/ProgramOptions.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cstring>
#include <memory>

namespace tervane::test {

constexpr int kRecord = 273;
constexpr int kPage = 94500;

struct NodeSpec {
    QByteArray name;
    int level;
    bool expanded;
    int image;
    int selectedImage;
    int page;
};

// A directory file as every writer of the format makes it: one record buffer reused from the
// header on, so a short name leaves the tail of a longer one behind it.
inline QByteArray directoryBytes(const QList<NodeSpec>& nodes, int selectedPosition) {
    QByteArray record(kRecord, '\0');
    auto putInt = [&record](int offset, qint32 v) { std::memcpy(record.data() + offset, &v, 4); };
    record[0] = 9;
    std::memcpy(record.data() + 1, "Data Base", 9);
    putInt(256, 100);
    putInt(261, selectedPosition);
    QByteArray out = record;
    for (const NodeSpec& n : nodes) {
        record[0] = char(n.name.size());
        std::memcpy(record.data() + 1, n.name.constData(), n.name.size());
        putInt(256, n.level);
        record[260] = n.expanded ? 1 : 0;
        putInt(261, n.image);
        putInt(265, n.selectedImage);
        putInt(269, n.page);
        out += record;
    }
    return out;
}

// Pages that tell each other apart: a Dallas key in row n and the comment "page n" in row 0,
// behind which stale bytes stay.
inline QByteArray pageFileBytes(int pages) {
    QByteArray out(pages * kPage, '\0');
    for (int n = 0; n < pages; ++n) {
        char* page = out.data() + n * kPage;
        char* cell = page + n * 60;
        cell[0] = 1;
        for (int i = 2; i < 10; ++i)
            cell[i] = char(0x10 * n + i);
        const QByteArray comment = "page " + QByteArray::number(n);
        char* c = page + 30000;
        c[0] = char(comment.size());
        std::memcpy(c + 1, comment.constData(), comment.size());
        std::memcpy(c + 1 + comment.size(), "stale", 5);
    }
    return out;
}

// Street (open) holding House 1 (page 0, selected) and House 2 (page 1); an empty folder Yard.
inline const QList<NodeSpec> kShopNodes = {
    {"Street", 0, true, 0, 0, -1},
    {"House 1", 1, false, 2, 1, 0},
    {"House 2", 1, false, 2, 1, 1},
    {"Yard", 0, false, 0, 0, -1},
};

struct BaseBytes {
    QByteArray dir;
    QByteArray dat;
    bool operator==(const BaseBytes&) const = default;
};

inline BaseBytes shopBytes() {
    return {directoryBytes(kShopNodes, 1), pageFileBytes(2)};
}

// The base "other": one file of one page.
inline BaseBytes otherBytes() {
    return {directoryBytes({{"Gate", 0, false, 2, 1, 0}}, 0), pageFileBytes(1)};
}

inline bool writeBase(const QString& base, const BaseBytes& bytes) {
    return writeFileBytes(base + ".dir", bytes.dir) && writeFileBytes(base + ".dat", bytes.dat);
}

// A missing file reads as a null array, so that "no base" compares unequal to an empty one.
inline QByteArray readOrNull(const QString& path) {
    return QFileInfo::exists(path) ? readFileBytes(path) : QByteArray();
}

inline BaseBytes readBase(const QString& base) {
    return {readOrNull(base + ".dir"), readOrNull(base + ".dat")};
}

inline QStringList filesIn(const QString& folder, const QString& pattern = QStringLiteral("*")) {
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

inline QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

inline BaseNode* nodeNamed(BaseTree& tree, const QByteArray& name) {
    for (BaseNode* n = tree.first(); n; n = tree.next(n))
        if (n->text == name)
            return n;
    return nullptr;
}

inline QByteArray commentOf(const QByteArray& dat, int page, int row) {
    const QByteArray field = dat.mid(page * kPage + 30000 + row * 129, 129);
    if (field.size() != 129)
        return {};
    return field.mid(1, quint8(field[0]));
}

struct DocumentFixture {
    std::unique_ptr<TestEnvironment> env;
    QString keys; // the user's folder
    QString shop; // keys/shop, the user's base
    int redraws = 0;

    void setUpFixture() {
        env = std::make_unique<TestEnvironment>();
        settings().setDefaults();
        // Saves keep no backup here unless a test asks for one: the backup has tests of its own.
        programOptions().setKeepBaseBackup(false);
        setSaveStepHook({});
        setBaseLockWait(kBaseLockWaitMs);
        keys = env->paths.root() + "/keys";
        shop = keys + "/shop";
        QVERIFY(QDir().mkpath(keys));
        QVERIFY(writeBase(shop, shopBytes()));
        redraws = 0;
    }
    void tearDownFixture() {
        setSaveStepHook({});
        setBaseLockWait(kBaseLockWaitMs);
        if (!QTest::currentTestFailed())
            QCOMPARE(env->prompts.pendingAnswers(), 0);
        env.reset();
    }

    QString temp() const { return env->paths.tempFolder(); }
    QStringList workingFiles() const { return filesIn(temp(), QStringLiteral("rdb_temp_*")); }
    void watch(Document& doc) {
        QObject::connect(&doc, &Document::changed, [this] { ++redraws; });
    }
    // Opens keys/shop; its House 1 page is shown.
    bool openShop(Document& doc) {
        env->prompts.answerFile(shop + ".dir");
        return doc.OpenBase() && doc.currentPage() == 0;
    }
    // Changes the comment of row 4 on the page shown.
    static void editComment(Document& doc, const QByteArray& text = "edited") {
        doc.pageBuffer().setComment(4, text);
        doc.setModified();
    }
};

} // namespace tervane::test
