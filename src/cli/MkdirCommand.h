#pragma once

#include "cli/Command.h"

namespace tervane {

// "mkdir BASE PARENT NAME": a new folder node, placed as the tree's Create folder places it.
class MkdirCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("mkdir"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
