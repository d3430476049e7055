#pragma once

// The desktop's file operations on the selected rows of the file list, the Linux stand-in for
// the shell's verbs and context menu. Verbs, as the list's keys and the Edit menu name them:
//   ""             the default action: open each file with its default application
//   "delete"       to the trash; with shift for good, after a confirmation
//   "cut", "copy"  the files to the clipboard (a cut marks the rows and watches the clipboard)
//   "properties"   the Eigenschaften dialog
//   "copypath"     the paths as text to the clipboard
//   "showinfolder" the files in the desktop's file manager
// After a delete, and after a drag or a paste of cut files elsewhere, the rows of files that
// have gone leave the list 2 s later. Nothing acts while a run is in progress.

#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>

#include "core/shell/DesktopApplications.h"
#include "core/shell/ShellSelection.h"
#include "ui/shell/FileClipboard.h"
#include "ui/shell/VanishedRows.h"

class CVNFileListCtrl;
class FileContextMenu;

class ShellOperations : public QObject {
    Q_OBJECT
public:
    // Answers the list's requests (keys, double click, context menu, Escape, drag); busy tells
    // when a run is in progress.
    ShellOperations(CVNFileListCtrl& list, std::function<bool()> busy = {},
                    QObject* parent = nullptr);
    ~ShellOperations() override;

    // Gives false when the verb failed or was cancelled; true also with no row selected.
    bool InvokeVerb(const QString& verb, bool shift);
    bool OpenWith(const DesktopApplication& app);
    // The context menu at a point of the list's viewport: "Direkthilfe" for the list, then the
    // selection's entries (none without a selection).
    void ShowContextMenu(const QPoint& at);
    // The selection's entries of that menu, not yet shown; null without a selection.
    std::unique_ptr<FileContextMenu> CreateContextMenu();
    // Drags the selected files out of the list.
    void DragSelection();

    FileClipboard& clipboard() { return clipboard_; }
    VanishedRows& vanishedRows() { return vanished_; }

private:
    // The selection's records and files, the list showing the disk's names; false (after its
    // message) when a row cannot stand for a file, or with no selection.
    bool selection(std::vector<const FileListRecord*>& records, ShellSelection& files);
    bool idle() const { return !busy_ || !busy_(); }

    CVNFileListCtrl& list_;
    std::function<bool()> busy_;
    VanishedRows vanished_;
    FileClipboard clipboard_;
};
