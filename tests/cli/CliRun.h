#pragma once

#include <QByteArray>
#include <QDebug>
#include <QProcess>
#include <QStringList>

namespace tervane::test {

// What a finished tervane-cli process left: its exit status and both output streams.
struct CliRun {
    int exitCode = -1; // -1: it did not finish, or it crashed
    QByteArray out;
    QByteArray err;
};

// Waits for a started tervane-cli and collects what it printed.
inline CliRun finishCli(QProcess& process) {
    CliRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        qWarning() << "tervane-cli did not finish:" << process.errorString();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

#ifdef TERVANE_CLI
// Runs the built tervane-cli with args, as a script runs it, and waits for it.
inline CliRun runCli(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(TERVANE_CLI), args);
    return finishCli(process);
}
#endif

} // namespace tervane::test
