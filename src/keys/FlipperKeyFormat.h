#pragma once

#include "keys/KeyCell.h"

#include <string>
#include <string_view>

namespace tervane {

// The key files of the Flipper Zero: text in "Key: value" lines ending in LF, hex bytes as
// upper-case pairs separated by one blank, "#" starting a comment line.
//
// Touch-memory keys go in ".ibtn" files ("Filetype: Flipper iButton key", "Version: 2"):
//   Dallas  "Protocol: DS1990", "Rom Data: c[0] .. c[7]" (family code first, check sum last)
//   Cyfral  "Protocol: Cyfral", "Data: c[1] c[2]"
//   TM2002  "Protocol: Metakom", "Data: c[1] c[2] c[3] c[4]"
// Version 1 files name the type as "Key type: Dallas|Cyfral|Metakom" and hold the same bytes in
// "Data". Proximity cards go in ".rfid" files ("Filetype: Flipper RFID key", "Version: 1"):
//   EM410x  "Key type: EM4100", "Data: c[5] c[4] c[3] c[2] c[1]"
// where "EM4100/32" and "EM4100/16" stand for the speeds RF32 and RF16, and EM4100 for RF64.
// HID Prox II and Indala cards have no counterpart there.

enum class FlipperFileKind { None, IButton, Rfid };

enum class FlipperError {
    None,
    NoKey,          // the cell holds no key (writing)
    NoCounterpart,  // HID Prox II, Indala or an unnamed type (writing); detail: the type name
    NotKeyFile,     // no or another "Filetype"; detail: the file's Filetype
    WrongVersion,   // a version this program does not read; detail: the file's Version
    MissingField,   // detail: the field's name
    UnknownType,    // detail: the file's key type or protocol
    BadBytes,       // data that is not hex pairs; detail: the field's name
    WrongByteCount, // detail: the field's name; expected and found: the counts
    BadLine,        // a line that is not "Key: value"; line: its number from 1
};

struct FlipperResult {
    FlipperError error = FlipperError::None;
    std::string detail;
    int expected = 0;
    int found = 0;
    int line = 0;
    bool ok() const { return error == FlipperError::None; }
};

// The kind of file a key goes in, None for a type without a counterpart.
FlipperFileKind flipperFileKind(std::uint8_t type);
// ".ibtn" or ".rfid"; empty for None.
const char* flipperFileSuffix(FlipperFileKind kind);

// The text of the key file for an occupied cell.
FlipperResult writeFlipperKey(const KeyCell& cell, std::string& text);

// The cell a key file gives: c[0] and the other constant bytes as the editor makes them, the
// check sum of Dallas keys as the file has it, computed for Cyfral and TM2002 keys. cell is left
// as it was on an error.
FlipperResult readFlipperKey(std::string_view text, KeyCell& cell);

} // namespace tervane
