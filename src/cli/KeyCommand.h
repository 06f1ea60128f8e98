#pragma once

#include "cli/Command.h"

namespace tervane {

// "key BASE PAGE ROW COL": one key cell of a key base, with its card numbers or check sum.
class KeyCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("key"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
