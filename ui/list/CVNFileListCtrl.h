#pragma once

// The file list of the main form: a tree view over FileListModel that shows one column set per
// view mode by hiding and ordering header sections, sorts once by a clicked column, and offers
// the selection operations the runs and menu commands use. It is also the line source of the
// search engine.

#include <QElapsedTimer>
#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>
#include <memory>
#include <vector>

#include "core/list/CVNLineSource.h"
#include "core/list/FileListModel.h"
#include "core/ops/UndoLog.h"

enum ViewMode : int { VIEW_FIND_RENAME = 0, VIEW_DATE_ATTRIBUTES = 1 };

// Row state bits of SetStateOfRows.
enum RowState : unsigned { ROW_FOCUSED = 0x1, ROW_SELECTED = 0x2 };

class CVNFileListCtrl : public QTreeView, public CVNLineSource {
    Q_OBJECT
public:
    explicit CVNFileListCtrl(QWidget* parent = nullptr);
    ~CVNFileListCtrl() override;

    FileListModel* fileModel() const { return model_; }

    // Shows the column set of a view mode; rows and records are untouched.
    void setViewMode(int mode);
    int viewMode() const { return mode_; }

    // The visible position of the column carrying id, or -1.
    int FindColumn(int id) const;
    // The id of the column at a visible position, or -1.
    int GetColumnId(int position) const;
    // Shows the column id at position with its title, alignment and width (and the sort arrow
    // when the list is sorted by it).
    void InsertColumn(int position, int id, int width);

    // Appends a row for a found file. Rows are handed to the model in batches: call
    // flushPendingRows() before the window may paint, and at the end of a scan.
    void AddFile(const SharedText& folder, const FindData& found);
    void flushPendingRows();
    // Hands pending rows over now and then: when half a second has passed, or when they are
    // many compared to the rows shown. Each hand-over makes the view lay out all rows again,
    // so handing over every few milliseconds would make a long scan quadratic.
    void maybeFlushPendingRows();
    // Rows including those not yet handed to the model.
    int itemCount() const;
    void deleteAllItems();

    void GetItemFile(int row, std::string& folder, std::string& name) const;
    std::string GetItemName(int row) const;
    FileListRecord* itemRecord(int row) const { return model_->record(row); }

    // Sets the text of the cell at (row, visible position) and its record. Clears the sort when
    // that column is the sorted one. False for an unknown column or a text that does not fit
    // the column (a date that does not parse).
    bool SetCellText(int row, int position, const std::string& text);

    // Sorting: a click on a header sorts ascending, a second click on it descending.
    void sortByColumnId(int id);
    void ClearSort();
    int sortId() const { return sortId_; }
    int sortDirection() const { return sortDirection_; }

    // Selection operations. previous: -2 deselects all first, >= 0 that row, -1 nothing.
    bool SelectItem(int row, int previous);
    bool InvertSelection();
    bool SelectAllRows(bool select);
    bool SetStateOfRows(unsigned which, unsigned state, unsigned mask);
    int selectedCount() const;

    // Sets a time column of a row to an exact UTC time (clearing the sort by that column).
    void SetCellTime(int row, int id, const FILETIME& utc);

    // File operations on rows; each logs an undo record into the newest group. Failures are
    // shown (string 32063) and give false; true means the file operation happened, even if
    // the row could not be updated afterwards.
    bool RenameItem(int row, const std::string& newName);
    // created, modified, accessed are local times; null leaves a time as it is.
    bool SetItemTimes(int row, const FILETIME* created, const FILETIME* modified,
                      const FILETIME* accessed);
    bool SetItemAttributes(int row, std::uint32_t value, std::uint32_t mask);

    // Checks newName and renames folder/oldName to it on disk unless preview is set. A trailing
    // '.' is dropped from newName. Throws CVNException (string 32066) on failure.
    static void RenameFile(const std::string& folder, const std::string& oldName,
                           std::string& newName, int preview);

    // Reverts the newest undo group, newest record first, and removes it; gives its mode.
    int UndoHeadGroup();
    UndoLog& undoLog() { return undo_; }

    // Keyboard of the list: Escape, Shift+F10, and with a selection Delete, Shift+Delete,
    // Enter and Alt+Enter, which become requests for the desktop's file operations. Enter and
    // Escape stay with the list, and Shift+Delete reaches it before any window shortcut.
    bool event(QEvent* e) override;

    int previewFlag() const { return preview_; }
    void setPreviewFlag(int preview) { preview_ = preview ? 1 : 0; }

    // CVNLineSource
    int lineCount() const override { return itemCount(); }
    std::string lineText(int line) const override { return GetItemName(line); }
    int firstSelectedLine() const override;
    int focusedLine() const override;

signals:
    // A file operation on the selected rows: "delete" (shift: for good), "properties", "cut",
    // "copy", or an empty verb for the default action (opening the file).
    void verbRequested(const QString& verb, bool shift);
    // A context menu for row (or -1) at a point in viewport coordinates: a right click, the
    // menu key or Shift+F10.
    void contextMenuRequestedAt(int row, const QPoint& point);
    // Escape: a pending cut is to be given up.
    void cancelCutRequested();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    // Runs a file operation on row inside one error frame: any failure is shown as 32063 with
    // the file's path. op sets done once the file operation itself has happened.
    bool fileOperation(int row,
                       const std::function<void(FileListRecord& record, const std::string& folder,
                                                const std::string& name, bool& done)>& op);
    void onHeaderClicked(int logicalIndex);
    void showSortArrow();

    FileListModel* model_;
    std::vector<std::unique_ptr<FileListRecord>> pending_;
    QElapsedTimer sinceFlush_;
    QPersistentModelIndex scrollTarget_; // the row SelectItem scrolls into view next
    bool scrollQueued_ = false;
    int mode_ = VIEW_FIND_RENAME;
    int sortId_ = 0;
    int sortDirection_ = 0;
    int preview_ = 0;
    UndoLog undo_;
};
