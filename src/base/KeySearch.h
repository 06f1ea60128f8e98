#pragma once

#include "base/KeyPage.h"
#include "keys/KeyQuery.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <vector>

namespace tervane {

class BaseTree;
struct BaseNode;

// One file node of the tree as the search sees it, in tree order. The search itself never
// follows node: the tree may only be read on the thread that owns it.
struct KeySearchFile {
    std::int32_t index = 0; // the node's pre-order index
    std::int32_t page = -1;
    const BaseNode* node = nullptr;
};

// Everything a search needs, taken on the interface thread, so that it can run on another one
// without touching the document: the file nodes, the page file and the page shown, as edited.
struct KeySearchJob {
    KeyQuery query;
    QString pageFile;
    std::vector<KeySearchFile> files;
    std::int32_t shownPage = -1;
    std::shared_ptr<const KeyPage> shownContent; // the page shown, in place of its record
};

// The file nodes of tree, in tree order.
std::vector<KeySearchFile> keySearchFiles(const BaseTree& tree);
// The names of node and the folders above it, from the top.
QStringList nodePath(const BaseNode* node);

// A key that matches: file is the position of its node in the job's files.
struct KeyHit {
    std::int32_t file = 0;
    std::int32_t comment = -1; // where the result keeps the row's comment; -1: the row has none
    std::int16_t row = 0;
    std::uint8_t column = 0; // key column 0..5
    KeyCell cell;
};

struct KeySearchResult {
    std::vector<KeyHit> hits; // in tree order, then row, then column
    // The comments of the rows with hits, each as a page stores it: a length byte, then the
    // characters. One block for all, since a short query can find keys in most rows.
    QByteArray commentBytes;
    bool cancelled = false;
    // A file error: its code (FileErrorRead, FileErrorOpen) and path; 0 when there was none.
    std::int32_t errorCode = 0;
    QString errorPath;

    // The comment of the hit's row, Windows-1251 as stored; empty when it has none.
    QByteArray comment(const KeyHit& hit) const {
        if (hit.comment < 0)
            return {};
        return commentBytes.mid(hit.comment + 1, std::uint8_t(commentBytes.at(hit.comment)));
    }
};

// Pages read so far and the pages to read.
using KeySearchProgress = std::function<void(std::int64_t done, std::int64_t total)>;

// Every key of the job's files that the query matches. The page file is read front to back in
// large blocks, only as far as the last page a file refers to; a file whose page is not in the
// page file has no keys. Stops between blocks when stop is requested (cancelled, no hits). It
// reports nothing to the user: a file error comes back in the result.
KeySearchResult searchKeys(const KeySearchJob& job, std::stop_token stop = {}, const KeySearchProgress& progress = {});

} // namespace tervane
