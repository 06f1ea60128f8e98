#include "dialogs/OptionsDialog.h"

#include "base/Cp1251.h"
#include "base/FileErrors.h"
#include "dialogs/OptionsHost.h"
#include "dialogs/ProgramOptionsPage.h"
#include "seams/AppPaths.h"
#include "seams/EventPump.h"
#include "settings/ProgramOptions.h"
#include "settings/SettingsFile.h"
#include "texts/UiLanguage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tervane {
namespace {

constexpr const char* kSaveItems[] = {
    QT_TRANSLATE_NOOP("OptionsDialog", "Save automatically"),
    QT_TRANSLATE_NOOP("OptionsDialog", "Request operation"),
    QT_TRANSLATE_NOOP("OptionsDialog", "Disabled"),
};
// The key type and the key code are shown in the same three ways.
constexpr const char* kViewItems[] = {
    QT_TRANSLATE_NOOP("OptionsDialog", "Full"),
    QT_TRANSLATE_NOOP("OptionsDialog", "Short"),
    QT_TRANSLATE_NOOP("OptionsDialog", "Hide"),
};
// By FontStyle.
constexpr const char* kStyleItems[] = {
    QT_TRANSLATE_NOOP("OptionsDialog", "classic"),
    QT_TRANSLATE_NOOP("OptionsDialog", "italic"),
    QT_TRANSLATE_NOOP("OptionsDialog", "bold"),
    QT_TRANSLATE_NOOP("OptionsDialog", "bold italic"),
};
// By LanguageSetting; each reads the same in both languages.
constexpr const char* kLanguageItems[] = {
    QT_TRANSLATE_NOOP("OptionsDialog", "Auto/Авто"),
    QT_TRANSLATE_NOOP("OptionsDialog", "English"),
    QT_TRANSLATE_NOOP("OptionsDialog", "Руский"),
};

void selectButton(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    // A value from the file that names no item leaves the group without a choice.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

void selectRow(QListWidget* list, int row) {
    const QSignalBlocker block(list);
    list->clearSelection();
    if (row < 0 || row >= list->count()) {
        list->setCurrentRow(-1);
        return;
    }
    list->setCurrentRow(row);
    list->scrollToItem(list->item(row));
}

int selectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    return chosen.isEmpty() ? -1 : list->row(chosen.first());
}

// The font families the grid can be given. The settings keep a name as at most 255
// Windows-1251 bytes: a name that would not come back the same would show another font.
QStringList storableFontFamilies() {
    QStringList names;
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        const QByteArray stored = toCp1251(family);
        if (stored.size() > Settings::kMaxFontNameLength || fromCp1251(stored) != family)
            continue;
        names.append(family);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    names.removeDuplicates();
    return names;
}

// Wide enough for the widest of these texts in either language, so that relabelling never
// narrows a list to less than its items.
int widestText(const QFontMetrics& metrics, const char* context, std::initializer_list<const char*> texts) {
    int widest = 0;
    for (const char* english : texts) {
        for (const UiLanguage language : {UiLanguage::Russian, UiLanguage::English})
            widest = std::max(widest, metrics.horizontalAdvance(translateIn(language, context, english)));
    }
    return widest;
}

} // namespace

OptionsDialog::OptionsDialog(OptionsHost& host) : QDialog(nullptr), m_host(host) {
    buildWidgets();
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::buildWidgets() {
    setObjectName(QStringLiteral("TOptionForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    m_optionPage = new QTabWidget(this);
    m_optionPage->setObjectName(QStringLiteral("OptionPage"));
    m_pages = {buildGeneralPage(), buildEditorPage(), buildFontPage()};
    for (QWidget* page : m_pages)
        m_optionPage->addTab(page, QString());
    m_programPage = new ProgramOptionsPage;
    m_optionPage->addTab(m_programPage, QString());

    m_okButton = new QPushButton(this);
    m_okButton->setObjectName(QStringLiteral("OkButton"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(this);
    m_cancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_optionPage);
    layout->addLayout(buttons);
    // Fixed to what its texts need in the language shown, at any font and screen.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_langComboBox, &QComboBox::currentIndexChanged, this, &OptionsDialog::LangComboBoxChange);
    connect(m_skinComboBox, &QComboBox::currentIndexChanged, this, &OptionsDialog::SkinComboBoxChange);
    // The selection, not the current row: the keyboard focus entering a list makes a row current
    // without choosing it.
    connect(m_nameFontListBox, &QListWidget::itemSelectionChanged, this, &OptionsDialog::NameFontListBoxClick);
    connect(m_typeFontListBox, &QListWidget::itemSelectionChanged, this, &OptionsDialog::TypeFontListBoxClick);
    connect(m_sizeFontsListBox, &QListWidget::itemSelectionChanged, this, &OptionsDialog::SizeFontsListBoxClick);
    connect(m_okButton, &QPushButton::clicked, this, &OptionsDialog::OkButtonClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &OptionsDialog::CancelButtonClick);
}

OptionsDialog::RadioGroup OptionsDialog::makeRadioGroup(QWidget* parent, const char* name) {
    RadioGroup group;
    group.box = new QGroupBox(parent);
    group.box->setObjectName(QString::fromLatin1(name));
    group.buttons = new QButtonGroup(group.box);
    auto* column = new QVBoxLayout(group.box);
    for (int i = 0; i < int(group.items.size()); ++i) {
        auto* item = new QRadioButton(group.box);
        item->setObjectName(QStringLiteral("%1Item%2").arg(QLatin1String(name)).arg(i));
        group.buttons->addButton(item, i);
        column->addWidget(item);
        group.items[i] = item;
    }
    column->addStretch(1);
    return group;
}

QWidget* OptionsDialog::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("sTabSheet1"));

    m_skinGroupBox = new QGroupBox(page);
    m_skinGroupBox->setObjectName(QStringLiteral("SkinGroupBox"));
    m_skinComboBox = new QComboBox(m_skinGroupBox);
    m_skinComboBox->setObjectName(QStringLiteral("SkinComboBox"));
    m_skinComboBox->setMaxVisibleItems(20);
    (new QVBoxLayout(m_skinGroupBox))->addWidget(m_skinComboBox);

    m_saveGroupeBox = makeRadioGroup(page, "SaveGroupeBox");

    m_languageGroupBox = new QGroupBox(page);
    m_languageGroupBox->setObjectName(QStringLiteral("LanguageGroupBox"));
    m_langComboBox = new QComboBox(m_languageGroupBox);
    m_langComboBox->setObjectName(QStringLiteral("LangComboBox"));
    (new QVBoxLayout(m_languageGroupBox))->addWidget(m_langComboBox);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_skinGroupBox);
    layout->addWidget(m_saveGroupeBox.box);
    layout->addWidget(m_languageGroupBox);
    layout->addStretch(1);
    return page;
}

QWidget* OptionsDialog::buildEditorPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("sTabSheet2"));
    m_keyTypeGroup = makeRadioGroup(page, "KeyTypeGroup");
    m_codeGroup = makeRadioGroup(page, "CodeGroup");

    m_speedGroupBox = new QGroupBox(page);
    m_speedGroupBox->setObjectName(QStringLiteral("SpeedGroupBox"));
    m_speedCheckBox = new QCheckBox(m_speedGroupBox);
    m_speedCheckBox->setObjectName(QStringLiteral("SpeedCheckBox"));
    (new QVBoxLayout(m_speedGroupBox))->addWidget(m_speedCheckBox);

    m_crcRadioGroup = new QGroupBox(page);
    m_crcRadioGroup->setObjectName(QStringLiteral("CrcRadioGroup"));
    m_crcCheckBox = new QCheckBox(m_crcRadioGroup);
    m_crcCheckBox->setObjectName(QStringLiteral("CrcCheckBox"));
    (new QVBoxLayout(m_crcRadioGroup))->addWidget(m_crcCheckBox);

    auto* layout = new QGridLayout(page);
    layout->addWidget(m_keyTypeGroup.box, 0, 0);
    layout->addWidget(m_codeGroup.box, 0, 1);
    layout->addWidget(m_speedGroupBox, 1, 0);
    layout->addWidget(m_crcRadioGroup, 1, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
    return page;
}

QWidget* OptionsDialog::buildFontPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("sTabSheet3"));
    m_fontGroupBox = new QGroupBox(page);
    m_fontGroupBox->setObjectName(QStringLiteral("FontGroupBox"));

    const auto makeList = [this](const char* name) {
        auto* list = new QListWidget(m_fontGroupBox);
        list->setObjectName(QString::fromLatin1(name));
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return list;
    };
    const auto makeLabel = [this](const char* name, QListWidget* buddy) {
        auto* label = new QLabel(m_fontGroupBox);
        label->setObjectName(QString::fromLatin1(name));
        label->setBuddy(buddy);
        return label;
    };
    m_nameFontListBox = makeList("NameFontListBox");
    m_typeFontListBox = makeList("TypeFontListBox");
    m_sizeFontsListBox = makeList("SizeFontsListBox");
    m_nameFontLabel = makeLabel("NameFontLabel", m_nameFontListBox);
    m_typeFontLabel = makeLabel("TypeFontLabel", m_typeFontListBox);
    m_sizeFontsLabel = makeLabel("SizeFontsLabel", m_sizeFontsListBox);
    for (const int size : kFontSizes)
        m_sizeFontsListBox->addItem(QString::number(size));

    // The style and size lists are as wide as their items; the names take the rest.
    const QFontMetrics metrics = fontMetrics();
    const int margins = 3 * metrics.averageCharWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_nameFontListBox->setMinimumWidth(24 * metrics.averageCharWidth() + margins);
    m_typeFontListBox->setFixedWidth(
        widestText(metrics, "OptionsDialog", {kStyleItems[0], kStyleItems[1], kStyleItems[2], kStyleItems[3]}) +
        margins);
    m_sizeFontsListBox->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("888")) + margins);
    m_nameFontListBox->setMinimumHeight(12 * metrics.height());

    auto* grid = new QGridLayout(m_fontGroupBox);
    grid->addWidget(m_nameFontLabel, 0, 0);
    grid->addWidget(m_typeFontLabel, 0, 1);
    grid->addWidget(m_sizeFontsLabel, 0, 2);
    grid->addWidget(m_nameFontListBox, 1, 0);
    grid->addWidget(m_typeFontListBox, 1, 1);
    grid->addWidget(m_sizeFontsListBox, 1, 2);
    grid->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_fontGroupBox);
    return page;
}

void OptionsDialog::ShowOptions() {
    if (isOpen())
        return;
    // 1.
    DialogSettings = settings();
    OptionsOpenSkin = settings().skinIndex();
    OptionsOpenLanguage = settings().languageSetting();
    // 2-5.
    SetOptionCaptions();
    fillSkinList();
    selectButton(m_saveGroupeBox.buttons, int(DialogSettings.savePolicy()));
    fillLanguageList();
    // 6-7.
    selectGridFont();
    OptionsOpenFont = {settings().gridFontName(), settings().gridFontStyle(), settings().gridFontSize()};
    // 8.
    selectButton(m_keyTypeGroup.buttons, DialogSettings.keyTypeView());
    selectButton(m_codeGroup.buttons, DialogSettings.keyCodeView());
    m_speedCheckBox->setChecked(DialogSettings.emSpeedVisible());
    m_crcCheckBox->setChecked(DialogSettings.dallasCrcVisible());
    m_programPage->showOptions(programOptions());
    // 9.
    m_overHost.open(m_host.hostWindow());
    FormShow();
}

void OptionsDialog::SetOptionCaptions() {
    const UiLanguage language = ChooseLanguage(DialogSettings.languageSetting());
    const auto text = [language](const char* english) { return translateIn(language, "OptionsDialog", english); };
    setWindowTitle(text(QT_TRANSLATE_NOOP("OptionsDialog", "Options")));
    m_okButton->setText(text(QT_TRANSLATE_NOOP("OptionsDialog", "OK")));
    m_cancelButton->setText(text(QT_TRANSLATE_NOOP("OptionsDialog", "Cancel")));
    m_optionPage->setTabText(0, text(QT_TRANSLATE_NOOP("OptionsDialog", "Preferens")));
    m_optionPage->setTabText(1, text(QT_TRANSLATE_NOOP("OptionsDialog", "Editor")));
    m_optionPage->setTabText(2, text(QT_TRANSLATE_NOOP("OptionsDialog", "Font")));
    m_optionPage->setTabText(3, ProgramOptionsPage::title(language));
    m_programPage->setTexts(language);
    m_skinGroupBox->setTitle(text(QT_TRANSLATE_NOOP("OptionsDialog", "Skin:")));
    m_languageGroupBox->setTitle(text(QT_TRANSLATE_NOOP("OptionsDialog", "Language:")));
    m_saveGroupeBox.box->setTitle(text(QT_TRANSLATE_NOOP("OptionsDialog", "Saving of the changed files:")));
    m_keyTypeGroup.box->setTitle(text(QT_TRANSLATE_NOOP("OptionsDialog", "Key type:")));
    m_codeGroup.box->setTitle(text(QT_TRANSLATE_NOOP("OptionsDialog", "Key code:")));
    m_speedGroupBox->setTitle(text(QT_TRANSLATE_NOOP("OptionsDialog", "Speed EM410x")));
    m_crcRadioGroup->setTitle(text(QT_TRANSLATE_NOOP("OptionsDialog", "CRC DS1990A")));
    m_speedCheckBox->setText(text(QT_TRANSLATE_NOOP("OptionsDialog", "Visible")));
    m_crcCheckBox->setText(text(QT_TRANSLATE_NOOP("OptionsDialog", "Visible")));
    m_fontGroupBox->setTitle(text(QT_TRANSLATE_NOOP("OptionsDialog", "Font propertes")));
    m_nameFontLabel->setText(text(QT_TRANSLATE_NOOP("OptionsDialog", "Name:")));
    m_typeFontLabel->setText(text(QT_TRANSLATE_NOOP("OptionsDialog", "Style:")));
    m_sizeFontsLabel->setText(text(QT_TRANSLATE_NOOP("OptionsDialog", "Size:")));

    // The radio groups and the style list are filled anew, which leaves them without a choice.
    for (int i = 0; i < 3; ++i) {
        m_saveGroupeBox.items[i]->setText(text(kSaveItems[i]));
        m_keyTypeGroup.items[i]->setText(text(kViewItems[i]));
        m_codeGroup.items[i]->setText(text(kViewItems[i]));
    }
    for (const RadioGroup* group : {&m_saveGroupeBox, &m_keyTypeGroup, &m_codeGroup})
        selectButton(group->buttons, -1);
    const QSignalBlocker block(m_typeFontListBox);
    m_typeFontListBox->clear();
    for (const char* style : kStyleItems)
        m_typeFontListBox->addItem(text(style));
}

void OptionsDialog::selectEditorChoices() {
    selectButton(m_saveGroupeBox.buttons, int(DialogSettings.savePolicy()));
    selectButton(m_keyTypeGroup.buttons, DialogSettings.keyTypeView());
    selectButton(m_codeGroup.buttons, DialogSettings.keyCodeView());
    m_speedCheckBox->setChecked(DialogSettings.emSpeedVisible());
    m_crcCheckBox->setChecked(DialogSettings.dallasCrcVisible());
}

void OptionsDialog::fillSkinList() {
    m_skinNames = m_host.skinNames();
    const QSignalBlocker block(m_skinComboBox);
    m_skinComboBox->clear();
    // The program's language, not the dialog's: the list is made once per opening.
    m_skinComboBox->addItem(translate("OptionsSkinList", "Disabled"));
    for (const QString& name : m_skinNames)
        m_skinComboBox->addItem(m_host.skinListName(name));
    const int position = DialogSettings.skinIndex();
    m_skinComboBox->setCurrentIndex(position >= 0 && position < m_skinComboBox->count() ? position : -1);
}

void OptionsDialog::fillLanguageList() {
    const UiLanguage language = ChooseLanguage(DialogSettings.languageSetting());
    const QSignalBlocker block(m_langComboBox);
    m_langComboBox->clear();
    for (const char* item : kLanguageItems)
        m_langComboBox->addItem(translateIn(language, "OptionsDialog", item));
    const int position = int(DialogSettings.languageSetting());
    m_langComboBox->setCurrentIndex(position >= 0 && position < m_langComboBox->count() ? position : -1);
}

void OptionsDialog::fillFontNames() {
    const QStringList families = storableFontFamilies();
    QStringList shown;
    for (int i = 0; i < m_nameFontListBox->count(); ++i)
        shown << m_nameFontListBox->item(i)->text();
    if (shown == families)
        return;
    const QSignalBlocker block(m_nameFontListBox);
    m_nameFontListBox->clear();
    m_nameFontListBox->addItems(families);
}

void OptionsDialog::selectGridFont() {
    fillFontNames();
    const QFont font = m_host.gridFont();
    const auto rowOf = [this](const QString& family) {
        for (int i = 0; i < m_nameFontListBox->count(); ++i) {
            if (m_nameFontListBox->item(i)->text().compare(family, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    };
    int nameRow = rowOf(font.family());
    // A family not installed here (Tahoma of the default settings on most Linux systems): the face
    // the grid shows in its place, which the settings keep unchanged until a name is chosen.
    if (nameRow < 0)
        nameRow = rowOf(QFontInfo(font).family());
    selectRow(m_nameFontListBox, nameRow);
    const FontStyle style = font.bold() ? (font.italic() ? FontStyle::BoldItalic : FontStyle::Bold)
                                        : (font.italic() ? FontStyle::Italic : FontStyle::Regular);
    selectRow(m_typeFontListBox, int(style));
    const auto size = std::find(kFontSizes.begin(), kFontSizes.end(), font.pointSize());
    selectRow(m_sizeFontsListBox, size == kFontSizes.end() ? -1 : int(size - kFontSizes.begin()));
}

void OptionsDialog::LangComboBoxChange(int position) {
    if (!isOpen() || position < 0)
        return;
    DialogSettings.setLanguageSetting(LanguageSetting(position));
    SetOptionCaptions();
    // The Editor page shows the copy's values again, which OK alone writes into the copy: a change
    // of language takes back what was changed there in this opening.
    selectEditorChoices();
}

void OptionsDialog::SkinComboBoxChange(int position) {
    if (!isOpen() || position < 0)
        return;
    DialogSettings.setSkinIndex(position);
    m_host.showSkin(skinNameAt(position));
    // Shown again, the dialog is drawn in the new skin from its frame inwards.
    eventPump().processEvents();
    const QRect place = geometry();
    hide();
    eventPump().processEvents();
    setGeometry(place);
    show();
    activateWindow();
    m_skinComboBox->setFocus(Qt::OtherFocusReason);
}

void OptionsDialog::NameFontListBoxClick() {
    const int row = selectedRow(m_nameFontListBox);
    if (!isOpen() || row < 0)
        return;
    const QByteArray name = toCp1251(m_nameFontListBox->item(row)->text()).left(Settings::kMaxFontNameLength);
    settings().setGridFontName(name);
    DialogSettings.setGridFontName(name);
    m_host.RefreshView();
}

void OptionsDialog::TypeFontListBoxClick() {
    const int row = selectedRow(m_typeFontListBox);
    if (!isOpen() || row < 0)
        return;
    settings().setGridFontStyle(FontStyle(row));
    DialogSettings.setGridFontStyle(FontStyle(row));
    m_host.RefreshView();
}

void OptionsDialog::SizeFontsListBoxClick() {
    const int row = selectedRow(m_sizeFontsListBox);
    if (!isOpen() || row < 0)
        return;
    bool number = false;
    const int size = m_sizeFontsListBox->item(row)->text().toInt(&number);
    if (!number)
        return;
    settings().setGridFontSize(size);
    DialogSettings.setGridFontSize(size);
    m_host.RefreshView();
}

void OptionsDialog::copyChoices(const Settings& from, Settings& to) {
    to.setLanguageSetting(from.languageSetting());
    to.setSkinIndex(from.skinIndex());
    to.setSavePolicy(from.savePolicy());
    to.setKeyTypeView(from.keyTypeView());
    to.setKeyCodeView(from.keyCodeView());
    to.setEmSpeedVisible(from.emSpeedVisible());
    to.setDallasCrcVisible(from.dallasCrcVisible());
    to.setGridFontName(from.gridFontName());
    to.setGridFontStyle(from.gridFontStyle());
    to.setGridFontSize(from.gridFontSize());
}

void OptionsDialog::OkButtonClick() {
    if (!isOpen())
        return;
    // 1. A group left without a choice (its stored value named no item) keeps that value.
    if (const int item = m_saveGroupeBox.buttons->checkedId(); item >= 0)
        DialogSettings.setSavePolicy(SavePolicy(item));
    if (const int item = m_keyTypeGroup.buttons->checkedId(); item >= 0)
        DialogSettings.setKeyTypeView(item);
    if (const int item = m_codeGroup.buttons->checkedId(); item >= 0)
        DialogSettings.setKeyCodeView(item);
    DialogSettings.setEmSpeedVisible(m_speedCheckBox->isChecked());
    DialogSettings.setDallasCrcVisible(m_crcCheckBox->isChecked());
    if (const int position = m_langComboBox->currentIndex(); position >= 0)
        DialogSettings.setLanguageSetting(LanguageSetting(position));
    // 2. Only the dialog's own fields: what changed in the settings meanwhile (the model of a
    // programmer plugged in while the dialog was open) stays.
    copyChoices(DialogSettings, settings());
    // 3-5.
    FormClose();
    setUiLanguage(ChooseLanguage(settings().languageSetting()));
    // The user asked for the options to be kept: a file that cannot be written is told, not
    // passed over. They stay in force, and the program's close tries the file again.
    if (!SaveSettings())
        ReportFileError(FileErrorWrite, appPaths().configFile());
    m_programPage->storeOptions(programOptions());
    if (!SaveProgramOptions())
        ReportFileError(FileErrorWrite, programOptionsFile());
    // 6-7.
    if (settings().languageSetting() != OptionsOpenLanguage)
        m_host.ApplyInterfaceTexts();
    m_host.RefreshView();
}

void OptionsDialog::CancelButtonClick() {
    if (!isOpen())
        return;
    if (DialogSettings.skinIndex() != OptionsOpenSkin)
        m_host.showSkin(skinNameAt(OptionsOpenSkin));
    Settings& s = settings();
    s.setGridFontName(OptionsOpenFont.name);
    s.setGridFontStyle(OptionsOpenFont.style);
    s.setGridFontSize(OptionsOpenFont.size);
    FormClose();
    m_host.RefreshView();
}

QString OptionsDialog::skinNameAt(int skinIndex) const {
    // As at start-up: a number past the list switches skinning off.
    return skinIndex >= 1 && skinIndex <= m_skinNames.size() ? m_skinNames.at(skinIndex - 1) : QString();
}

void OptionsDialog::closeIfOpen() {
    CancelButtonClick();
}

void OptionsDialog::reject() {
    CancelButtonClick();
}

void OptionsDialog::closeEvent(QCloseEvent* event) {
    // The close box neither stores nor takes back: a previewed font stays in the settings.
    FormClose();
    event->accept();
}

void OptionsDialog::FormShow() {
    m_overHost.show();
}

void OptionsDialog::FormClose() {
    m_overHost.close();
}

} // namespace tervane
