#pragma once

#include "cli/Command.h"

namespace tervane {

// "find-key BASE QUERY [--type FAMILY]" and "find-key BASE --dec N": every key of the base whose
// code digits hold QUERY, or every EM410x card whose printed number is N, in tree order, then
// row, then column.
class FindKeyCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("find-key"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
