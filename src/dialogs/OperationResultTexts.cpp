#include "dialogs/OperationResultTexts.h"

#include <QtGlobal>

namespace tervane {

QString WriteResultText(int code, UiLanguage language) {
    const char* text = QT_TRANSLATE_NOOP("OperationDialog", "Write error.");
    switch (code) {
    case 0:
        text = QT_TRANSLATE_NOOP("OperationDialog", "The key is successfully written.");
        break;
    case 1:
        text = QT_TRANSLATE_NOOP("OperationDialog", "Error - Data transfer is interrupted.");
        break;
    case 3:
        text = QT_TRANSLATE_NOOP("OperationDialog", "Write operation is cancelled.");
        break;
    case 4:
        text = QT_TRANSLATE_NOOP("OperationDialog", "Error - The code is already written.");
        break;
    case 5:
        text = QT_TRANSLATE_NOOP("OperationDialog", "Error - It is impossible to complete operation.");
        break;
    case 7:
        text = QT_TRANSLATE_NOOP("OperationDialog", "Error - Wrong type device.");
        break;
    default:
        break;
    }
    return translateIn(language, "OperationDialog", text);
}

// A context of their own: two lock texts share their English with write texts but not their
// Russian.
QString LockResultText(int code, UiLanguage language) {
    const char* text = QT_TRANSLATE_NOOP("OperationDialogLock", "Error of locking.");
    switch (code) {
    case 0:
        text = QT_TRANSLATE_NOOP("OperationDialogLock", "The key is successfully locked.");
        break;
    case 1:
        text = QT_TRANSLATE_NOOP("OperationDialogLock", "Error - Data transfer is interrupted.");
        break;
    case 3:
        text = QT_TRANSLATE_NOOP("OperationDialogLock", "Lock operation is cancelled.");
        break;
    case 4:
        text = QT_TRANSLATE_NOOP("OperationDialogLock", "Error - It is impossible to complete operation.");
        break;
    default:
        break;
    }
    return translateIn(language, "OperationDialogLock", text);
}

} // namespace tervane
