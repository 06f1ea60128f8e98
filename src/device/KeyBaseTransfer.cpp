#include "device/KeyBaseTransfer.h"

#include "base/KeyPage.h"
#include "device/DeviceModel.h"
#include "device/DeviceProtocol.h"
#include "keys/KeyCell.h"
#include "seams/EventPump.h"
#include "seams/StatusSink.h"
#include "texts/UiLanguage.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tervane {
namespace {

// BaseRowRecord: the type of the row's first key, its name, its code, then further cell bytes
// that only an upload fills.
constexpr int kRecordType = 0;
constexpr int kRecordName = 1;
constexpr int kRecordNameSize = 25;
constexpr int kRecordCode = 26;
// From the first key's code to the end of the record: the code, cells 1 and 2, 6 bytes of cell 3.
constexpr int kRecordCellBytes = BaseRowSize - kRecordCode;
static_assert(kRecordCode + 8 == 34 && kRecordCellBytes == 34);

// An Indala row comes one bit rotated against the page's layout, unless its last code byte is 0x80.
constexpr std::uint8_t kIndalaStoredMark = 0x80;

void setRowNumber(DeviceProtocol& protocol, int row) {
    protocol.clearOutPayload();
    protocol.OutPayload[0] = static_cast<std::uint8_t>(row & 0xFF);
    protocol.OutPayload[1] = static_cast<std::uint8_t>((row >> 8) & 0xFF);
}

// The eight code bytes as one 64-bit number, first byte least significant, rotated right by one.
KeyCode rotateRightOneBit(const KeyCode& code) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | code[static_cast<std::size_t>(i)];
    value = (value >> 1) | (value << 63);
    KeyCode rotated{};
    for (std::size_t i = 0; i < rotated.size(); ++i)
        rotated[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return rotated;
}

int clampRows(int rowCount) {
    return std::clamp(rowCount, 0, KeyPage::kRows);
}

// Runs between rows: the caller's gauge, the pending events, then the caller's Cancel.
bool stopBeforeRow(const TransferHooks& hooks, int row) {
    if (hooks.progress)
        hooks.progress(row);
    eventPump().processEvents();
    return hooks.cancelled && hooks.cancelled();
}

void showTransferError() {
    statusSink().setMessageText(translate("Device", "Data transfer error."));
}

} // namespace

int DeviceRowCount(std::int32_t lastDeviceModel) {
    return lastDeviceModel == ModelLark ? 100 : 500;
}

bool ReadBaseRow(DeviceProtocol& protocol, int row, BaseRowRecord& record, const std::function<bool()>& abandoned) {
    setRowNumber(protocol, row);
    if (!protocol.Transact(CmdReadBaseRow, abandoned))
        return false;
    const Payload& answer = protocol.InAnswer;
    if (answer[1] != static_cast<std::uint8_t>(row & 0xFF) || answer[2] != static_cast<std::uint8_t>((row >> 8) & 0xFF))
        return false;
    record.fill(0);
    std::copy_n(answer.begin() + 3, BaseRowReadSize, record.begin());
    return true;
}

bool WriteBaseRow(DeviceProtocol& protocol, int row, const BaseRowRecord& record,
                  const std::function<bool()>& abandoned) {
    setRowNumber(protocol, row);
    std::copy(record.begin(), record.end(), protocol.OutPayload.begin() + 2);
    return protocol.Transact(CmdWriteBaseRow, abandoned);
}

BaseRowRecord buildUploadRecord(const KeyPage& page, int row) {
    BaseRowRecord record{};
    const std::uint8_t type = page.cellType(row, 0);
    if (type == 0)
        return record;
    record[kRecordType] = type;
    // A shorter name is followed by zeros; a name of 25 or more fills the field without one.
    const QByteArray comment = page.comment(row);
    std::copy_n(comment.constData(), std::min<qsizetype>(comment.size(), kRecordNameSize),
                record.begin() + kRecordName);
    std::memcpy(record.data() + kRecordCode, page.data() + KeyPage::cellOffset(row, 0) + 2, kRecordCellBytes);
    return record;
}

void applyDownloadRecord(KeyPage& page, int row, const BaseRowRecord& record) {
    const std::uint8_t type = record[kRecordType];
    if (!IsKeyOccupied(type))
        return;
    KeyCode code{};
    std::copy_n(record.begin() + kRecordCode, code.size(), code.begin());
    if (type == KeyTypeIndala && code[7] != kIndalaStoredMark)
        code = rotateRightOneBit(code);
    KeyCell cell;
    cell.setType(type);
    cell.setCode(code);
    page.setCell(row, 0, cell);

    const auto nameBegin = record.begin() + kRecordName;
    const auto nameEnd = std::find(nameBegin, nameBegin + kRecordNameSize, std::uint8_t(0));
    page.setComment(row, QByteArray(reinterpret_cast<const char*>(&*nameBegin), nameEnd - nameBegin));
}

TransferResult DownloadKeyBase(DeviceProtocol& protocol, int rowCount, KeyPage& page, const TransferHooks& hooks,
                               bool& modified) {
    rowCount = clampRows(rowCount);
    protocol.Transact(CmdStop, hooks.cancelled);
    // The page itself is only touched once the whole memory has been read.
    const auto scratch = std::make_unique<KeyPage>();
    bool lastRowRead = false;
    for (int row = 0; row < rowCount; ++row) {
        if (stopBeforeRow(hooks, row))
            return TransferResult::Cancelled;
        BaseRowRecord record{};
        lastRowRead = ReadBaseRow(protocol, row, record, hooks.cancelled);
        if (lastRowRead)
            applyDownloadRecord(*scratch, row, record);
        modified = true;
    }
    // Cancelled while the last row was being tried: no row failed.
    if (hooks.cancelled && hooks.cancelled())
        return TransferResult::Cancelled;
    if (!lastRowRead) {
        showTransferError();
        return TransferResult::LastRowFailed;
    }
    page = *scratch;
    return TransferResult::Done;
}

TransferResult UploadKeyBase(DeviceProtocol& protocol, int rowCount, const KeyPage& page, const TransferHooks& hooks) {
    rowCount = clampRows(rowCount);
    protocol.Transact(CmdStop, hooks.cancelled);
    bool lastRowWritten = false;
    for (int row = 0; row < rowCount; ++row) {
        if (stopBeforeRow(hooks, row))
            return TransferResult::Cancelled;
        lastRowWritten = WriteBaseRow(protocol, row, buildUploadRecord(page, row), hooks.cancelled);
    }
    if (hooks.cancelled && hooks.cancelled())
        return TransferResult::Cancelled;
    if (!lastRowWritten) {
        showTransferError();
        return TransferResult::LastRowFailed;
    }
    return TransferResult::Done;
}

} // namespace tervane
