#include "dialogs/ProgramOptionsPage.h"

#include "settings/ProgramOptions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace tervane {
namespace {

QString text(UiLanguage language, const char* english) {
    return translateIn(language, "OptionsDialog", english);
}

} // namespace

ProgramOptionsPage::ProgramOptionsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TervanePage"));
    m_savingGroupBox = new QGroupBox(this);
    m_savingGroupBox->setObjectName(QStringLiteral("SavingGroupBox"));
    m_backupCheckBox = new QCheckBox(m_savingGroupBox);
    m_backupCheckBox->setObjectName(QStringLiteral("BackupCheckBox"));
    (new QVBoxLayout(m_savingGroupBox))->addWidget(m_backupCheckBox);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_savingGroupBox);
    layout->addStretch(1);
}

QString ProgramOptionsPage::title(UiLanguage language) {
    return text(language, QT_TRANSLATE_NOOP("OptionsDialog", "Tervane"));
}

void ProgramOptionsPage::setTexts(UiLanguage language) {
    m_savingGroupBox->setTitle(text(language, QT_TRANSLATE_NOOP("OptionsDialog", "Saving of key bases:")));
    m_backupCheckBox->setText(
        text(language, QT_TRANSLATE_NOOP("OptionsDialog", "Keep a backup of the key base when saving")));
    m_backupCheckBox->setToolTip(
        text(language, QT_TRANSLATE_NOOP("OptionsDialog", "The files a save replaces are kept beside the key base as "
                                                          "\"<name>-backup.dir\" and \"<name>-backup.dat\".")));
}

void ProgramOptionsPage::showOptions(const ProgramOptions& options) {
    m_backupCheckBox->setChecked(options.keepBaseBackup());
}

void ProgramOptionsPage::storeOptions(ProgramOptions& options) const {
    options.setKeepBaseBackup(m_backupCheckBox->isChecked());
}

} // namespace tervane
