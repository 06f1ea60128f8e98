#pragma once

#include "cli/Command.h"

namespace tervane {

// "mkfile BASE PARENT NAME": a new file node with a blank page of its own, placed as the tree's
// Create file places it.
class MkfileCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("mkfile"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
