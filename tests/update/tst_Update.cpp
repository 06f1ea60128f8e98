// The online update against a real HTTP server on 127.0.0.1: the two fetches with their failure
// texts, the version list, and the whole procedure from the list to the saved and opened file.

#include "LoopbackHttpServer.h"
#include "RecordingShell.h"
#include "RecordingStatusSink.h"
#include "TestEnvironment.h"

#include "update/HttpFetch.h"
#include "update/UpdateCheck.h"
#include "update/UpdateServer.h"
#include "update/VersionList.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <vector>

using namespace tervane;
using namespace tervane::test;

namespace {

constexpr char kListPath[] = "/update/swUpdate.ver";
const QByteArray kHeader = "[Tervane FIRMWARE UPDATE LIST]";

FetchResult fetchText(const QUrl& url) {
    HttpFetch fetch;
    QSignalSpy done(&fetch, &HttpFetch::finished);
    fetch.FetchText(url);
    if (!done.wait(20000))
        return {};
    return done.first().first().value<FetchResult>();
}

FetchResult fetchData(const QUrl& url, std::span<char> buffer) {
    HttpFetch fetch;
    QSignalSpy done(&fetch, &HttpFetch::finished);
    fetch.FetchData(url, buffer);
    if (!done.wait(20000))
        return {};
    return done.first().first().value<FetchResult>();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class UpdateTest : public QObject {
    Q_OBJECT

private slots:
    void readListLine_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        // FetchText's text: the body and a zero character.
        const auto fetched = [](const char* body) { return QString::fromLatin1(body) + QChar(0); };
        QTest::newRow("no text") << QString() << QStringList{};
        QTest::newRow("empty body") << fetched("") << QStringList{};
        QTest::newRow("LF lines") << fetched("a\nbc") << QStringList{"a", "bc"};
        QTest::newRow("CR LF lines, last one ended") << fetched("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("empty line kept") << fetched("a\n\nb") << QStringList{"a", "", "b"};
        QTest::newRow("CR inside a line dropped") << fetched("x\ry") << QStringList{"xy"};
        QTest::newRow("a lone LF") << fetched("\n") << QStringList{""};
        QTest::newRow("zero in the body is a character")
            << (QStringLiteral("a") + QChar(0) + fetched("b")) << QStringList{QStringLiteral("a") + QChar(0) + u'b'};
    }
    void readListLine() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        UpdateListText list{text};
        QStringList read;
        QString line;
        while (ReadListLine(list, line))
            read.append(line);
        QCOMPARE(read, lines);
        QVERIFY(!ReadListLine(list, line));
    }

    void serverAddress_data() {
        QTest::addColumn<QString>("override");
        QTest::addColumn<QString>("listUrl");
        QTest::addColumn<QString>("fileUrl");
        QTest::newRow("configured https server")
            << QString() << QStringLiteral("https://update.tervane.example.org/update/swUpdate.ver")
            << QStringLiteral("https://update.tervane.example.org/update/orvel/x.exe");
        QTest::newRow("override with a port")
            << QStringLiteral("http://127.0.0.1:8080") << QStringLiteral("http://127.0.0.1:8080/update/swUpdate.ver")
            << QStringLiteral("http://127.0.0.1:8080/update/orvel/x.exe");
        QTest::newRow("override with a slash")
            << QStringLiteral("https://mirror.example/") << QStringLiteral("https://mirror.example/update/swUpdate.ver")
            << QStringLiteral("https://mirror.example/update/orvel/x.exe");
        QTest::newRow("not http: ignored") << QStringLiteral("ftp://mirror.example")
                                           << QStringLiteral("https://update.tervane.example.org/update/swUpdate.ver")
                                           << QStringLiteral("https://update.tervane.example.org/update/orvel/x.exe");
        QTest::newRow("no host: ignored")
            << QStringLiteral("http://") << QStringLiteral("https://update.tervane.example.org/update/swUpdate.ver")
            << QStringLiteral("https://update.tervane.example.org/update/orvel/x.exe");
    }
    void serverAddress() {
        QFETCH(QString, override);
        QFETCH(QString, listUrl);
        QFETCH(QString, fileUrl);
        if (override.startsWith(u"ftp") || override == u"http://")
            QTest::ignoreMessage(QtWarningMsg, "TERVANE_UPDATE_URL is not an http or https address with a host; the "
                                               "configured server is used");
        const QUrl server = updateServerUrl(override);
        QCOMPARE(updateListUrl(server).toString(), listUrl);
        QCOMPARE(updateFileUrl(server, QStringLiteral("x.exe")).toString(), fileUrl);
    }

    // "#", "?" and "%" are part of the name, not the start of a fragment, a query or an escape.
    void fileNameStaysInThePath() {
        const QString name = QStringLiteral("a b#c?d%41.exe");
        const QUrl url = updateFileUrl(QUrl(QStringLiteral("http://127.0.0.1:1")), name);
        QCOMPARE(url.path(QUrl::FullyDecoded), QStringLiteral("/update/orvel/") + name);
        QVERIFY(!url.hasQuery());
        QVERIFY(!url.hasFragment());
    }

    void fetches_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<int>("cutAfter");
        QTest::addColumn<bool>("dead");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("message");
        QTest::newRow("a body") << QByteArray("line\n\xcf\xf0\xe8\n") << QByteArray("200 OK") << -1 << false << true
                                << QString();
        QTest::newRow("a 404 page is a body")
            << QByteArray("<html>gone</html>") << QByteArray("404 Not Found") << -1 << false << true << QString();
        QTest::newRow("a 500 page is a body")
            << QByteArray("oops") << QByteArray("500 Internal Server Error") << -1 << false << true << QString();
        QTest::newRow("empty body") << QByteArray() << QByteArray("200 OK") << -1 << false << false << QString();
        QTest::newRow("no server") << QByteArray() << QByteArray() << -1 << true << false
                                   << QStringLiteral("The server does not respond.");
        QTest::newRow("cut in the body") << QByteArray(5000, 'x') << QByteArray("200 OK") << 2000 << false << false
                                         << QStringLiteral("Access to a server is closed.");
    }
    void fetches() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, status);
        QFETCH(int, cutAfter);
        QFETCH(bool, dead);
        QFETCH(bool, ok);
        QFETCH(QString, message);
        TestEnvironment env;
        LoopbackHttpServer server;
        server.serve("/r", {body, status, cutAfter});
        const QUrl url = (dead ? LoopbackHttpServer::deadUrl() : server.url()).resolved(QUrl("/r"));

        const FetchResult text = fetchText(url);
        QCOMPARE(text.ok, ok);
        QCOMPARE(text.message, message);
        if (ok) {
            // 8-bit text, one character a byte, and the zero character after it.
            QCOMPARE(text.text.size(), body.size() + 1);
            QCOMPARE(text.text.back(), QChar(0));
            if (body.startsWith("line"))
                QCOMPARE(text.text.chopped(1), QStringLiteral("line\nПри\n"));
        }

        std::vector<char> buffer(body.size() + 16, '\x5a');
        const FetchResult data = fetchData(url, buffer);
        QCOMPARE(data.ok, ok);
        QCOMPARE(data.message, message);
        QCOMPARE(data.bytes, ok ? body.size() : 0);
        if (ok)
            QCOMPARE(QByteArray(buffer.data(), body.size()), body);
    }

    // The caller's buffer bounds the body: one byte more fails and nothing lands past it.
    void fetchDataStaysInItsBuffer_data() {
        QTest::addColumn<int>("bodySize");
        QTest::addColumn<bool>("ok");
        QTest::newRow("fills the buffer") << 100000 << true;
        QTest::newRow("one byte past it") << 100001 << false;
        QTest::newRow("far past it") << 3000000 << false;
    }
    void fetchDataStaysInItsBuffer() {
        QFETCH(int, bodySize);
        QFETCH(bool, ok);
        TestEnvironment env;
        LoopbackHttpServer server;
        const QByteArray body = LoopbackHttpServer::patternBytes(bodySize);
        server.serve("/big", body);
        constexpr int kBuffer = 100000;
        std::vector<char> memory(kBuffer + 64, '\x5a');
        const FetchResult result = fetchData(server.url().resolved(QUrl("/big")), std::span(memory).first(kBuffer));
        QCOMPARE(result.ok, ok);
        QCOMPARE(result.message, ok ? QString() : QStringLiteral("Access to a server is closed."));
        QCOMPARE(result.bytes, ok ? qint64(bodySize) : 0);
        QCOMPARE(QByteArray(memory.data(), kBuffer), body.left(kBuffer));
        for (int i = kBuffer; i < int(memory.size()); ++i)
            QCOMPARE(memory[i], '\x5a');
    }

    void requestBypassesCaches() {
        TestEnvironment env;
        LoopbackHttpServer server;
        server.serve("/r", QByteArray("x"));
        QVERIFY(fetchText(server.url().resolved(QUrl("/r"))).ok);
        QCOMPARE(server.requests().size(), 1);
        const QByteArray head = server.requests().first().toLower();
        QVERIFY2(head.startsWith("get /r http/1.1\r\n"), head);
        QVERIFY2(head.contains("\r\npragma: no-cache"), head);
        QVERIFY2(head.contains("\r\ncache-control: no-cache"), head);
        QVERIFY2(head.contains("\r\nuser-agent: tervane"), head);
    }

    void checkForUpdate_data() {
        QTest::addColumn<bool>("russian");
        QTest::addColumn<QByteArray>("list"); // a null list: the server has none (its 404 page)
        QTest::addColumn<bool>("dead");
        QTest::addColumn<QByteArray>("file"); // the path under /update/orvel/ that is served
        QTest::addColumn<int>("fileSize");
        QTest::addColumn<int>("cutAfter");
        QTest::addColumn<int>("answer"); // ButtonNone: no question expected
        QTest::addColumn<QStringList>("statuses");

        const QString connecting = QStringLiteral("Connection to a server...");
        const QString notFound = QStringLiteral("Update is not found.");
        const QString listError = QStringLiteral("Error in versions list.");
        const QString loading = QStringLiteral("Loading updatings...");
        const auto saved = [&](const char* name) {
            return QStringList{connecting, loading, QStringLiteral("Save file: \"/software/%1\"").arg(name),
                               QStringLiteral("The file: \"/software/%1\" is saved.").arg(name)};
        };
        const QByteArray head = "Tervane versions\n" + kHeader + "\n";
        const auto row = [](const char* name) { return &QTest::newRow(name); };

        *row("header on line 1 only") << false << kHeader + "\nV2.0 x.exe\n"
                                      << false << QByteArray() << 0 << -1 << int(ButtonNone)
                                      << QStringList{connecting, notFound};
        *row("V1.1 is this version") << false << head + "V1.1 x.exe\n"
                                     << false << QByteArray() << 0 << -1 << int(ButtonNone)
                                     << QStringList{connecting, notFound};
        *row("V1.10 counts as 11") << false << head + "V1.10 x.exe\n"
                                   << false << QByteArray() << 0 << -1 << int(ButtonNone)
                                   << QStringList{connecting, notFound};
        *row("V1.2 alone") << false << head + "V1.2\n"
                           << false << QByteArray() << 0 << -1 << int(ButtonNone) << QStringList{connecting, listError};
        *row("Vx.y then V2.0") << false << head + "Vx.y a.exe\nV2.0 b.exe\nV3.0 c.exe\n"
                               << false << QByteArray("b.exe") << 5000 << -1 << int(ButtonYes) << saved("b.exe");
        *row("a [ line ends the section")
            << false << head + "comment\n[Other]\nV1.2 x.exe\n"
            << false << QByteArray() << 0 << -1 << int(ButtonNone) << QStringList{connecting, notFound};
        *row("CR LF, header after other lines")
            << false << "Tervane\r\nnotes\r\n" + kHeader + "\r\nshort\r\nV\r\nAbc\r\nV1.2 x y.exe\r\n"
            << false << QByteArray("x y.exe") << 2000 << -1 << int(ButtonYes) << saved("x y.exe");
        *row("no list: the 404 page") << false << QByteArray() << false << QByteArray() << 0 << -1 << int(ButtonNone)
                                      << QStringList{connecting, notFound};
        *row("empty list") << false << QByteArray("") << false << QByteArray() << 0 << -1 << int(ButtonNone)
                           << QStringList{connecting, QString()};
        *row("no server") << false << QByteArray() << true << QByteArray() << 0 << -1 << int(ButtonNone)
                          << QStringList{connecting, QStringLiteral("The server does not respond.")};
        *row("1023 bytes") << false << head + "V1.2 x.exe\n"
                           << false << QByteArray("x.exe") << 1023 << -1 << int(ButtonYes)
                           << QStringList{connecting, loading, QStringLiteral("Error: The file is not found.")};
        *row("1024 bytes") << false << head + "V1.2 x.exe\n"
                           << false << QByteArray("x.exe") << 1024 << -1 << int(ButtonYes) << saved("x.exe");
        *row("missing file: the 404 page")
            << false << head + "V1.2 x.exe\n"
            << false << QByteArray() << 0 << -1 << int(ButtonYes)
            << QStringList{connecting, loading, QStringLiteral("Error: The file is not found.")};
        *row("declined") << false << head + "V1.2 x.exe\n"
                         << false << QByteArray("x.exe") << 5000 << -1 << int(ButtonNo)
                         << QStringList{connecting, QStringLiteral("Updating is interrupted.")};
        for (const char* name : {"../x.exe", "a/b.exe", "a\\b.exe", "..", ".", "C:x.exe", "x\tb.exe", ""}) {
            const QByteArray list = head + "V1.2 " + name + "\n";
            *row(qPrintable(QStringLiteral("unsafe name \"%1\"").arg(QLatin1String(name))))
                << false << list << false << QByteArray() << 0 << -1 << int(ButtonNone)
                << QStringList{connecting, listError};
        }
        *row("a body past the buffer") << false << head + "V1.2 x.exe\n"
                                       << false << QByteArray("x.exe") << int(UpdateCheck::kUpdateBufferSize + 1) << -1
                                       << int(ButtonYes)
                                       << QStringList{connecting, loading,
                                                      QStringLiteral("Error: Access to a server is closed.")};
        *row("connection cut in the body")
            << false << head + "V1.2 x.exe\n"
            << false << QByteArray("x.exe") << 5000 << 3000 << int(ButtonYes)
            << QStringList{connecting, loading, QStringLiteral("Error: Access to a server is closed.")};

        const QString ruConnecting = QStringLiteral("Подключение к серверу...");
        const QString ruLoading = QStringLiteral("Загрузка обновлений...");
        *row("Russian: not found") << true << head << false << QByteArray() << 0 << -1 << int(ButtonNone)
                                   << QStringList{ruConnecting, QStringLiteral("Обновлений не найденно.")};
        *row("Russian: list error") << true << head + "V1.2\n"
                                    << false << QByteArray() << 0 << -1 << int(ButtonNone)
                                    << QStringList{ruConnecting, QStringLiteral("Ошибка в списке версий.")};
        *row("Russian: no server") << true << QByteArray() << true << QByteArray() << 0 << -1 << int(ButtonNone)
                                   << QStringList{ruConnecting, QStringLiteral("Сервер не отвечает.")};
        *row("Russian: declined") << true << head + "V1.2 x.exe\n"
                                  << false << QByteArray() << 0 << -1 << int(ButtonNo)
                                  << QStringList{ruConnecting, QStringLiteral("Обновление прервано.")};
        *row("Russian: file not found") << true << head + "V1.2 x.exe\n"
                                        << false << QByteArray() << 0 << -1 << int(ButtonYes)
                                        << QStringList{ruConnecting, ruLoading,
                                                       QStringLiteral("Ошибка: Файл не найден.")};
        *row("Russian: cut") << true << head + "V1.2 x.exe\n"
                             << false << QByteArray("x.exe") << 5000 << 100 << int(ButtonYes)
                             << QStringList{ruConnecting, ruLoading,
                                            QStringLiteral("Ошибка: Доступ к серверу закрыт.")};
        *row("Russian: saved") << true << head + "V1.2 x.exe\n"
                               << false << QByteArray("x.exe") << 5000 << -1 << int(ButtonYes)
                               << QStringList{ruConnecting, ruLoading,
                                              QStringLiteral("Cохранение файла: \"/software/x.exe\""),
                                              QStringLiteral("Файл: \"/software/x.exe\" сохранен.")};
    }
    void checkForUpdate() {
        QFETCH(bool, russian);
        QFETCH(QByteArray, list);
        QFETCH(bool, dead);
        QFETCH(QByteArray, file);
        QFETCH(int, fileSize);
        QFETCH(int, cutAfter);
        QFETCH(int, answer);
        QFETCH(QStringList, statuses);
        TestEnvironment env;
        setUiLanguage(russian ? UiLanguage::Russian : UiLanguage::English);
        RecordingStatusSink status;
        RecordingShell shell;
        LoopbackHttpServer server;
        if (!list.isNull())
            server.serve(kListPath, list);
        const QByteArray body = LoopbackHttpServer::patternBytes(fileSize);
        if (!file.isEmpty())
            server.serve(QUrl::toPercentEncoding(QString::fromUtf8("/update/orvel/" + file), "/"),
                         {body, "200 OK", cutAfter});
        if (answer != ButtonNone)
            env.prompts.answer(PromptButton(answer));

        UpdateCheck check;
        QSignalSpy done(&check, &UpdateCheck::finished);
        QSignalSpy closing(&check, &UpdateCheck::closeRequested);
        check.CheckForUpdate(dead ? LoopbackHttpServer::deadUrl() : server.url());
        QVERIFY(check.running());
        QVERIFY(done.wait(30000));
        QVERIFY(!check.running());

        QCOMPARE(status.messages, statuses);
        QCOMPARE(env.prompts.pendingAnswers(), 0);
        if (answer != ButtonNone) {
            QCOMPARE(env.prompts.shown().size(), 1);
            const ShownPrompt question = env.prompts.last();
            QCOMPARE(question.icon, PromptIcon::Question);
            QCOMPARE(question.buttons, ButtonYes | ButtonNo);
            QCOMPARE(question.caption, russian ? QStringLiteral("Обновление ПО") : QStringLiteral("Software Update"));
            QCOMPARE(question.text, russian ? QStringLiteral("Найдено обновление для программы \"Tervane\".\n"
                                                             "Установить обновление ?")
                                            : QStringLiteral("Updating for the program \"Tervane\" is found.\n"
                                                             "To instal updating ?"));
        } else {
            QCOMPARE(env.prompts.shown().size(), 0);
        }
        // Nothing is asked for after a refusal, and the file only after a yes.
        if (answer != ButtonYes)
            QVERIFY(server.requestedPaths().size() <= 1);

        const QString software = env.paths.softwareFolder();
        if (statuses.size() == 4) {
            const QString path = software + QLatin1Char('/') + QString::fromUtf8(file);
            QCOMPARE(filesIn(software), QStringList{QString::fromUtf8(file)});
            QCOMPARE(readFileBytes(path), body);
            QCOMPARE(shell.files, QStringList{path});
            QCOMPARE(closing.size(), 1);
        } else {
            QCOMPARE(filesIn(software), QStringList{});
            QCOMPARE(shell.files, QStringList{});
            QCOMPARE(closing.size(), 0);
        }
    }

    // Where the file cannot be written: the folder's own message, the free-space question, the
    // file's create message. The program opens nothing and stays.
    void saveFailures_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("message"); // %1: the software folder
        QTest::newRow("folder cannot be made")
            << QStringLiteral("software is a file") << int(PromptIcon::Error) << QStringLiteral("Cannot create \"%1\"");
        QTest::newRow("no free space, given up")
            << QStringLiteral("full disk") << int(PromptIcon::Warning)
            << QStringLiteral("No free space on a disk /. Cleanup a disk and press repeat operation.");
        QTest::newRow("file cannot be created") << QStringLiteral("x.exe is a folder") << int(PromptIcon::Error)
                                                << QStringLiteral("Create file error: \"%1/x.exe\"");
    }
    void saveFailures() {
        QFETCH(QString, fault);
        QFETCH(int, icon);
        QFETCH(QString, message);
        TestEnvironment env;
        RecordingStatusSink status;
        RecordingShell shell;
        LoopbackHttpServer server;
        server.serve(kListPath, "list\n" + kHeader + "\nV9.9 x.exe\n");
        const QByteArray body = LoopbackHttpServer::patternBytes(4096);
        server.serve("/update/orvel/x.exe", body);
        const QString software = env.paths.softwareFolder();
        if (fault == u"software is a file")
            QVERIFY(writeFileBytes(software, "not a folder"));
        else if (fault == u"x.exe is a folder")
            QVERIFY(QDir().mkpath(software + QStringLiteral("/x.exe")));
        else
            env.system.freeBytes = 2 * body.size(); // equal is not enough
        env.prompts.answer(ButtonYes);
        env.prompts.answer(fault == u"full disk" ? ButtonCancel : ButtonOk);

        UpdateCheck check;
        QSignalSpy done(&check, &UpdateCheck::finished);
        QSignalSpy closing(&check, &UpdateCheck::closeRequested);
        check.CheckForUpdate(server.url());
        QVERIFY(done.wait(30000));

        QCOMPARE(env.prompts.shown().size(), 2);
        QCOMPARE(env.prompts.last().icon, PromptIcon(icon));
        QCOMPARE(env.prompts.last().caption, QStringLiteral("Tervane"));
        QCOMPARE(env.prompts.last().text, message.contains(u"%1") ? message.arg(software) : message);
        QCOMPARE(status.messages.last(), QStringLiteral("Save file: \"/software/x.exe\""));
        QCOMPARE(shell.files, QStringList{});
        QCOMPARE(closing.size(), 0);
        if (fault == u"full disk")
            QCOMPARE(filesIn(software), QStringList{});
    }

    // Cancelled in the middle of the download (the window closes): no result, no file, idle.
    void cancelDuringDownload() {
        TestEnvironment env;
        RecordingStatusSink status;
        RecordingShell shell;
        LoopbackHttpServer server;
        server.serve(kListPath, "list\n" + kHeader + "\nV9.9 x.exe\n");
        server.serve("/update/orvel/x.exe", {LoopbackHttpServer::patternBytes(100000), "200 OK", 5000, true});
        env.prompts.answer(ButtonYes);
        UpdateCheck check;
        QSignalSpy progress(&check, &UpdateCheck::progress);
        QSignalSpy done(&check, &UpdateCheck::finished);
        check.CheckForUpdate(server.url());
        QTRY_VERIFY(!progress.isEmpty() && progress.last().first().toLongLong() == 5000);
        QCOMPARE(progress.last().last().toLongLong(), 100000);
        check.cancel();
        QCOMPARE(done.size(), 1);
        QVERIFY(!check.running());
        QTest::qWait(50);
        QCOMPARE(status.messages.last(), QStringLiteral("Loading updatings..."));
        QCOMPARE(filesIn(env.paths.softwareFolder()), QStringList{});
        QCOMPARE(done.size(), 1);
    }
};

QTEST_GUILESS_MAIN(UpdateTest)
#include "tst_Update.moc"
