// A second process for tst_document:
//   document_child save <temp folder> <user base> <step>
//   document_child saveas <temp folder> <user base> <destination base> <step>
//       opens the user base, selects its third node, changes a comment of that page and saves
//       (as); at step (a SaveStep, 0 for none) the process kills itself the hard way.
//   document_child hold <temp folder>
//       makes a new document, prints "ready" and keeps its working copy until its input closes.
#include "base/BaseSave.h"
#include "base/Document.h"
#include "seams/AppPaths.h"
#include "seams/Prompts.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <deque>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#endif

using namespace tervane;

namespace {

class ChildPaths final : public AppPaths {
public:
    explicit ChildPaths(QString temp) : m_temp(std::move(temp)) {}
    QString programFolder() const override { return m_temp; }
    QString configFile() const override { return m_temp + QStringLiteral("/Tervane.cfg"); }
    QString tempFolder() const override { return m_temp; }
    QString softwareFolder() const override { return m_temp; }

private:
    QString m_temp;
};

// Answers the dialogs from a queue; any message box means the run went wrong.
class ChildPrompts final : public Prompts {
public:
    std::deque<QString> files;
    PromptButton message(PromptIcon, const QString&, const QString& text, int) override {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        std::exit(2);
    }
    std::optional<QString> openFile(const FileDialogRequest&) override { return next(); }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return next(); }

private:
    std::optional<QString> next() {
        if (files.empty())
            return std::nullopt;
        QString f = files.front();
        files.pop_front();
        return f;
    }
};

[[noreturn]] void dieNow() {
#ifdef Q_OS_WIN
    TerminateProcess(GetCurrentProcess(), 9);
#else
    std::raise(SIGKILL);
#endif
    std::abort();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 64;
    const QString mode = args[1];
    ChildPaths paths(args[2]);
    setAppPaths(&paths);
    ChildPrompts answers;
    setPrompts(&answers);
    Document doc;

    if (mode == QLatin1String("hold")) {
        if (!doc.NewBase())
            return 3;
        std::printf("ready\n");
        std::fflush(stdout);
        QTextStream in(stdin);
        while (!in.atEnd())
            in.readLine();
        return 0;
    }

    const bool saveAs = mode == QLatin1String("saveas");
    if ((saveAs && args.size() != 6) || (!saveAs && (mode != QLatin1String("save") || args.size() != 5)))
        return 64;
    const int killAt = args.last().toInt();
    answers.files.push_back(args[3] + QStringLiteral(".dir"));
    if (!doc.OpenBase())
        return 3;
    // Another selection changes the .dir too, so each of the two files has a new version.
    doc.tree().select(doc.tree().nodeAt(2));
    if (!doc.SelectNode() || doc.currentPage() == -1)
        return 3;
    doc.pageBuffer().setComment(7, QByteArrayLiteral("changed by the child"));
    doc.setModified();
    setSaveStepHook([killAt](SaveStep step) {
        if (int(step) == killAt)
            dieNow();
        return true;
    });
    if (saveAs)
        answers.files.push_back(args[4] + QStringLiteral(".dir"));
    const bool saved = saveAs ? doc.SaveBaseAs() : doc.SaveBase();
    return saved ? 0 : 4;
}
