#pragma once

// Cut and copy of listed files through the clipboard, in the formats file managers paste from.
// After a cut the rows carry the cut mark and the clipboard is watched: when it changes (a file
// manager pasted the files and emptied it, or another program took it), the rows of files that
// have gone leave the list a little later and the others lose the mark. Copy, a new cut and
// Escape end the watch.

#include <QObject>
#include <QPointer>
#include <string>
#include <vector>

#include "core/list/FileListRecord.h"

class QMimeData;
class CVNFileListCtrl;
class VanishedRows;

class FileClipboard : public QObject {
    Q_OBJECT
public:
    FileClipboard(CVNFileListCtrl& list, VanishedRows& vanished, QObject* parent = nullptr);

    void cut(const std::vector<const FileListRecord*>& records,
             const std::vector<std::string>& paths);
    void copy(const std::vector<std::string>& paths);
    // The paths as text, one a line.
    void copyPaths(const std::vector<std::string>& paths);
    // Escape: gives up a pending cut; the clipboard is emptied if it still holds it.
    void cancelCut();

    // Whether a cut is pending and the clipboard watched.
    bool watching() const { return watching_; }

private:
    void put(QMimeData* data);
    void onClipboardChanged();

    CVNFileListCtrl& list_;
    VanishedRows& vanished_;
    QPointer<QMimeData> ours_; // what we put on the clipboard, while the clipboard keeps it
    bool watching_ = false;
    int cutNumber_ = 0;
};
