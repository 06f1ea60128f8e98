#pragma once

#include <QString>
#include <cstdint>

namespace tervane {

// File error codes of ReportFileError.
enum FileErrorCode : std::int32_t {
    FileErrorRead = -1,
    FileErrorWrite = -2,
    FileErrorCreate = -3,
    FileErrorOpen = -4,
    FileErrorDelete = -5,
    FileErrorVersion = -7,
    FileErrorFormat = -8,
};

// The text of a file error in the current language: the code's prefix and the path in double
// quotes; an unknown code c gives "Error: " and -c and ".", without the path.
QString fileErrorText(std::int32_t code, const QString& path);

// Shows the file error in a message box captioned "Tervane" (error icon, OK). Always true.
bool ReportFileError(std::int32_t code, const QString& path);

// True when the volume of path has more than needed free bytes. Otherwise asks Retry/Cancel
// until there is room (true) or the user cancels (false). Network volumes are not checked.
bool EnsureFreeSpace(const QString& path, std::int64_t needed);

} // namespace tervane
