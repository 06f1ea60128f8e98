// A child program for the start-up benchmark. It starts a window, and once the window's first
// frame has been painted and flushed it prints one line and exits at once:
//   frame_ns=<CLOCK_MONOTONIC at the frame> app_ns=<... once QApplication is made>
//   built_ns=<... once the window is made> hwm_kb=<VmHWM> rss_kb=<VmRSS> cpu_us=<user+system>
// and, for the editor, page_shown=<1 when the reopened base shows its page, else 0>.
// Built twice: as the editor (the main window started as the program starts it, with the
// configuration of the program folder given by --program-folder DIR), and, with
// TERVANE_PROBE_BARE, as a bare Qt Widgets window (a QMainWindow holding a QTableView) to
// compare with. Runs offscreen unless QT_QPA_PLATFORM is set.

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#ifdef TERVANE_PROBE_BARE
#include <QTableView>
#else
#include "app/AppSession.h"
#include "base/Document.h"
#include "device/DeviceLink.h"
#include "device/HidTransport.h"
#include "device/SystemTransport.h"
#include "seams/AppPaths.h"
#include "seams/Prompts.h"
#include "seams/Shell.h"
#include "ui/MainWindow.h"
#include "ui/QtShell.h"
#endif

#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Extra "key=value" fields of the report line, filled in by the program being probed.
std::function<QByteArray()> g_extraFields;
// Milestones of the start on the monotonic clock: the application object made, the window made.
long long g_appNs = 0;
long long g_builtNs = 0;

long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

long statusKb(const QByteArray& status, const char* field) {
    const int at = status.indexOf(field);
    if (at < 0)
        return -1;
    const int end = status.indexOf('\n', at);
    return status.mid(at + int(qstrlen(field)), end - at - int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
}

[[noreturn]] void reportAndExit() {
    const long long frameNs = monotonicNs();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    QFile statusFile(QStringLiteral("/proc/self/status"));
    const QByteArray status = statusFile.open(QIODevice::ReadOnly) ? statusFile.readAll() : QByteArray();
    const long long cpuUs = (long long)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000 +
                            usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    const QByteArray extra = g_extraFields ? g_extraFields() : QByteArray();
    std::printf("frame_ns=%lld app_ns=%lld built_ns=%lld hwm_kb=%ld rss_kb=%ld cpu_us=%lld%s\n", frameNs, g_appNs,
                g_builtNs, statusKb(status, "VmHWM:"), statusKb(status, "VmRSS:"), cpuUs, extra.constData());
    std::fflush(stdout);
    // No close sequence: the configuration and the working copy stay as the start left them.
    _exit(0);
}

// Waits for the first paint of any widget of the window; the frame is whole once that paint
// pass has returned to the event loop, which has then flushed it.
class FirstFrame final : public QObject {
public:
    explicit FirstFrame(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == m_window) {
            m_seen = true;
            QTimer::singleShot(0, this, [] { reportAndExit(); });
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
    bool m_seen = false;
};

#ifndef TERVANE_PROBE_BARE
// A message box at start-up means the start went wrong (the base did not open): say so and
// stop instead of waiting for a click nobody gives.
class FailingPrompts final : public tervane::Prompts {
public:
    tervane::PromptButton message(tervane::PromptIcon, const QString& caption, const QString& text, int) override {
        fail(caption + QStringLiteral(": ") + text);
    }
    std::optional<QString> openFile(const tervane::FileDialogRequest&) override { fail(QStringLiteral("open dialog")); }
    std::optional<QString> saveFile(const tervane::FileDialogRequest&) override { fail(QStringLiteral("save dialog")); }

private:
    [[noreturn]] static void fail(const QString& what) {
        std::fprintf(stderr, "startup_probe: unexpected prompt: %s\n", qPrintable(what));
        _exit(3);
    }
};
#endif

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_appNs = monotonicNs();

#ifdef TERVANE_PROBE_BARE
    QMainWindow window;
    window.setCentralWidget(new QTableView(&window));
    window.resize(1030, 560);
    g_builtNs = monotonicNs();
    FirstFrame frame(&window);
    window.show();
    return QApplication::exec();
#else
    QApplication::setApplicationName(QStringLiteral("Tervane"));
    QApplication::setOrganizationName(QStringLiteral("Tervane"));
    QString programFolder;
    const QStringList args = QApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--program-folder"));
    if (at >= 0 && at + 1 < args.size())
        programFolder = args.at(at + 1);
    if (programFolder.isEmpty()) {
        std::fprintf(stderr, "usage: startup_probe --program-folder DIR\n");
        return 2;
    }
    tervane::DefaultAppPaths paths(programFolder);
    tervane::appPathsSeam().install(&paths);
    FailingPrompts prompts;
    tervane::promptsSeam().install(&prompts);
    tervane::QtShell shell;
    tervane::shellSeam().install(&shell);
    const std::unique_ptr<tervane::HidTransport> transport = tervane::createSystemTransport();
    tervane::deviceLink().setTransport(transport.get());

    tervane::AppSession session;
    tervane::MainWindow& window = session.window();
    g_builtNs = monotonicNs();
    g_extraFields = [&window] {
        const tervane::Document& doc = window.document();
        return QByteArray(doc.isOpen() && doc.currentPage() != -1 ? " page_shown=1" : " page_shown=0");
    };
    FirstFrame frame(&window);
    session.show();
    return QApplication::exec();
#endif
}
