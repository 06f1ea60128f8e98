// tervane-cli: the contents of key bases as JSON, for scripts.
#include "cli/CliPrompts.h"
#include "cli/CommandRegistry.h"
#include "texts/UiLanguage.h"

#include <QCoreApplication>
#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

using namespace tervane;

namespace {

void write(std::FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int usageError(const CommandRegistry& registry, const QString& reason) {
    write(stderr, QStringLiteral("tervane-cli: %1\n\n").arg(reason).toUtf8() + registry.usage().toUtf8());
    return ExitUsage;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
#ifdef Q_OS_WIN
    // The output is UTF-8 bytes; text mode would turn every newline into CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    QCoreApplication::setApplicationName(QStringLiteral("tervane-cli"));

    // The file error texts of a script's tool are English whatever the system's language.
    setUiLanguage(UiLanguage::English);
    CliPrompts cliPrompts;
    promptsSeam().install(&cliPrompts);

    const CommandRegistry registry;
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        write(stdout, registry.usage().toUtf8());
        return ExitOk;
    }
    if (args.isEmpty())
        return usageError(registry, QStringLiteral("no command"));

    const QString name = args.takeFirst();
    Command* command = registry.find(name);
    if (!command)
        return usageError(registry, QStringLiteral("unknown command \"%1\"").arg(name));

    QByteArray out;
    QString reason;
    const ExitCode code = command->run(args, out, reason);
    promptsSeam().install(nullptr);
    if (code == ExitUsage)
        return usageError(registry, reason);
    // A core routine that showed an error has failed, whatever it returned.
    if (code != ExitOk || cliPrompts.errorShown())
        return ExitFileError;
    write(stdout, out);
    return ExitOk;
}
