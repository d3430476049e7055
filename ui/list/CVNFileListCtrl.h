#pragma once

// The file list of the main form: a tree view over FileListModel that shows one column set per
// view mode by hiding and ordering header sections, sorts once by a clicked column, and offers
// the selection operations the runs and menu commands use. The rows and the undo log belong to
// the core; this view only shows them.

#include <QPersistentModelIndex>
#include <QTreeView>
#include <unordered_set>
#include <vector>

#include "core/list/FileListModel.h"
#include "core/ops/UndoLog.h"


// Row state bits of SetStateOfRows.
enum RowState : unsigned { ROW_FOCUSED = 0x1, ROW_SELECTED = 0x2 };

class CVNFileListCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CVNFileListCtrl(QWidget* parent = nullptr);
    ~CVNFileListCtrl() override;

    FileListModel* fileModel() const { return model_; }

    // Shows the column set of a view mode; rows and records are untouched.
    void setViewMode(int mode);
    int viewMode() const { return mode_; }
    // The column "Neuer Name", after "Name" in mode "Finden/Umbenennen" only.
    void setNewNameColumnShown(bool shown);

    // The visible position of the column carrying id, or -1.
    int FindColumn(int id) const;
    // The id of the column at a visible position, or -1.
    int GetColumnId(int position) const;
    // Shows the column id at position with its title, alignment and width (and the sort arrow
    // when the list is sorted by it).
    void InsertColumn(int position, int id, int width);

    // Rows including those a scan has not yet handed over.
    int itemCount() const { return model_->itemCount(); }
    void deleteAllItems();
    // The name of a row, empty for none.
    std::string GetItemName(int row) const;
    FileListRecord* itemRecord(int row) const { return model_->record(row); }

    // Sizes the shown columns to their content, within limits, and lets the last one take the
    // rest of the width, so that names and types are not cut while space is free.
    void fitColumnsToContents();

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

    UndoLog& undoLog() { return undo_; }

    // Keyboard of the list: Escape, Shift+F10, and with a selection Delete, Shift+Delete,
    // Enter and Alt+Enter, which become requests for the desktop's file operations. Enter and
    // Escape stay with the list, and Shift+Delete reaches it before any window shortcut.
    bool event(QEvent* e) override;

    int previewFlag() const { return preview_; }
    void setPreviewFlag(int preview) { preview_ = preview ? 1 : 0; }

    // The first selected row and the focused row, -1 for none.
    int firstSelectedLine() const;
    int focusedLine() const;
    // The records of the selected rows, in row order.
    std::vector<const FileListRecord*> selectedRecords() const;

    // Rows of files cut to the clipboard carry a mark and are drawn dimmed; a row that leaves
    // the list loses its mark.
    void setCutMarks(const std::vector<const FileListRecord*>& records, bool marked);
    void clearCutMarks();
    bool isCutMarked(int row) const;
    std::vector<const FileListRecord*> cutMarkedRecords() const;

signals:
    // A file operation on the selected rows: "delete" (shift: for good), "properties", "cut",
    // "copy", or an empty verb for the default action (opening the file).
    void verbRequested(const QString& verb, bool shift);
    // A context menu for row (or -1) at a point in viewport coordinates: a right click, the
    // menu key or Shift+F10.
    void contextMenuRequestedAt(int row, const QPoint& point);
    // Escape: a pending cut is to be given up.
    void cancelCutRequested();
    // The mouse began to drag the selected rows out of the list.
    void dragRequested(Qt::DropActions actions);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void startDrag(Qt::DropActions actions) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void onHeaderClicked(int logicalIndex);
    void showSortArrow();

    FileListModel* model_;
    QPersistentModelIndex scrollTarget_; // the row SelectItem scrolls into view next
    bool scrollQueued_ = false;
    int mode_ = VIEW_FIND_RENAME;
    bool newNameShown_ = false;
    int sortId_ = 0;
    int sortDirection_ = 0;
    int preview_ = 0;
    UndoLog undo_;
    std::unordered_set<const FileListRecord*> cut_;
};
