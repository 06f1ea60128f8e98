#pragma once

#include <cstdint>

namespace tervane {

// Fields of the settings record that hold a choice, with the numbers the record stores. A value
// read from a file may be none of the named ones; its user decides what it means.

// What closing the program does with unsaved changes.
enum class SavePolicy : std::int32_t { SaveWithoutAsking = 0, Ask = 1, DoNotSave = 2 };

// The main window's state; only the field's low byte is read.
enum class WindowState : std::uint8_t { Normal = 0, Minimised = 1, Maximised = 2 };

// The key grid's font style.
enum class FontStyle : std::int32_t { Regular = 0, Italic = 1, Bold = 2, BoldItalic = 3 };

} // namespace tervane
