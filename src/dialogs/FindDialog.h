#pragma once

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tervane {

// The find dialog (the designed form TForm4, its objectName): the text to look for in the tree's
// names and whether the case counts. It is made once and only hidden between uses, so both keep
// their values for the next Find and for Find next. It is modeless: openDialog returns at once,
// with the host window disabled until the dialog closes. The search itself is its owner's, which
// hears OK and Enter as searchRequested and Cancel as cancelRequested.
//
// It is a window of its own, never a child of the host: disabling the host would disable it too.
class FindDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 441;
    static constexpr int ClientHeight = 103;

    explicit FindDialog(QWidget* host);
    ~FindDialog() override;

    // Find: disables the host, shows the dialog centred on it in the current language, with the
    // text box focused. Does nothing while it is open.
    void openDialog();
    // Closes it when it is open, giving the host back its enabling and the focus.
    void closeIfOpen();

    bool isOpen() const { return m_open; }
    QString text() const;
    bool caseSensitive() const;

signals:
    void searchRequested();
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    // Esc and the window manager's close close the dialog without a search.
    void reject() override;

private:
    void buildWidgets();
    void FormShow();
    void FormClose();
    void EnterEditChange();

    QWidget* m_host;
    QLabel* m_textLabel = nullptr;
    QLineEdit* m_enterEdit = nullptr;
    QCheckBox* m_wordCaseCheckBox = nullptr;
    QPushButton* m_searchNextButton = nullptr;
    QPushButton* m_searchCancelButton = nullptr;
    bool m_open = false;
};

} // namespace tervane
