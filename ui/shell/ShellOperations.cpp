#include "ui/shell/ShellOperations.h"

#include "core/messages/Messages.h"
#include "core/ops/UndoCommand.h"
#include "ui/help/ContextHelp.h"
#include "ui/list/CVNFileListCtrl.h"
#include "ui/shell/FileContextMenu.h"
#include "ui/shell/FileDragSource.h"
#include "ui/shell/FileOpener.h"
#include "ui/shell/FilePropertiesDialog.h"
#include "ui/shell/ShowInFileManager.h"
#include "ui/shell/TrashOperation.h"

ShellOperations::ShellOperations(CVNFileListCtrl& list, std::function<bool()> busy, QObject* parent)
    : QObject(parent), list_(list), busy_(std::move(busy)), vanished_(list, busy_),
      clipboard_(list, vanished_) {
    // The list's menu comes with the help entry in front (TrackHelpMenu), not from the filter.
    list_.setProperty("ownContextMenu", true);
    connect(&list_, &CVNFileListCtrl::verbRequested, this, &ShellOperations::InvokeVerb);
    connect(&list_, &CVNFileListCtrl::contextMenuRequestedAt, this,
            [this](int, const QPoint& at) { ShowContextMenu(at); });
    connect(&list_, &CVNFileListCtrl::cancelCutRequested, this, [this] { clipboard_.cancelCut(); });
    connect(&list_, &CVNFileListCtrl::dragRequested, this, [this] { DragSelection(); });
}

ShellOperations::~ShellOperations() = default;

bool ShellOperations::selection(std::vector<const FileListRecord*>& records,
                                ShellSelection& files) {
    records = list_.selectedRecords();
    if (records.empty()) return false;
    // What a preview run showed is taken back first, so that every row names a file on disk.
    RevertPreviewGroups(list_.undoLog(), *list_.fileModel());
    try {
        files = MakeShellSelection(records);
    } catch (const CVNException& e) {
        GetMessagePresenter()->show(e.text(), MB_OK | MB_ICONSTOP, 0);
        return false;
    }
    return true;
}

bool ShellOperations::InvokeVerb(const QString& verb, bool shift) {
    if (!idle()) return false;
    std::vector<const FileListRecord*> records;
    ShellSelection files;
    if (list_.selectedCount() == 0) return true;
    if (!selection(records, files)) return false;
    ShellOutcome outcome = ShellOutcome::Done;
    if (verb.isEmpty()) {
        outcome = FileOpener::open(files.paths);
    } else if (verb == QLatin1String("delete")) {
        outcome = shift ? TrashOperation::deleteForGood(files.paths)
                        : TrashOperation::moveToTrash(files.paths);
        // Also after a failure: the files deleted before it have gone.
        if (outcome != ShellOutcome::Cancelled) vanished_.checkLater(records);
    } else if (verb == QLatin1String("cut")) {
        clipboard_.cut(records, files.paths);
    } else if (verb == QLatin1String("copy")) {
        clipboard_.copy(files.paths);
    } else if (verb == QLatin1String("copypath")) {
        clipboard_.copyPaths(files.paths);
    } else if (verb == QLatin1String("properties")) {
        if (!FilePropertiesDialog::showFor(records, files.paths, files.commonFolder,
                                           list_.window()))
            outcome = ShellOutcome::Failed;
    } else if (verb == QLatin1String("showinfolder")) {
        ShowInFileManager(files.paths, files.commonFolder);
    }
    return outcome == ShellOutcome::Done;
}

bool ShellOperations::OpenWith(const DesktopApplication& app) {
    std::vector<const FileListRecord*> records;
    ShellSelection files;
    if (!idle() || !selection(records, files)) return false;
    return FileOpener::openWith(app, files.paths, files.commonFolder) == ShellOutcome::Done;
}

std::unique_ptr<FileContextMenu> ShellOperations::CreateContextMenu() {
    std::vector<const FileListRecord*> records;
    ShellSelection files;
    if (!idle() || !selection(records, files)) return nullptr;
    return std::make_unique<FileContextMenu>(*this, files.paths, &list_);
}

void ShellOperations::ShowContextMenu(const QPoint& at) {
    std::unique_ptr<FileContextMenu> menu = CreateContextMenu();
    TrackHelpMenu(&list_, list_.viewport()->mapToGlobal(at), false, menu.get());
}

void ShellOperations::DragSelection() {
    std::vector<const FileListRecord*> records;
    ShellSelection files;
    if (!idle() || !selection(records, files)) return;
    FileDragSource::drag(&list_, files.paths);
    // Whatever the drop did: a move takes the files away, maybe only after the drop returned.
    vanished_.checkLater(records);
}
