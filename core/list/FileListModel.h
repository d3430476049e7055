#pragma once

// The rows of the file list: one FileListRecord each, owned by the model. Logical columns are
// the column ids 0 to 7; which of them a view shows, and where, is the view's business. A
// record's address identifies its row for as long as the row exists, sorted or not; a file's
// folder and name find its row again.
//
// A scan adds rows faster than a view can take them: found files wait as pending rows and are
// handed over in batches, since each hand-over makes a view lay out all rows again.

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/list/FileListRecord.h"

class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FileListModel(QObject* parent = nullptr);
    ~FileListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Appends rows in one model change.
    void appendRows(std::vector<std::unique_ptr<FileListRecord>> rows);
    // Deletes every row (pending ones too) and its record.
    void clear();
    // Deletes the rows of these records (pending rows are handed over first); records not in
    // the list are passed over. Gives the number of rows deleted.
    int removeRecords(const std::vector<const FileListRecord*>& records);

    // A found file, appended as a pending row; flushPending() hands pending rows to the views.
    void addFile(const SharedText& folder, const FindData& found);
    void flushPending();
    // Hands pending rows over now and then: when half a second has passed, or when they are
    // many compared to the rows shown, so that a long scan does not become quadratic.
    void maybeFlushPending();
    // Rows including those not yet handed over.
    int itemCount() const { return rowCount() + static_cast<int>(pending_.size()); }

    FileListRecord* record(int row) const;
    // The row of a record, or -1 if it is not (or no longer) in the list.
    int rowOf(const FileListRecord* record) const;
    // The row that shows the file name in folder, or -1.
    int findRow(const std::string& folder, const std::string& name) const;

    // The column "Neuer Name": the name Alle Umbenennen would give each row now, and what
    // stands in its way (a NameConflict, with the row it collides with). The names live in one
    // block of text, so that a million rows cost little beside their names.
    void clearNewNames();
    void setNewName(int row, std::string_view name);
    void setNewNameConflict(int row, std::uint8_t conflict, int otherRow);
    std::string_view newName(int row) const;
    std::uint8_t newNameConflict(int row) const;
    int newNameOtherRow(int row) const;
    // Tells the views that the column changed for rows first to last.
    void newNamesChanged(int first, int last);

    // The changes runs, in-place renames and undo make to a row; each tells the views.
    void setName(int row, const std::string& name); // the type follows the new name
    void setTime(int row, int id, const FILETIME& utc);
    void setAttributeText(int row, const std::string& text);

    // Reorders all rows once by column id, ascending (1) or descending (-1). Rows keep their
    // identity, so selections and persistent indexes follow them.
    void sortRows(int id, int direction);

    // The base comparison of two records for a column id (negative, 0, positive).
    static int compare(const FileListRecord& a, const FileListRecord& b, int id);

private:
    void cellChanged(int row, int id);
    static std::string pathKey(const std::string& folder, const std::string& name);

    std::vector<std::unique_ptr<FileListRecord>> rows_;
    std::vector<std::unique_ptr<FileListRecord>> pending_;
    struct NewNameCell {
        std::uint32_t block = 0, length = 0;
        std::int32_t otherRow = -1;
        std::uint16_t offset = 0;
        std::uint8_t conflict = 0;
    };
    void dropNewNames();
    std::vector<NewNameCell> newNames_; // by row; empty while the column shows nothing
    // The names' text in blocks of 64 KiB (a longer name has a block of its own), so that the
    // text grows without copying and without slack beyond one block.
    std::vector<std::string> newNameText_;
    QElapsedTimer sinceFlush_;
    // Row of each record and of each path, rebuilt on demand after rows moved; undo looks up
    // every record.
    mutable std::unordered_map<const FileListRecord*, int> rowIndex_;
    mutable std::unordered_map<std::string, int> pathIndex_;
    mutable bool rowIndexValid_ = false;
};
