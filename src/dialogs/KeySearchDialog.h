#pragma once

#include "dialogs/DialogOverHost.h"
#include "keys/KeyQuery.h"

#include <QDialog>
#include <optional>

class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRegularExpressionValidator;
class QTreeView;

namespace tervane {

// Find key (objectName TKeySearchForm): a query, hex digits of a key's code, limited to one key
// family or not, or an EM410x card number, and the list of the keys found, which its owner
// fills through the model it sets. Like the find dialog it is made once and only hidden between
// uses, so the query stays, and it is modeless over the disabled host window. The search is its
// owner's: the dialog asks for it (searchRequested), shows its progress and asks to stop it.
class KeySearchDialog final : public QDialog {
    Q_OBJECT
public:
    explicit KeySearchDialog(QWidget* host);
    ~KeySearchDialog() override;

    // Disables the host and shows the dialog over it in the current language with the query
    // focused. Does nothing while it is open.
    void openDialog();
    void closeIfOpen();
    bool isOpen() const { return m_over.isOpen(); }

    void setModel(QAbstractItemModel* model);
    // The query as typed; nullopt while it is not a valid one.
    std::optional<KeyQuery> query() const;
    // Hex digits of one family in the query field, as the presented key's code.
    void setCodeQuery(const QString& digits, KeyFamily family);

    // A search runs: the progress indicator and Stop take the place of the result line.
    void searchStarted();
    void searchProgress(qint64 done, qint64 total);
    // The list holds hits keys now; current is the row to make current (-1: none).
    void searchFinished(qsizetype hits, int current);
    // The row of the list that is current, -1 when none.
    int currentRow() const;

signals:
    void searchRequested();
    void stopRequested();
    void hitActivated(int row);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override;

private:
    void buildWidgets();
    void applyTexts();
    void queryChanged();
    void modeChanged();
    void FormClose();

    DialogOverHost m_over{*this};
    QWidget* m_host;
    QLabel* m_queryLabel = nullptr;
    QLineEdit* m_queryEdit = nullptr;
    QRegularExpressionValidator* m_validator = nullptr;
    QComboBox* m_familyBox = nullptr;
    QCheckBox* m_cardNumberCheckBox = nullptr;
    QPushButton* m_searchButton = nullptr;
    QTreeView* m_hitsView = nullptr;
    QLabel* m_statusLabel = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    bool m_searching = false;
    qsizetype m_hits = -1; // -1: no search finished since the dialog opened
};

} // namespace tervane
