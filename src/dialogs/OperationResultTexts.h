#pragma once

#include "texts/UiLanguage.h"

#include <QString>

namespace tervane {

// The text the operation dialog shows for the result code of a write (a StatusDone event after
// CmdWriteBlank; StatusCancelled counts as 3). Unknown codes are a plain write error.
QString WriteResultText(int code, UiLanguage language = uiLanguage());
// The same for a lock (after CmdLockKey).
QString LockResultText(int code, UiLanguage language = uiLanguage());

} // namespace tervane
