#pragma once

#include <QPalette>
#include <QString>
#include <QStringList>
#include <optional>

namespace tervane {

// The skin layer under every window. A skin is either one of the built-in looks, listed as
// "<name> (internal)" (palettes on the Fusion style, one of them for the menu band, the command
// band and the status bar), or a "*.qss" file in a "Skins" folder, listed under the file's base
// name. "Off" gives the application back the style, palette and style sheet it had before the
// first skin was applied.
class SkinEngine {
public:
    // Searches the "Skins" folders of the program folder and of the per-user data folder.
    SkinEngine();
    // Searches exactly these folders for "*.qss" skins, in this order.
    explicit SkinEngine(QStringList skinFolders);

    static QStringList defaultSkinFolders();
    static const QStringList& builtInNames(); // full names, in sorted order
    // The name as the options dialog lists it: the text before the first "(" (when there is one),
    // without the blanks in front of it.
    static QString listName(const QString& fullName);
    // The order of the skin list: case-insensitive, ties broken by the exact text.
    static bool skinNameLess(const QString& a, const QString& b);

    // Built-in skins and the skin files found now, sorted by skinNameLess. A file whose name
    // repeats an earlier name (a built-in one, or a file in an earlier folder) is left out.
    QStringList skinNames() const;

    // Makes fullName the current skin, and shows it at once when skinning is on. An unknown
    // name, or a skin file that can no longer be read, changes nothing and returns false.
    bool setSkin(const QString& fullName);
    QString currentSkin() const { return m_current; }

    // On with no skin chosen yet shows nothing until one is chosen.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }

    // Has every widget drawn again (after a change of language, for instance).
    void repaintAll();

    // The stored skin setting: below 1 switches skinning off; n picks the n-th name of
    // skinNames(), counting from 1, and switches it on; a number past the list switches it off.
    void applySkinIndex(int index);

private:
    struct FileSkin {
        QString name;
        QString path;
    };
    // What a skin sets: the application's palette, the palette of the menu band, the command
    // band and the status bar (built-in looks), and the application's style sheet (skin files).
    struct Look {
        QPalette palette;
        std::optional<QPalette> bars;
        QString sheet;
    };
    QList<FileSkin> fileSkins() const;
    bool loadSkin(const QString& fullName, Look& look) const;
    void applyCurrent();
    void restorePlatform();
    void rememberPlatform();

    std::optional<QStringList> m_folders;
    QString m_current;
    Look m_look;
    bool m_enabled = false;
};

} // namespace tervane
