#include "texts/CardNumberTexts.h"

#include "texts/UiLanguage.h"

namespace tervane {

QStringList cardNumberTexts(const EmCardNumbers& numbers) {
    const auto line = [](const char* label, const std::string& number) {
        return translate("CardNumbers", label).arg(QString::fromStdString(number));
    };
    return {line(QT_TRANSLATE_NOOP("CardNumbers", "DEZ 10: %1"), numbers.dez10),
            line(QT_TRANSLATE_NOOP("CardNumbers", "DEZ 8: %1"), numbers.dez8),
            line(QT_TRANSLATE_NOOP("CardNumbers", "DEZ 3.5C: %1"), numbers.dez35c),
            line(QT_TRANSLATE_NOOP("CardNumbers", "DEZ 5.5: %1"), numbers.dez55),
            line(QT_TRANSLATE_NOOP("CardNumbers", "DEZ 14: %1"), numbers.dez14)};
}

} // namespace tervane
