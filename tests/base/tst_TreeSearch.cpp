// The find rule over node names and the find walk with its wrap-around, without a window.
#include "TestEnvironment.h"

#include "base/BaseTree.h"
#include "base/TreeSearch.h"

#include <QTest>

using namespace tervane;
using test::cp1251;

namespace {

// A tree from lines in pre-order; two leading blanks per level.
void buildTree(BaseTree& tree, const QStringList& lines) {
    std::vector<BaseNode*> lastAt;
    for (const QString& line : lines) {
        qsizetype indent = 0;
        while (indent < line.size() && line.at(indent) == QLatin1Char(' '))
            ++indent;
        const auto level = std::size_t(indent / 2);
        BaseNode* node = tree.addChild(level == 0 ? nullptr : lastAt.at(level - 1));
        node->text = cp1251(line.mid(indent));
        lastAt.resize(level);
        lastAt.push_back(node);
    }
}

} // namespace

class TreeSearchTest : public QObject {
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
    void walk_data();
    void walk();
    void walkFollowsTheTreeAsItIsNow();
};

void TreeSearchTest::matches_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("expected");

    const QString ru = QStringLiteral("ru_RU");
    QTest::newRow("Cyrillic capitals find small letters") << "ДОМ" << false << "дом 12" << ru << true;
    QTest::newRow("small letters find capitals") << "дом" << false << "ДОМ 12" << ru << true;
    QTest::newRow("case ticked: capitals miss") << "ДОМ" << true << "дом 12" << ru << false;
    QTest::newRow("case ticked: same case") << "дом" << true << "дом 12" << ru << true;
    QTest::newRow("Ё finds ё") << "Ё" << false << "ёлка" << ru << true;
    QTest::newRow("ё finds Ё") << "ёлка" << false << "ЁЛКА 3" << ru << true;
    QTest::newRow("Е is not Ё") << "Е" << false << "ёлка" << ru << false;
    QTest::newRow("Ukrainian Ї and Ґ") << "ЇЖАК ҐАНОК" << false << "їжак ґанок" << ru << true;
    QTest::newRow("Latin") << "dom" << false << "Dom 1" << ru << true;
    QTest::newRow("Latin, case ticked") << "dom" << true << "Dom 1" << ru << false;
    QTest::newRow("Latin and Cyrillic together") << "КВ.5b" << false << "кв.5B" << ru << true;
    QTest::newRow("in the middle") << "м 1" << false << "Дом 12" << ru << true;
    QTest::newRow("not in one piece") << "Дм" << false << "Дом" << ru << false;
    QTest::newRow("text longer than the name") << "Дом 12" << false << "Дом" << ru << false;
    QTest::newRow("the whole name") << "Гараж" << false << "гараж" << ru << true;
    QTest::newRow("empty text") << "" << false << "Дом" << ru << false;
    QTest::newRow("empty text, case ticked") << "" << true << "Дом" << ru << false;
    QTest::newRow("empty name") << "д" << false << "" << ru << false;
    // The names cannot hold the snowman; its stand-in "?" must not match a real one.
    QTest::newRow("a character no name holds") << "☃" << false << "a?b" << ru << false;
    QTest::newRow("a character no name holds, case ticked") << "a☃" << true << "a?b" << ru << false;
    QTest::newRow("a real question mark") << "?" << true << "a?b" << ru << true;
    QTest::newRow("symbols of the high half") << "№ 5" << false << "Кв№ 5" << ru << true;
    // Turkish lower-cases I to a dotless ı, which Windows-1251 lacks: such names go through the
    // locale whole.
    QTest::newRow("Turkish I is ı") << "ınfo" << false << "INFO"
                                    << "tr_TR" << true;
    QTest::newRow("Turkish I is not i") << "info" << false << "INFO"
                                        << "tr_TR" << false;
    QTest::newRow("Turkish, a name without I") << "дом" << false << "ДОМ"
                                               << "tr_TR" << true;
    QTest::newRow("English I is i") << "info" << false << "INFO"
                                    << "en_US" << true;
}

void TreeSearchTest::matches() {
    QFETCH(QString, text);
    QFETCH(bool, caseSensitive);
    QFETCH(QString, name);
    QFETCH(QString, locale);
    QFETCH(bool, expected);
    const TreeSearch search(text, caseSensitive, QLocale(locale));
    QCOMPARE(search.matches(cp1251(name)), expected);
}

void TreeSearchTest::walk_data() {
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<int>("occurrence");    // before the first search
    QTest::addColumn<QList<int>>("hits");   // pre-order position of each search's hit, -1: none
    QTest::addColumn<QList<int>>("counts"); // occurrence after each search

    const QStringList three{"Dom 1", "Dom 2", "Garage"};
    QTest::newRow("find, find next, wrap around")
        << three << "dom" << false << 0 << QList<int>{0, 1, 0} << QList<int>{1, 2, 1};
    QTest::newRow("case ticked finds nothing") << three << "dom" << true << 0 << QList<int>{-1, -1} << QList<int>{0, 0};
    QTest::newRow("a lone match again and again")
        << three << "gar" << false << 0 << QList<int>{2, 2, 2} << QList<int>{1, 1, 1};
    // Collapsed or not, every node counts, a folder's nodes before its next sibling.
    QTest::newRow("nested nodes in tree order")
        << QStringList{"Дом", "  кв 1", "  ДОМ 3", "    дом 4", "Гараж", "дом 2"} << "дом" << false << 0
        << QList<int>{0, 2, 3, 5, 0} << QList<int>{1, 2, 3, 4, 1};
    // Nodes deleted since the last search: fewer matches than passed over, so it wraps.
    QTest::newRow("fewer matches than the occurrence")
        << QStringList{"Dom 1", "Dom 2"} << "dom" << false << 7 << QList<int>{0, 1} << QList<int>{1, 2};
    QTest::newRow("occurrence at the last match")
        << three << "dom" << false << 1 << QList<int>{1, 0} << QList<int>{2, 1};
    QTest::newRow("nothing matches: occurrence back to 0")
        << three << "kitchen" << false << 3 << QList<int>{-1} << QList<int>{0};
    QTest::newRow("empty tree") << QStringList{} << "dom" << false << 0 << QList<int>{-1} << QList<int>{0};
    QTest::newRow("empty text") << three << "" << false << 0 << QList<int>{-1} << QList<int>{0};
}

void TreeSearchTest::walk() {
    QFETCH(QStringList, tree);
    QFETCH(QString, text);
    QFETCH(bool, caseSensitive);
    QFETCH(int, occurrence);
    QFETCH(QList<int>, hits);
    QFETCH(QList<int>, counts);

    BaseTree base;
    buildTree(base, tree);
    const TreeSearch search(text, caseSensitive, QLocale(QStringLiteral("ru_RU")));
    std::int32_t at = occurrence;
    for (qsizetype i = 0; i < hits.size(); ++i) {
        const BaseNode* hit = search.next(base, at);
        QCOMPARE(base.absolutePosition(hit), hits.at(i));
        QCOMPARE(at, counts.at(i));
    }
}

void TreeSearchTest::walkFollowsTheTreeAsItIsNow() {
    BaseTree tree;
    buildTree(tree, {"Dom 1", "Dom 2", "Dom 3"});
    const TreeSearch search(QStringLiteral("dom"), false);
    std::int32_t occurrence = 0;
    QCOMPARE(search.next(tree, occurrence)->text, QByteArray("Dom 1"));
    QCOMPARE(search.next(tree, occurrence)->text, QByteArray("Dom 2"));
    // Dom 2 and Dom 3 go: one match is left where two were passed over.
    tree.remove(tree.nodeAt(2));
    tree.remove(tree.nodeAt(1));
    QCOMPARE(search.next(tree, occurrence)->text, QByteArray("Dom 1"));
    QCOMPARE(occurrence, 1);
    BaseNode* added = tree.addChild(nullptr);
    added->text = "dom 4";
    QCOMPARE(search.next(tree, occurrence), added);
}

QTEST_GUILESS_MAIN(TreeSearchTest)
#include "tst_TreeSearch.moc"
