#include "BaseBuilder.h"

#include "TestEnvironment.h"

#include "base/DirectoryFile.h"
#include "base/PageFile.h"
#include "keys/DallasCrc.h"

#include <QFile>

namespace tervane::test {

BaseNode* BaseBuilder::folder(const QString& name, BaseNode* parent, bool expanded) {
    BaseNode* n = m_tree.addChild(parent);
    n->text = cp1251(name);
    n->imageIndex = ImageFolder;
    n->selectedIndex = ImageFolder;
    n->expanded = expanded;
    return n;
}

BaseNode* BaseBuilder::file(const QString& name, BaseNode* parent) {
    BaseNode* n = m_tree.addChild(parent);
    n->text = cp1251(name);
    n->imageIndex = ImageFile;
    n->selectedIndex = ImageFileSelected;
    n->pageNumber = int(m_pages.size());
    m_pages.append(KeyPage());
    return n;
}

KeyPage& BaseBuilder::page(const BaseNode* file) {
    return m_pages[file->pageNumber];
}

bool BaseBuilder::write(const QString& base) {
    QFile::remove(base + QStringLiteral(".dat"));
    if (!SaveDirectory(base + QStringLiteral(".dir"), m_tree))
        return false;
    QFile dat(base + QStringLiteral(".dat"));
    if (!dat.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (const KeyPage& p : m_pages) {
        if (dat.write(reinterpret_cast<const char*>(p.data()), KeyPage::kSize) != KeyPage::kSize)
            return false;
    }
    return true;
}

KeyCell cellFromHex(const QByteArray& hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    KeyCell cell;
    for (int i = 0; i < bytes.size() && i < KeyCell::kSize; ++i)
        cell.bytes[std::size_t(i)] = std::uint8_t(bytes[i]);
    return cell;
}

KeyCell dallasCell(quint64 serial) {
    KeyCell cell;
    cell.setType(KeyTypeDallas);
    KeyCode code{};
    code[0] = 1;
    for (int i = 0; i < 6; ++i)
        code[std::size_t(i + 1)] = std::uint8_t(serial >> (8 * i));
    code[7] = DallasCrc8(code.data(), 7);
    cell.setCode(code);
    return cell;
}

} // namespace tervane::test
