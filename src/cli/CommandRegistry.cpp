#include "cli/CommandRegistry.h"

#include "cli/DeviceCliCommand.h"
#include "cli/ExportCsvCommand.h"
#include "cli/ExportFlipperCommand.h"
#include "cli/FindCommand.h"
#include "cli/FindKeyCommand.h"
#include "cli/ImportCsvCommand.h"
#include "cli/ImportFlipperCommand.h"
#include "cli/ImportVizCommand.h"
#include "cli/KeyCommand.h"
#include "cli/MkdirCommand.h"
#include "cli/MkfileCommand.h"
#include "cli/PageCommand.h"
#include "cli/RenameCommand.h"
#include "cli/RmCommand.h"
#include "cli/TreeCommand.h"

namespace tervane {

CommandRegistry::CommandRegistry() {
    m_commands.push_back(std::make_unique<TreeCommand>());
    m_commands.push_back(std::make_unique<PageCommand>());
    m_commands.push_back(std::make_unique<MkfileCommand>());
    m_commands.push_back(std::make_unique<MkdirCommand>());
    m_commands.push_back(std::make_unique<RenameCommand>());
    m_commands.push_back(std::make_unique<RmCommand>());
    m_commands.push_back(std::make_unique<FindCommand>());
    m_commands.push_back(std::make_unique<FindKeyCommand>());
    m_commands.push_back(std::make_unique<ImportVizCommand>());
    m_commands.push_back(std::make_unique<DeviceCliCommand>());
    m_commands.push_back(std::make_unique<KeyCommand>());
    m_commands.push_back(std::make_unique<ExportFlipperCommand>());
    m_commands.push_back(std::make_unique<ImportFlipperCommand>());
    m_commands.push_back(std::make_unique<ExportCsvCommand>());
    m_commands.push_back(std::make_unique<ImportCsvCommand>());
}

Command* CommandRegistry::find(const QString& name) const {
    for (const auto& command : m_commands) {
        if (command->name() == name)
            return command.get();
    }
    return nullptr;
}

QString CommandRegistry::usage() const {
    QString text = QStringLiteral("Usage: tervane-cli COMMAND ARGUMENTS...\n"
                                  "       tervane-cli --help\n"
                                  "\n"
                                  "Prints the contents of a key base as UTF-8 JSON.\n"
                                  "\n"
                                  "Commands:\n");
    for (const auto& command : m_commands)
        text += command->usage();
    text += QStringLiteral("\n"
                           "BASE is the path of a key base, with or without \".dir\" (or \".dat\").\n"
                           "Exit status: 0 success, 1 file error (reported on stderr), 2 usage error.\n");
    return text;
}

} // namespace tervane
