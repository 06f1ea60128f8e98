#pragma once

#include "device/DeviceReport.h"

#include <array>
#include <cstdint>
#include <functional>

namespace tervane {

class DeviceProtocol;
class KeyPage;

// Moving the programmer's own key memory to and from a page. Row r of the memory is page row r:
// its key is the row's key cell in key column 0 and its name is the row's comment.

using BaseRowRecord = std::array<std::uint8_t, BaseRowSize>;

// The rows of a programmer's memory for the LastDeviceModel stored: 100 for a Lark, 500 for every
// other value.
int DeviceRowCount(std::int32_t lastDeviceModel);

// Fills record with the row's 34 meaningful bytes (the rest zero). Fails without a retry of its
// own when the acknowledged answer names another row; record is then left as it was. abandoned
// stops the command's retries, as for Transact.
bool ReadBaseRow(DeviceProtocol& protocol, int row, BaseRowRecord& record, const std::function<bool()>& abandoned = {});
bool WriteBaseRow(DeviceProtocol& protocol, int row, const BaseRowRecord& record,
                  const std::function<bool()>& abandoned = {});

// What a transfer asks its caller between rows: progress(r) before row r is sent, and cancelled()
// after the events were pumped and between the retries of a row. Either may be empty.
struct TransferHooks {
    std::function<void(int row)> progress;
    std::function<bool()> cancelled;
};

enum class TransferResult { Done, LastRowFailed, Cancelled };

// Both transfers start with a CmdStop (OutPayload left as it is, outcome ignored) so that the
// programmer leaves whatever operation it waits in; the CmdStop at the end is the caller's, sent
// when its dialog closes. Every row is sent even after an earlier one failed: the last row alone
// decides the result, and LastRowFailed also shows "Data transfer error." in status panel 0.
// rowCount is at most KeyPage::kRows.

// Reads rows 0..rowCount-1 into a zeroed scratch page, which replaces page whole only when the
// last row was read: the rows after rowCount and key columns 1..5 come out empty. A failed row
// stays empty. modified is set once a row was requested, as for any edit of the page.
TransferResult DownloadKeyBase(DeviceProtocol& protocol, int rowCount, KeyPage& page, const TransferHooks& hooks,
                               bool& modified);
// Writes page rows 0..rowCount-1 into the programmer's rows; the page is not changed.
TransferResult UploadKeyBase(DeviceProtocol& protocol, int rowCount, const KeyPage& page, const TransferHooks& hooks);

// The record that uploads page row row: 60 zero bytes when key column 0 is empty.
BaseRowRecord buildUploadRecord(const KeyPage& page, int row);
// Puts a downloaded record into row row of a zeroed page; a record whose type holds no key
// leaves the row as it is.
void applyDownloadRecord(KeyPage& page, int row, const BaseRowRecord& record);

} // namespace tervane
