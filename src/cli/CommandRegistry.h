#pragma once

#include "cli/Command.h"

#include <memory>
#include <vector>

namespace tervane {

// The commands of tervane-cli in the order the usage lists them. A new command is one class
// and one line in the constructor.
class CommandRegistry {
public:
    CommandRegistry();

    // nullptr for an unknown name.
    Command* find(const QString& name) const;
    // The whole usage text, ending in a newline.
    QString usage() const;

private:
    std::vector<std::unique_ptr<Command>> m_commands;
};

} // namespace tervane
