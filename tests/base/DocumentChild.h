#pragma once

// Drives document_child, the other instance of the two-process tests, through the lines it
// prints and reads.
#include <QByteArrayList>
#include <QProcess>
#include <QStringList>

namespace tervane::test {

class DocumentChild {
public:
    static constexpr int kTimeoutMs = 60000;

    DocumentChild() = default;
    DocumentChild(const DocumentChild&) = delete;
    DocumentChild& operator=(const DocumentChild&) = delete;
    ~DocumentChild() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kTimeoutMs);
        }
    }

    void start(const QStringList& args) { m_process.start(QStringLiteral(TERVANE_DOCUMENT_CHILD), args); }

    // Waits until the child prints line ("ready", "paused"); false when it ends first.
    bool waitFor(const QByteArray& line) {
        for (;;) {
            while (m_process.canReadLine()) {
                const QByteArray read = m_process.readLine().trimmed();
                m_lines << read;
                if (read == line)
                    return true;
            }
            if (!m_process.waitForReadyRead(kTimeoutMs))
                return false;
        }
    }

    // Lets a child that waits for a line go on.
    void resume() { m_process.write("go\n"); }

    // Its exit code once it has ended; -1 when it crashed, hung or never ran.
    int finish() {
        m_process.closeWriteChannel();
        const bool ended = m_process.state() == QProcess::NotRunning || m_process.waitForFinished(kTimeoutMs);
        while (m_process.canReadLine())
            m_lines << m_process.readLine().trimmed();
        const bool ran = m_process.error() != QProcess::FailedToStart;
        return ran && ended && m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    // The texts of the message boxes it showed, in order.
    QStringList messages() const {
        QStringList texts;
        for (const QByteArray& line : m_lines)
            if (line.startsWith("message: "))
                texts << QString::fromUtf8(line.mid(9));
        return texts;
    }

    QString output() { return QString::fromUtf8(m_lines.join('\n') + '\n' + m_process.readAllStandardError()); }

private:
    QProcess m_process;
    QByteArrayList m_lines;
};

} // namespace tervane::test
