#pragma once

#include "cli/Command.h"

namespace tervane {

// "import-csv BASE FILE": the key cells and comments that a CSV file names (as export-csv and
// the editor write them) set in a key base, saved as the editor saves. Every line is checked
// first; the first invalid one is an error with its line number, and the base stays untouched.
class ImportCsvCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("import-csv"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
