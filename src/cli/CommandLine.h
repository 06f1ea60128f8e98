#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace tervane {

// The arguments of one command: positional arguments and "--name value", "--name=value" or
// "--flag" options, each option known in advance with the values it accepts. "--" ends the
// options, so a base whose path starts with "-" can still be named.
class CommandLine {
public:
    struct Option {
        QString name;          // without the leading "--"
        QStringList values;    // accepted values; empty for a flag
        bool anyValue = false; // takes a value the command checks itself, such as a number
    };

    explicit CommandLine(std::vector<Option> options = {});

    // False with a one-line reason for an unknown option, a missing or unaccepted value.
    bool parse(const QStringList& args, QString& error);

    const QStringList& positional() const { return m_positional; }
    bool isSet(const QString& name) const { return m_values.contains(name); }
    QString value(const QString& name, const QString& fallback) const { return m_values.value(name, fallback); }

    // The base path P of a key base named by its directory file, its page file or P itself.
    static QString basePath(const QString& argument);
    // A number of 0 or more written in digits only: toInt alone would also take blanks and a sign.
    static bool parseNumber(const QString& text, int& value);

private:
    const Option* option(const QString& name) const;

    std::vector<Option> m_options;
    QStringList m_positional;
    QHash<QString, QString> m_values;
};

} // namespace tervane
