#include "ui/shell/FileClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "core/shell/FileMimeData.h"
#include "ui/list/CVNFileListCtrl.h"
#include "ui/shell/VanishedRows.h"

FileClipboard::FileClipboard(CVNFileListCtrl& list, VanishedRows& vanished, QObject* parent)
    : QObject(parent), list_(list), vanished_(vanished) {
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &FileClipboard::onClipboardChanged);
}

void FileClipboard::put(QMimeData* data) {
    // Our own change is no sign of a paste.
    watching_ = false;
    ours_ = data;
    QApplication::clipboard()->setMimeData(data);
}

void FileClipboard::cut(const std::vector<const FileListRecord*>& records,
                        const std::vector<std::string>& paths) {
    list_.clearCutMarks();
    put(FileMimeData(paths, FileTransfer::Cut).release());
    list_.setCutMarks(records, true);
    watching_ = true;
    ++cutNumber_;
}

void FileClipboard::copy(const std::vector<std::string>& paths) {
    list_.clearCutMarks();
    put(FileMimeData(paths, FileTransfer::Copy).release());
}

void FileClipboard::copyPaths(const std::vector<std::string>& paths) {
    list_.clearCutMarks();
    auto* data = new QMimeData;
    data->setText(PathsText(paths));
    put(data);
}

void FileClipboard::cancelCut() {
    if (!watching_) return;
    watching_ = false;
    const std::vector<const FileListRecord*> marked = list_.cutMarkedRecords();
    list_.clearCutMarks();
    if (ours_ && QApplication::clipboard()->mimeData() == ours_) QApplication::clipboard()->clear();
    // A file manager that pasted without emptying the clipboard has moved the files already.
    vanished_.checkLater(marked);
}

void FileClipboard::onClipboardChanged() {
    // The notice of our own change may come late, from the window system.
    if (!watching_ || (ours_ && QApplication::clipboard()->mimeData() == ours_)) return;
    watching_ = false;
    const int cut = cutNumber_;
    vanished_.checkLater(list_.cutMarkedRecords(),
                         [this, cut](const std::vector<const FileListRecord*>& survivors) {
                             if (cut == cutNumber_) list_.setCutMarks(survivors, false);
                         });
}
