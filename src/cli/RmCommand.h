#pragma once

#include "cli/Command.h"

namespace tervane {

// "rm BASE INDEX": a node with its subtree and the pages of its files, as the tree's Delete
// removes them, without its questions.
class RmCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("rm"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
