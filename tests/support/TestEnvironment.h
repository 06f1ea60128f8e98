#pragma once

#include "FakeSystem.h"
#include "ScriptedPrompts.h"

#include "texts/UiLanguage.h"

#include <QByteArray>
#include <QString>

namespace tervane::test {

// The usual fixture of a core test: scripted prompts, a fake system with plenty of space, and
// paths in a temporary folder. English texts unless a test switches the language.
struct TestEnvironment {
    TestEnvironment() { setUiLanguage(UiLanguage::English); }
    ScriptedPrompts prompts;
    FakeSystemInfo system;
    TempAppPaths paths;
};

QByteArray readFileBytes(const QString& path);
bool writeFileBytes(const QString& path, const QByteArray& bytes);
// Windows-1251 bytes of a text written in UTF-8 in the source.
QByteArray cp1251(const QString& text);

} // namespace tervane::test
