#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

#include <algorithm>

namespace tervane::test {

// orvel-sim as a second process: commands on its standard input, one line on its standard
// output for each thing that happens. Killed when the test is done with it.
class OrvelSimProcess {
public:
    OrvelSimProcess(const QString& program, const QProcessEnvironment& env, const QStringList& arguments) {
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
    }
    ~OrvelSimProcess() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    OrvelSimProcess(const OrvelSimProcess&) = delete;
    OrvelSimProcess& operator=(const OrvelSimProcess&) = delete;

    // The next line that starts with prefix; the lines before it are kept but skipped. Empty
    // when none came in time.
    QString waitForLine(const QString& prefix, int timeoutMs = 20000) {
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            while (m_next < lines.size()) {
                const QString& line = lines.at(m_next++);
                if (line.startsWith(prefix))
                    return line;
            }
            while (process.canReadLine())
                lines << QString::fromLocal8Bit(process.readLine()).trimmed();
            if (m_next < lines.size())
                continue;
            if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime())))
                return QString();
        }
    }
    int count(const QString& prefix) const {
        return int(std::count_if(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(prefix); }));
    }
    void command(const QByteArray& line) {
        process.write(line + '\n');
        process.waitForBytesWritten();
    }

    QProcess process;
    QStringList lines;

private:
    qsizetype m_next = 0;
};

} // namespace tervane::test
