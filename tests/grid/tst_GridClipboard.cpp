// Cut, Copy, Paste and Clear of grid blocks over one small page, in the full and the short view:
// every page byte after the commands, and whether they counted as an edit (which sets Modified).

#include "base/KeyPage.h"
#include "grid/GridClipboard.h"

#include <QList>
#include <QTest>

#include <cstring>
#include <vector>

using namespace tervane;

namespace {

enum class Op { None, Copy, Cut, Clear };

// Where a paste puts the block's top-left cell, in grid coordinates; row 0: no paste.
struct Target {
    int top = 0;
    int left = 0;
};

constexpr int kComment = KeyPage::kKeyColumns; // a Change's column: the row's comment

// One slot of the page that differs from the fixture afterwards: it holds the fixture's cell or
// comment at (fromRow, fromColumn), or is empty when fromRow is -1.
struct Change {
    int row;
    int column;
    int fromRow;
    int fromColumn;
};

Change key(int row, int column, int fromRow, int fromColumn) {
    return {row, column, fromRow, fromColumn};
}
Change keyCleared(int row, int column) {
    return {row, column, -1, -1};
}
Change comment(int row, int fromRow) {
    return {row, kComment, fromRow, kComment};
}
Change commentCleared(int row) {
    return {row, kComment, -1, -1};
}

bool rowHoldsKeys(int row) {
    return row < 10 || row >= 495;
}

// A different cell everywhere: type, a reserved byte that must travel too, and the cell's place.
KeyCell fixtureCell(int row, int column) {
    static constexpr std::uint8_t kTypes[] = {KeyTypeDallas, KeyTypeTm2002,  KeyTypeCyfral, KeyTypeDallas4,
                                              KeyTypeEm410x, KeyTypeHidProx, KeyTypeIndala};
    KeyCell cell;
    cell.bytes = {kTypes[(row + column) % std::size(kTypes)],
                  0xA5,
                  std::uint8_t(row),
                  std::uint8_t(row >> 8),
                  std::uint8_t(column),
                  0x11,
                  0x22,
                  0x33,
                  0x44,
                  0x55};
    return cell;
}

// Keys in every cell of rows 0-9 and 495-499, with comments except on row 5 (row 4's is 128
// characters long); row 20 holds only a comment and row 30 only a key in key column 2. The short
// view shows grid rows 1-10 = page rows 0-9, 11 = 20, 12 = 30, 13-17 = 495-499.
KeyPage fixture() {
    KeyPage page;
    for (int row = 0; row < KeyPage::kRows; ++row) {
        if (!rowHoldsKeys(row))
            continue;
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            page.setCell(row, column, fixtureCell(row, column));
        if (row == 4)
            page.setComment(row, QByteArray(KeyPage::kMaxCommentLength, 'x'));
        else if (row != 5)
            page.setComment(row, "comment " + QByteArray::number(row));
    }
    page.setComment(20, "only a comment");
    page.setCell(30, 2, fixtureCell(30, 2));
    return page;
}

// Grid rows to page rows as the grid built from this page shows them.
GridClipboard::RowTranslation translationOf(const KeyPage& page, bool shortView) {
    if (!shortView)
        return [](int gridRow) { return gridRow - 1; };
    std::vector<int> shown;
    for (int row = 0; row < KeyPage::kRows; ++row) {
        if (page.rowHasContent(row))
            shown.push_back(row);
    }
    return [shown](int gridRow) { return gridRow >= 1 && gridRow <= int(shown.size()) ? shown[gridRow - 1] : -1; };
}

// Every row of the page shifted one row down: a whole page pasted at grid row 2.
QList<Change> shiftedDown() {
    const KeyPage page = fixture();
    QList<Change> changes;
    for (int row = 1; row < KeyPage::kRows; ++row) {
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            changes << key(row, column, row - 1, column);
        if (page.hasComment(row - 1))
            changes << comment(row, row - 1);
    }
    return changes;
}

// The first slot where the pages differ, empty when they are equal.
QString firstDifference(const KeyPage& expected, const KeyPage& actual) {
    for (int row = 0; row < KeyPage::kRows; ++row) {
        for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
            const int at = KeyPage::cellOffset(row, column);
            if (std::memcmp(expected.data() + at, actual.data() + at, KeyCell::kSize) != 0)
                return QStringLiteral("cell of page row %1, key column %2").arg(row).arg(column);
        }
        const int at = KeyPage::commentOffset(row);
        if (std::memcmp(expected.data() + at, actual.data() + at, KeyPage::kCommentSize) != 0)
            return QStringLiteral("comment of page row %1").arg(row);
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Op)
Q_DECLARE_METATYPE(Target)
Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(tervane::GridSelection)

class GridClipboardTest : public QObject {
    Q_OBJECT

private slots:
    void commands_data() {
        QTest::addColumn<Op>("op");
        QTest::addColumn<GridSelection>("selection"); // left, top, right, bottom
        QTest::addColumn<bool>("shortView");
        QTest::addColumn<Target>("pasteAt"); // after op, at the same view
        QTest::addColumn<QList<Change>>("changes");
        QTest::addColumn<bool>("edited");

        using S = GridSelection;
        const Target none;
        QTest::newRow("key columns 2-3 of rows 5-7 pasted at row 499, column 6")
            << Op::Copy << S{2, 5, 3, 7} << false << Target{499, 6}
            << QList<Change>{key(498, 5, 4, 1), key(499, 5, 5, 1)} << true;
        QTest::newRow("a key and the comment pasted at column 1: the comment's slot clears column 2")
            << Op::Copy << S{6, 2, 7, 3} << false << Target{8, 1}
            << QList<Change>{key(7, 0, 1, 5), keyCleared(7, 1), key(8, 0, 2, 5), keyCleared(8, 1)} << true;
        QTest::newRow("a key and the comment pasted at column 6: an empty comment keeps the target's")
            << Op::Copy << S{6, 5, 7, 7} << false << Target{9, 6}
            << QList<Change>{key(8, 5, 4, 5), comment(8, 4), key(9, 5, 5, 5), key(10, 5, 6, 5), comment(10, 6)} << true;
        QTest::newRow("pasted at column 7: only the rows' comments, an empty one keeps the target's")
            << Op::Copy << S{5, 4, 7, 6} << false << Target{12, 7} << QList<Change>{comment(11, 3), comment(12, 4)}
            << true;
        QTest::newRow("keys pasted at column 7 change nothing yet count as an edit")
            << Op::Copy << S{1, 1, 2, 2} << false << Target{1, 7} << QList<Change>{} << true;
        QTest::newRow("paste before any copy") << Op::None << S{} << false << Target{1, 1} << QList<Change>{} << false;
        QTest::newRow("copy alone") << Op::Copy << S{1, 1, 7, 500} << false << none << QList<Change>{} << false;
        QTest::newRow("cut empties the cells and the comments")
            << Op::Cut << S{2, 2, 7, 3} << false << none
            << QList<Change>{keyCleared(1, 1), keyCleared(1, 2),  keyCleared(1, 3), keyCleared(1, 4),
                             keyCleared(1, 5), commentCleared(1), keyCleared(2, 1), keyCleared(2, 2),
                             keyCleared(2, 3), keyCleared(2, 4),  keyCleared(2, 5), commentCleared(2)}
            << true;
        QTest::newRow("cut, then paste at the same cell restores every byte")
            << Op::Cut << S{5, 2, 7, 4} << false << Target{2, 5} << QList<Change>{} << true;
        QTest::newRow("clear with the comment column empties the comments")
            << Op::Clear << S{6, 1, 7, 2} << false << none
            << QList<Change>{keyCleared(0, 5), commentCleared(0), keyCleared(1, 5), commentCleared(1)} << true;
        QTest::newRow("a whole page pasted one row down loses its last row")
            << Op::Copy << S{1, 1, 7, 500} << false << Target{2, 1} << shiftedDown() << true;
        QTest::newRow("a selection past the grid's edges is cut to it")
            << Op::Copy << S{5, 499, 9, 600} << false << Target{1, 1}
            << QList<Change>{key(0, 0, 498, 4), key(0, 1, 498, 5), keyCleared(0, 2),
                             key(1, 0, 499, 4), key(1, 1, 499, 5), keyCleared(1, 2)}
            << true;

        QTest::newRow("short view: copy and paste reach the shown rows")
            << Op::Copy << S{3, 12, 3, 13} << true << Target{14, 1}
            << QList<Change>{key(496, 0, 30, 2), key(497, 0, 495, 2)} << true;
        QTest::newRow("short view: what falls below the last shown row is dropped")
            << Op::Copy << S{1, 1, 2, 3} << true << Target{16, 1}
            << QList<Change>{key(498, 0, 0, 0), key(498, 1, 0, 1), key(499, 0, 1, 0), key(499, 1, 1, 1)} << true;
        QTest::newRow("short view: a row below the shown ones copies as an empty row")
            << Op::Copy << S{1, 17, 2, 18} << true << Target{1, 1}
            << QList<Change>{key(0, 0, 499, 0), key(0, 1, 499, 1), keyCleared(1, 0), keyCleared(1, 1)} << true;
        QTest::newRow("short view: paste below the shown rows")
            << Op::Copy << S{1, 1, 1, 1} << true << Target{18, 1} << QList<Change>{} << false;
        QTest::newRow("short view: cut below the shown rows")
            << Op::Cut << S{1, 18, 7, 500} << true << none << QList<Change>{} << false;
        QTest::newRow("short view: clear from the last shown rows down")
            << Op::Clear << S{1, 16, 7, 500} << true << none
            << QList<Change>{keyCleared(498, 0), keyCleared(498, 1), keyCleared(498, 2),  keyCleared(498, 3),
                             keyCleared(498, 4), keyCleared(498, 5), commentCleared(498), keyCleared(499, 0),
                             keyCleared(499, 1), keyCleared(499, 2), keyCleared(499, 3),  keyCleared(499, 4),
                             keyCleared(499, 5), commentCleared(499)}
            << true;
        QTest::newRow("short view: cut, then paste at the same cell")
            << Op::Cut << S{1, 2, 3, 3} << true << Target{2, 1} << QList<Change>{} << true;
        QTest::newRow("short view: a row emptied by a cut leaves the grid, the next one takes its place")
            << Op::Cut << S{1, 11, 7, 11} << true << Target{11, 1}
            << QList<Change>{commentCleared(20), keyCleared(30, 2), comment(30, 20)} << true;
    }
    void commands() {
        QFETCH(Op, op);
        QFETCH(GridSelection, selection);
        QFETCH(bool, shortView);
        QFETCH(Target, pasteAt);
        QFETCH(QList<Change>, changes);
        QFETCH(bool, edited);

        const KeyPage original = fixture();
        KeyPage page = original;
        GridClipboard clipboard;
        bool anyEdit = false;
        // The grid is rebuilt after every command, so each one sees the rows of the page as it is.
        auto apply = [&](std::unique_ptr<KeyPage> result) {
            if (result) {
                page = *result;
                anyEdit = true;
            }
        };
        switch (op) {
        case Op::None:
            break;
        case Op::Copy:
            clipboard.copy(page, selection, translationOf(page, shortView));
            break;
        case Op::Cut:
            apply(clipboard.cut(page, selection, translationOf(page, shortView)));
            break;
        case Op::Clear:
            apply(GridClipboard::clear(page, selection, translationOf(page, shortView)));
            break;
        }
        QCOMPARE(clipboard.isFilled(), op == Op::Copy || op == Op::Cut);
        if (pasteAt.top != 0)
            apply(clipboard.paste(page, pasteAt.top, pasteAt.left, translationOf(page, shortView)));

        KeyPage expected = original;
        for (const Change& c : changes) {
            if (c.column == kComment) {
                if (c.fromRow < 0)
                    expected.clearComment(c.row);
                else
                    expected.setComment(c.row, original.comment(c.fromRow));
            } else if (c.fromRow < 0) {
                expected.clearCell(c.row, c.column);
            } else {
                expected.setCell(c.row, c.column, original.cell(c.fromRow, c.fromColumn));
            }
        }
        const QString difference = firstDifference(expected, page);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(anyEdit, edited);
    }
};

QTEST_APPLESS_MAIN(GridClipboardTest)
#include "tst_GridClipboard.moc"
