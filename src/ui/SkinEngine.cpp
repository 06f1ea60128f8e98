#include "ui/SkinEngine.h"

#include "seams/AppPaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <algorithm>
#include <memory>

namespace tervane {
namespace {

const QString kInternalSuffix = QStringLiteral(" (internal)");
const QString kSkinBaseStyle = QStringLiteral("Fusion");
// The bands that a built-in look colours apart from the rest of the window.
constexpr const char* kBarClasses[] = {"QMenuBar", "QToolBar", "QStatusBar"};

// One built-in look: the palette's main roles, plus the colours of the menu band, the command
// band and the status bar (their background is the middle of barTop and barBottom).
struct BuiltInSkin {
    const char* name;
    QRgb window, windowText, base, alternateBase, text, button, buttonText, highlight, highlightedText;
    QRgb barTop, barBottom, barText;
};

// Every pair of text and background here keeps a contrast ratio of at least 4.5.
constexpr BuiltInSkin kBuiltIn[] = {
    {"Acryl", 0xe4e9f0, 0x1b2430, 0xfbfcfe, 0xeef2f7, 0x1b2430, 0xd8e0ea, 0x1b2430, 0x4a75a8, 0xffffff, 0xf4f7fb,
     0xc9d4e2, 0x1b2430},
    {"Beijing", 0xf3e6d3, 0x3a1208, 0xfffaf2, 0xf8ecdc, 0x3a1208, 0xe8cfa9, 0x3a1208, 0xb3261e, 0xfff4d6, 0xb8281f,
     0x8e1a14, 0xffe7a3},
    {"BlueGauze", 0xe6eef8, 0x102a4c, 0xffffff, 0xeef4fb, 0x102a4c, 0xcfe0f3, 0x102a4c, 0x3470bb, 0xffffff, 0xf5f9fe,
     0xbfd6f0, 0x102a4c},
    {"BlueGlass", 0xcfdcec, 0x0b1f3a, 0xf4f8fd, 0xe3ecf7, 0x0b1f3a, 0xa9c3e3, 0x0b1f3a, 0x1f5fae, 0xffffff, 0x3a6fb3,
     0x1f4f92, 0xffffff},
    {"BlueIce", 0xeaf5fb, 0x0d3347, 0xffffff, 0xf0f8fc, 0x0d3347, 0xcde9f6, 0x0d3347, 0x217db0, 0xffffff, 0xffffff,
     0xc4e4f4, 0x0d3347},
    {"BluePlastic", 0xd6e4f5, 0x0a2240, 0xffffff, 0xe9f0fa, 0x0a2240, 0x9dbfe8, 0x0a2240, 0x1a5bb5, 0xffffff, 0xb9d3f3,
     0x6d9bd6, 0x0a2240},
    {"Calcium", 0xf4f4f2, 0x202020, 0xffffff, 0xf7f7f5, 0x202020, 0xe6e6e2, 0x202020, 0x637280, 0xffffff, 0xffffff,
     0xe2e2dd, 0x202020},
    {"Cappuccino", 0xeadcc8, 0x3b2414, 0xfbf6ee, 0xf3e8d8, 0x3b2414, 0xd8c0a0, 0x3b2414, 0x7b4a2a, 0xfff7ea, 0x8f6a46,
     0x5f3c22, 0xfff7ea},
    {"Cold", 0xdde3e8, 0x1e2a33, 0xf7f9fa, 0xe9eef1, 0x1e2a33, 0xc5d0d8, 0x1e2a33, 0x4f7488, 0xffffff, 0xeef2f5,
     0xaebdc8, 0x1e2a33},
    {"DarkGlass", 0x2b2f36, 0xe6e9ee, 0x1e2126, 0x262a30, 0xe6e9ee, 0x3a4049, 0xe6e9ee, 0x2f6fb8, 0xffffff, 0x4a515c,
     0x1c1f24, 0xe6e9ee},
    {"Elegant", 0xecebf0, 0x24212e, 0xffffff, 0xf4f3f7, 0x24212e, 0xd9d6e2, 0x24212e, 0x5a4a82, 0xffffff, 0x4b445c,
     0x2a2535, 0xeeeaf6},
    {"Golden", 0xf5ecd0, 0x3a2c05, 0xfffdf4, 0xfaf3dc, 0x3a2c05, 0xe8d18a, 0x3a2c05, 0x8c6508, 0xffffff, 0xf7dc7a,
     0xc99a1c, 0x3a2c05},
    {"GrayPlastic", 0xd9d9d9, 0x1a1a1a, 0xffffff, 0xececec, 0x1a1a1a, 0xc4c4c4, 0x1a1a1a, 0x5f6b78, 0xffffff, 0xeeeeee,
     0xa8a8a8, 0x1a1a1a},
    {"Ledenets", 0xfdeef4, 0x3d1030, 0xffffff, 0xfff5f9, 0x3d1030, 0xf9c9dc, 0x3d1030, 0xc2185b, 0xffffff, 0xffd6e7,
     0x9fe3c4, 0x3d1030},
    {"LikeOperaStyle", 0xe9e9e9, 0x222222, 0xffffff, 0xf3f3f3, 0x222222, 0xd6d6d6, 0x222222, 0xcc0f16, 0xffffff,
     0xfafafa, 0xcfcfcf, 0x222222},
    {"LongHorn", 0xe3e8ee, 0x14202c, 0xffffff, 0xeef2f6, 0x14202c, 0xcbd5e0, 0x14202c, 0x3a6b35, 0xffffff, 0x3d4a57,
     0x151b22, 0xe9eef3},
    {"MacMetal", 0xc8c8c8, 0x111111, 0xffffff, 0xeeeeee, 0x111111, 0xb4b4b4, 0x111111, 0x4e6e95, 0xffffff, 0xe3e3e3,
     0x9c9c9c, 0x111111},
    {"MacOS", 0xececec, 0x1d1d1f, 0xffffff, 0xf5f5f5, 0x1d1d1f, 0xe2e2e2, 0x1d1d1f, 0x2a62c9, 0xffffff, 0xf0f0f0,
     0xd2d2d2, 0x1d1d1f},
    {"Neutral", 0xe0ddd7, 0x2a2825, 0xfbfaf8, 0xefece7, 0x2a2825, 0xcfcbc3, 0x2a2825, 0x6e675c, 0xffffff, 0xece9e3,
     0xc3beb4, 0x2a2825},
    {"Neutral2", 0xd4d7d4, 0x222622, 0xf9faf9, 0xe8ebe8, 0x222622, 0xbfc4bf, 0x222622, 0x56685a, 0xffffff, 0xe5e8e5,
     0xaeb4ae, 0x222622},
    {"NextAlpha", 0xaaaaaa, 0x000000, 0xffffff, 0xe6e6e6, 0x000000, 0xbdbdbd, 0x000000, 0x555555, 0xffffff, 0xcfcfcf,
     0x8a8a8a, 0x000000},
    {"Office2003", 0xe3effd, 0x0a1f44, 0xffffff, 0xeef5fe, 0x0a1f44, 0xc3daf9, 0x0a1f44, 0xf5b548, 0x0a1f44, 0xdbe9fd,
     0x8fb3ea, 0x0a1f44},
    {"Office2007 Black", 0x464646, 0xf2f2f2, 0x303030, 0x3a3a3a, 0xf2f2f2, 0x5c5c5c, 0xf2f2f2, 0xfbd56a, 0x111111,
     0x5d5d5d, 0x2b2b2b, 0xf2f2f2},
    {"Office2007 Blue", 0xd5e4f6, 0x15428b, 0xffffff, 0xeef4fc, 0x0d2a5c, 0xbcd5f2, 0x15428b, 0xffd06b, 0x1d1d1d,
     0xe3efff, 0xafd2ff, 0x15428b},
    {"Opus", 0x2d2536, 0xece6f4, 0x1f1a26, 0x28212f, 0xece6f4, 0x40354d, 0xece6f4, 0x7a4cb2, 0xffffff, 0x4d3f5e,
     0x1f1a26, 0xece6f4},
    {"Pulsar", 0x1f2a33, 0xdcecf5, 0x151d24, 0x1b252d, 0xdcecf5, 0x2c3b47, 0xdcecf5, 0x1aa3c9, 0x05141c, 0x2f4150,
     0x11181e, 0x9fe4f7},
    {"Snow Leopard", 0xe8e8e8, 0x1a1a1a, 0xffffff, 0xf3f6fa, 0x1a1a1a, 0xdedede, 0x1a1a1a, 0x3470d0, 0xffffff, 0xe9e9e9,
     0xbdbdbd, 0x1a1a1a},
    {"Steam", 0x4c5844, 0xd8ded3, 0x3e4637, 0x46503e, 0xeff6ee, 0x5a6a50, 0xeff6ee, 0x958831, 0x000000, 0x4f5d46,
     0x353c2f, 0xe8da80},
    {"TheFrog", 0xe4f1dc, 0x173a10, 0xfbfff8, 0xeef7e8, 0x173a10, 0xc3e3b0, 0x173a10, 0x3a8526, 0xffffff, 0xbfe6a6,
     0x7cc25a, 0x0f2a09},
    {"Topaz", 0xdcefee, 0x0f3533, 0xffffff, 0xeaf6f5, 0x0f3533, 0xb6dedb, 0x0f3533, 0x1b7a75, 0xffffff, 0xbfe7e4,
     0x5fb8b2, 0x0f3533},
    {"TV-b", 0x202020, 0xe0e0e0, 0x141414, 0x1c1c1c, 0xe0e0e0, 0x333333, 0xe0e0e0, 0xb0501a, 0xffffff, 0x3a3a3a,
     0x121212, 0xe0e0e0},
    {"Vista", 0xf0f0f0, 0x1e1e1e, 0xffffff, 0xf5f9fd, 0x1e1e1e, 0xe3e9f0, 0x1e1e1e, 0x1e6fc7, 0xffffff, 0x263e5a,
     0x0b1a2b, 0xffffff},
    {"Winter2003", 0xeef3f8, 0x1c2b3a, 0xffffff, 0xf4f8fc, 0x1c2b3a, 0xd6e2ee, 0x1c2b3a, 0x4f739c, 0xffffff, 0xffffff,
     0xc9d8e8, 0x1c2b3a},
    {"WLM", 0xeaf3fb, 0x1b3554, 0xffffff, 0xf1f7fd, 0x1b3554, 0xd0e6f8, 0x1b3554, 0x2a78b8, 0xffffff, 0xc8e4fb,
     0x7fb8e8, 0x1b3554},
    {"WMP 2008", 0x1c2430, 0xdfe8f2, 0x0f151d, 0x161d27, 0xdfe8f2, 0x2a3646, 0xdfe8f2, 0x2a72bd, 0xffffff, 0x34465c,
     0x0d131a, 0xdfe8f2},
    {"WMP11", 0x181818, 0xe8e8e8, 0x0c0c0c, 0x141414, 0xe8e8e8, 0x2c2c2c, 0xe8e8e8, 0x3d9be0, 0x000000, 0x3c3c3c,
     0x050505, 0x8fd0ff},
    {"Wood", 0xd9b98f, 0x2b1806, 0xfbf3e6, 0xf2e4cf, 0x2b1806, 0xc49a68, 0x2b1806, 0x6b3d14, 0xfff3e0, 0x8a5a2e,
     0x5a3519, 0xfff3e0},
    {"XPLuna", 0xece9d8, 0x000000, 0xffffff, 0xf6f5ee, 0x000000, 0xe3e0cf, 0x000000, 0x316ac5, 0xffffff, 0x2d6ee0,
     0x0b3fb4, 0xffffff},
    {"XPSilver", 0xe0dfe3, 0x000000, 0xffffff, 0xf2f2f4, 0x000000, 0xd6d5db, 0x000000, 0x6f7490, 0xffffff, 0xf3f3f6,
     0xb7b8c5, 0x000000},
};

// The application is one per process, so what it looked like before any skin belongs to the
// process too, not to one engine.
struct PlatformLook {
    bool known = false;
    QString style;
    QPalette palette;
    bool paletteSet = false; // the program had set its own palette
    QString sheet;
};
PlatformLook g_platform;
bool g_skinApplied = false; // the application carries a skin and the Fusion style now

QApplication* widgetApp() {
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

// The application's style is `name` itself (a style sheet in force wraps the style in one
// without a name, which never matches).
bool drawsWith(const QApplication* app, const QString& name) {
    return !name.isEmpty() && app->style()->name().compare(name, Qt::CaseInsensitive) == 0;
}

QColor mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(float(a.redF() * (1 - t) + b.redF() * t), float(a.greenF() * (1 - t) + b.greenF() * t),
                            float(a.blueF() * (1 - t) + b.blueF() * t));
}

bool isDark(const QColor& c) {
    return c.lightnessF() < 0.5;
}

QPalette builtInPalette(const BuiltInSkin& s) {
    const QColor window(s.window), windowText(s.windowText), base(s.base), text(s.text);
    const QColor button(s.button), buttonText(s.buttonText), highlight(s.highlight);
    const QColor highlightedText(s.highlightedText);

    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, windowText);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(s.alternateBase));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, buttonText);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, highlightedText);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, mix(text, base, 0.45));
    p.setColor(QPalette::BrightText, isDark(base) ? QColor(Qt::white) : QColor(Qt::black));
    p.setColor(QPalette::Light, button.lighter(150));
    p.setColor(QPalette::Midlight, button.lighter(120));
    p.setColor(QPalette::Mid, button.darker(130));
    p.setColor(QPalette::Dark, button.darker(200));
    p.setColor(QPalette::Shadow, button.darker(300));
    const QColor link = isDark(base) ? highlight.lighter(160) : highlight.darker(120);
    p.setColor(QPalette::Link, link);
    p.setColor(QPalette::LinkVisited, isDark(base) ? link.darker(120) : link.darker(130));

    // Disabled texts fade towards their background.
    p.setColor(QPalette::Disabled, QPalette::WindowText, mix(windowText, window, 0.5));
    p.setColor(QPalette::Disabled, QPalette::Text, mix(text, base, 0.5));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, mix(buttonText, button, 0.5));
    p.setColor(QPalette::Disabled, QPalette::Highlight, mix(highlight, window, 0.5));
    p.setColor(QPalette::Disabled, QPalette::Base, window);
    return p;
}

// The palette of the menu band, the command band and the status bar, and of what they hold.
QPalette builtInBarPalette(const BuiltInSkin& s) {
    const QColor bar = mix(QColor(s.barTop), QColor(s.barBottom), 0.5);
    const QColor barText(s.barText);
    QPalette p = builtInPalette(s);
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button})
        p.setColor(role, bar);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
        p.setColor(role, barText);
    p.setColor(QPalette::Light, bar.lighter(150));
    p.setColor(QPalette::Midlight, bar.lighter(120));
    p.setColor(QPalette::Mid, bar.darker(130));
    p.setColor(QPalette::Dark, bar.darker(200));
    p.setColor(QPalette::Shadow, bar.darker(300));
    p.setColor(QPalette::Disabled, QPalette::WindowText, mix(barText, bar, 0.5));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, mix(barText, bar, 0.5));
    return p;
}

const BuiltInSkin* findBuiltIn(const QString& fullName) {
    if (!fullName.endsWith(kInternalSuffix))
        return nullptr;
    const QString name = fullName.chopped(kInternalSuffix.size());
    for (const BuiltInSkin& s : kBuiltIn) {
        if (name == QLatin1String(s.name))
            return &s;
    }
    return nullptr;
}

} // namespace

SkinEngine::SkinEngine() = default;

SkinEngine::SkinEngine(QStringList skinFolders) : m_folders(std::move(skinFolders)) {}

QStringList SkinEngine::defaultSkinFolders() {
    QStringList folders{QDir(appPaths().programFolder()).filePath(QStringLiteral("Skins"))};
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!data.isEmpty())
        folders.append(QDir(data).filePath(QStringLiteral("Skins")));
    return folders;
}

const QStringList& SkinEngine::builtInNames() {
    static const QStringList names = [] {
        QStringList list;
        for (const BuiltInSkin& s : kBuiltIn)
            list.append(QLatin1String(s.name) + kInternalSuffix);
        std::sort(list.begin(), list.end(), skinNameLess);
        return list;
    }();
    return names;
}

QString SkinEngine::listName(const QString& fullName) {
    const qsizetype paren = fullName.indexOf(QLatin1Char('('));
    if (paren < 0)
        return fullName;
    QString shown = fullName.left(paren);
    while (!shown.isEmpty() && shown.back().isSpace())
        shown.chop(1);
    return shown;
}

bool SkinEngine::skinNameLess(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

QList<SkinEngine::FileSkin> SkinEngine::fileSkins() const {
    QList<FileSkin> found;
    QSet<QString> seen(builtInNames().begin(), builtInNames().end());
    const QStringList folders = m_folders ? *m_folders : defaultSkinFolders();
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfoList files =
            QDir(folder).entryInfoList({QStringLiteral("*.qss")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& file : files) {
            const QString name = file.completeBaseName();
            if (name.isEmpty() || seen.contains(name))
                continue;
            seen.insert(name);
            found.append({name, file.absoluteFilePath()});
        }
    }
    return found;
}

QStringList SkinEngine::skinNames() const {
    QStringList names = builtInNames();
    for (const FileSkin& skin : fileSkins())
        names.append(skin.name);
    std::sort(names.begin(), names.end(), skinNameLess);
    return names;
}

bool SkinEngine::loadSkin(const QString& fullName, Look& look) const {
    if (const BuiltInSkin* builtIn = findBuiltIn(fullName)) {
        look.palette = builtInPalette(*builtIn);
        look.bars = builtInBarPalette(*builtIn);
        look.sheet.clear();
        return true;
    }
    for (const FileSkin& skin : fileSkins()) {
        if (skin.name != fullName)
            continue;
        QFile file(skin.path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        look.sheet = QString::fromUtf8(file.readAll());
        // A sheet draws on Fusion's own colours unless it sets its own.
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(kSkinBaseStyle));
        look.palette = fusion ? fusion->standardPalette() : QPalette();
        look.bars.reset();
        // Images next to the sheet can be named "skin:picture.png".
        QDir::setSearchPaths(QStringLiteral("skin"), {QFileInfo(skin.path).absolutePath()});
        return true;
    }
    return false;
}

bool SkinEngine::setSkin(const QString& fullName) {
    Look look;
    if (!loadSkin(fullName, look))
        return false;
    m_current = fullName;
    m_look = std::move(look);
    if (m_enabled)
        applyCurrent();
    return true;
}

void SkinEngine::setEnabled(bool on) {
    m_enabled = on;
    if (on)
        applyCurrent();
    else
        restorePlatform();
}

void SkinEngine::applySkinIndex(int index) {
    const QStringList names = skinNames();
    if (index < 1 || index > names.size() || !setSkin(names.at(index - 1))) {
        setEnabled(false);
        return;
    }
    setEnabled(true);
}

void SkinEngine::rememberPlatform() {
    QApplication* app = widgetApp();
    if (g_platform.known || !app)
        return;
    g_platform.known = true;
    g_platform.style = app->style()->name();
    g_platform.palette = QApplication::palette();
    g_platform.paletteSet = QCoreApplication::testAttribute(Qt::AA_SetPalette);
    g_platform.sheet = app->styleSheet();
}

void SkinEngine::applyCurrent() {
    QApplication* app = widgetApp();
    if (!app || m_current.isEmpty())
        return;
    rememberPlatform();
    if (!g_skinApplied) {
        // Setting a style polishes every widget again; a platform that already draws with the
        // skins' base style keeps its style object.
        if (!drawsWith(app, kSkinBaseStyle)) {
            if (QStyle* fusion = QStyleFactory::create(kSkinBaseStyle))
                QApplication::setStyle(fusion);
        }
        g_skinApplied = true;
    }
    // The application's palette replaces every palette set for a class of widgets.
    QApplication::setPalette(m_look.palette);
    if (m_look.bars) {
        for (const char* bar : kBarClasses)
            QApplication::setPalette(*m_look.bars, bar);
    }
    // Built-in looks are palettes only: a style sheet would make every widget dearer to make and
    // to draw.
    if (app->styleSheet() != m_look.sheet)
        app->setStyleSheet(m_look.sheet);
}

void SkinEngine::restorePlatform() {
    QApplication* app = widgetApp();
    if (!app || !g_skinApplied)
        return;
    g_skinApplied = false;
    app->setStyleSheet(QString());
    if (!drawsWith(app, g_platform.style)) {
        QStyle* style = QStyleFactory::create(g_platform.style);
        if (!style)
            style = QStyleFactory::create(kSkinBaseStyle);
        if (style)
            QApplication::setStyle(style);
    }
    // A default palette follows the platform theme again rather than freezing today's colours.
    QApplication::setPalette(g_platform.paletteSet ? g_platform.palette : QPalette());
    app->setStyleSheet(g_platform.sheet);
}

void SkinEngine::repaintAll() {
    for (QWidget* widget : QApplication::allWidgets())
        widget->update();
}

} // namespace tervane
