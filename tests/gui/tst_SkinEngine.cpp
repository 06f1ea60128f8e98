#include "TestEnvironment.h"

#include "ui/CommandIcons.h"
#include "ui/SkinEngine.h"
#include "ui/WidgetPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

using namespace tervane;

namespace {

const QStringList kBuiltIn = {
    "Acryl",       "Beijing",    "BlueGauze",      "BlueGlass",  "BlueIce",          "BluePlastic",
    "Calcium",     "Cappuccino", "Cold",           "DarkGlass",  "Elegant",          "Golden",
    "GrayPlastic", "Ledenets",   "LikeOperaStyle", "LongHorn",   "MacMetal",         "MacOS",
    "Neutral",     "Neutral2",   "NextAlpha",      "Office2003", "Office2007 Black", "Office2007 Blue",
    "Opus",        "Pulsar",     "Snow Leopard",   "Steam",      "TheFrog",          "Topaz",
    "TV-b",        "Vista",      "Winter2003",     "WLM",        "WMP 2008",         "WMP11",
    "Wood",        "XPLuna",     "XPSilver",
};

const QString kAlphaSheet = QStringLiteral("QPushButton { color: #123456; }");

bool writeText(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    return test::writeFileBytes(path, text.toUtf8());
}

// WCAG contrast ratio of two colours.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The style the application draws with now. A style sheet wraps it in a style without a name,
// but that one still hands out the wrapped style's standard palette.
QString baseStyleName() {
    const QStyle* style = QApplication::style();
    if (!style->name().isEmpty())
        return style->name().toLower();
    for (const QString& key : QStyleFactory::keys()) {
        const std::unique_ptr<QStyle> probe(QStyleFactory::create(key));
        if (probe && probe->standardPalette() == style->standardPalette())
            return key.toLower();
    }
    return {};
}

// Runs act on the first modal widget of type T once the dialog's own event loop shows it.
template <typename T> void whenModal(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(widget);
        }
    });
    timer->start();
}

} // namespace

class tst_SkinEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsBuiltInAndFolderSkinsSorted();
    void defaultFoldersAreSearched();
    void applySkinIndex_data();
    void applySkinIndex();
    void setSkinWaitsForEnabling();
    void folderSkinAppliesItsSheet();
    void builtInSkinsAreReadable_data();
    void builtInSkinsAreReadable();
    void builtInSkinsLookDifferent();
    void listName_data();
    void listName();

    void iconsAreDrawn();

    void fileFilter_data();
    void fileFilter();
    void messageButtons_data();
    void messageButtons();
    void saveDialogAppliesRequest();

private:
    QStringList folders() const { return {m_dir->filePath("program/Skins"), m_dir->filePath("user/Skins")}; }

    std::unique_ptr<QTemporaryDir> m_dir;
    QPalette m_platformPalette;
};

void tst_SkinEngine::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    // The offscreen platform already draws with Fusion; a different platform style shows that
    // "off" really gives it back.
    QApplication::setStyle(QStyleFactory::create("Windows"));
    QCOMPARE(baseStyleName(), QString("windows"));
    m_platformPalette = QApplication::palette();
}

void tst_SkinEngine::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(writeText(m_dir->filePath("program/Skins/alpha.qss"), kAlphaSheet));
    QVERIFY(writeText(m_dir->filePath("program/Skins/Zebra.qss"), "QLabel { color: red; }"));
    QVERIFY(writeText(m_dir->filePath("program/Skins/readme.txt"), "not a skin"));
    // The same names again: the earlier folder and the built-in skins win.
    QVERIFY(writeText(m_dir->filePath("user/Skins/Zebra.qss"), "QLabel { color: blue; }"));
    QVERIFY(writeText(m_dir->filePath("user/Skins/Acryl (internal).qss"), "QLabel { color: green; }"));
    QVERIFY(writeText(m_dir->filePath("user/Skins/Office.Night.qss"), "QLabel { color: gray; }"));
}

void tst_SkinEngine::cleanup() {
    SkinEngine(folders()).setEnabled(false);
    QCOMPARE(baseStyleName(), QString("windows"));
    QCOMPARE(qApp->styleSheet(), QString());
    QCOMPARE(QApplication::palette().color(QPalette::Window), m_platformPalette.color(QPalette::Window));
    // The bands have no palette of their own left either.
    QCOMPARE(QApplication::palette("QToolBar").color(QPalette::Window), m_platformPalette.color(QPalette::Window));
    QVERIFY(!QCoreApplication::testAttribute(Qt::AA_SetPalette));
}

void tst_SkinEngine::listsBuiltInAndFolderSkinsSorted() {
    QStringList expected;
    for (const QString& name : kBuiltIn)
        expected.append(name + " (internal)");
    expected << "alpha"
             << "Office.Night"
             << "Zebra";
    std::sort(expected.begin(), expected.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });

    const QStringList names = SkinEngine(folders()).skinNames();
    QCOMPARE(names, expected);
    QCOMPARE(names.at(1), QString("alpha"));
    QCOMPARE(names.last(), QString("Zebra"));
    QCOMPARE(SkinEngine::builtInNames().size(), 39);
    QCOMPARE(SkinEngine(QStringList{}).skinNames(), SkinEngine::builtInNames());
}

void tst_SkinEngine::defaultFoldersAreSearched() {
    test::TestEnvironment env;
    QVERIFY(writeText(env.paths.programFolder() + "/Skins/Portable.qss", "QLabel { color: red; }"));
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Skins";
    QVERIFY(writeText(userFolder + "/Personal.qss", "QLabel { color: red; }"));

    const QStringList names = SkinEngine().skinNames();
    QDir(userFolder).removeRecursively();
    QVERIFY(names.contains("Portable"));
    QVERIFY(names.contains("Personal"));
    QCOMPARE(names.size(), 41);
}

void tst_SkinEngine::applySkinIndex_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("skin"); // empty: skinning off

    QTest::newRow("zero is off") << 0 << QString();
    QTest::newRow("negative is off") << -3 << QString();
    QTest::newRow("first") << 1 << "Acryl (internal)";
    QTest::newRow("a folder skin") << 2 << "alpha";
    QTest::newRow("second built-in") << 3 << "Beijing (internal)";
    QTest::newRow("last") << 42 << "Zebra";
    QTest::newRow("one past the list is off") << 43 << QString();
    QTest::newRow("far past the list is off") << 1000 << QString();
}

void tst_SkinEngine::applySkinIndex() {
    QFETCH(int, index);
    QFETCH(QString, skin);

    SkinEngine engine(folders());
    // Start from a skin in force, so that "off" has something to undo.
    QVERIFY(engine.setSkin("Steam (internal)"));
    engine.setEnabled(true);
    QCOMPARE(baseStyleName(), QString("fusion"));

    engine.applySkinIndex(index);
    QCOMPARE(engine.isEnabled(), !skin.isEmpty());
    if (skin.isEmpty()) {
        QCOMPARE(baseStyleName(), QString("windows"));
        QCOMPARE(qApp->styleSheet(), QString());
        QCOMPARE(QApplication::palette().color(QPalette::Base), m_platformPalette.color(QPalette::Base));
    } else {
        QCOMPARE(engine.currentSkin(), skin);
        QCOMPARE(baseStyleName(), QString("fusion"));
        const bool builtIn = skin.endsWith(" (internal)");
        QCOMPARE(qApp->styleSheet().isEmpty(), builtIn);
        QVERIFY(QApplication::palette().color(QPalette::Window) != QColor(0x4c, 0x58, 0x44)); // Steam's
        if (!builtIn) // a skin file colours the bands as the rest, not as Steam did
            QCOMPARE(QApplication::palette("QStatusBar").color(QPalette::Window),
                     QApplication::palette().color(QPalette::Window));
    }
}

void tst_SkinEngine::setSkinWaitsForEnabling() {
    SkinEngine engine(folders());
    QVERIFY(!engine.setSkin("Acryl"));
    QVERIFY(!engine.setSkin("readme"));
    QVERIFY(engine.currentSkin().isEmpty());

    QVERIFY(engine.setSkin("DarkGlass (internal)"));
    QCOMPARE(baseStyleName(), QString("windows")); // chosen, not yet shown
    engine.setEnabled(true);
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(0x2b, 0x2f, 0x36));

    QVERIFY(!engine.setSkin("Nothing (internal)"));
    QCOMPARE(engine.currentSkin(), QString("DarkGlass (internal)"));
    QVERIFY(engine.setSkin("Wood (internal)")); // while on, shown at once
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(0xd9, 0xb9, 0x8f));

    engine.setEnabled(false);
    QVERIFY(!engine.isEnabled());
    engine.setEnabled(true); // the chosen skin comes back
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(0xd9, 0xb9, 0x8f));
}

void tst_SkinEngine::folderSkinAppliesItsSheet() {
    SkinEngine engine(folders());
    engine.applySkinIndex(int(engine.skinNames().indexOf("alpha")) + 1);
    QCOMPARE(qApp->styleSheet(), kAlphaSheet);
    QPushButton button("x");
    button.ensurePolished();
    QCOMPARE(button.palette().color(QPalette::ButtonText), QColor(0x12, 0x34, 0x56));

    // The file of the earlier folder wins over a namesake.
    QVERIFY(engine.setSkin("Zebra"));
    QCOMPARE(qApp->styleSheet(), QString("QLabel { color: red; }"));

    // A skin file edited on disk is read again when chosen again.
    QVERIFY(writeText(m_dir->filePath("program/Skins/alpha.qss"), "QLabel { color: #abcdef; }"));
    QVERIFY(engine.setSkin("alpha"));
    QCOMPARE(qApp->styleSheet(), QString("QLabel { color: #abcdef; }"));

    // One that has gone away cannot be chosen, and the skin in force stays.
    QVERIFY(QFile::remove(m_dir->filePath("program/Skins/Zebra.qss")));
    QVERIFY(engine.setSkin("Zebra")); // now the user folder's file
    QCOMPARE(qApp->styleSheet(), QString("QLabel { color: blue; }"));
    QVERIFY(QFile::remove(m_dir->filePath("user/Skins/Zebra.qss")));
    QVERIFY(!engine.setSkin("Zebra"));
    QCOMPARE(qApp->styleSheet(), QString("QLabel { color: blue; }"));
}

void tst_SkinEngine::builtInSkinsAreReadable_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : kBuiltIn)
        QTest::newRow(qPrintable(name)) << name + " (internal)";
}

void tst_SkinEngine::builtInSkinsAreReadable() {
    QFETCH(QString, name);
    SkinEngine engine(QStringList{});
    QVERIFY(engine.setSkin(name));
    engine.setEnabled(true);
    const QPalette p = QApplication::palette();
    const struct {
        QPalette::ColorRole text, background;
    } pairs[] = {
        {QPalette::WindowText, QPalette::Window},         {QPalette::Text, QPalette::Base},
        {QPalette::Text, QPalette::AlternateBase},        {QPalette::ButtonText, QPalette::Button},
        {QPalette::HighlightedText, QPalette::Highlight}, {QPalette::ToolTipText, QPalette::ToolTipBase},
    };
    for (const auto& pair : pairs) {
        const double ratio = contrast(p.color(pair.text), p.color(pair.background));
        QVERIFY2(
            ratio >= 4.5,
            qPrintable(QString("roles %1/%2: contrast %3").arg(int(pair.text)).arg(int(pair.background)).arg(ratio)));
    }
    // The bands and what they hold take the bands' colours, readable too.
    QStatusBar status;
    auto* panel = new QLabel("Used: -", &status);
    QToolBar band;
    auto* button = new QToolButton(&band);
    status.ensurePolished(); // as showing them does
    band.ensurePolished();
    QCOMPARE(panel->palette().color(QPalette::WindowText), band.palette().color(QPalette::WindowText));
    QCOMPARE(button->palette().color(QPalette::ButtonText), band.palette().color(QPalette::WindowText));
    QVERIFY(band.palette().color(QPalette::Window) != p.color(QPalette::Window));
    QVERIFY(contrast(band.palette().color(QPalette::WindowText), band.palette().color(QPalette::Window)) >= 4.5);
    QCOMPARE(qApp->styleSheet(), QString());
}

void tst_SkinEngine::builtInSkinsLookDifferent() {
    SkinEngine engine(QStringList{});
    QSet<QString> looks;
    int dark = 0;
    for (const QString& name : SkinEngine::builtInNames()) {
        QVERIFY(engine.setSkin(name));
        engine.setEnabled(true);
        const QPalette p = QApplication::palette();
        looks.insert(p.color(QPalette::Window).name() + p.color(QPalette::Highlight).name() +
                     QApplication::palette("QToolBar").color(QPalette::Window).name());
        if (p.color(QPalette::Window).lightnessF() < 0.5)
            ++dark;
    }
    QCOMPARE(looks.size(), 39);
    QVERIFY(dark > 0);
    QVERIFY(dark < 39 / 2);
}

void tst_SkinEngine::listName_data() {
    QTest::addColumn<QString>("fullName");
    QTest::addColumn<QString>("shown");
    QTest::newRow("built-in") << "Acryl (internal)"
                              << "Acryl";
    QTest::newRow("built-in with a blank") << "WMP 2008 (internal)"
                                           << "WMP 2008";
    QTest::newRow("file") << "Zebra"
                          << "Zebra";
    QTest::newRow("cut at the first parenthesis") << "Night (dark) (v2)"
                                                  << "Night";
}

void tst_SkinEngine::listName() {
    QFETCH(QString, fullName);
    QFETCH(QString, shown);
    QCOMPARE(SkinEngine::listName(fullName), shown);
}

void tst_SkinEngine::iconsAreDrawn() {
    // The band's and the tree's pictures at 32 come from the worker thread; the window's own
    // picture, and every other size, is drawn on the spot.
    drawIconsAhead(32, 32);
    QList<QIcon> icons;
    for (int id = int(CommandIconId::New); id <= int(CommandIconId::ShortView); ++id)
        icons.append(commandIcon(CommandIconId(id)));
    for (int index = TreeFolderImage; index <= TreeFileImage; ++index)
        icons.append(treeIcon(index));
    icons.append(appIcon());
    QCOMPARE(icons.size(), 19);

    QSet<QByteArray> images;
    for (const QIcon& icon : icons) {
        const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(32, 32));
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128;
        QVERIFY2(opaque > 100, "a picture is (nearly) empty");
        images.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        QCOMPARE(icon.pixmap(48, 48).size(), QSize(48, 48));
    }
    QCOMPARE(images.size(), icons.size());
    QVERIFY(treeIcon(3).isNull());
    QVERIFY(treeIcon(-1).isNull());
}

void tst_SkinEngine::fileFilter_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");
    QTest::newRow("plain pair") << "DataBase|*.dir"
                                << "DataBase (*.dir)";
    QTest::newRow("pattern in the description") << "DataBase (*.dir)|*.dir"
                                                << "DataBase (*.dir)";
    QTest::newRow("description's pattern is replaced") << "VIZIT_DM  (*.viz)|*.viz;*.VIZ"
                                                       << "VIZIT_DM (*.viz *.VIZ)";
    QTest::newRow("two pairs") << "Bases|*.dir|All files|*.*"
                               << "Bases (*.dir);;All files (*)";
    QTest::newRow("no description") << "|*.dir"
                                    << "*.dir (*.dir)";
    QTest::newRow("description without pattern") << "Bases|*.dir|Anything"
                                                 << "Bases (*.dir);;Anything (*)";
    QTest::newRow("trailing bar") << "Bases|*.dir|"
                                  << "Bases (*.dir)";
    QTest::newRow("already Qt's form") << "DataBase (*.dir)"
                                       << "DataBase (*.dir)";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_SkinEngine::fileFilter() {
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(QtFileFilter(filter), qt);
}

void tst_SkinEngine::messageButtons_data() {
    QTest::addColumn<bool>("russian");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("texts"); // the buttons shown, in any order
    QTest::addColumn<QString>("click");     // empty: press Escape
    QTest::addColumn<int>("answer");

    QTest::newRow("yes no cancel, Russian") << true << (ButtonYes | ButtonNo | ButtonCancel)
                                            << QStringList{"Да", "Нет", "Отмена"} << "Нет" << int(ButtonNo);
    QTest::newRow("retry cancel, Russian") << true << (ButtonRetry | ButtonCancel) << QStringList{"Повторить", "Отмена"}
                                           << "Повторить" << int(ButtonRetry);
    QTest::newRow("retry cancel, English")
        << false << (ButtonRetry | ButtonCancel) << QStringList{"Retry", "Cancel"} << QString() << int(ButtonCancel);
    QTest::newRow("yes no, Escape is no")
        << false << (ButtonYes | ButtonNo) << QStringList{"Yes", "No"} << QString() << int(ButtonNo);
    QTest::newRow("ok, Russian") << true << int(ButtonOk) << QStringList{"OK"} << QString() << int(ButtonOk);
    QTest::newRow("no buttons asked: OK") << false << 0 << QStringList{"OK"} << "OK" << int(ButtonOk);
}

void tst_SkinEngine::messageButtons() {
    QFETCH(bool, russian);
    QFETCH(int, buttons);
    QFETCH(QStringList, texts);
    QFETCH(QString, click);
    QFETCH(int, answer);

    setUiLanguage(russian ? UiLanguage::Russian : UiLanguage::English);
    QStringList shown;
    QString caption, text;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        caption = box->windowTitle();
        text = box->text();
        QAbstractButton* target = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            shown.append(button->text());
            if (button->text() == click)
                target = button;
        }
        if (target)
            target->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    const PromptButton result = WidgetPrompts().message(PromptIcon::Question, "Tervane", "Save?", buttons);
    setUiLanguage(UiLanguage::English);

    QCOMPARE(caption, QString("Tervane"));
    QCOMPARE(text, QString("Save?"));
    shown.sort();
    texts.sort();
    QCOMPARE(shown, texts);
    QCOMPARE(int(result), answer);
}

void tst_SkinEngine::saveDialogAppliesRequest() {
    FileDialogRequest request;
    request.filter = "DataBase (*.dir)|*.dir";
    request.defaultSuffix = ".dir";
    request.startFolder = m_dir->path();
    request.fileName = "Old name";
    request.confirmOverwrite = true;

    QStringList filters;
    QString folder;
    bool confirms = false;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        folder = dialog->directory().absolutePath();
        confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->selectFile("base");
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<QString> path = WidgetPrompts().saveFile(request);

    QCOMPARE(filters, QStringList{"DataBase (*.dir)"});
    QCOMPARE(folder, QDir(m_dir->path()).absolutePath());
    QVERIFY(confirms);
    QVERIFY(path.has_value());
    QCOMPARE(*path, QDir(m_dir->path()).absoluteFilePath("base.dir"));

    whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!WidgetPrompts().openFile(request).has_value());
}

QTEST_MAIN(tst_SkinEngine)
#include "tst_SkinEngine.moc"
