#include "cli/DeviceStatusLines.h"

#include <cstdio>

namespace tervane {

void DeviceStatusLines::writeLine(const QString& text) {
    if (text.isEmpty() || text == m_last)
        return;
    m_last = text;
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace tervane
