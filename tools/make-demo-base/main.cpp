// make-demo-base: writes the demo key base that ships in data/demo.
//
// Regenerate it from the project root after a build:
//   cmake --build build --target make-demo-base
//   build/tools/make-demo-base/make-demo-base data/demo/demo
//
// The output is the same byte for byte on every run, so the checked-in files only change when
// this program does.
#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/DirectoryFile.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "keys/DallasCrc.h"
#include "keys/KeyCell.h"
#include "keys/KeyValidity.h"

#include <QCoreApplication>
#include <QFile>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

using namespace tervane;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "make-demo-base: %s\n", what);
    std::exit(1);
}

// Puts the low count bytes of value into code[first..], least significant first.
void putBytes(KeyCode& code, int first, int count, quint64 value) {
    for (int i = 0; i < count; ++i)
        code[first + i] = std::uint8_t(value >> (8 * i));
}

KeyCell makeCell(std::uint8_t type, const KeyCode& code) {
    KeyCell cell;
    cell.setType(type);
    cell.setCode(code);
    return cell;
}

// Touch-memory keys carry family code 1 and the 1-Wire check sum of c[0..6] in c[7].
KeyCell touchMemory(std::uint8_t type, KeyCode code) {
    code[0] = 1;
    code[7] = DallasCrc8(code.data(), 7);
    return makeCell(type, code);
}

KeyCell dallas(quint64 serial, std::uint8_t type = KeyTypeDallas) {
    KeyCode code{};
    putBytes(code, 1, 6, serial);
    return touchMemory(type, code);
}

// Metacom codes have even parity in every byte: bit 0 is the parity of bits 7..1.
KeyCell tm2002(quint32 value) {
    KeyCode code{};
    putBytes(code, 1, 4, value);
    for (int i = 1; i <= 4; ++i) {
        const int ones = std::popcount(std::uint8_t(code[i] >> 1));
        code[i] = std::uint8_t((code[i] & 0xFE) | (ones & 1));
    }
    if (!IsValidTm2002Code(code))
        fail("a TM2002 code without parity");
    return touchMemory(KeyTypeTm2002, code);
}

KeyCell cyfral(quint16 value) {
    KeyCode code{};
    putBytes(code, 1, 2, value);
    code[3] = 1;
    return touchMemory(KeyTypeCyfral, code);
}

KeyCell em410x(quint64 value, std::uint8_t speed) {
    KeyCode code{};
    putBytes(code, 1, 5, value);
    code[6] = speed;
    return makeCell(KeyTypeEm410x, code);
}

KeyCell hidProx(quint64 value) {
    KeyCode code{};
    putBytes(code, 1, 6, value & ((quint64(1) << 45) - 1));
    return makeCell(KeyTypeHidProx, code);
}

KeyCell indala(quint64 value) {
    KeyCode code{};
    putBytes(code, 0, 5, value);
    code[7] = 0x80;
    if (!IsValidIndalaCode(code))
        fail("an Indala code with a run of 23 zero bits");
    return makeCell(KeyTypeIndala, code);
}

// A key of type 130, which counts as occupied but has no name or layout.
KeyCell unnamedType() {
    KeyCode code{};
    putBytes(code, 0, 8, 0x0000'00C0'FFEE'0001ULL);
    return makeCell(130, code);
}

void setRow(KeyPage& page, int row, std::initializer_list<KeyCell> cells, const char* comment = nullptr) {
    int column = 0;
    for (const KeyCell& cell : cells)
        page.setCell(row, column++, cell);
    if (comment)
        page.setComment(row, toCp1251(QString::fromUtf8(comment)));
}

BaseNode* addNode(BaseTree& tree, BaseNode* parent, const char* name, bool file) {
    BaseNode* node = tree.addChild(parent);
    node->text = toCp1251(QString::fromUtf8(name));
    node->imageIndex = file ? ImageFile : ImageFolder;
    node->selectedIndex = file ? ImageFileSelected : ImageFolder;
    return node;
}

// Every key type, every speed the key editor offers, comments in both alphabets, a row with only a comment and one
// with all six cells.
KeyPage pageLenina12() {
    KeyPage page;
    setRow(page, 0, {dallas(0x000000123456), em410x(0x0012345678, 6)}, "кв. 1 Иванов И.И.");
    setRow(page, 1, {dallas(0x00000A1B2C3D, KeyTypeDallas4), tm2002(0x5A3C1E0F)}, "кв. 2 Петрова");
    setRow(page, 2, {cyfral(0xB7E2), hidProx(0x0001A2B3C4D5)}, "кв. 3");
    setRow(page, 3, {indala(0x9A78563412)}, "Service key");
    setRow(page, 5,
           {em410x(0x00A1B2C3D4, 2), em410x(0x00A1B2C3D5, 3), em410x(0x00A1B2C3D6, 4), em410x(0x00A1B2C3D7, 5),
            em410x(0x00A1B2C3D8, 7), em410x(0x00A1B2C3D9, 8)});
    setRow(page, 7, {}, "Подвал: ключ № 7 у консьержа");
    setRow(page, 9, {unnamedType()}, "Ключ неизвестного типа");
    setRow(page, 10,
           {dallas(0x000001E2F3A4), dallas(0x000001E2F3A5), dallas(0x000001E2F3A6), dallas(0x000001E2F3A7),
            dallas(0x000001E2F3A8), dallas(0x000001E2F3A9)},
           "Мастер-ключи домофона");
    return page;
}

KeyPage pageLenina14() {
    KeyPage page;
    setRow(page, 0, {dallas(0x0000004D2E11), dallas(0x0000004D2E12)}, "кв. 5 Сидоров");
    setRow(page, 1, {dallas(0x0000004D2E20)}, "кв. 6");
    setRow(page, 2, {cyfral(0x1F2E)}, "Lift");
    setRow(page, 4, {dallas(0x0000004D2E33, KeyTypeDallas4)}, "кв. 8 Кузнецова А.П.");
    return page;
}

KeyPage pageLenina16a() {
    KeyPage page;
    setRow(page, 0, {em410x(0x1600AA0001, 6), em410x(0x1600AA0002, 6)}, "Офис 1, ООО «Ромашка»");
    setRow(page, 1, {hidProx(0x0000100200AB), hidProx(0x1FFF00FF0010)}, "Parking");
    setRow(page, 2, {em410x(0x1600AA0010, 3)});
    return page;
}

KeyPage pageSadovaya3() {
    KeyPage page;
    setRow(page, 0, {tm2002(0x01020304), tm2002(0x11223344)}, "кв. 1-2");
    setRow(page, 1, {indala(0x0123456789)}, "Калитка");
    setRow(page, 2, {tm2002(0xFEDCBA98)}, "кв. 4 Смирнов");
    return page;
}

KeyPage pageSadovaya5Entrance1() {
    KeyPage page;
    setRow(page, 0, {dallas(0x00000051AB01)}, "кв. 1");
    setRow(page, 1, {dallas(0x00000051AB02), cyfral(0x0507)}, "кв. 2");
    return page;
}

KeyPage pageSadovaya5Entrance2() {
    KeyPage page;
    setRow(page, 0, {em410x(0x0005020001, 6)}, "кв. 21");
    return page;
}

KeyPage pageStorehouse() {
    KeyPage page;
    setRow(page, 0, {}, "Ключи ещё не считаны");
    return page;
}

struct DemoFile {
    BaseNode* node;
    KeyPage (*page)();
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: make-demo-base BASE (writes BASE.dir and BASE.dat)\n");
        return 2;
    }
    const QString base = args.at(1);
    const QString pageFile = base + QStringLiteral(".dat");
    // Pages are appended, so an older page file would shift every page number.
    if (QFile::exists(pageFile) && !QFile::remove(pageFile))
        fail("cannot remove the old page file");

    BaseTree tree;
    BaseNode* lenina = addNode(tree, nullptr, "ул. Ленина", false);
    BaseNode* lenina12 = addNode(tree, lenina, "дом 12", true);
    BaseNode* lenina14 = addNode(tree, lenina, "дом 14", true);
    BaseNode* lenina16a = addNode(tree, lenina, "дом 16а", true);
    BaseNode* sadovaya = addNode(tree, nullptr, "ул. Садовая", false);
    BaseNode* sadovaya3 = addNode(tree, sadovaya, "дом 3", true);
    BaseNode* sadovaya5 = addNode(tree, sadovaya, "дом 5", false);
    BaseNode* entrance1 = addNode(tree, sadovaya5, "подъезд 1", true);
    BaseNode* entrance2 = addNode(tree, sadovaya5, "подъезд 2", true);
    BaseNode* storehouse = addNode(tree, nullptr, "Склад", true);
    lenina->expanded = true;
    tree.select(lenina12);

    const DemoFile files[] = {
        {lenina12, pageLenina12},
        {lenina14, pageLenina14},
        {lenina16a, pageLenina16a},
        {sadovaya3, pageSadovaya3},
        {entrance1, pageSadovaya5Entrance1},
        {entrance2, pageSadovaya5Entrance2},
        {storehouse, pageStorehouse},
    };
    for (const DemoFile& file : files) {
        std::int32_t pageNumber = -1;
        if (!AppendPage(pageFile, pageNumber) || !WritePage(pageFile, pageNumber, file.page()))
            return 1;
        file.node->pageNumber = pageNumber;
    }
    if (!SaveDirectory(base + QStringLiteral(".dir"), tree))
        return 1;
    std::printf("make-demo-base: wrote %s.dir and %s.dat\n", qPrintable(base), qPrintable(base));
    return 0;
}
