#include "cli/CommandLine.h"

#include <algorithm>

namespace tervane {

namespace {

// "-5" is a (bad) number rather than an option, so that the command can say why it is bad.
bool looksLikeOption(const QString& arg) {
    return arg.size() > 1 && arg.startsWith(QLatin1Char('-')) && !arg.at(1).isDigit();
}

} // namespace

CommandLine::CommandLine(std::vector<Option> options) : m_options(std::move(options)) {}

const CommandLine::Option* CommandLine::option(const QString& name) const {
    for (const Option& candidate : m_options) {
        if (candidate.name == name)
            return &candidate;
    }
    return nullptr;
}

bool CommandLine::parse(const QStringList& args, QString& error) {
    m_positional.clear();
    m_values.clear();
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (optionsEnded || !looksLikeOption(arg)) {
            m_positional.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        const QString name = arg.mid(2, equals < 0 ? -1 : equals - 2);
        const Option* known = option(name);
        if (!known) {
            error = QStringLiteral("unknown option --%1").arg(name);
            return false;
        }
        if (known->values.isEmpty() && !known->anyValue) {
            if (equals >= 0) {
                error = QStringLiteral("option --%1 takes no value").arg(name);
                return false;
            }
            m_values.insert(name, QString());
            continue;
        }
        QString value;
        if (equals >= 0) {
            value = arg.mid(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args.at(++i);
        } else if (known->anyValue) {
            error = QStringLiteral("option --%1 needs a value").arg(name);
            return false;
        } else {
            error = QStringLiteral("option --%1 needs a value: %2").arg(name, known->values.join(QLatin1Char('|')));
            return false;
        }
        if (!known->anyValue && !known->values.contains(value)) {
            error = QStringLiteral("option --%1 takes %2, not \"%3\"")
                        .arg(name, known->values.join(QLatin1Char('|')), value);
            return false;
        }
        m_values.insert(name, value);
    }
    return true;
}

QString CommandLine::basePath(const QString& argument) {
    if (argument.endsWith(QLatin1String(".dir")) || argument.endsWith(QLatin1String(".dat")))
        return argument.chopped(4);
    return argument;
}

bool CommandLine::parseNumber(const QString& text, int& value) {
    const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    bool ok = false;
    value = text.toInt(&ok, 10);
    return digitsOnly && ok;
}

} // namespace tervane
