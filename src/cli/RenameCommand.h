#pragma once

#include "cli/Command.h"

namespace tervane {

// "rename BASE INDEX NAME": a node's new name.
class RenameCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("rename"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
