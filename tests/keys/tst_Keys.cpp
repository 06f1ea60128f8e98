#include "keys/DallasCrc.h"
#include "keys/EmCardNumbers.h"
#include "keys/HexText.h"
#include "keys/KeyCell.h"
#include "keys/KeyCodeParser.h"
#include "keys/KeyText.h"
#include "keys/KeyTypes.h"
#include "keys/KeyValidity.h"

#include "TestEnvironment.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTest>

using namespace tervane;

namespace {

// "01 56 34 12 ..." lists c[0] first.
KeyCode Code(const QByteArray& hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    KeyCode code{};
    for (int i = 0; i < bytes.size() && i < int(code.size()); ++i)
        code[i] = static_cast<std::uint8_t>(bytes[i]);
    return code;
}

QByteArray Hex(const KeyCode& code) {
    return QByteArray(reinterpret_cast<const char*>(code.data()), int(code.size())).toHex(' ').toUpper();
}

KeyCell Cell(int type, const QByteArray& codeHex, std::uint8_t reserved = 0) {
    KeyCell cell;
    cell.setType(static_cast<std::uint8_t>(type));
    cell.bytes[1] = reserved;
    cell.setCode(Code(codeHex));
    return cell;
}

// The key editor's code field as it shows a code: " код: " or " code: ", each group followed by a
// blank, then for Dallas "crc: " and the check-sum group.
QString CodeField(bool russian, const QStringList& groups, const QString& crc = QString()) {
    QString text = russian ? QStringLiteral(" код: ") : QStringLiteral(" code: ");
    for (const QString& group : groups)
        text += group + QLatin1Char(' ');
    if (!crc.isNull())
        text += QStringLiteral("crc: ") + crc;
    return text;
}

KeyCode CodeFromBits(const QList<int>& setBits) {
    KeyCode code{};
    for (int bit : setBits)
        code[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    return code;
}

// Every byte distinct, so a text shows which bytes it read; c[6] is a valid EM speed (RF64).
const QByteArray kProbe = "0C 1A 2B 3C 4D 5E 06 7A";
// c[6] with the high bits set, which the HID text must mask off.
const QByteArray kHidProbe = "0C 1A 2B 3C 4D 5E FF 7A";

} // namespace

class TestKeys : public QObject {
    Q_OBJECT

private slots:
    void cellLayout();
    void occupied_data();
    void occupied();
    void typeNames_data();
    void typeNames();
    void emSpeedName_data();
    void emSpeedName();

    void formatKeyCode_data();
    void formatKeyCode();
    void formatKeyCellText_data();
    void formatKeyCellText();

    void dallasCrc_data();
    void dallasCrc();
    void dallasCrcOfCodeWithCrcIsZero();

    void bytesToHexText_data();
    void bytesToHexText();
    void hexTextToBytes_data();
    void hexTextToBytes();

    void parseKeyCodeText_data();
    void parseKeyCodeText();
    void parseShowsNonAsciiAsBadDigits();
    void parseRoundTripsTheFieldText_data();
    void parseRoundTripsTheFieldText();

    void tm2002Validity_data();
    void tm2002Validity();
    void indalaValidity_data();
    void indalaValidity();

    void emCardNumbers_data();
    void emCardNumbers();
};

void TestKeys::cellLayout() {
    KeyCell cell = Cell(128, "00 78 56 34 12 00 06 00", 0xAA);
    QCOMPARE(cell.bytes[0], std::uint8_t(128));
    QCOMPARE(cell.bytes[1], std::uint8_t(0xAA));
    QCOMPARE(cell.bytes[3], std::uint8_t(0x78)); // c[1]
    QCOMPARE(cell.bytes[8], std::uint8_t(0x06)); // c[6]
    QCOMPARE(Hex(cell.code()), QByteArray("00 78 56 34 12 00 06 00"));
    cell.clear();
    QCOMPARE(cell.bytes, (std::array<std::uint8_t, 10>{}));
}

void TestKeys::occupied_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("occupied");
    for (int type : {0, 5, 127, 132, 200, 255})
        QTest::addRow("%d", type) << type << false;
    for (int type : {1, 2, 3, 4, 128, 129, 130, 131})
        QTest::addRow("%d", type) << type << true;
}

void TestKeys::occupied() {
    QFETCH(int, type);
    QFETCH(bool, occupied);
    QCOMPARE(IsKeyOccupied(static_cast<std::uint8_t>(type)), occupied);
}

void TestKeys::typeNames_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("sixLetters");
    QTest::addColumn<QString>("letter");
    QTest::newRow("1") << 1 << "Dallas"
                       << "DS1990"
                       << "D";
    QTest::newRow("2") << 2 << "TM2002 Metacom"
                       << "TM2002"
                       << "T";
    QTest::newRow("3") << 3 << "Cyfral (DC-2000)"
                       << "CYFRAL"
                       << "C";
    QTest::newRow("4") << 4 << "Dallas"
                       << "DS1990"
                       << "D";
    QTest::newRow("128") << 128 << "EM Marin 410x"
                         << "EM410x"
                         << "E";
    QTest::newRow("129") << 129 << "HID Prox II"
                         << "PROXII"
                         << "H";
    QTest::newRow("130") << 130 << "!UNKNOWN!"
                         << "??????"
                         << "?";
    QTest::newRow("131") << 131 << "Indala (Motorola)"
                         << "INDALA"
                         << "I";
    QTest::newRow("0") << 0 << "!UNKNOWN!"
                       << "??????"
                       << "?";
    QTest::newRow("255") << 255 << "!UNKNOWN!"
                         << "??????"
                         << "?";
}

void TestKeys::typeNames() {
    QFETCH(int, type);
    QFETCH(QString, full);
    QFETCH(QString, sixLetters);
    QFETCH(QString, letter);
    const auto t = static_cast<std::uint8_t>(type);
    QCOMPARE(QString::fromStdString(KeyTypeFullName(t)), full);
    QCOMPARE(QString::fromStdString(KeyTypeShortName(t, KeyViewFull)), sixLetters);
    QCOMPARE(QString::fromStdString(KeyTypeShortName(t, KeyViewShort)), letter);
    for (int hiddenView : {int(KeyViewHide), 3, -1})
        QCOMPARE(QString::fromStdString(KeyTypeShortName(t, hiddenView)), QString());
}

void TestKeys::emSpeedName_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("name");
    const char* names[] = {"RF???", "RF8", "RF16", "RF32", "RF40", "RF50", "RF64", "RF100", "RF128", "RF???"};
    for (int value = 0; value <= 9; ++value)
        QTest::addRow("%d", value) << value << names[value];
    QTest::newRow("255") << 255 << "RF???";
}

void TestKeys::emSpeedName() {
    QFETCH(int, value);
    QFETCH(QString, name);
    QCOMPARE(QString::fromStdString(EmSpeedName(static_cast<std::uint8_t>(value))), name);
}

void TestKeys::formatKeyCode_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<int>("view");
    QTest::addColumn<bool>("showEmSpeed");
    QTest::addColumn<bool>("showDallasCrc");
    QTest::addColumn<QString>("text");

    // Each type in each view, with the switch that concerns it on and off, and the other switch
    // on to show that it does not leak into the text.
    for (int dallas : {1, 4}) {
        const QByteArray name = "dallas" + QByteArray::number(dallas);
        QTest::addRow("%s full", name.constData()) << dallas << kProbe << 0 << true << false << " 065E4D3C2B1A";
        QTest::addRow("%s full crc", name.constData())
            << dallas << kProbe << 0 << false << true << " 065E4D3C2B1A - 7A ";
        QTest::addRow("%s short", name.constData()) << dallas << kProbe << 1 << true << false << " 4D3C2B1A";
        QTest::addRow("%s short crc", name.constData()) << dallas << kProbe << 1 << false << true << " 4D3C2B1A - 7A ";
    }
    QTest::newRow("tm2002 full") << 2 << kProbe << 0 << true << true << " 4D3C2B1A ";
    QTest::newRow("tm2002 short") << 2 << kProbe << 1 << true << true << " 4D3C2B1A ";
    QTest::newRow("cyfral full") << 3 << kProbe << 0 << true << true << " 2B1A ";
    QTest::newRow("cyfral short") << 3 << kProbe << 1 << true << true << " 2B1A ";
    QTest::newRow("em full") << 128 << kProbe << 0 << false << true << " 5E4D3C2B1A ";
    QTest::newRow("em full speed") << 128 << kProbe << 0 << true << false << " 5E4D3C2B1A - RF64";
    QTest::newRow("em short") << 128 << kProbe << 1 << false << true << " 4D3C2B1A ";
    QTest::newRow("em short speed") << 128 << kProbe << 1 << true << false << " 4D3C2B1A - RF64";
    QTest::newRow("em speed 0") << 128 << QByteArray("00 78 56 34 12 00 00 00") << 0 << true << false
                                << " 0012345678 - RF???";
    QTest::newRow("em speed 9") << 128 << QByteArray("00 78 56 34 12 00 09 00") << 1 << true << false
                                << " 12345678 - RF???";
    QTest::newRow("hid full") << 129 << kProbe << 0 << true << true << " 065E4D3C2B1A ";
    QTest::newRow("hid full c6=FF") << 129 << kHidProbe << 0 << true << true << " 1F5E4D3C2B1A ";
    QTest::newRow("hid short") << 129 << kHidProbe << 1 << true << true << " 4D3C2B1A";
    QTest::newRow("indala full") << 131 << kProbe << 0 << true << true << " 4D3C2B1A0C ";
    QTest::newRow("indala short") << 131 << kProbe << 1 << true << true << " 2B1A0C ";
    for (int unknown : {0, 5, 130, 255}) {
        QTest::addRow("type %d full", unknown) << unknown << kProbe << 0 << true << true << "--------";
        QTest::addRow("type %d short", unknown) << unknown << kProbe << 1 << true << true << "--------";
    }
    for (int type : {1, 2, 3, 4, 128, 129, 130, 131}) {
        for (int view : {2, 3, -1})
            QTest::addRow("type %d view %d", type, view) << type << kProbe << view << true << true << "";
    }
}

void TestKeys::formatKeyCode() {
    QFETCH(int, type);
    QFETCH(QByteArray, code);
    QFETCH(int, view);
    QFETCH(bool, showEmSpeed);
    QFETCH(bool, showDallasCrc);
    QFETCH(QString, text);
    const std::string got =
        FormatKeyCode(static_cast<std::uint8_t>(type), Code(code), view, showEmSpeed, showDallasCrc);
    QCOMPARE(QString::fromStdString(got), text);
}

void TestKeys::formatKeyCellText_data() {
    QTest::addColumn<QByteArray>("cell"); // type byte first, then c[0]..c[7]
    QTest::addColumn<int>("typeView");
    QTest::addColumn<int>("codeView");
    QTest::addColumn<bool>("emSpeedVisible");
    QTest::addColumn<bool>("dallasCrcVisible");
    QTest::addColumn<QString>("text");

    const QByteArray dallas = "01 01 56 34 12 00 00 00 05";
    const QByteArray em = "80 00 78 56 34 12 00 06 00";
    QTest::newRow("dallas full crc") << dallas << 0 << 0 << false << true << " DS1990 - 000000123456 - 05 ";
    QTest::newRow("dallas type hidden short crc") << dallas << 2 << 1 << false << true << " 00123456 - 05 ";
    QTest::newRow("dallas letter full") << dallas << 1 << 0 << true << false << " D - 000000123456";
    QTest::newRow("dallas type hidden full") << dallas << 2 << 0 << false << false << " 000000123456";
    QTest::newRow("dallas code hidden") << dallas << 0 << 2 << true << true << " DS1990";
    QTest::newRow("dallas both hidden") << dallas << 2 << 2 << true << true << "-";
    QTest::newRow("type 4 full") << QByteArray("04 01 56 34 12 00 00 00 05") << 0 << 0 << false << true
                                 << " DS1990 - 000000123456 - 05 ";
    QTest::newRow("em full speed") << em << 0 << 0 << true << false << " EM410x - 0012345678 - RF64";
    QTest::newRow("em letter short") << em << 1 << 1 << false << false << " E - 12345678 ";
    QTest::newRow("tm2002 letter") << QByteArray("02 01 04 03 02 01 00 00 03") << 1 << 0 << true << true
                                   << " T - 01020304 ";
    QTest::newRow("hid short") << QByteArray("81 00 1A 2B 3C 4D 5E FF 00") << 0 << 1 << true << true
                               << " PROXII - 4D3C2B1A";
    QTest::newRow("indala full") << QByteArray("83 0C 1A 2B 3C 4D 00 00 80") << 0 << 0 << true << true
                                 << " INDALA - 4D3C2B1A0C ";
    QTest::newRow("130 full") << QByteArray("82 01 02 03 04 05 06 07 08") << 0 << 0 << true << true
                              << " ?????? ---------";
    QTest::newRow("130 letter hidden code") << QByteArray("82") << 1 << 2 << true << true << " ?";
    QTest::newRow("130 both hidden") << QByteArray("82") << 2 << 2 << true << true << "-";
    for (int empty : {0, 5, 127, 132, 255}) {
        QByteArray cell = QByteArray::number(empty, 16).rightJustified(2, '0') + " 01 56 34 12 00 00 00 05";
        QTest::addRow("type %d empty", empty) << cell << 0 << 0 << true << true << "";
        QTest::addRow("type %d empty, views hidden", empty) << cell << 2 << 2 << true << true << "";
    }
}

void TestKeys::formatKeyCellText() {
    QFETCH(QByteArray, cell);
    QFETCH(int, typeView);
    QFETCH(int, codeView);
    QFETCH(bool, emSpeedVisible);
    QFETCH(bool, dallasCrcVisible);
    QFETCH(QString, text);
    const QByteArray bytes = QByteArray::fromHex(cell);
    KeyCell keyCell = Cell(static_cast<std::uint8_t>(bytes[0]), cell.mid(3), 0x5A);
    const std::string got = FormatKeyCellText(keyCell, typeView, codeView, emSpeedVisible, dallasCrcVisible);
    QCOMPARE(QString::fromStdString(got), text);
}

void TestKeys::dallasCrc_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("crc");
    QTest::newRow("check value") << QByteArray("02 1C B8 01 00 00 00") << 0xA2;
    QTest::newRow("dallas example") << QByteArray("01 56 34 12 00 00 00") << 0x05;
    QTest::newRow("empty") << QByteArray() << 0x00;
    QTest::newRow("zeros") << QByteArray("00 00 00 00 00 00 00") << 0x00;
    QTest::newRow("family only") << QByteArray("01 00 00 00 00 00 00") << 0x3D;
    QTest::newRow("all ones") << QByteArray("FF FF FF FF FF FF FF") << 0x14;
}

void TestKeys::dallasCrc() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, crc);
    const QByteArray raw = QByteArray::fromHex(bytes);
    QCOMPARE(int(DallasCrc8(reinterpret_cast<const std::uint8_t*>(raw.constData()), raw.size())), crc);
}

// A 1-Wire ROM with its check sum appended checks to zero; a device relies on this.
void TestKeys::dallasCrcOfCodeWithCrcIsZero() {
    std::uint8_t rom[8] = {0x01, 0x9A, 0x33, 0xC4, 0x10, 0x00, 0x7F, 0};
    for (int round = 0; round < 64; ++round) {
        rom[1 + round % 6] = static_cast<std::uint8_t>(rom[1 + round % 6] * 37 + round);
        rom[7] = DallasCrc8(rom, 7);
        QCOMPARE(int(DallasCrc8(rom, 8)), 0);
    }
}

void TestKeys::bytesToHexText_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("all") << 0 << 8 << "FE0D0C0B0A090201";
    QTest::newRow("middle") << 1 << 3 << "0A0902";
    QTest::newRow("one") << 7 << 1 << "FE";
    QTest::newRow("none") << 3 << 0 << "";
    QTest::newRow("negative count") << 3 << -2 << "";
}

void TestKeys::bytesToHexText() {
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(QString, text);
    const std::uint8_t code[8] = {0x01, 0x02, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0xFE};
    QCOMPARE(QString::fromStdString(BytesToHexText(code, first, count)), text);
}

void TestKeys::hexTextToBytes_data() {
    QTest::addColumn<QByteArray>("digits");
    QTest::addColumn<int>("digitCount");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("destSize");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("dest"); // the whole buffer afterwards; it starts as EE EE EE EE EE EE

    const QByteArray untouched = "EE EE EE EE EE EE";
    QTest::newRow("odd ABC") << QByteArray("ABC") << 3 << 0 << 6 << true << QByteArray("0A BC EE EE EE EE");
    QTest::newRow("one digit") << QByteArray("7") << 1 << 2 << 6 << true << QByteArray("EE EE 07 EE EE EE");
    QTest::newRow("even") << QByteArray("12345678") << 8 << 1 << 6 << true << QByteArray("EE 12 34 56 78 EE");
    QTest::newRow("lower case") << QByteArray("abcdef") << 6 << 0 << 6 << true << QByteArray("AB CD EF EE EE EE");
    QTest::newRow("none") << QByteArray("") << 0 << 0 << 6 << true << untouched;
    QTest::newRow("none, past the end") << QByteArray("") << 0 << 6 << 6 << true << untouched;
    QTest::newRow("rightmost digits are kept")
        << QByteArray("12345") << 3 << 0 << 6 << true << QByteArray("23 45 EE EE EE EE");
    QTest::newRow("more digits than the destination holds")
        << QByteArray("112233445566778899") << 12 << 0 << 6 << true << QByteArray("44 55 66 77 88 99");
    QTest::newRow("a bad digit that is not kept")
        << QByteArray("G1234") << 4 << 1 << 6 << true << QByteArray("EE 12 34 EE EE EE");
    QTest::newRow("missing digits are zeros")
        << QByteArray("AB") << 6 << 0 << 6 << true << QByteArray("00 00 AB EE EE EE");
    QTest::newRow("fills to the end") << QByteArray("ABC") << 3 << 4 << 6 << true << QByteArray("EE EE EE EE 0A BC");
    QTest::newRow("bad first pair") << QByteArray("G0") << 2 << 0 << 6 << false << untouched;
    QTest::newRow("bad later pair") << QByteArray("12G4") << 4 << 0 << 6 << false << untouched;
    QTest::newRow("bad digit, odd") << QByteArray("0G1") << 3 << 0 << 6 << false << untouched;
    QTest::newRow("blank is not a digit") << QByteArray(" 1") << 2 << 0 << 6 << false << untouched;
    QTest::newRow("sign is not a digit") << QByteArray("-1") << 2 << 0 << 6 << false << untouched;
    QTest::newRow("prefix is not a digit") << QByteArray("0x10") << 4 << 0 << 6 << false << untouched;
    QTest::newRow("passes the end") << QByteArray("ABC") << 3 << 5 << 6 << false << untouched;
    QTest::newRow("smaller destination") << QByteArray("123456") << 6 << 0 << 2 << false << untouched;
    QTest::newRow("first past the end") << QByteArray("12") << 2 << 7 << 6 << false << untouched;
    QTest::newRow("negative first") << QByteArray("12") << 2 << -1 << 6 << false << untouched;
    QTest::newRow("negative count") << QByteArray("12") << -2 << 0 << 6 << false << untouched;
    QTest::newRow("huge count") << QByteArray("12") << 0x7FFFFFFF << 0 << 6 << false << untouched;
}

void TestKeys::hexTextToBytes() {
    QFETCH(QByteArray, digits);
    QFETCH(int, digitCount);
    QFETCH(int, first);
    QFETCH(int, destSize);
    QFETCH(bool, ok);
    QFETCH(QByteArray, dest);
    // Guard bytes beyond destSize show any write past the bound.
    std::array<std::uint8_t, 6> buffer;
    buffer.fill(0xEE);
    const std::string_view text(digits.constData(), digits.size());
    QCOMPARE(HexTextToBytes(text, digitCount, buffer.data(), first, destSize), ok);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(buffer.data()), 6).toHex(' ').toUpper(), dest);
}

void TestKeys::parseKeyCodeText_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("checksumTyped");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QByteArray>("code");

    const QStringList dallasGroups = {"00", "00", "00", "12", "34", "56"};
    for (bool russian : {true, false}) {
        const QByteArray lang = russian ? "ru " : "en ";
        auto field = [russian](const QStringList& groups, const QString& crc = QString()) {
            return CodeField(russian, groups, crc);
        };
        QTest::addRow("%sdallas crc computed", lang.constData())
            << 1 << russian << field(dallasGroups, "00") << false << true << QByteArray("01 56 34 12 00 00 00 05");
        QTest::addRow("%sdallas crc typed", lang.constData())
            << 1 << russian << field(dallasGroups, "A7") << true << true << QByteArray("01 56 34 12 00 00 00 A7");
        QTest::addRow("%stype 4 like dallas", lang.constData())
            << 4 << russian << field(dallasGroups, "A7") << true << true << QByteArray("01 56 34 12 00 00 00 A7");
        QTest::addRow("%sdallas all groups", lang.constData())
            << 1 << russian << field({"AB", "78", "90", "12", "34", "56"}, "62") << true << true
            << QByteArray("01 56 34 12 90 78 AB 62");
        QTest::addRow("%sdallas lower case", lang.constData())
            << 1 << russian << field({"ab", "78", "90", "12", "34", "56"}, "00") << false << true
            << QByteArray("01 56 34 12 90 78 AB 62");
        QTest::addRow("%sdallas blanks", lang.constData())
            << 1 << russian << field({"  ", " 1", "2 ", "  ", "  ", "  "}, "  ") << true << true
            << QByteArray("01 00 00 00 20 01 00 00");
        QTest::addRow("%sdallas G in code", lang.constData())
            << 1 << russian << field({"00", "00", "0G", "12", "34", "56"}, "00") << false << false << QByteArray();
        QTest::addRow("%sdallas G in typed crc", lang.constData())
            << 1 << russian << field(dallasGroups, "G1") << true << false << QByteArray();
        QTest::addRow("%sdallas G in computed crc", lang.constData())
            << 1 << russian << field(dallasGroups, "G1") << false << true << QByteArray("01 56 34 12 00 00 00 05");
        QTest::addRow("%sdallas crc missing from text", lang.constData())
            << 1 << russian << field(dallasGroups) << true << true << QByteArray("01 56 34 12 00 00 00 00");

        QTest::addRow("%stm2002", lang.constData()) << 2 << russian << field({"01", "02", "03", "04"}) << false << true
                                                    << QByteArray("01 04 03 02 01 00 00 03");
        QTest::addRow("%stm2002 all blank", lang.constData()) << 2 << russian << field({"  ", "  ", "  ", "  "})
                                                              << false << true << QByteArray("01 00 00 00 00 00 00 3D");
        QTest::addRow("%stm2002 bad digit", lang.constData())
            << 2 << russian << field({"01", "Z2", "03", "04"}) << false << false << QByteArray();
        QTest::addRow("%scyfral", lang.constData())
            << 3 << russian << field({"12", "34"}) << false << true << QByteArray("01 34 12 01 00 00 00 7C");
        QTest::addRow("%sem410x", lang.constData()) << 128 << russian << field({"00", "12", "34", "56", "78"}) << false
                                                    << true << QByteArray("00 78 56 34 12 00 00 00");
        QTest::addRow("%shid 1F", lang.constData()) << 129 << russian << field({"1F", "FF", "00", "00", "00", "01"})
                                                    << false << true << QByteArray("00 01 00 00 00 FF 1F 00");
        QTest::addRow("%shid above 1F", lang.constData())
            << 129 << russian << field({"20", "00", "00", "00", "00", "00"}) << false << false << QByteArray();
        QTest::addRow("%sindala", lang.constData()) << 131 << russian << field({"01", "23", "45", "67", "89"}) << false
                                                    << true << QByteArray("89 67 45 23 01 00 00 80");
        QTest::addRow("%stype 130", lang.constData())
            << 130 << russian << field({"01", "23"}) << false << false << QByteArray();
        QTest::addRow("%stype 0", lang.constData())
            << 0 << russian << field({"01", "23"}) << false << false << QByteArray();
    }

    // The text ends inside the second group: the rest reads as blanks.
    QTest::newRow("ru cut short") << 2 << true << QString(" код: 12 3") << false << true
                                  << QByteArray("01 00 00 30 12 00 00 70");
    QTest::newRow("en cut short") << 2 << false << QString(" code: 12 3") << false << true
                                  << QByteArray("01 00 00 30 12 00 00 70");
    QTest::newRow("empty text") << 2 << true << QString() << false << true << QByteArray("01 00 00 00 00 00 00 3D");
    QTest::newRow("empty text, typed crc")
        << 1 << false << QString() << true << true << QByteArray("01 00 00 00 00 00 00 00");
}

void TestKeys::parseKeyCodeText() {
    QFETCH(int, type);
    QFETCH(bool, russian);
    QFETCH(QString, text);
    QFETCH(bool, checksumTyped);
    QFETCH(bool, valid);
    QFETCH(QByteArray, code);
    const KeyCodeGroupPositions positions = russian ? kRussianCodeField : kEnglishCodeField;
    const auto t = static_cast<std::uint8_t>(type);

    const ParsedKeyCode wide = ParseKeyCodeText(
        t, std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()), positions, checksumTyped);
    QCOMPARE(wide.valid, valid);
    if (valid)
        QCOMPARE(Hex(wide.code), code);

    // The same field in the 8-bit code page must read the same.
    const QByteArray narrowText = test::cp1251(text);
    const ParsedKeyCode narrow =
        ParseKeyCodeText(t, std::string_view(narrowText.constData(), narrowText.size()), positions, checksumTyped);
    QCOMPARE(narrow.valid, wide.valid);
    QCOMPARE(Hex(narrow.code), Hex(wide.code));
}

// A Cyrillic letter typed into a group is not a digit, in either form of the text.
void TestKeys::parseShowsNonAsciiAsBadDigits() {
    const QString text = CodeField(false, {"0Ж", "00", "00", "00"});
    const ParsedKeyCode wide = ParseKeyCodeText(
        KeyTypeTm2002, std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()),
        kEnglishCodeField, false);
    QVERIFY(!wide.valid);
    const QByteArray narrowText = test::cp1251(text);
    QCOMPARE(narrowText.size(), text.size());
    QVERIFY(!ParseKeyCodeText(KeyTypeTm2002, std::string_view(narrowText.constData(), narrowText.size()),
                              kEnglishCodeField, false)
                 .valid);
}

void TestKeys::parseRoundTripsTheFieldText_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("first"); // the code bytes the field shows, most significant first
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("dallas") << 1 << 1 << 6 << QByteArray("01 56 34 12 90 78 AB 62");
    QTest::newRow("tm2002") << 2 << 1 << 4 << QByteArray("01 03 05 06 0C 00 00 00");
    QTest::newRow("cyfral") << 3 << 1 << 2 << QByteArray("01 FE 80 01 00 00 00 00");
    QTest::newRow("em410x") << 128 << 1 << 5 << QByteArray("00 FF EE DD CC BB 00 00");
    QTest::newRow("hid") << 129 << 1 << 6 << QByteArray("00 10 20 30 40 50 1E 00");
    QTest::newRow("indala") << 131 << 0 << 5 << QByteArray("9A 8B 7C 6D 5E 00 00 80");
}

// What the editor writes into its field from a code reads back as the same code bytes.
void TestKeys::parseRoundTripsTheFieldText() {
    QFETCH(int, type);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(QByteArray, code);
    const KeyCode original = Code(code);
    const QString digits = QString::fromStdString(BytesToHexText(original.data(), first, count));
    QStringList groups;
    for (int i = 0; i < digits.size(); i += 2)
        groups << digits.mid(i, 2);
    for (bool russian : {true, false}) {
        const QString text = CodeField(russian, groups, QString::fromStdString(BytesToHexText(original.data(), 7, 1)));
        const ParsedKeyCode parsed =
            ParseKeyCodeText(static_cast<std::uint8_t>(type),
                             std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()),
                             russian ? kRussianCodeField : kEnglishCodeField, true);
        QVERIFY(parsed.valid);
        for (int i = first; i < first + count; ++i)
            QCOMPARE(parsed.code[i], original[i]);
    }
}

void TestKeys::tm2002Validity_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<bool>("valid");
    QTest::newRow("all zero") << QByteArray("01 00 00 00 00 00 00 3D") << true;
    QTest::newRow("03 in every group") << QByteArray("01 03 03 03 03 00 00 46") << true;
    QTest::newRow("01 in one group") << QByteArray("01 03 03 01 03 00 00 00") << false;
    QTest::newRow("odd in c1") << QByteArray("01 80 00 00 00 00 00 00") << false;
    QTest::newRow("odd in c4") << QByteArray("01 00 00 00 07 00 00 00") << false;
    QTest::newRow("high bits with parity bit") << QByteArray("01 81 FF C0 E1 00 00 00") << true;
    // c[0], c[5], c[6] and the check sum carry no parity.
    QTest::newRow("other bytes ignored") << QByteArray("07 00 00 00 00 01 07 01") << true;
}

void TestKeys::tm2002Validity() {
    QFETCH(QByteArray, code);
    QFETCH(bool, valid);
    QCOMPARE(IsValidTm2002Code(Code(code)), valid);
}

void TestKeys::indalaValidity_data() {
    QTest::addColumn<QList<int>>("setBits"); // bit k is bit k%8 of c[k/8]
    QTest::addColumn<bool>("valid");
    QTest::newRow("all zero") << QList<int>{} << false;
    QTest::newRow("runs of 22") << QList<int>{0, 23, 46} << true;
    QTest::newRow("leading run of 22") << QList<int>{22, 45} << true;
    QTest::newRow("leading run of 23") << QList<int>{23, 46} << false;
    QTest::newRow("inner run of 23") << QList<int>{0, 24, 47} << false;
    QTest::newRow("trailing run of 23") << QList<int>{0, 23, 24} << false;
    QTest::newRow("trailing run of 22") << QList<int>{0, 23, 25} << true;
    QTest::newRow("only c6 and c7 set") << QList<int>{48, 55, 56, 63} << false;
    QTest::newRow("every byte set") << QList<int>{0, 8, 16, 24, 32, 40} << true;
}

void TestKeys::indalaValidity() {
    QFETCH(QList<int>, setBits);
    QFETCH(bool, valid);
    QCOMPARE(IsValidIndalaCode(CodeFromBits(setBits)), valid);
}

void TestKeys::emCardNumbers_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QStringList>("numbers"); // DEZ 10, DEZ 8, DEZ 3.5C, DEZ 5.5, DEZ 14
    // c[0] first: the code 11 22 33 44 55 of a card, most significant byte first, is c[5]..c[1].
    QTest::newRow("printed card") << QByteArray("00 55 44 33 22 11 06 00")
                                  << QStringList{"0573785173", "03359829", "051.17493", "08755.17493",
                                                 "00073588229205"};
    QTest::newRow("zero") << QByteArray("00 00 00 00 00 00 00 00")
                          << QStringList{"0000000000", "00000000", "000.00000", "00000.00000", "00000000000000"};
    QTest::newRow("largest") << QByteArray("00 FF FF FF FF FF 08 00")
                             << QStringList{"4294967295", "16777215", "255.65535", "65535.65535", "01099511627775"};
    // The speed and the constant bytes are not on the card; the top code byte only in DEZ 14.
    QTest::newRow("top byte and speed left out")
        << QByteArray("01 01 00 00 00 AB 06 7F")
        << QStringList{"0000000001", "00000001", "000.00001", "00000.00001", "00734439407617"};
    QTest::newRow("third byte split off")
        << QByteArray("00 00 00 01 80 00 00 00")
        << QStringList{"2147549184", "00065536", "001.00000", "32769.00000", "00002147549184"};
}

void TestKeys::emCardNumbers() {
    QFETCH(QByteArray, code);
    QFETCH(QStringList, numbers);
    const EmCardNumbers n = tervane::emCardNumbers(Code(code));
    const QStringList got{QString::fromStdString(n.dez10), QString::fromStdString(n.dez8),
                          QString::fromStdString(n.dez35c), QString::fromStdString(n.dez55),
                          QString::fromStdString(n.dez14)};
    QCOMPARE(got, numbers);
}

QTEST_GUILESS_MAIN(TestKeys)
#include "tst_Keys.moc"
