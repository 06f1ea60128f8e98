#pragma once

#include <QString>
#include <cstdint>

namespace tervane {

// The interface language: 1 Russian, 2 English.
enum class UiLanguage { Russian = 1, English = 2 };

// The stored choice of language, with the stored numbers: 0 follows the system, 1 English,
// 2 Russian. Note that its numbers are not UiLanguage's.
enum class LanguageSetting : std::int32_t { Automatic = 0, English = 1, Russian = 2 };

UiLanguage uiLanguage();
void setUiLanguage(UiLanguage language);

// The language that a LanguageSetting gives on this system; a stored value other than English
// and Russian follows the system's interface language.
UiLanguage ChooseLanguage(LanguageSetting setting);

// A text of the program in the current language. The English text is the source; the Russian
// one comes from the compiled translations/tervane_ru.ts, looked up by context and source.
QString translate(const char* context, const char* english);
// The same for an explicit language (the options dialog previews its own language).
QString translateIn(UiLanguage language, const char* context, const char* english);

} // namespace tervane
