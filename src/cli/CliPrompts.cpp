#include "cli/CliPrompts.h"

#include <cstdio>

namespace tervane {

PromptButton CliPrompts::message(PromptIcon icon, const QString&, const QString& text, int buttons) {
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
    if (icon == PromptIcon::Error || icon == PromptIcon::Warning)
        m_errorShown = true;
    // Nobody can free disk space or answer a question here: give up the operation.
    if (buttons & ButtonCancel)
        return ButtonCancel;
    if (buttons & ButtonNo)
        return ButtonNo;
    return ButtonOk;
}

} // namespace tervane
