#include "dialogs/OperationResultTexts.h"

namespace tervane {

QString WriteResultText(int code, UiLanguage language) {
    const char* text = "Write error.";
    switch (code) {
    case 0:
        text = "The key is successfully written.";
        break;
    case 1:
        text = "Error - Data transfer is interrupted.";
        break;
    case 3:
        text = "Write operation is cancelled.";
        break;
    case 4:
        text = "Error - The code is already written.";
        break;
    case 5:
        text = "Error - It is impossible to complete operation.";
        break;
    case 7:
        text = "Error - Wrong type device.";
        break;
    default:
        break;
    }
    return TrIn(language, "OperationDialog", text);
}

// A context of their own: two lock texts share their English with write texts but not their
// Russian.
QString LockResultText(int code, UiLanguage language) {
    const char* text = "Error of locking.";
    switch (code) {
    case 0:
        text = "The key is successfully locked.";
        break;
    case 1:
        text = "Error - Data transfer is interrupted.";
        break;
    case 3:
        text = "Lock operation is cancelled.";
        break;
    case 4:
        text = "Error - It is impossible to complete operation.";
        break;
    default:
        break;
    }
    return TrIn(language, "OperationDialogLock", text);
}

} // namespace tervane
