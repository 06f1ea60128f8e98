#pragma once

#include "cli/Command.h"

namespace tervane {

// "page BASE N [options]": one page of a key base, its rows as the grid shows them.
class PageCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("page"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
