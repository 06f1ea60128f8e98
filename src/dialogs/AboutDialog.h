#pragma once

#include "dialogs/DialogOverHost.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace tervane {

// The about box (the designed form TAboutForm, its objectName): the brand, the program's name
// and version with the notice line, and the maker's web address as a link that opens in the
// browser. Modeless, with the host window disabled while it is shown.
class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* hostWindow);
    ~AboutDialog() override;

    // The About command.
    void showAbout();
    void closeIfOpen();
    bool isOpen() const { return m_overHost.isOpen(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override;

private:
    void buildWidgets();
    void FormShow();
    void FormClose();
    void WebLabel1Click();
    void OkButtonClick();
    // The link in the palette's link colour, another one under the mouse.
    void showLinkColour();

    QWidget* m_hostWindow;
    QFrame* m_panel = nullptr;
    QLabel* m_logoLabel = nullptr;
    QLabel* m_copyrightLabel = nullptr;
    QLabel* m_webLabel = nullptr;
    QLabel* m_webLabel1 = nullptr;
    QPushButton* m_okButton = nullptr;
    bool m_linkHovered = false;
    DialogOverHost m_overHost{*this};
};

} // namespace tervane
