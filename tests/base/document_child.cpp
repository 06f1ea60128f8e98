// A second process for the two-process tests of the key base files:
//   document_child save <temp folder> <user base> <step> [backup]
//   document_child saveas <temp folder> <user base> <destination base> <step> [backup]
//       opens the user base, selects its third node, changes a comment of that page and saves
//       (as); at step (a SaveStep, 0 for none) the process kills itself the hard way. With
//       "backup" the save keeps the replaced base as its backup, as the editor does by default;
//       every other save of this program keeps none.
//   document_child hold <temp folder>
//       makes a new document, prints "ready" and keeps its working copy until its input closes.
//   document_child delete <temp folder> <page file> <page> <pause step>
//       deletes the page; at pause step (a DeletePageStep, 0 for none) it prints "paused" and
//       waits for a line on its input.
//   document_child edit <temp folder> <user base> <node> [options]
//       opens the user base, writes "edited, then node <node>" into row 7 of the page shown,
//       selects node <node> (so each node gives another .dir) and saves. Options:
//         --ready         prints "ready" once edited and waits for a line before it saves
//         --pause-at S    prints "paused" at SaveStep S and waits for a line
//         --lock-wait MS  how long the save waits for another instance's save
//         --as-nobody     drops root's rights first, to meet permissions as a user does
//   document_child baseedit <temp folder> <user base> <kill at> <edit> <arguments>
//       changes the user base as tervane-cli does (editBaseFiles): "mkfile PARENT NAME",
//       "mkdir PARENT NAME", "rename INDEX NAME", "rm INDEX" or "import-viz FILE TYPE PAGE".
//       Kill at "save:S" (a SaveStep) or "delete:S" (a DeletePageStep of the working copy), or
//       "0" for none.
// Every message box is printed as "message: <text>" and answered. The exit code is 0 when the
// command succeeded, 4 when it failed, 3 when the base could not be opened.
#include "base/BaseFileEdit.h"
#include "base/BaseSave.h"
#include "base/Document.h"
#include "base/PageFile.h"
#include "base/TreePages.h"
#include "base/VizitImport.h"
#include "seams/AppPaths.h"
#include "seams/Prompts.h"
#include "settings/ProgramOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <deque>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>
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

// Answers the dialogs from a queue and prints every message box for the test to read.
class ChildPrompts final : public Prompts {
public:
    std::deque<QString> files;
    PromptButton message(PromptIcon, const QString&, const QString& text, int buttons) override {
        std::printf("message: %s\n", qPrintable(text));
        std::fflush(stdout);
        return (buttons & ButtonOk) ? ButtonOk : ButtonCancel;
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

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void waitForLine() {
    char line[64];
    if (!std::fgets(line, sizeof line, stdin))
        std::exit(5);
}

bool dropRootRights() {
#ifdef Q_OS_UNIX
    if (::geteuid() != 0)
        return true;
    const passwd* nobody = ::getpwnam("nobody");
    return nobody && ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 && ::setuid(nobody->pw_uid) == 0;
#else
    return true;
#endif
}

int deletePage(const QStringList& args) {
    if (args.size() != 6)
        return 64;
    const int pauseAt = args[5].toInt();
    setDeletePageHook([pauseAt](DeletePageStep step) {
        if (int(step) == pauseAt) {
            say("paused");
            waitForLine();
        }
    });
    return DeletePage(args[3], args[4].toInt()) ? 0 : 4;
}

int editBase(const QStringList& args) {
    if (args.size() < 6)
        return 64;
    const QString base = args[3];
    const QString killAt = args[4];
    const QString edit = args[5];
    const QStringList rest = args.mid(6);
    if (killAt.startsWith(QLatin1String("save:"))) {
        const int step = killAt.mid(5).toInt();
        setSaveStepHook([step](SaveStep s) {
            if (int(s) == step)
                dieNow();
            return true;
        });
    } else if (killAt.startsWith(QLatin1String("delete:"))) {
        const int step = killAt.mid(7).toInt();
        setDeletePageHook([step](DeletePageStep s) {
            if (int(s) == step)
                dieNow();
        });
    }
    const bool done = editBaseFiles(base, [&](BaseTree& tree, const QString& pageFile) {
        if (edit == QLatin1String("import-viz")) {
            const auto imported = std::make_unique<KeyPage>();
            return ImportVizitFile(rest.value(0), VizitKeyType(rest.value(1).toInt()), *imported) &&
                   WritePage(pageFile, rest.value(2).toInt(), *imported);
        }
        const int index = rest.value(0).toInt();
        BaseNode* node = index >= 0 ? tree.nodeAt(index) : nullptr;
        const QByteArray name = rest.value(1).toUtf8();
        if (edit == QLatin1String("mkfile"))
            return addFileNode(tree, pageFile, node, name) != nullptr;
        if (edit == QLatin1String("mkdir"))
            return addFolderNode(tree, node, name) != nullptr;
        if (!node)
            return false;
        if (edit == QLatin1String("rename")) {
            node->text = name;
            return true;
        }
        return edit == QLatin1String("rm") && removeSubtreeWithPages(tree, pageFile, node);
    });
    return done ? 0 : 4;
}

int editAndSave(Document& doc, ChildPrompts& answers) {
    QCommandLineParser parser;
    const QCommandLineOption ready(QStringLiteral("ready"));
    const QCommandLineOption pauseAt(QStringLiteral("pause-at"), {}, QStringLiteral("step"), QStringLiteral("0"));
    const QCommandLineOption lockWait(QStringLiteral("lock-wait"), {}, QStringLiteral("ms"));
    const QCommandLineOption asNobody(QStringLiteral("as-nobody"));
    parser.addOptions({ready, pauseAt, lockWait, asNobody});
    parser.addPositionalArgument(QStringLiteral("mode"), {});
    if (!parser.parse(QCoreApplication::arguments()) || parser.positionalArguments().size() != 4)
        return 64;
    if (parser.isSet(asNobody) && !dropRootRights())
        return 6;
    const QStringList args = parser.positionalArguments();
    const int node = args[3].toInt();
    if (parser.isSet(lockWait))
        setBaseLockWait(parser.value(lockWait).toInt());

    answers.files.push_back(args[2] + QStringLiteral(".dir"));
    if (!doc.OpenBase() || doc.currentPage() == -1)
        return 3;
    doc.pageBuffer().setComment(7, "edited, then node " + QByteArray::number(node));
    doc.setModified();
    doc.tree().select(doc.tree().nodeAt(node));
    if (!doc.SelectNode())
        return 3;
    if (parser.isSet(ready)) {
        say("ready");
        waitForLine();
    }
    const int pauseStep = parser.value(pauseAt).toInt();
    setSaveStepHook([pauseStep](SaveStep step) {
        if (int(step) == pauseStep) {
            say("paused");
            waitForLine();
        }
        return true;
    });
    return doc.SaveBase() ? 0 : 4;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 64;
    const QString mode = args[1];
    ChildPaths paths(args[2]);
    appPathsSeam().install(&paths);
    ChildPrompts answers;
    promptsSeam().install(&answers);
    programOptions().setKeepBaseBackup(false);
    Document doc;

    if (mode == QLatin1String("hold")) {
        if (!doc.NewBase())
            return 3;
        say("ready");
        QTextStream in(stdin);
        while (!in.atEnd())
            in.readLine();
        return 0;
    }
    if (mode == QLatin1String("delete"))
        return deletePage(args);
    if (mode == QLatin1String("edit"))
        return editAndSave(doc, answers);
    if (mode == QLatin1String("baseedit"))
        return editBase(args);

    const bool saveAs = mode == QLatin1String("saveas");
    const bool backup = args.last() == QLatin1String("backup");
    const qsizetype expected = (saveAs ? 6 : 5) + (backup ? 1 : 0);
    if ((!saveAs && mode != QLatin1String("save")) || args.size() != expected)
        return 64;
    programOptions().setKeepBaseBackup(backup);
    const int killAt = args[saveAs ? 5 : 4].toInt();
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
