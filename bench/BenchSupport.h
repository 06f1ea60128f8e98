#pragma once

#include "seams/AppPaths.h"
#include "seams/Prompts.h"

#include <QString>

namespace tervane::bench {

// Every folder of the program inside one root: the configuration beside the program, the
// temporary folder of working copies as root/temp.
class BenchPaths final : public AppPaths {
public:
    explicit BenchPaths(QString root) : m_root(std::move(root)) {}
    QString programFolder() const override { return m_root; }
    QString configFile() const override { return m_root + QStringLiteral("/Tervane.cfg"); }
    QString tempFolder() const override { return m_root + QStringLiteral("/temp"); }
    QString softwareFolder() const override { return m_root + QStringLiteral("/software"); }

private:
    QString m_root;
};

// Any prompt means the step measured failed (a file error, a question nobody expected): it is
// counted and cancelled.
class CountingPrompts final : public Prompts {
public:
    int shown = 0;
    QString lastText;
    PromptButton message(PromptIcon, const QString&, const QString& text, int) override {
        ++shown;
        lastText = text;
        return ButtonCancel;
    }
    std::optional<QString> openFile(const FileDialogRequest&) override {
        ++shown;
        return std::nullopt;
    }
    std::optional<QString> saveFile(const FileDialogRequest&) override {
        ++shown;
        return std::nullopt;
    }
};

} // namespace tervane::bench
