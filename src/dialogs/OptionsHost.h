#pragma once

#include <QFont>
#include <QStringList>

class QWidget;

namespace tervane {

// What the options dialog previews its choices on: the main window (disabled while the dialog is
// open), the grid's font, the skins, and the window's refresh routines.
class OptionsHost {
public:
    virtual ~OptionsHost() = default;
    virtual QWidget* hostWindow() = 0;
    // The font the grid shows now, as the last rebuild applied it.
    virtual QFont gridFont() const = 0;
    // Full skin names in the order SkinIndex counts them (from 1).
    virtual QStringList skinNames() const = 0;
    // How the skin list shows a full name.
    virtual QString skinListName(const QString& fullName) const = 0;
    // Shows the skin of that full name at once; an empty name switches skinning off.
    virtual void showSkin(const QString& fullName) = 0;
    virtual void RefreshView() = 0;
    // After OK changed the language: the main window's texts in the new language, every window
    // drawn again.
    virtual void ApplyInterfaceTexts() = 0;
};

} // namespace tervane
