// What the find-key search matches in a key cell: hex digits in the code digits of the Full code
// view, limited to a key family or not, and EM410x card numbers.
#include "keys/EmCardNumbers.h"
#include "keys/KeyQuery.h"
#include "keys/KeyText.h"
#include "keys/KeyTypes.h"

#include <QByteArray>
#include <QTest>

#include <iterator>
#include <random>

using namespace tervane;

namespace {

// Type first, then c[0]..c[7]: "01 01 56 34 12 00 00 00 05".
KeyCell cell(const QByteArray& hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    KeyCell c;
    c.bytes[0] = std::uint8_t(bytes.at(0));
    for (int i = 1; i < bytes.size() && i < 9; ++i)
        c.bytes[std::size_t(i + 1)] = std::uint8_t(bytes.at(i));
    return c;
}

// The digits the grid's Full code view shows, without the blanks, speed and check sum.
QByteArray shownDigits(const KeyCell& c) {
    return QByteArray::fromStdString(FormatKeyCode(c.type(), c.code(), KeyViewFull, false, false)).trimmed();
}

} // namespace

Q_DECLARE_METATYPE(KeyFamily)
Q_DECLARE_METATYPE(KeyQuery::Error)

class KeyQueryTest : public QObject {
    Q_OBJECT

private slots:
    void digitsAreTheFullView_data();
    void digitsAreTheFullView();
    void hexDigits_data();
    void hexDigits();
    void hexErrors_data();
    void hexErrors();
    void cardNumbers_data();
    void cardNumbers();
    void cardNumberErrors_data();
    void cardNumberErrors();
    void everyPrintedNumberFindsItsCard();
    void sameKey_data();
    void sameKey();
    void agreesWithTheShownDigits();
};

void KeyQueryTest::digitsAreTheFullView_data() {
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<int>("count");

    // Every code byte distinct, and the constant bytes set too, so that a digit taken from the
    // wrong byte shows.
    QTest::newRow("Dallas") << QByteArray("01 A1 B2 C3 D4 E5 F6 97 5A") << 12;
    QTest::newRow("Dallas type 4") << QByteArray("04 A1 B2 C3 D4 E5 F6 97 5A") << 12;
    QTest::newRow("TM2002") << QByteArray("02 A1 B2 C3 D4 E5 F6 97 5A") << 8;
    QTest::newRow("Cyfral") << QByteArray("03 A1 B2 C3 D4 E5 F6 97 5A") << 4;
    QTest::newRow("EM410x") << QByteArray("80 A1 B2 C3 D4 E5 F6 06 5A") << 10;
    QTest::newRow("HID Prox II, high bits of c[6] dropped") << QByteArray("81 A1 B2 C3 D4 E5 F6 FF 5A") << 12;
    QTest::newRow("Indala") << QByteArray("83 A1 B2 C3 D4 E5 F6 97 80") << 10;
    QTest::newRow("type 130 shows no digits") << QByteArray("82 A1 B2 C3 D4 E5 F6 97 5A") << 0;
    QTest::newRow("empty cell") << QByteArray("00 A1 B2 C3 D4 E5 F6 97 5A") << 0;
}

void KeyQueryTest::digitsAreTheFullView() {
    QFETCH(QByteArray, cell);
    QFETCH(int, count);
    const KeyCell c = ::cell(cell);
    const CodeDigits digits = codeDigits(c.type(), c.code());
    QCOMPARE(digits.count, count);
    if (count > 0)
        QCOMPARE(QByteArray::number(qulonglong(digits.value), 16).rightJustified(count, '0').toUpper(), shownDigits(c));
}

void KeyQueryTest::hexDigits_data() {
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<KeyFamily>("family");
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<bool>("expected");

    const QByteArray dallas("01 01 56 34 12 00 00 00 05"); // 000000123456, check sum 05
    const QByteArray em("80 00 78 56 34 12 00 06 00");     // 0012345678, RF64
    const QByteArray hid("81 00 66 55 44 33 22 FF 00");    // 1F2233445566
    const QByteArray indala("83 55 44 33 22 11 00 00 80"); // 1122334455
    const QByteArray cyfral("03 01 34 12 01 00 00 00 00"); // 1234, c[3] = 1
    const auto any = KeyFamily::Any;
    QTest::newRow("the whole code") << QByteArray("000000123456") << any << dallas << true;
    QTest::newRow("byte-aligned part") << QByteArray("1234") << any << dallas << true;
    QTest::newRow("odd digit position") << QByteArray("234") << any << dallas << true;
    QTest::newRow("small letters, blanks") << QByteArray(" 2 3 4\t5 ") << any << dallas << true;
    QTest::newRow("last digits") << QByteArray("56") << any << dallas << true;
    QTest::newRow("not in the code") << QByteArray("1235") << any << dallas << false;
    QTest::newRow("code digits then the check sum") << QByteArray("345605") << any << dallas << false;
    QTest::newRow("the family code is not shown") << QByteArray("12345601") << any << dallas << false;
    QTest::newRow("letters of either case") << QByteArray("1f22") << any << hid << true;
    QTest::newRow("HID shows c[6] without its high bits") << QByteArray("FF22") << any << hid << false;
    QTest::newRow("Indala shows c[0]") << QByteArray("4455") << any << indala << true;
    QTest::newRow("EM410x speed is not shown") << QByteArray("567806") << any << em << false;
    QTest::newRow("Cyfral's constant c[3] is not shown") << QByteArray("011234") << any << cyfral << false;
    QTest::newRow("Cyfral's four digits") << QByteArray("1234") << any << cyfral << true;
    QTest::newRow("longer than the code") << QByteArray("001234") << any << cyfral << false;
    QTest::newRow("limited to the key's family") << QByteArray("1234") << KeyFamily::Dallas << dallas << true;
    QTest::newRow("Dallas takes type 4") << QByteArray("1234") << KeyFamily::Dallas
                                         << QByteArray("04 01 56 34 12 00 00 00 05") << true;
    QTest::newRow("limited to another family") << QByteArray("1234") << KeyFamily::Em410x << dallas << false;
    QTest::newRow("EM410x in its family") << QByteArray("12345678") << KeyFamily::Em410x << em << true;
    QTest::newRow("EM410x, last digits") << QByteArray("789A") << KeyFamily::Em410x
                                         << QByteArray("80 00 9A 78 56 34 12 06 00") << true;
    QTest::newRow("type 130 never") << QByteArray("0") << any << QByteArray("82 00 00 00 00 00 00 00 00") << false;
    QTest::newRow("empty cell with old bytes")
        << QByteArray("1234") << any << QByteArray("00 01 56 34 12 00 00 00 05") << false;
}

void KeyQueryTest::hexDigits() {
    QFETCH(QByteArray, query);
    QFETCH(KeyFamily, family);
    QFETCH(QByteArray, cell);
    QFETCH(bool, expected);
    auto error = KeyQuery::Error::Empty;
    const KeyQuery q = KeyQuery::hexDigits(query.toStdString(), family, error);
    QCOMPARE(error, KeyQuery::Error::None);
    QCOMPARE(q.matches(::cell(cell)), expected);
}

void KeyQueryTest::hexErrors_data() {
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<KeyQuery::Error>("error");
    QTest::newRow("nothing") << QByteArray("") << KeyQuery::Error::Empty;
    QTest::newRow("blanks only") << QByteArray("  \t ") << KeyQuery::Error::Empty;
    QTest::newRow("not a hex digit") << QByteArray("12G4") << KeyQuery::Error::NotHex;
    QTest::newRow("a separator") << QByteArray("12-34") << KeyQuery::Error::NotHex;
    QTest::newRow("non-ASCII") << QByteArray("12\xD0\x90") << KeyQuery::Error::NotHex;
    QTest::newRow("13 digits") << QByteArray("1234567890ABC") << KeyQuery::Error::TooLong;
}

void KeyQueryTest::hexErrors() {
    QFETCH(QByteArray, query);
    QFETCH(KeyQuery::Error, error);
    auto got = KeyQuery::Error::None;
    const KeyQuery q = KeyQuery::hexDigits(query.toStdString(), KeyFamily::Any, got);
    QCOMPARE(got, error);
    QVERIFY(!q.matches(cell("01 01 00 00 00 00 00 00 00")));
}

void KeyQueryTest::cardNumbers_data() {
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<bool>("expected");

    // c[5]..c[1] = 12 34 56 78 9A: DEZ 10 878082202, DEZ 8 05666970, DEZ 3.5C 086.30874.
    const QByteArray card("80 00 9A 78 56 34 12 06 00");
    QTest::newRow("DEZ 10") << QByteArray("0878082202") << card << true;
    QTest::newRow("DEZ 10 without its leading zero") << QByteArray("878082202") << card << true;
    QTest::newRow("DEZ 8") << QByteArray("05666970") << card << true;
    QTest::newRow("DEZ 8 in groups") << QByteArray("05 666 970") << card << true;
    QTest::newRow("DEZ 3.5C") << QByteArray("086.30874") << card << true;
    QTest::newRow("DEZ 3.5C with a comma") << QByteArray("086,30874") << card << true;
    QTest::newRow("DEZ 3.5C without leading zeros") << QByteArray("86.30874") << card << true;
    QTest::newRow("another number") << QByteArray("0878082203") << card << false;
    // The same low 24 bits under another c[4]: the DEZ 8 matches, a DEZ 10 does not.
    const QByteArray twin("80 00 9A 78 56 35 12 06 00");
    QTest::newRow("DEZ 8 of a card with another c[4]") << QByteArray("05666970") << twin << true;
    QTest::newRow("DEZ 10 of a card with another c[4]") << QByteArray("0878082202") << twin << false;
    // 8 digits above 24 bits can only be a DEZ 10.
    const QByteArray big("80 00 FF E0 F5 05 00 06 00"); // c[4]..c[1] = 05F5E0FF = 99999999
    QTest::newRow("8 digits above 24 bits") << QByteArray("99999999") << big << true;
    QTest::newRow("only EM410x cards") << QByteArray("05666970") << QByteArray("01 01 9A 78 56 34 12 00 00") << false;
}

void KeyQueryTest::cardNumbers() {
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, cell);
    QFETCH(bool, expected);
    auto error = KeyQuery::Error::Empty;
    const KeyQuery q = KeyQuery::cardNumber(query.toStdString(), error);
    QCOMPARE(error, KeyQuery::Error::None);
    QCOMPARE(q.matches(::cell(cell)), expected);
}

void KeyQueryTest::cardNumberErrors_data() {
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<KeyQuery::Error>("error");
    QTest::newRow("nothing") << QByteArray(" ") << KeyQuery::Error::Empty;
    QTest::newRow("hex letters") << QByteArray("12AB") << KeyQuery::Error::NotCardNumber;
    QTest::newRow("a sign") << QByteArray("-5") << KeyQuery::Error::NotCardNumber;
    QTest::newRow("11 digits") << QByteArray("12345678901") << KeyQuery::Error::CardNumberRange;
    QTest::newRow("above 32 bits") << QByteArray("4294967296") << KeyQuery::Error::CardNumberRange;
    QTest::newRow("nothing before the point") << QByteArray(".17493") << KeyQuery::Error::NotCardNumber;
    QTest::newRow("nothing after the comma") << QByteArray("051,") << KeyQuery::Error::NotCardNumber;
    QTest::newRow("two points") << QByteArray("051.174.93") << KeyQuery::Error::NotCardNumber;
    QTest::newRow("4 digits before the point") << QByteArray("0051.17493") << KeyQuery::Error::NotCardNumber;
    QTest::newRow("above a byte before the point") << QByteArray("256.00001") << KeyQuery::Error::CardNumberRange;
    QTest::newRow("above 16 bits after the point") << QByteArray("051.65536") << KeyQuery::Error::CardNumberRange;
}

void KeyQueryTest::cardNumberErrors() {
    QFETCH(QByteArray, query);
    QFETCH(KeyQuery::Error, error);
    auto got = KeyQuery::Error::None;
    KeyQuery::cardNumber(query.toStdString(), got);
    QCOMPARE(got, error);
}

// The numbers the key editor prints for a card find that card, and no card whose printed
// number differs.
void KeyQueryTest::everyPrintedNumberFindsItsCard() {
    std::mt19937_64 random(7);
    for (int round = 0; round < 2000; ++round) {
        KeyCell card;
        card.setType(KeyTypeEm410x);
        const std::uint64_t bits = random();
        for (int i = 1; i <= 5; ++i)
            card.bytes[std::size_t(2 + i)] = std::uint8_t(bits >> (8 * i));
        card.bytes[8] = 6;
        KeyCell other = card;
        other.bytes[std::size_t(3 + random() % 3)] ^= std::uint8_t(1 + random() % 255); // c[1], c[2] or c[3]
        const EmCardNumbers numbers = emCardNumbers(card.code());
        for (const std::string& printed : {numbers.dez10, numbers.dez8, numbers.dez35c}) {
            auto error = KeyQuery::Error::Empty;
            const KeyQuery q = KeyQuery::cardNumber(printed, error);
            QCOMPARE(error, KeyQuery::Error::None);
            QVERIFY2(q.matches(card), printed.c_str());
            QVERIFY2(!q.matches(other), printed.c_str());
        }
    }
}

void KeyQueryTest::sameKey_data() {
    QTest::addColumn<QByteArray>("presented");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("expected");
    const QByteArray dallas("01 01 56 34 12 00 00 00 05");
    QTest::newRow("the same Dallas key") << dallas << dallas << true;
    QTest::newRow("stored as type 4") << dallas << QByteArray("04 01 56 34 12 00 00 00 05") << true;
    // The TM2002 key's digits 00123456 stand inside the Dallas key's 000000123456.
    QTest::newRow("another family holding the digits") << QByteArray("02 01 56 34 12 00 00 00 00") << dallas << false;
    QTest::newRow("EM410x at another speed")
        << QByteArray("80 00 78 56 34 12 00 06 00") << QByteArray("80 00 78 56 34 12 00 02 00") << true;
    QTest::newRow("another key") << dallas << QByteArray("01 01 57 34 12 00 00 00 05") << false;
}

void KeyQueryTest::sameKey() {
    QFETCH(QByteArray, presented);
    QFETCH(QByteArray, stored);
    QFETCH(bool, expected);
    const KeyCell key = cell(presented);
    QCOMPARE(KeyQuery::sameKey(key.type(), key.code()).matches(cell(stored)), expected);
}

// Many codes of every type against needles taken from their own digits and made up, each
// answer compared with a plain substring search in the digits the grid shows.
void KeyQueryTest::agreesWithTheShownDigits() {
    std::mt19937_64 random(4);
    constexpr std::uint8_t kTypes[] = {0, 1, 2, 3, 4, 5, 128, 129, 130, 131};
    constexpr KeyFamily kFamilies[] = {KeyFamily::Any, KeyFamily::Dallas, KeyFamily::Em410x, KeyFamily::HidProx};
    int hits = 0;
    for (int round = 0; round < 20000; ++round) {
        KeyCell c;
        c.setType(kTypes[random() % std::size(kTypes)]);
        const std::uint64_t bits = random();
        // Few distinct digits, so that made-up needles match now and then.
        for (int i = 0; i < 8; ++i)
            c.bytes[std::size_t(2 + i)] = std::uint8_t(round % 2 ? bits >> (8 * i) : (bits >> (8 * i)) & 0x11);
        const QByteArray shown = IsKeyOccupied(c.type()) && c.type() != 130 ? shownDigits(c) : QByteArray();
        QByteArray needle;
        if (!shown.isEmpty() && random() % 2) {
            const int from = int(random() % std::uint64_t(shown.size()));
            needle = shown.mid(from, 1 + int(random() % std::uint64_t(shown.size() - from)));
        } else {
            const int length = 1 + int(random() % 12);
            for (int i = 0; i < length; ++i)
                needle += "01ABCDEF"[random() % (round % 2 ? 8 : 2)];
        }
        const KeyFamily family = kFamilies[random() % std::size(kFamilies)];
        auto error = KeyQuery::Error::Empty;
        const KeyQuery q = KeyQuery::hexDigits(needle.toLower().toStdString(), family, error);
        QCOMPARE(error, KeyQuery::Error::None);
        const bool inFamily = family == KeyFamily::Any || keyFamilyOf(c.type()) == family;
        const bool expected = inFamily && shown.contains(needle);
        QVERIFY2(q.matches(c) == expected, qPrintable(QStringLiteral("%1 in %2 (type %3)")
                                                          .arg(QString::fromLatin1(needle), QString::fromLatin1(shown))
                                                          .arg(c.type())));
        hits += expected;
    }
    QVERIFY(hits > 2000);
}

QTEST_GUILESS_MAIN(KeyQueryTest)
#include "tst_KeyQuery.moc"
