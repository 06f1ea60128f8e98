// guide-shots: pictures of the editor's windows for the user guide.
//   guide-shots --lang en|ru --out FOLDER BASE
// The editor runs as the program runs it, on a copy of BASE (a .dir file), with a simulated Orvel
// Kestrel plugged in, in a temporary program folder that holds its configuration file: the user's
// own settings and bases are never read or written.
#include "GuideShots.h"

#include "app/AppSession.h"
#include "device/DeviceLink.h"
#include "seams/AppPaths.h"
#include "seams/Prompts.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace tervane;

namespace {

// Questions are answered No (or OK when that is the only button), file dialogs cancelled; each
// is printed, since a walk that meets one has met something it did not expect.
class AnsweringPrompts final : public Prompts {
public:
    PromptButton message(PromptIcon, const QString& caption, const QString& text, int buttons) override {
        std::fprintf(stderr, "guide-shots: message \"%s\": %s\n", qPrintable(caption), qPrintable(text));
        if (buttons == ButtonOk)
            return ButtonOk;
        return (buttons & ButtonNo) ? ButtonNo : ButtonCancel;
    }
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
};

bool writeConfiguration(const QString& path, LanguageSetting language) {
    Settings record;
    record.setLanguageSetting(language);
    // Wide enough for most key texts in full, narrow enough for a page of the guide.
    record.setWindowWidth(1280);
    record.setWindowHeight(620);
    record.setTreeWidth(160);
    for (int column = 1; column <= 6; ++column)
        record.setColumnWidth(column, 150);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && writeSettingsRecord(file, record);
}

bool copyBase(const QString& dirFile, const QString& folder, QString& copy) {
    const QFileInfo info(dirFile);
    const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
    copy = folder + QLatin1Char('/') + info.completeBaseName();
    return QFile::copy(base + QStringLiteral(".dir"), copy + QStringLiteral(".dir")) &&
           QFile::copy(base + QStringLiteral(".dat"), copy + QStringLiteral(".dat"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tervane"));
    QApplication::setOrganizationName(QStringLiteral("Tervane"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption langOption(QStringLiteral("lang"), QStringLiteral("en or ru."), QStringLiteral("lang"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Folder of the pictures."),
                                       QStringLiteral("folder"));
    parser.addOptions({langOption, outOption});
    parser.addPositionalArgument(QStringLiteral("BASE"), QStringLiteral("The key base (.dir) to show."));
    parser.process(app);
    const QString lang = parser.value(langOption);
    if ((lang != QLatin1String("en") && lang != QLatin1String("ru")) || !parser.isSet(outOption) ||
        parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    QTemporaryDir programFolder;
    const QDir out(parser.value(outOption));
    QString base;
    if (!programFolder.isValid() || !out.mkpath(QStringLiteral(".")) ||
        !copyBase(parser.positionalArguments().first(), programFolder.path(), base)) {
        std::fprintf(stderr, "guide-shots: cannot set up the program folder or %s\n", qPrintable(out.path()));
        return 1;
    }
    // The temporary folder is the program's own (writable) folder: the configuration file and the
    // working copies go there. TEMP is not looked at.
    DefaultAppPaths paths(programFolder.path(), [](const char*) { return QString(); });
    const ScopedSeam<AppPaths> pathsInstalled(appPathsSeam(), &paths);
    if (!writeConfiguration(paths.configFile(),
                            lang == QLatin1String("ru") ? LanguageSetting::Russian : LanguageSetting::English)) {
        std::fprintf(stderr, "guide-shots: cannot write %s\n", qPrintable(paths.configFile()));
        return 1;
    }
    AnsweringPrompts answers;
    const ScopedSeam<Prompts> promptsInstalled(promptsSeam(), &answers);
    ProgrammerSimulator kestrel('U', "1.36");
    SimulatedTransport transport(kestrel, QStringLiteral("kestrel"));
    deviceLink().setTransport(&transport);

    bool ok = false;
    {
        AppSession session(base + QStringLiteral(".dir"));
        session.show();
        settle(1000);
        ok = GuideShots(session.window(), out).takeAll();
        session.window().close();
    }
    deviceLink().setTransport(nullptr);
    return ok ? 0 : 1;
}
