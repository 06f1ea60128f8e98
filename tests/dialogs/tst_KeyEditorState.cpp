// The key editor's rules without its widgets: what OK stores for what was opened, chosen and
// typed, and what the editor keeps from one use to the next.

#include "device/DeviceModel.h"
#include "dialogs/KeyEditorState.h"
#include "keys/DallasCrc.h"
#include "keys/KeyTypes.h"

#include <QByteArray>
#include <QTest>

using namespace tervane;

namespace {

// Ten bytes written as hex, type byte first; an empty text is an empty cell.
KeyCell cellOf(const QByteArray& hex) {
    KeyCell cell;
    const QByteArray bytes = QByteArray::fromHex(hex);
    for (int i = 0; i < bytes.size() && i < KeyCell::kSize; ++i)
        cell.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bytes[i]);
    return cell;
}

QByteArray hexOf(const KeyCell& cell) {
    return QByteArray(reinterpret_cast<const char*>(cell.bytes.data()), KeyCell::kSize).toHex(' ').toUpper();
}

QByteArray hexOf(const KeyCode& code) {
    return QByteArray(reinterpret_cast<const char*>(code.data()), int(code.size())).toHex(' ').toUpper();
}

// The field's editable positions (0-based) in typing order: the code groups, then the Dallas
// check-sum group.
QList<int> editablePositions(const KeyEditorState& s) {
    QList<int> at;
    for (int g = 0; g < s.layout().groups; ++g)
        at << s.CodeGroupPos - 1 + 3 * g << s.CodeGroupPos + 3 * g;
    if (s.layout().checksumGroup)
        at << s.CrcGroupPos - 1 << s.CrcGroupPos;
    return at;
}

// Types keys into the field from the first code digit on, one change of the text per key, as the
// masked field does: upper case, literal characters stepped over, the check sum rewritten.
void typeKeys(KeyEditorState& s, const QString& keys) {
    QString text = s.fieldText();
    const QList<int> at = editablePositions(s);
    for (int i = 0; i < keys.size() && i < at.size(); ++i) {
        text[at[i]] = keys[i].toUpper();
        if (const std::optional<QString> rewritten = s.CodeEditChange(text))
            text = *rewritten;
    }
}

QString codeDigits(const KeyEditorState& s) {
    QString digits;
    const QList<int> at = editablePositions(s);
    for (int i : at)
        digits += s.fieldText().at(i);
    return digits;
}

constexpr int kLark = ModelLark, kWren = ModelWren, kKestrel = ModelKestrel;
constexpr int kDallas = 0, kCyfral = 1, kTm2002 = 2, kEm410x = 3, kHidProx = 4, kIndala = 5;
constexpr int kUntouched = -1;
const QByteArray kEmpty;
const QByteArray kOkDisabled;

} // namespace

class KeyEditorStateTest : public QObject {
    Q_OBJECT

private slots:
    void okStoresTheCell_data() {
        QTest::addColumn<int>("deviceModel");
        QTest::addColumn<bool>("russian");
        QTest::addColumn<QByteArray>("cell");   // opened on; empty: an empty cell
        QTest::addColumn<int>("chosenType");    // list position chosen after opening
        QTest::addColumn<bool>("checksumBox");  // ticked, as an earlier use left it
        QTest::addColumn<int>("speed");         // list position chosen
        QTest::addColumn<QString>("typed");     // keys typed from the first code digit on
        QTest::addColumn<QByteArray>("stored"); // the ten bytes OK stores; empty: OK disabled

        QTest::newRow("dallas, check sum computed") << kLark << false << kEmpty << kUntouched << true << kUntouched
                                                    << "000000123456" << QByteArray("01 00 01 56 34 12 00 00 00 05");
        QTest::newRow("dallas in russian") << kLark << true << kEmpty << kUntouched << true << kUntouched
                                           << "000000123456" << QByteArray("01 00 01 56 34 12 00 00 00 05");
        QTest::newRow("dallas, check sum typed") << kLark << false << kEmpty << kUntouched << false << kUntouched
                                                 << "000000123456A7" << QByteArray("01 00 01 56 34 12 00 00 00 A7");
        QTest::newRow("dallas, check sum typed over while the box is ticked")
            << kLark << false << kEmpty << kUntouched << true << kUntouched << "000000123456A7"
            << QByteArray("01 00 01 56 34 12 00 00 00 05");
        QTest::newRow("dallas, G in the code")
            << kLark << false << kEmpty << kUntouched << true << kUntouched << "00000012345G" << kOkDisabled;
        QTest::newRow("dallas, G in the code and the typed check sum")
            << kLark << false << kEmpty << kUntouched << false << kUntouched << "0000001234G6G1" << kOkDisabled;
        QTest::newRow("dallas, G in the typed check sum")
            << kLark << false << kEmpty << kUntouched << false << kUntouched << "000000123456G1" << kOkDisabled;
        QTest::newRow("dallas, a letter past F in lower case")
            << kLark << false << kEmpty << kUntouched << true << kUntouched << "00000012345z" << kOkDisabled;
        QTest::newRow("dallas created untouched") << kLark << false << kEmpty << kUntouched << true << kUntouched << ""
                                                  << QByteArray("01 00 01 00 00 00 00 00 00 3D");
        QTest::newRow("type 4 stays type 4")
            << kLark << false << QByteArray("04 00 01 56 34 12 00 00 00 05") << kUntouched << true << kUntouched
            << "000000654321" << QByteArray("04 00 01 21 43 65 00 00 00 0A");
        QTest::newRow("dallas edited untouched, reserved byte cleared")
            << kLark << false << QByteArray("01 AA 01 56 34 12 00 00 00 05") << kUntouched << true << kUntouched << ""
            << QByteArray("01 00 01 56 34 12 00 00 00 05");
        QTest::newRow("dallas of another family with the box ticked gets a matching check sum")
            << kLark << false << QByteArray("01 00 2D 56 34 12 00 00 00 77") << kUntouched << true << kUntouched << ""
            << QByteArray("01 00 01 56 34 12 00 00 00 05");
        QTest::newRow("dallas with the box cleared keeps the check sum it shows")
            << kLark << false << QByteArray("01 00 01 56 34 12 00 00 00 77") << kUntouched << false << kUntouched << ""
            << QByteArray("01 00 01 56 34 12 00 00 00 77");

        QTest::newRow("tm2002, even parity") << kLark << false << kEmpty << kTm2002 << true << kUntouched << "03030303"
                                             << QByteArray("02 00 01 03 03 03 03 00 00 46");
        QTest::newRow("tm2002, a byte of odd parity")
            << kLark << false << kEmpty << kTm2002 << true << kUntouched << "01030303" << kOkDisabled;
        QTest::newRow("tm2002 chosen, nothing typed") << kLark << false << kEmpty << kTm2002 << true << kUntouched << ""
                                                      << QByteArray("02 00 01 00 00 00 00 00 00 3D");
        QTest::newRow("cyfral") << kLark << false << kEmpty << kCyfral << true << kUntouched << "1234"
                                << QByteArray("03 00 01 34 12 01 00 00 00 7C");
        QTest::newRow("cyfral chosen, nothing typed") << kLark << false << kEmpty << kCyfral << true << kUntouched << ""
                                                      << QByteArray("03 00 01 00 00 01 00 00 00 B2");

        QTest::newRow("em410x with a speed") << kWren << false << kEmpty << kEm410x << true << 4 << "0012345678"
                                             << QByteArray("80 00 00 78 56 34 12 00 06 00");
        QTest::newRow("em410x in russian") << kWren << true << kEmpty << kEm410x << true << 6 << "AB12345678"
                                           << QByteArray("80 00 00 78 56 34 12 AB 08 00");
        QTest::newRow("em410x without a speed") << kKestrel << false << kEmpty << kEm410x << true << kUntouched
                                                << "0012345678" << QByteArray("80 00 00 78 56 34 12 00 01 00");
        QTest::newRow("em410x, G in the code")
            << kWren << false << kEmpty << kEm410x << true << 4 << "00123456G8" << kOkDisabled;
        QTest::newRow("em410x edited untouched keeps its speed")
            << kWren << false << QByteArray("80 00 00 78 56 34 12 00 06 00") << kUntouched << true << kUntouched << ""
            << QByteArray("80 00 00 78 56 34 12 00 06 00");
        QTest::newRow("em410x under a lark keeps its type")
            << kLark << false << QByteArray("80 00 00 78 56 34 12 00 06 00") << kUntouched << true << kUntouched << "99"
            << QByteArray("80 00 00 78 56 34 12 99 06 00");
        QTest::newRow("em410x with a speed outside the list")
            << kWren << false << QByteArray("80 00 00 78 56 34 12 00 09 00") << kUntouched << true << kUntouched << ""
            << QByteArray("80 00 00 78 56 34 12 00 01 00");

        QTest::newRow("hid prox, first group 1F") << kKestrel << false << kEmpty << kHidProx << true << kUntouched
                                                  << "1FFF00000001" << QByteArray("81 00 00 01 00 00 00 FF 1F 00");
        QTest::newRow("hid prox, first group above 1F")
            << kKestrel << false << kEmpty << kHidProx << true << kUntouched << "200000000000" << kOkDisabled;
        QTest::newRow("indala") << kKestrel << false << kEmpty << kIndala << true << kUntouched << "0123456789"
                                << QByteArray("83 00 89 67 45 23 01 00 00 80");
        QTest::newRow("indala of zeros typed")
            << kKestrel << false << kEmpty << kIndala << true << kUntouched << "0000000000" << kOkDisabled;
        QTest::newRow("indala chosen, nothing typed")
            << kKestrel << false << kEmpty << kIndala << true << kUntouched << "" << kOkDisabled;
        QTest::newRow("indala under a lark keeps its type")
            << kLark << false << QByteArray("83 00 89 67 45 23 01 00 00 80") << kUntouched << true << kUntouched << ""
            << QByteArray("83 00 89 67 45 23 01 00 00 80");

        QTest::newRow("type 130 stored unchanged")
            << kKestrel << false << QByteArray("82 00 11 22 33 44 55 66 77 88") << kUntouched << true << kUntouched
            << "" << QByteArray("82 00 11 22 33 44 55 66 77 88");
        QTest::newRow("type 130, typed") << kKestrel << false << QByteArray("82 00 11 22 33 44 55 66 77 88")
                                         << kUntouched << true << kUntouched << "12" << kOkDisabled;
    }

    void okStoresTheCell() {
        QFETCH(int, deviceModel);
        QFETCH(bool, russian);
        QFETCH(QByteArray, cell);
        QFETCH(int, chosenType);
        QFETCH(bool, checksumBox);
        QFETCH(int, speed);
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);

        KeyEditorState s;
        if (!checksumBox)
            s.TMCRCCheckBoxClick(false);
        s.open(cellOf(cell), deviceModel, russian ? UiLanguage::Russian : UiLanguage::English);
        if (chosenType != kUntouched)
            s.KeyTypeBoxChange(chosenType);
        if (speed != kUntouched)
            s.TMSpeedBoxChange(speed);
        typeKeys(s, typed);
        QCOMPARE(s.okEnabled(), !stored.isEmpty());
        if (s.okEnabled())
            QCOMPARE(hexOf(s.EditorOkButtonClick()), stored);
    }

    void typeListFollowsTheLastProgrammer_data() {
        QTest::addColumn<int>("deviceModel");
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("layoutType");
        const QList<int> three{1, 3, 2};
        const QList<int> four{1, 3, 2, 128};
        const QList<int> six{1, 3, 2, 128, 129, 131};
        QTest::newRow("lark, dallas") << int(ModelLark) << QByteArray("01 00 01") << three << 0 << 1;
        QTest::newRow("lark, type 4") << int(ModelLark) << QByteArray("04 00 01") << three << 0 << 1;
        QTest::newRow("lark, tm2002") << int(ModelLark) << QByteArray("02 00 01") << three << 2 << 2;
        QTest::newRow("lark, em410x") << int(ModelLark) << QByteArray("80") << three << -1 << 128;
        QTest::newRow("lark, hid prox") << int(ModelLark) << QByteArray("81") << three << -1 << 129;
        QTest::newRow("unknown model") << int(ModelUnknown) << QByteArray("83") << three << -1 << 131;
        QTest::newRow("wren, em410x") << int(ModelWren) << QByteArray("80") << four << 3 << 128;
        QTest::newRow("wren, indala") << int(ModelWren) << QByteArray("83") << four << -1 << 131;
        QTest::newRow("kestrel, indala") << int(ModelKestrel) << QByteArray("83") << six << 5 << 131;
        QTest::newRow("kestrel, cyfral") << int(ModelKestrel) << QByteArray("03") << six << 1 << 3;
    }

    void typeListFollowsTheLastProgrammer() {
        QFETCH(int, deviceModel);
        QFETCH(QByteArray, cell);
        QFETCH(QList<int>, types);
        QFETCH(int, position);
        QFETCH(int, layoutType);
        KeyEditorState s;
        s.open(cellOf(cell), deviceModel, UiLanguage::English);
        QList<int> offered;
        for (std::uint8_t t : s.typeList())
            offered << t;
        QCOMPARE(offered, types);
        QCOMPARE(s.typePosition(), position);
        QCOMPARE(int(s.layout().type), layoutType);
        QVERIFY(s.okEnabled());
    }

    // A new key starts as a copy of the last key entered, of the same type; another type starts
    // afresh.
    void createAfterADallasKeyStartsFromIt() {
        KeyEditorState s;
        s.open(KeyCell{}, ModelLark, UiLanguage::English);
        QVERIFY(s.creating());
        typeKeys(s, QStringLiteral("000000123456"));
        s.EditorOkButtonClick();

        s.open(KeyCell{}, ModelLark, UiLanguage::English);
        QCOMPARE(s.typePosition(), kDallas);
        QCOMPARE(codeDigits(s), QStringLiteral("00000012345605"));
        QCOMPARE(hexOf(s.EditorOkButtonClick()), QByteArray("01 00 01 56 34 12 00 00 00 05"));

        s.KeyTypeBoxChange(kCyfral);
        QCOMPARE(codeDigits(s), QStringLiteral("0000"));
        s.KeyTypeBoxChange(kDallas);
        QCOMPARE(hexOf(s.EditorCode), QByteArray("01 00 00 00 00 00 00 3D"));
        QCOMPARE(codeDigits(s), QStringLiteral("0000000000003D"));
    }

    void switchingTypesDoesNotBringTheCellsCodeBack() {
        KeyEditorState s;
        s.open(cellOf("02 00 01 03 03 03 03 00 00 46"), ModelLark, UiLanguage::English);
        QVERIFY(!s.creating());
        QCOMPARE(codeDigits(s), QStringLiteral("03030303"));
        s.KeyTypeBoxChange(kCyfral);
        s.KeyTypeBoxChange(kTm2002);
        QCOMPARE(codeDigits(s), QStringLiteral("00000000"));
        QCOMPARE(hexOf(s.EditorOkButtonClick()), QByteArray("02 00 01 00 00 00 00 00 00 3D"));
    }

    // A code taken over by a change of type is read as the new type's: its constant bytes are
    // the new type's, and OK follows its validity.
    void codeTakenOverByAnotherTypeTakesItsLayout() {
        KeyEditorState s;
        // The last fresh code was an Indala one...
        s.open(KeyCell{}, ModelKestrel, UiLanguage::English);
        s.KeyTypeBoxChange(kIndala);
        // ...and an EM410x cell is opened and changed into Indala: the code stays.
        s.open(cellOf("80 00 00 78 56 34 12 AB 06 00"), ModelKestrel, UiLanguage::English);
        s.KeyTypeBoxChange(kIndala);
        QCOMPARE(codeDigits(s), QStringLiteral("1234567800"));
        QVERIFY(s.okEnabled());
        // Not the EM410x top byte, speed and zero check byte.
        QCOMPARE(hexOf(s.EditorOkButtonClick()), QByteArray("83 00 00 78 56 34 12 00 00 80"));
    }

    void emSpeedCarriesOverACancel() {
        KeyEditorState s;
        s.open(KeyCell{}, ModelWren, UiLanguage::English);
        s.KeyTypeBoxChange(kEm410x);
        QCOMPARE(s.speedPosition(), -1);
        s.TMSpeedBoxChange(5);
        // Cancel: nothing is stored, and the state stays.
        s.open(KeyCell{}, ModelWren, UiLanguage::English);
        QCOMPARE(s.typePosition(), kEm410x);
        QCOMPARE(s.speedPosition(), 5);
        QCOMPARE(hexOf(s.EditorOkButtonClick()), QByteArray("80 00 00 00 00 00 00 00 07 00"));
    }

    void createWhileTheLastFreshCodeWasOfAnotherType() {
        KeyEditorState s;
        // Dallas was started afresh last; then an EM410x cell was opened and cancelled.
        s.open(KeyCell{}, ModelWren, UiLanguage::English);
        s.open(cellOf("80 00 00 78 56 34 12 00 06 00"), ModelWren, UiLanguage::English);
        QCOMPARE(s.speedPosition(), 4);
        s.open(KeyCell{}, ModelWren, UiLanguage::English);
        QCOMPARE(s.typePosition(), kEm410x);
        QCOMPARE(codeDigits(s), QStringLiteral("0000000000"));
        QCOMPARE(s.speedPosition(), -1);
        QCOMPARE(hexOf(s.EditorOkButtonClick()), QByteArray("80 00 00 00 00 00 00 00 01 00"));
    }

    void cancelAfterTypingKeepsTheTypedCode() {
        KeyEditorState s;
        s.open(KeyCell{}, ModelLark, UiLanguage::English);
        s.KeyTypeBoxChange(kCyfral);
        typeKeys(s, QStringLiteral("AB34"));
        // Cancel, then "Create key.".
        s.open(KeyCell{}, ModelLark, UiLanguage::English);
        QCOMPARE(s.typePosition(), kCyfral);
        QCOMPARE(codeDigits(s), QStringLiteral("AB34"));
    }

    void checksumFollowsEveryValidKey() {
        KeyEditorState s;
        s.open(KeyCell{}, ModelLark, UiLanguage::Russian);
        QCOMPARE(s.CodeGroupPos, 7);
        QCOMPARE(s.CrcGroupPos, 30);
        QString text = s.fieldText();
        text[s.CodeGroupPos + 14] = QLatin1Char('1');
        const std::optional<QString> rewritten = s.CodeEditChange(text);
        QVERIFY(rewritten);
        const std::uint8_t crc = DallasCrc8(s.EditorCode.data(), 7);
        QCOMPARE(rewritten->mid(s.CrcGroupPos - 1, 2),
                 QStringLiteral("%1").arg(int(crc), 2, 16, QLatin1Char('0')).toUpper());
        QCOMPARE(*rewritten, s.fieldText());
        // An invalid key leaves the code and the check sum as they were.
        text = *rewritten;
        text[s.CodeGroupPos - 1] = QLatin1Char('G');
        QVERIFY(!s.CodeEditChange(text));
        QVERIFY(!s.okEnabled());
        QCOMPARE(s.EditorCode[7], crc);
    }

    void tickingTheBoxRewritesTheChecksum() {
        KeyEditorState s;
        s.TMCRCCheckBoxClick(false);
        s.open(KeyCell{}, ModelLark, UiLanguage::English);
        typeKeys(s, QStringLiteral("00000012345677"));
        QCOMPARE(s.EditorCode[7], std::uint8_t(0x77));
        // Cleared, the box changes nothing; ticked, the check sum is computed at once.
        QVERIFY(!s.TMCRCCheckBoxClick(false));
        const std::optional<QString> rewritten = s.TMCRCCheckBoxClick(true);
        QVERIFY(rewritten);
        QCOMPARE(codeDigits(s), QStringLiteral("00000012345605"));
        QCOMPARE(s.EditorCode[7], std::uint8_t(0x05));
    }

    // Until the first opening, changes of the text are not read.
    void textIsNotReadBeforeTheFirstOpening() {
        KeyEditorState s(UiLanguage::Russian);
        QVERIFY(!s.ReactToText);
        QCOMPARE(s.fieldText(), QStringLiteral(" код: 00 00 00 00 00 00 crc: 00"));
        QVERIFY(!s.CodeEditChange(QStringLiteral(" код: GG 00 00 00 00 00 crc: 00")));
        QVERIFY(s.okEnabled());
        QCOMPARE(hexOf(s.EditorCode), QByteArray("01 00 00 00 00 00 00 00"));
    }
};

QTEST_GUILESS_MAIN(KeyEditorStateTest)
#include "tst_KeyEditorState.moc"
