#pragma once

#include "dialogs/OptionsHost.h"

#include <QObject>
#include <memory>

namespace tervane {

class KeyGridView;
class MainCommands;
class OptionsDialog;
class SkinEngine;

// The Tools menu's Options command and the options dialog's host: the skins it previews, the
// grid's font it starts from, and the main window's refresh and texts it asks for.
class OptionsController final : public QObject, public OptionsHost {
    Q_OBJECT
public:
    OptionsController(QWidget* window, SkinEngine& skins, KeyGridView* grid, QObject* parent = nullptr);
    ~OptionsController() override;

    // Made after the main window's start-up, as the other dialogs are.
    void createOptionsDialog();
    OptionsDialog* optionsDialog() const { return m_dialog.get(); }
    void registerCommands(MainCommands& commands);

    QWidget* hostWindow() override { return m_window; }
    QFont gridFont() const override;
    QStringList skinNames() const override;
    QString skinListName(const QString& fullName) const override;
    void showSkin(const QString& fullName) override;
    void RefreshView() override { emit refreshNeeded(); }
    void ApplyInterfaceTexts() override;

signals:
    void refreshNeeded();
    void interfaceTextsNeeded();

private:
    QWidget* m_window;
    SkinEngine& m_skins;
    KeyGridView* m_grid;
    // No parent: disabling the main window must not disable it.
    std::unique_ptr<OptionsDialog> m_dialog;
};

} // namespace tervane
