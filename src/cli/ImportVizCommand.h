#pragma once

#include "cli/Command.h"

namespace tervane {

// "import-viz FILE --as TYPE [--into BASE N]": a VIZIT_DM file read as the editor's File › Import
// reads it. Alone it prints the page it makes; with --into it replaces page N of a key base, keys
// and comments, as a save replaces a base's files.
class ImportVizCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("import-viz"); }
    QString usage() const override;
    ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) override;
};

} // namespace tervane
