#pragma once

#include "update/HttpFetch.h"
#include "update/VersionList.h"

#include <QObject>
#include <QUrl>
#include <vector>

namespace tervane {

// Tools › Download update: the version list from the update server, compared with this
// program's version; a newer version that the user accepts is downloaded into the "software"
// folder, handed to the shell's "open" action, and the program is asked to close. Every step
// shows its text in status panel 0; the question and the file errors go through the prompts.
// The fetches run in the background of the event loop, so the window keeps painting; one
// procedure runs at a time.
class UpdateCheck final : public QObject {
    Q_OBJECT
public:
    // 10 MiB and 10 bytes: the longest update that is accepted.
    static constexpr qsizetype kUpdateBufferSize = 10485770;
    // Shorter downloads are taken for the server's page about a missing file.
    static constexpr qint64 kMinimumUpdateSize = 1024;

    explicit UpdateCheck(QObject* parent = nullptr);

    // Starts the procedure on the server of updateServerUrl(); does nothing while one runs.
    void CheckForUpdate();
    void CheckForUpdate(const QUrl& server);
    // Stops a running procedure where it is: nothing more is shown or written.
    void cancel();
    bool running() const { return m_running; }

signals:
    void started();
    // Bytes received of the list or of the update; total is -1 while it is not known.
    void progress(qint64 received, qint64 total);
    void finished();
    // The update was saved and opened: the program is to close (through its close sequence).
    void closeRequested();

private:
    void listFetched(const FetchResult& result);
    void updateFetched(const FetchResult& result);
    bool saveUpdate(qint64 size);
    void stop();
    void stopWith(const QString& status);

    HttpFetch* m_fetch;
    QUrl m_server;
    UpdateListText m_list;
    QString m_fileName;
    std::vector<char> m_buffer; // UpdateBuffer, only while a download runs
    bool m_running = false;
    bool m_fetchingList = false;
};

} // namespace tervane
