#include "base/DirectoryRecord.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace tervane {

namespace {
constexpr char kSignature[] = "Data Base";
constexpr int kSignatureLength = sizeof(kSignature) - 1;
} // namespace

DirectoryRecord DirectoryRecord::fromBytes(const std::uint8_t* bytes) {
    DirectoryRecord record;
    std::memcpy(record.m_bytes.data(), bytes, kSize);
    return record;
}

QByteArray DirectoryRecord::name() const {
    return QByteArray(reinterpret_cast<const char*>(m_bytes.data() + kNameOffset), nameLength());
}

void DirectoryRecord::setName(const QByteArray& name) {
    const int length = int(std::min<qsizetype>(name.size(), kMaxNameLength));
    m_bytes[0] = std::uint8_t(length);
    std::memcpy(m_bytes.data() + kNameOffset, name.constData(), length);
}

void DirectoryRecord::makeHeader(std::int32_t selectedPosition) {
    m_bytes.fill(0);
    setName(QByteArray(kSignature, kSignatureLength));
    setInt32At(kLevelOffset, kVersion);
    setInt32At(kImageIndexOffset, selectedPosition);
}

bool DirectoryRecord::hasSignature() const {
    return nameLength() == kSignatureLength &&
           std::memcmp(m_bytes.data() + kNameOffset, kSignature, kSignatureLength) == 0;
}

std::int32_t DirectoryRecord::int32At(int offset) const {
    return qFromLittleEndian<std::int32_t>(m_bytes.data() + offset);
}

void DirectoryRecord::setInt32At(int offset, std::int32_t value) {
    qToLittleEndian<std::int32_t>(value, m_bytes.data() + offset);
}

} // namespace tervane
