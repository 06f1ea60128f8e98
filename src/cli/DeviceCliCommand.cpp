#include "cli/DeviceCliCommand.h"

#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "cli/CommandLine.h"
#include "cli/DevicePageFile.h"
#include "cli/DeviceSession.h"
#include "cli/JsonWriter.h"
#include "cli/KeyCellArgs.h"
#include "device/DeviceModel.h"
#include "device/DeviceProtocol.h"
#include "device/KeyBaseTransfer.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace tervane {
namespace {

// The operation dialog polls its event answers at this pace too.
constexpr int kPollIntervalMs = 100;

void printLine(const QByteArray& json) {
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    std::fflush(stdout);
}

QByteArray jsonString(const std::optional<QString>& text) {
    return text ? JsonWriter::quoted(*text) : QByteArray("null");
}

QByteArray jsonBool(bool value) {
    return value ? QByteArray("true") : QByteArray("false");
}

QByteArray keyLine(std::uint8_t type, const KeyCode& code) {
    KeyCell cell;
    cell.setType(type);
    cell.setCode(code);
    JsonWriter json;
    json.beginObject(JsonWriter::Inline);
    writeKeyMembers(json, cell);
    json.endObject();
    return json.finish();
}

} // namespace

QString DeviceCliCommand::usage() const {
    return QStringLiteral("  device identify\n"
                          "      Whether a programmer answers, and its model letter, model, firmware and whether the\n"
                          "      firmware is new enough, as one JSON line. Exit status 1 when no programmer answers.\n"
                          "  device read [--count N]\n"
                          "      Reads N keys (default 1) presented to the programmer, one JSON line each with the\n"
                          "      type, the code (16 hex digits, first code byte first) and the cell text. Waits for\n"
                          "      every key without a time limit; Ctrl+C ends the wait. A read that the programmer\n"
                          "      cancels ends the command with status 1.\n"
                          "  device download BASE N [--rows 100|500]\n"
                          "      Replaces page N of the key base with the programmer's key memory: one key and name\n"
                          "      per row in key column 0, every other cell and comment emptied. The page file is\n"
                          "      replaced whole once the last row was read; a failed row stays empty.\n"
                          "  device upload BASE N [--rows 100|500]\n"
                          "      Writes page N into the programmer's key memory.\n"
                          "      --rows   rows of key memory; default: 100 for a Lark, 500 for a Wren or Kestrel\n"
                          "      A device command that fails prints \"Data transfer error.\" on stderr (status 1).\n");
}

ExitCode DeviceCliCommand::run(const QStringList& args, QByteArray&, QString& usageError) {
    if (args.isEmpty()) {
        usageError = QStringLiteral("device needs identify, read, download or upload");
        return ExitUsage;
    }
    const QString action = args.first();
    const QStringList rest = args.mid(1);
    if (action == QLatin1String("identify"))
        return identify(rest, usageError);
    if (action == QLatin1String("read"))
        return readKeys(rest, usageError);
    if (action == QLatin1String("download") || action == QLatin1String("upload"))
        return transfer(action == QLatin1String("download"), rest, usageError);
    usageError = QStringLiteral("unknown device command \"%1\"").arg(action);
    return ExitUsage;
}

ExitCode DeviceCliCommand::identify(const QStringList& args, QString& usageError) {
    CommandLine line;
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (!line.positional().isEmpty()) {
        usageError = QStringLiteral("device identify takes no arguments");
        return ExitUsage;
    }
    DeviceSession session;
    const DeviceSession::Identity identity = session.identify();
    const QString modelName = deviceModelName(identity.model);
    std::optional<QString> letter;
    std::optional<QString> firmware;
    if (identity.letter) {
        letter = QString(QChar(*identity.letter));
        firmware = identity.firmware;
    }
    printLine("{\"connected\": " + jsonBool(identity.connected) + ", \"answered\": " + jsonBool(identity.answered) +
              ", \"letter\": " + jsonString(letter) +
              ", \"model\": " + jsonString(modelName.isEmpty() ? std::nullopt : std::optional<QString>(modelName)) +
              ", \"firmware\": " + jsonString(firmware) + ", \"firmwareOk\": " + jsonBool(identity.firmwareOk) + "}\n");
    if (!identity.answered) {
        session.reportTransferError();
        return ExitFileError;
    }
    return ExitOk;
}

ExitCode DeviceCliCommand::readKeys(const QStringList& args, QString& usageError) {
    CommandLine line({{QStringLiteral("count"), {}, /*anyValue*/ true}});
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (!line.positional().isEmpty()) {
        usageError = QStringLiteral("device read takes no arguments besides --count");
        return ExitUsage;
    }
    int count = 1;
    const QString countText = line.value(QStringLiteral("count"), QStringLiteral("1"));
    if (!CommandLine::parseNumber(countText, count) || count < 1) {
        usageError = QStringLiteral("option --count takes a number of keys, 1 or more, not \"%1\"").arg(countText);
        return ExitUsage;
    }

    DeviceSession session;
    DeviceProtocol& protocol = session.protocol();
    ExitCode result = ExitOk;
    for (int key = 0; key < count && result == ExitOk; ++key) {
        // Every key needs a read of its own.
        protocol.clearOutPayload();
        if (!protocol.Transact(CmdReadKeys)) {
            session.reportFailure();
            result = ExitFileError;
        } else if (!awaitKey(session)) {
            result = ExitFileError;
        }
    }
    session.stop();
    return result;
}

bool DeviceCliCommand::awaitKey(DeviceSession& session) {
    DeviceProtocol& protocol = session.protocol();
    for (;;) {
        if (session.interrupted() || session.deviceGone()) {
            session.reportFailure();
            return false;
        }
        // Anything but the read's own event (a late answer of another command) is passed over.
        if (protocol.PollAnswer()) {
            const Payload& answer = protocol.InAnswer;
            if (answer[0] == StatusKeyRead) {
                KeyCode code{};
                std::copy_n(answer.begin() + 2, code.size(), code.begin());
                printLine(keyLine(answer[1], code));
                return true;
            }
            if (answer[0] == StatusCancelled) {
                session.reportLine(QStringLiteral("The programmer cancelled the reading."));
                return false;
            }
        }
        DeviceProtocol::PumpWait(kPollIntervalMs);
    }
}

ExitCode DeviceCliCommand::transfer(bool download, const QStringList& args, QString& usageError) {
    const QString name = download ? QStringLiteral("download") : QStringLiteral("upload");
    CommandLine line({{QStringLiteral("rows"), {QStringLiteral("100"), QStringLiteral("500")}}});
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 2) {
        usageError = QStringLiteral("device %1 takes two arguments, BASE and N").arg(name);
        return ExitUsage;
    }
    int pageNumber = 0;
    if (!CommandLine::parseNumber(line.positional().at(1), pageNumber)) {
        usageError = QStringLiteral("N must be a page number, 0 or more, not \"%1\"").arg(line.positional().at(1));
        return ExitUsage;
    }

    // The page is read first: a download also needs it to exist, and a bad base costs no traffic.
    const QString pageFile = CommandLine::basePath(line.positional().first()) + QStringLiteral(".dat");
    const auto page = std::make_unique<KeyPage>();
    if (!ReadPage(pageFile, pageNumber, *page) || (download && !checkPageFileWritable(pageFile)))
        return ExitFileError;

    DeviceSession session;
    // A programmer that does not answer this will not answer the rows either.
    const std::optional<std::int32_t> model = session.identifyModel();
    if (!model) {
        session.reportFailure();
        return ExitFileError;
    }
    int rows = 0;
    if (line.isSet(QStringLiteral("rows"))) {
        rows = line.value(QStringLiteral("rows"), {}).toInt();
    } else if (*model == ModelUnknown) {
        session.reportLine(QStringLiteral("The programmer's model is not known: give --rows 100 or 500."));
        return ExitFileError;
    } else {
        rows = DeviceRowCount(*model);
    }

    TransferHooks hooks;
    // A programmer pulled out ends the transfer, also when another one is opened in its place:
    // no page is made of two programmers' rows.
    hooks.cancelled = [&session] { return session.interrupted() || session.deviceGone(); };
    bool modified = false;
    const TransferResult result = download ? DownloadKeyBase(session.protocol(), rows, *page, hooks, modified)
                                           : UploadKeyBase(session.protocol(), rows, *page, hooks);
    session.stop();
    if (result != TransferResult::Done) {
        session.reportFailure();
        return ExitFileError;
    }
    if (download && !writeDownloadedPage(pageFile, pageNumber, *page))
        return ExitFileError;

    JsonWriter json;
    json.beginObject(JsonWriter::Inline);
    json.key(u"page").number(pageNumber);
    json.key(u"rows").number(rows);
    json.endObject();
    printLine(json.finish());
    return ExitOk;
}

} // namespace tervane
