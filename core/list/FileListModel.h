#pragma once

// The rows of the file list: one FileListRecord each, owned by the model. Logical columns are
// the column ids 0 to 7; which of them a view shows, and where, is the view's business. A
// record's address identifies its row for as long as the row exists, sorted or not.

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <memory>
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

    // Appends rows in one model change; a scan hands over its rows in batches.
    void appendRows(std::vector<std::unique_ptr<FileListRecord>> rows);
    void appendRow(std::unique_ptr<FileListRecord> row);
    // Deletes every row and its record.
    void clear();
    // Deletes one row and its record.
    void removeRow(int row);

    FileListRecord* record(int row) const;
    // The row of a record, or -1 if it is not (or no longer) in the list.
    int rowOf(const FileListRecord* record) const;

    // Tells the views that the cell of column id in row changed.
    void cellChanged(int row, int id);

    // Reorders all rows once by column id, ascending (1) or descending (-1). Rows keep their
    // identity, so selections and persistent indexes follow them.
    void sortRows(int id, int direction);

    // The base comparison of two records for a column id (negative, 0, positive).
    static int compare(const FileListRecord& a, const FileListRecord& b, int id);

private:
    QIcon iconFor(const FileListRecord& r) const;

    std::vector<std::unique_ptr<FileListRecord>> rows_;
    mutable QHash<QString, QIcon> icons_;
    // Row of each record, rebuilt on demand after rows moved; undo looks up every record.
    mutable std::unordered_map<const FileListRecord*, int> rowIndex_;
    mutable bool rowIndexValid_ = false;
};
