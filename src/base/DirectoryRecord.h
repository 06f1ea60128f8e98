#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

namespace tervane {

// One 273-byte record of a directory file, packed and little-endian. A node record holds a
// node's name, level, expansion, icons and page; the header record reuses the same fields for
// the signature "Data Base", the version and the selected node's position.
//
//   0  name length      1 byte
//   1  name characters  255 bytes, only the first "length" of them mean anything
//   256 level / version               int32
//   260 expanded                      byte
//   261 image index / selected pos.   int32
//   265 selected image index          int32
//   269 page number (-1: none)        int32
class DirectoryRecord {
public:
    static constexpr int kSize = 273;
    static constexpr int kMaxNameLength = 255;
    static constexpr std::int32_t kVersion = 100;
    static constexpr int kNameOffset = 1;
    static constexpr int kLevelOffset = 256;
    static constexpr int kExpandedOffset = 260;
    static constexpr int kImageIndexOffset = 261;
    static constexpr int kSelectedIndexOffset = 265;
    static constexpr int kPageNumberOffset = 269;

    DirectoryRecord() { m_bytes.fill(0); }
    // Copies kSize bytes.
    static DirectoryRecord fromBytes(const std::uint8_t* bytes);

    std::uint8_t* data() { return m_bytes.data(); }
    const std::uint8_t* data() const { return m_bytes.data(); }

    int nameLength() const { return m_bytes[0]; }
    QByteArray name() const;
    // Stores the first 255 bytes of name; the characters after its length keep what they held.
    void setName(const QByteArray& name);

    std::int32_t level() const { return int32At(kLevelOffset); }
    void setLevel(std::int32_t level) { setInt32At(kLevelOffset, level); }
    std::uint8_t expandedByte() const { return m_bytes[kExpandedOffset]; }
    bool expanded() const { return m_bytes[kExpandedOffset] != 0; }
    void setExpanded(bool expanded) { m_bytes[kExpandedOffset] = expanded ? 1 : 0; }
    std::int32_t imageIndex() const { return int32At(kImageIndexOffset); }
    void setImageIndex(std::int32_t index) { setInt32At(kImageIndexOffset, index); }
    std::int32_t selectedIndex() const { return int32At(kSelectedIndexOffset); }
    void setSelectedIndex(std::int32_t index) { setInt32At(kSelectedIndexOffset, index); }
    std::int32_t pageNumber() const { return int32At(kPageNumberOffset); }
    void setPageNumber(std::int32_t page) { setInt32At(kPageNumberOffset, page); }

    // The header's view of the same bytes.
    std::int32_t version() const { return level(); }
    std::int32_t selectedPosition() const { return imageIndex(); }
    // Turns the record into a header: all zeros, "Data Base", version 100, the position of the
    // selected node (-1 for none).
    void makeHeader(std::int32_t selectedPosition);
    // Exactly length 9 and "Data Base", letter case included.
    bool hasSignature() const;

    bool operator==(const DirectoryRecord& other) const { return m_bytes == other.m_bytes; }

private:
    std::int32_t int32At(int offset) const;
    void setInt32At(int offset, std::int32_t value);

    std::array<std::uint8_t, kSize> m_bytes;
};

} // namespace tervane
