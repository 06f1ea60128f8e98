#pragma once

#include "cli/Command.h"

namespace tervane {

// "import-flipper FILE": the key of a Flipper Zero key file.
class ImportFlipperCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("import-flipper"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
