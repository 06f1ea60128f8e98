#pragma once

#include <QString>

namespace tervane {

// The version list as FetchText gave it (the body and the zero character after it) and the
// read position of ReadListLine, counted from 0.
struct UpdateListText {
    QString text;
    qsizetype position = 0;
};

// The next line of the list without its CR and LF characters; false when the list has no more.
// The zero character at the end of the text is never part of a line.
bool ReadListLine(UpdateListText& list, QString& line);

// The first version line with a number after the list's header.
struct UpdateOffer {
    bool listed = false; // false: no header, or no version line with a number before a "[" line
    int version = 0;     // the line's 2nd and 4th characters as a decimal number
    QString fileName;    // the line from its 6th character; may be empty or unsafe
};

// Reads the list from its current position: line 1 is skipped, then lines up to the header
// "[Tervane FIRMWARE UPDATE LIST]", then the section after it.
UpdateOffer ReadUpdateOffer(UpdateListText& list);

// A name that stays inside the folder it is saved in: not empty, not "." or "..", without "/",
// "\", a drive's ":" or control characters.
bool IsPlainFileName(const QString& name);

// The number of a version text "M.m": its 1st and 3rd characters, "1.1" giving 11.
int VersionNumber(const char* version);

} // namespace tervane
