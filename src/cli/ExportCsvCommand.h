#pragma once

#include "cli/Command.h"

namespace tervane {

// "export-csv BASE [--page N] [--bom]": the keys and comments of a key base, or of one page, as
// the editor's File › Export › CSV writes them, on stdout.
class ExportCsvCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("export-csv"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
