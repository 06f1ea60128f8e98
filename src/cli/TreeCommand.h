#pragma once

#include "cli/Command.h"

namespace tervane {

// "tree BASE": the folder tree of a key base as LoadDirectory builds it, in pre-order.
class TreeCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("tree"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
