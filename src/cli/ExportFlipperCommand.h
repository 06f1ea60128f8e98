#pragma once

#include "cli/Command.h"

namespace tervane {

// "export-flipper BASE PAGE ROW COL FILE": one key of a key base as a Flipper Zero key file.
class ExportFlipperCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("export-flipper"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
