#pragma once

#include "texts/UiLanguage.h"

namespace tervane {

// Qt's own texts (the file dialogs' buttons, the overwrite question) follow the interface
// language: Russian loads Qt's Russian translations, English removes them.
void applyQtTranslations(UiLanguage language);

} // namespace tervane
