#include "base/FlipperKeyFile.h"

#include "base/Cp1251.h"
#include "base/FileErrors.h"
#include "seams/Prompts.h"
#include "texts/UiLanguage.h"

#include <QFile>
#include <QSaveFile>

namespace tervane {
namespace {

// Key files are a few lines long; anything much larger is no key file and is not read whole.
constexpr qint64 kMaxFileSize = 64 * 1024;
// Long comments are cut so that the name stays well inside what file systems allow.
constexpr int kMaxCommentInName = 40;

void showError(const QString& text) {
    prompts().message(PromptIcon::Error, QStringLiteral("Tervane"), text, ButtonOk);
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A comment as part of a file name: no path separators, no control characters, none of the
// characters Windows refuses in names, no blanks or full stops at its ends.
QString nameSafe(const QString& comment) {
    static const QString kRefused = QStringLiteral("/\\:*?\"<>|");
    QString safe;
    for (const QChar c : comment) {
        if (c.category() == QChar::Other_Control || kRefused.contains(c))
            continue;
        safe += c;
    }
    safe = safe.left(kMaxCommentInName);
    const auto edge = [](QChar c) { return c.isSpace() || c == QLatin1Char('.'); };
    while (!safe.isEmpty() && edge(safe.back()))
        safe.chop(1);
    while (!safe.isEmpty() && edge(safe.front()))
        safe.remove(0, 1);
    return safe;
}

} // namespace

QString flipperErrorText(const FlipperResult& result, const QString& path) {
    const QString detail = fromUtf8(result.detail);
    switch (result.error) {
    case FlipperError::None:
        break;
    case FlipperError::NoKey:
        return translate("FlipperFiles", "The cell holds no key.");
    case FlipperError::NoCounterpart:
        return translate("FlipperFiles", "%1 keys cannot be stored in a Flipper file: the Flipper Zero has no key "
                                         "type that matches them exactly.")
            .arg(detail);
    case FlipperError::NotKeyFile:
        return translate("FlipperFiles", "\"%1\" is not a Flipper key file.").arg(path);
    case FlipperError::WrongVersion:
        return translate("FlipperFiles", "\"%1\" is a Flipper key file of version %2, which this program cannot read.")
            .arg(path, detail);
    case FlipperError::MissingField:
        return translate("FlipperFiles", "\"%1\" has no \"%2\" line.").arg(path, detail);
    case FlipperError::UnknownType:
        return translate("FlipperFiles", "\"%1\" holds a key of type \"%2\", which a key base cannot hold.")
            .arg(path, detail);
    case FlipperError::BadBytes:
        return translate("FlipperFiles", "The \"%2\" line of \"%1\" does not hold hexadecimal bytes.")
            .arg(path, detail);
    case FlipperError::WrongByteCount:
        return translate("FlipperFiles", "The \"%2\" line of \"%1\" holds %3 bytes where %4 are needed.")
            .arg(path, detail)
            .arg(result.found)
            .arg(result.expected);
    case FlipperError::BadLine:
        return translate("FlipperFiles", "Line %2 of \"%1\" is not a \"Key: value\" line.").arg(path).arg(result.line);
    }
    return {};
}

std::optional<KeyCell> readFlipperKeyFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ReportFileError(FileErrorOpen, path);
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        ReportFileError(FileErrorRead, path);
        return std::nullopt;
    }
    FlipperResult result;
    KeyCell cell;
    if (bytes.size() > kMaxFileSize)
        result.error = FlipperError::NotKeyFile;
    else
        result = readFlipperKey(std::string_view(bytes.constData(), std::size_t(bytes.size())), cell);
    if (!result.ok()) {
        showError(flipperErrorText(result, path));
        return std::nullopt;
    }
    return cell;
}

bool writeFlipperKeyFile(const QString& path, const KeyCell& cell) {
    std::string text;
    const FlipperResult result = writeFlipperKey(cell, text);
    if (!result.ok()) {
        showError(flipperErrorText(result, path));
        return false;
    }
    if (!EnsureFreeSpace(path, qint64(text.size())))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ReportFileError(FileErrorCreate, path);
        return false;
    }
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit()) {
        file.cancelWriting();
        ReportFileError(FileErrorWrite, path);
        return false;
    }
    return true;
}

QString flipperFileName(int pageRow, int keyColumn, const QByteArray& comment, FlipperFileKind kind) {
    QString name = QStringLiteral("%1-%2").arg(pageRow, 3, 10, QLatin1Char('0')).arg(keyColumn + 1);
    const QString safe = nameSafe(fromCp1251(comment));
    if (!safe.isEmpty())
        name += QLatin1Char(' ') + safe;
    return name + QLatin1String(flipperFileSuffix(kind));
}

} // namespace tervane
