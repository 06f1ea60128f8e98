#pragma once

#include "cli/Command.h"

namespace tervane {

// "find BASE TEXT [--case]": the nodes whose names the editor's Find would stop at, in tree
// order, each with its pre-order index as "tree" numbers the nodes.
class FindCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("find"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
