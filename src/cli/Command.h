#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tervane {

// Exit codes of tervane-cli: scripts tell a bad key base from a bad command line.
enum ExitCode : int { ExitOk = 0, ExitFileError = 1, ExitUsage = 2 };

// One command of tervane-cli ("tree", "page", ...). A command parses its own arguments, writes
// its JSON to out and returns an exit code. File errors reach the user through the prompts
// seam, as everywhere in the program; a usage error is returned with its reason.
class Command {
public:
    virtual ~Command() = default;

    // The word that selects the command.
    virtual QString name() const = 0;
    // The command's lines of the usage text, e.g. "  tree BASE   The folder tree as JSON.\n".
    virtual QString usage() const = 0;

    // args are the arguments after the command's name.
    virtual ExitCode run(const QStringList& args, QByteArray& out, QString& usageError) = 0;
};

} // namespace tervane
