#pragma once

#include "keys/KeyCell.h"

#include <QByteArray>
#include <array>
#include <cstdint>

namespace tervane {

// One page of a key base, 94500 bytes, the same in memory and on disk: 3000 key cells
// (500 rows of 6, row-major) and then 500 comments of 129 bytes (a length byte and up to 128
// characters in Windows-1251). Bytes that nobody interprets (a cell's reserved byte, the bytes
// after a comment's length) are kept as they are.
class KeyPage {
public:
    static constexpr int kRows = 500;
    static constexpr int kKeyColumns = 6;
    static constexpr int kCells = kRows * kKeyColumns;
    static constexpr int kRowCellsSize = kKeyColumns * KeyCell::kSize; // 60
    static constexpr int kCellAreaSize = kCells * KeyCell::kSize;      // 30000
    static constexpr int kCommentSize = 129;
    static constexpr int kMaxCommentLength = 128;
    static constexpr int kSize = kCellAreaSize + kRows * kCommentSize; // 94500

    KeyPage() { m_bytes.fill(0); }

    std::uint8_t* data() { return m_bytes.data(); }
    const std::uint8_t* data() const { return m_bytes.data(); }

    static constexpr int cellOffset(int row, int keyColumn) { return row * kRowCellsSize + keyColumn * KeyCell::kSize; }
    static constexpr int commentOffset(int row) { return kCellAreaSize + row * kCommentSize; }

    KeyCell cell(int row, int keyColumn) const;
    void setCell(int row, int keyColumn, const KeyCell& cell);
    void clearCell(int row, int keyColumn);
    std::uint8_t cellType(int row, int keyColumn) const { return m_bytes[cellOffset(row, keyColumn)]; }

    // The comment's characters (its first length bytes), as stored.
    QByteArray comment(int row) const;
    // Stores text cut to its first 128 characters; the bytes after the new length keep what
    // they held.
    void setComment(int row, const QByteArray& text);
    void clearComment(int row) { m_bytes[commentOffset(row)] = 0; }
    bool hasComment(int row) const { return m_bytes[commentOffset(row)] != 0; }

    // A row is shown in the short view when a cell holds a key or it has a comment.
    bool rowHasContent(int row) const;
    // Cells among all 3000 whose type holds a key.
    int occupiedCellCount() const;
    // No cell holds a key and no row has a comment.
    bool isBlank() const;

    void clear() { m_bytes.fill(0); }
    bool operator==(const KeyPage& other) const { return m_bytes == other.m_bytes; }

private:
    std::array<std::uint8_t, kSize> m_bytes;
};

} // namespace tervane
