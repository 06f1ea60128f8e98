#pragma once

#include "dialogs/DialogOverHost.h"
#include "settings/Settings.h"

#include <QDialog>
#include <QStringList>
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace tervane {

class OptionsHost;
class ProgramOptionsPage;

// The options dialog (the designed form TOptionForm, its objectName): the language, the skin,
// the saving policy, the grid's cell texts and its font, and on a page of its own after these the
// program's own options (ProgramOptionsPage). It works on DialogSettings, a copy of the settings
// taken when it opens; OK stores the copy's choices and the own options, and writes the
// configuration file and Tervane.ini at once. The skin and the font are previewed on the running
// program as they are chosen, and a change of language relabels the dialog itself; Cancel takes
// the previews back.
//
// It is modeless: ShowOptions returns at once, the main window disabled until the dialog closes.
class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    // The sizes the font size list offers.
    static constexpr std::array<int, 13> kFontSizes{8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28};

    explicit OptionsDialog(OptionsHost& host);
    ~OptionsDialog() override;

    // The Options command.
    void ShowOptions();
    // As Cancel. The program's close sequence runs it, so that no preview outlives the dialog.
    void closeIfOpen();

    bool isOpen() const { return m_overHost.isOpen(); }
    const Settings& dialogSettings() const { return DialogSettings; }

protected:
    void closeEvent(QCloseEvent* event) override;

public slots:
    // Esc takes the previews back, as Cancel does.
    void reject() override;

private:
    // One radio group of the designed form: a frame of three exclusive items.
    struct RadioGroup {
        QGroupBox* box = nullptr;
        QButtonGroup* buttons = nullptr;
        std::array<QRadioButton*, 3> items{};
    };

    void buildWidgets();
    QWidget* buildGeneralPage();
    QWidget* buildEditorPage();
    QWidget* buildFontPage();
    RadioGroup makeRadioGroup(QWidget* parent, const char* name);

    void SetOptionCaptions();
    void selectEditorChoices();
    void fillSkinList();
    void fillLanguageList();
    void fillFontNames();
    void selectGridFont();
    void LangComboBoxChange(int position);
    void SkinComboBoxChange(int position);
    void NameFontListBoxClick();
    void TypeFontListBoxClick();
    void SizeFontsListBoxClick();
    void OkButtonClick();
    void CancelButtonClick();
    void FormShow();
    void FormClose();
    // The fields the dialog sets, from one record into another.
    static void copyChoices(const Settings& from, Settings& to);
    QString skinNameAt(int skinIndex) const;

    OptionsHost& m_host;

    Settings DialogSettings;
    std::int32_t OptionsOpenSkin = 0;
    LanguageSetting OptionsOpenLanguage = LanguageSetting::Automatic;
    struct OpenFont {
        QByteArray name;
        FontStyle style = FontStyle::Regular;
        std::int32_t size = 0;
    } OptionsOpenFont;
    // Full names of the skins the list shows, position n at index n - 1.
    QStringList m_skinNames;

    QTabWidget* m_optionPage = nullptr;
    std::array<QWidget*, 3> m_pages{};
    ProgramOptionsPage* m_programPage = nullptr;
    QGroupBox* m_skinGroupBox = nullptr;
    QComboBox* m_skinComboBox = nullptr;
    RadioGroup m_saveGroupeBox;
    QGroupBox* m_languageGroupBox = nullptr;
    QComboBox* m_langComboBox = nullptr;
    RadioGroup m_keyTypeGroup;
    RadioGroup m_codeGroup;
    QGroupBox* m_speedGroupBox = nullptr;
    QCheckBox* m_speedCheckBox = nullptr;
    QGroupBox* m_crcRadioGroup = nullptr;
    QCheckBox* m_crcCheckBox = nullptr;
    QGroupBox* m_fontGroupBox = nullptr;
    QLabel* m_nameFontLabel = nullptr;
    QLabel* m_typeFontLabel = nullptr;
    QLabel* m_sizeFontsLabel = nullptr;
    QListWidget* m_nameFontListBox = nullptr;
    QListWidget* m_typeFontListBox = nullptr;
    QListWidget* m_sizeFontsListBox = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    DialogOverHost m_overHost{*this};
};

} // namespace tervane
