#include "ui/UpdateController.h"

#include "texts/UiLanguage.h"
#include "ui/MainCommands.h"
#include "ui/StatusPanels.h"
#include "update/UpdateCheck.h"

#include <QLocale>
#include <QProgressBar>

namespace tervane {

UpdateController::UpdateController(QWidget* window, StatusPanels* status, MainCommands& commands, QObject* parent)
    : QObject(parent), m_window(window), m_commands(commands), m_check(new UpdateCheck(this)),
      m_progress(new QProgressBar(status)) {
    m_progress->setObjectName(QStringLiteral("UpdateProgress"));
    m_progress->setMaximumWidth(200);
    m_progress->setTextVisible(true);
    m_progress->hide();
    status->addPermanentWidget(m_progress);
    connect(m_check, &UpdateCheck::started, this, &UpdateController::started);
    connect(m_check, &UpdateCheck::progress, this, &UpdateController::showProgress);
    connect(m_check, &UpdateCheck::finished, this, &UpdateController::finished);
    // The close sequence runs after the procedure has ended; it may still keep the window open.
    connect(m_check, &UpdateCheck::closeRequested, m_window, &QWidget::close, Qt::QueuedConnection);
}

void UpdateController::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::UpdateSearch, [this] { m_check->CheckForUpdate(); });
}

bool UpdateController::running() const {
    return m_check->running();
}

void UpdateController::cancel() {
    m_check->cancel();
}

void UpdateController::started() {
    m_commands.setSuspended(true);
    emit commandsChanged();
    showProgress(0, -1);
    m_progress->show();
}

void UpdateController::showProgress(qint64 received, qint64 total) {
    const QLocale locale;
    if (total > 0) {
        // The bar counts in KiB so that its int range holds any download.
        m_progress->setRange(0, int(qMin<qint64>(total / 1024 + 1, INT_MAX)));
        m_progress->setValue(int(qMin<qint64>(received / 1024, m_progress->maximum())));
        m_progress->setFormat(
            translate("Update", "%1 of %2 bytes").arg(locale.toString(received), locale.toString(total)));
    } else {
        m_progress->setRange(0, 0);
        m_progress->setFormat(translate("Update", "%1 bytes").arg(locale.toString(received)));
    }
}

void UpdateController::finished() {
    m_progress->hide();
    m_commands.setSuspended(false);
    emit commandsChanged();
}

} // namespace tervane
