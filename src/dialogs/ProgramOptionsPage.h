#pragma once

#include "texts/UiLanguage.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;

namespace tervane {

class ProgramOptions;

// The options dialog's page of the program's own options (ProgramOptions, kept in Tervane.ini),
// after the designed pages: whether Save and Save As keep a backup of the key base they replace.
class ProgramOptionsPage final : public QWidget {
    Q_OBJECT
public:
    explicit ProgramOptionsPage(QWidget* parent = nullptr);

    // The page's title on its tab, in language.
    static QString title(UiLanguage language);
    void setTexts(UiLanguage language);
    void showOptions(const ProgramOptions& options);
    void storeOptions(ProgramOptions& options) const;

private:
    QGroupBox* m_savingGroupBox = nullptr;
    QCheckBox* m_backupCheckBox = nullptr;
};

} // namespace tervane
