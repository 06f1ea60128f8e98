#include "update/UpdateCheck.h"

#include "BuildConfig.h"
#include "base/FileErrors.h"
#include "seams/AppPaths.h"
#include "seams/Prompts.h"
#include "seams/Shell.h"
#include "seams/StatusSink.h"
#include "texts/UiLanguage.h"
#include "update/UpdateServer.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace tervane {
namespace {

// ProgramVersion: the build's version, "1.1" comparing as 11.
const int kProgramVersion = VersionNumber(config::kVersion);

void showStatus(const QString& text) {
    statusSink().setMessageText(text);
}

// The saved file as the status panel names it: its folder and name.
QString shownName(const QString& fileName) {
    return QDir::toNativeSeparators(QStringLiteral("/software/") + fileName);
}

} // namespace

UpdateCheck::UpdateCheck(QObject* parent) : QObject(parent), m_fetch(new HttpFetch(this)) {
    connect(m_fetch, &HttpFetch::progress, this, &UpdateCheck::progress);
    connect(m_fetch, &HttpFetch::finished, this, [this](const FetchResult& result) {
        if (m_fetchingList)
            listFetched(result);
        else
            updateFetched(result);
    });
}

void UpdateCheck::CheckForUpdate() {
    CheckForUpdate(updateServerUrl());
}

void UpdateCheck::CheckForUpdate(const QUrl& server) {
    if (m_running)
        return;
    m_running = true;
    m_server = server;
    emit started();
    m_list = {};
    showStatus(translate("Update", "Connection to a server..."));
    m_fetchingList = true;
    m_fetch->FetchText(updateListUrl(m_server));
}

void UpdateCheck::cancel() {
    if (!m_running)
        return;
    m_fetch->cancel();
    stop();
}

void UpdateCheck::stop() {
    m_buffer = {};
    m_running = false;
    emit finished();
}

void UpdateCheck::stopWith(const QString& status) {
    showStatus(status);
    stop();
}

void UpdateCheck::listFetched(const FetchResult& result) {
    if (!result.ok) {
        stopWith(result.message);
        return;
    }
    m_list.text = result.text;
    const UpdateOffer offer = ReadUpdateOffer(m_list);
    if (!offer.listed || offer.version <= kProgramVersion) {
        stopWith(translate("Update", "Update is not found."));
        return;
    }
    // The name becomes a path in the software folder: one that could leave it is refused.
    if (!IsPlainFileName(offer.fileName)) {
        stopWith(translate("Update", "Error in versions list."));
        return;
    }
    const QString question = translate("Update", "Updating for the program \"Tervane\" is found.") + QLatin1Char('\n') +
                             translate("Update", "To instal updating ?");
    if (prompts().message(PromptIcon::Question, translate("Update", "Software Update"), question,
                          ButtonYes | ButtonNo) != ButtonYes) {
        stopWith(translate("Update", "Updating is interrupted."));
        return;
    }
    m_fileName = offer.fileName;
    showStatus(translate("Update", "Loading updatings..."));
    m_buffer.assign(kUpdateBufferSize, 0);
    m_fetchingList = false;
    m_fetch->FetchData(updateFileUrl(m_server, m_fileName), m_buffer);
}

void UpdateCheck::updateFetched(const FetchResult& result) {
    if (!result.ok && !result.message.isEmpty()) {
        stopWith(translate("Update", "Error: %1").arg(result.message));
        return;
    }
    if (result.bytes < kMinimumUpdateSize) {
        stopWith(translate("Update", "Error: The file is not found."));
        return;
    }
    if (!saveUpdate(result.bytes)) {
        stop();
        return;
    }
    const QString path = QDir(appPaths().softwareFolder()).filePath(m_fileName);
    shell().openFile(path);
    stop();
    emit closeRequested();
}

bool UpdateCheck::saveUpdate(qint64 size) {
    showStatus(translate("Update", "Save file: \"%1\"").arg(shownName(m_fileName)));
    const QString folder = appPaths().softwareFolder();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        prompts().message(PromptIcon::Error, QStringLiteral("Tervane"),
                          translate("Update", "Cannot create \"%1\"").arg(QDir::toNativeSeparators(folder)), ButtonOk);
        return false;
    }
    if (!EnsureFreeSpace(folder, 2 * size))
        return false;
    // Written whole or not at all: a failed write leaves no partial update to be started.
    const QString path = QDir(folder).filePath(m_fileName);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ReportFileError(FileErrorCreate, path);
        return false;
    }
    if (file.write(m_buffer.data(), size) != size || !file.commit()) {
        file.cancelWriting();
        ReportFileError(FileErrorWrite, path);
        return false;
    }
    showStatus(translate("Update", "The file: \"%1\" is saved.").arg(shownName(m_fileName)));
    return true;
}

} // namespace tervane
