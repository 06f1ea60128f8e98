#include "ui/ImageFormatsAhead.h"

#include <QBuffer>
#include <QImageReader>
#include <QThreadPool>

#include <mutex>

namespace tervane {

void loadImageFormatsAhead() {
    static std::once_flag once;
    std::call_once(once, [] {
        QThreadPool::globalInstance()->start([] {
            // A PNG signature with nothing after it: no format is named, so every plugin is asked.
            QByteArray signature("\x89PNG\r\n\x1a\n", 8);
            QBuffer device(&signature);
            device.open(QIODevice::ReadOnly);
            QImageReader reader(&device);
            reader.canRead();
        });
    });
}

} // namespace tervane
