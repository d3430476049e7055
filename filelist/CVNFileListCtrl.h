#pragma once

// The file list of the main form: a tree view over FileListModel that shows one column set per
// view mode by hiding and ordering header sections, sorts once by a clicked column, and offers
// the selection operations the runs and menu commands use. It is also the line source of the
// search engine.

#include <QTreeView>
#include <memory>
#include <vector>

#include "filelist/FileListModel.h"
#include "filelist/CVNLineSource.h"

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

    int previewFlag() const { return preview_; }
    void setPreviewFlag(int preview) { preview_ = preview ? 1 : 0; }

    // CVNLineSource
    int lineCount() const override { return itemCount(); }
    std::string lineText(int line) const override { return GetItemName(line); }
    int firstSelectedLine() const override;
    int focusedLine() const override;

private:
    void onHeaderClicked(int logicalIndex);
    void showSortArrow();

    FileListModel* model_;
    std::vector<std::unique_ptr<FileListRecord>> pending_;
    int mode_ = VIEW_FIND_RENAME;
    int sortId_ = 0;
    int sortDirection_ = 0;
    int preview_ = 0;
};
