#pragma once

#include <QByteArray>
#include <QDebug>
#include <QProcess>

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

} // namespace tervane::test
