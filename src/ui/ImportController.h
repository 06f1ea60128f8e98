#pragma once

#include "base/VizitImport.h"

#include <QObject>

namespace tervane {

class Document;
class EditSession;
class MainCommands;

// File › Import: a VIZIT_DM file becomes the page shown, as Dallas, Cyfral, TM2002 or EM410x
// keys. The whole page is replaced, comments included, without a question, and written to the
// working page file at once. File › Import › CSV and File › Export › CSV run here too.
class ImportController final : public QObject {
    Q_OBJECT
public:
    ImportController(Document& document, EditSession& edits, QObject* parent = nullptr);

    void registerCommands(MainCommands& commands);

    // With no page shown (a folder or nothing selected) nothing happens and no dialog opens.
    void ImportVizitDM(VizitKeyType type);

signals:
    void refreshNeeded();

private:
    Document& m_document;
    EditSession& m_edits;
};

} // namespace tervane
