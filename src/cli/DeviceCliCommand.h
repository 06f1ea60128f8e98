#pragma once

#include "cli/Command.h"

namespace tervane {

class DeviceSession;

// "device identify|read|download|upload": the programmer from a script. Unlike the file
// commands, these print their JSON lines on stdout as they go (a key as soon as it is read, the
// identity also when nobody answered), so `out` stays empty. A command that fails on the device
// prints "Data transfer error." on stderr and returns 1.
class DeviceCliCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("device"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;

private:
    ExitCode identify(const QStringList& args, QString& usageError);
    ExitCode readKeys(const QStringList& args, QString& usageError);
    ExitCode transfer(bool download, const QStringList& args, QString& usageError);
    // Waits for the event of one armed read and prints the key; false, with the reason on
    // stderr, when the command must end without it.
    bool awaitKey(DeviceSession& session);
};

} // namespace tervane
