#pragma once

#include <QString>

namespace tervane {

// The interface language: 1 Russian, 2 English.
enum class UiLanguage { Russian = 1, English = 2 };

UiLanguage uiLanguage();
void setUiLanguage(UiLanguage language);

// The language that a LanguageSetting gives on this system: 1 English, 2 Russian, anything
// else follows the system's interface language.
UiLanguage ChooseLanguage(int languageSetting);

// A text of the program in the current language. The English text is the source; the Russian
// one comes from the compiled translations/tervane_ru.ts, looked up by context and source.
QString Tr(const char* context, const char* english);
// The same for an explicit language (the options dialog previews its own language).
QString TrIn(UiLanguage language, const char* context, const char* english);

} // namespace tervane
