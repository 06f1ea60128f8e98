#include "texts/UiLanguage.h"

#include "seams/SystemInfo.h"

#include <QTranslator>

namespace tervane {
namespace {

UiLanguage g_language = UiLanguage::English;

const QTranslator& russian() {
    static QTranslator* translator = [] {
        auto* t = new QTranslator;
        if (!t->load(QStringLiteral(":/i18n/tervane_ru.qm")))
            qWarning("Tervane: the Russian texts are missing from the build");
        return t;
    }();
    return *translator;
}

} // namespace

UiLanguage uiLanguage() {
    return g_language;
}

void setUiLanguage(UiLanguage language) {
    g_language = language;
}

UiLanguage ChooseLanguage(LanguageSetting setting) {
    if (setting == LanguageSetting::English)
        return UiLanguage::English;
    if (setting == LanguageSetting::Russian)
        return UiLanguage::Russian;
    return systemInfo().systemLanguageIsRussian() ? UiLanguage::Russian : UiLanguage::English;
}

QString translateIn(UiLanguage language, const char* context, const char* english) {
    if (language == UiLanguage::Russian) {
        const QString text = russian().translate(context, english);
        if (!text.isEmpty())
            return text;
    }
    return QString::fromUtf8(english);
}

QString translate(const char* context, const char* english) {
    return translateIn(g_language, context, english);
}

} // namespace tervane
