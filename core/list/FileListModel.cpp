#include "core/list/FileListModel.h"

#include <QLocale>
#include <algorithm>
#include <cstring>
#include <numeric>
#include <string_view>

#include "platform/FileTypes.h"
#include "res/LoadString.h"
#include "platform/NaturalOrder.h"

namespace {

int compareTime(const FILETIME& a, const FILETIME& b) {
    return a.ticks() < b.ticks() ? -1 : a.ticks() > b.ticks() ? 1 : 0;
}

// Case-insensitive byte comparison, as size and attribute texts need.
int compareNoCase(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

std::string lowered(const std::string& s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

const std::string& textField(const FileListRecord& r, int id) {
    return id == COL_NAME ? r.name : id == COL_FOLDER ? r.folderText() : r.typeName();
}

} // namespace

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

FileListModel::~FileListModel() = default;

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kListColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (index.column() == COL_NEWNAME) {
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        const std::string_view name = newName(index.row());
        return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
    const FileListRecord& r = *rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::EditRole:
        // Names are shown as UTF-8; a byte that is not shows as the replacement character, but
        // the record keeps the bytes the file system gave.
        return QString::fromUtf8(CellText(r, index.column()));
    case Qt::TextAlignmentRole:
        return index.column() == COL_SIZE ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(section == COL_NEWNAME ? LoadString(33134) : ColumnTitle(section));
    if (role == Qt::TextAlignmentRole && section == COL_SIZE) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid()) f |= Qt::ItemIsDragEnabled;
    if (index.isValid() && index.column() == COL_NAME) f |= Qt::ItemIsEditable;
    return f;
}

void FileListModel::appendRows(std::vector<std::unique_ptr<FileListRecord>> rows) {
    if (rows.empty()) return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    for (auto& r : rows) {
        if (rowIndexValid_) {
            rowIndex_.emplace(r.get(), static_cast<int>(rows_.size()));
            pathIndex_.emplace(pathKey(r->folderText(), r->name), static_cast<int>(rows_.size()));
        }
        rows_.push_back(std::move(r));
    }
    endInsertRows();
}

void FileListModel::clear() {
    pending_.clear();
    dropNewNames();
    beginResetModel();
    rows_.clear();
    rowIndexValid_ = false;
    rowIndex_.clear();
    pathIndex_.clear();
    endResetModel();
}

int FileListModel::removeRecords(const std::vector<const FileListRecord*>& records) {
    flushPending();
    std::vector<int> rows;
    rows.reserve(records.size());
    for (const FileListRecord* r : records)
        if (const int row = rowOf(r); row >= 0) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (!rows.empty()) {
        // The new names are by row; they are worked out again for the rows that stay.
        dropNewNames();
    }
    // From the bottom up, one model change per run of adjacent rows, so that the rows still
    // to go keep their numbers.
    for (std::size_t end = rows.size(); end > 0;) {
        std::size_t begin = end - 1;
        while (begin > 0 && rows[begin - 1] == rows[begin] - 1) --begin;
        const int first = rows[begin], last = rows[end - 1];
        beginRemoveRows(QModelIndex(), first, last);
        rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
        rowIndexValid_ = false; // rows below moved up; the indexes are rebuilt when next asked
        endRemoveRows();
        end = begin;
    }
    return static_cast<int>(rows.size());
}

void FileListModel::addFile(const SharedText& folder, const FindData& found) {
    pending_.push_back(FileListRecord::make(folder, found));
}

void FileListModel::flushPending() {
    sinceFlush_.start();
    if (pending_.empty()) return;
    appendRows(std::move(pending_));
    pending_.clear();
}

void FileListModel::maybeFlushPending() {
    if (pending_.empty()) return;
    const std::size_t many = std::max<std::size_t>(4096, rows_.size() / 2);
    if (pending_.size() >= many || !sinceFlush_.isValid() || sinceFlush_.elapsed() >= 500) flushPending();
}

FileListRecord* FileListModel::record(int row) const {
    if (row >= 0 && row < rowCount()) return rows_[static_cast<std::size_t>(row)].get();
    // A row still pending can be read, as a scan's own count includes it.
    if (row >= rowCount() && row < itemCount()) return pending_[static_cast<std::size_t>(row - rowCount())].get();
    return nullptr;
}

std::string FileListModel::pathKey(const std::string& folder, const std::string& name) {
    std::string key;
    key.reserve(folder.size() + 1 + name.size());
    return key.append(folder).append(1, '\0').append(name);
}

int FileListModel::rowOf(const FileListRecord* record) const {
    if (!rowIndexValid_) {
        rowIndex_.clear();
        pathIndex_.clear();
        rowIndex_.reserve(rows_.size());
        pathIndex_.reserve(rows_.size());
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            rowIndex_.emplace(rows_[i].get(), static_cast<int>(i));
            pathIndex_.emplace(pathKey(rows_[i]->folderText(), rows_[i]->name), static_cast<int>(i));
        }
        rowIndexValid_ = true;
    }
    auto it = rowIndex_.find(record);
    return it == rowIndex_.end() ? -1 : it->second;
}

int FileListModel::findRow(const std::string& folder, const std::string& name) const {
    rowOf(nullptr); // builds the indexes
    auto it = pathIndex_.find(pathKey(folder, name));
    return it == pathIndex_.end() ? -1 : it->second;
}

void FileListModel::cellChanged(int row, int id) {
    const QModelIndex i = index(row, id);
    emit dataChanged(i, i);
}

void FileListModel::setName(int row, const std::string& name) {
    FileListRecord* r = record(row);
    if (!r) return;
    if (rowIndexValid_) {
        pathIndex_.erase(pathKey(r->folderText(), r->name));
        pathIndex_.emplace(pathKey(r->folderText(), name), row);
    }
    r->setName(name);
    if (row >= rowCount()) return;
    emit dataChanged(index(row, COL_NAME), index(row, COL_TYPE));
}

namespace {
constexpr std::size_t kNameBlock = 1 << 16;
}

void FileListModel::dropNewNames() {
    std::vector<NewNameCell>().swap(newNames_);
    std::vector<std::string>().swap(newNameText_);
}

void FileListModel::clearNewNames() {
    if (newNames_.empty() && newNameText_.empty()) return;
    dropNewNames();
    if (!rows_.empty()) newNamesChanged(0, rowCount() - 1);
}

void FileListModel::setNewName(int row, std::string_view name) {
    if (row < 0 || row >= rowCount()) return;
    if (newNames_.size() < rows_.size()) newNames_.resize(rows_.size());
    if (newNameText_.empty() || newNameText_.back().size() + name.size() > kNameBlock) {
        newNameText_.emplace_back();
        newNameText_.back().reserve(std::max(kNameBlock, name.size()));
    }
    std::string& block = newNameText_.back();
    NewNameCell& cell = newNames_[static_cast<std::size_t>(row)];
    cell.block = static_cast<std::uint32_t>(newNameText_.size() - 1);
    cell.offset = static_cast<std::uint16_t>(block.size()); // a long name starts its own block at 0
    cell.length = static_cast<std::uint32_t>(name.size());
    block.append(name);
}

void FileListModel::setNewNameConflict(int row, std::uint8_t conflict, int otherRow) {
    if (row < 0 || row >= rowCount()) return;
    if (newNames_.size() < rows_.size()) newNames_.resize(rows_.size());
    newNames_[static_cast<std::size_t>(row)].conflict = conflict;
    newNames_[static_cast<std::size_t>(row)].otherRow = otherRow;
}

std::string_view FileListModel::newName(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= newNames_.size()) return {};
    const NewNameCell& cell = newNames_[static_cast<std::size_t>(row)];
    if (cell.length == 0) return {};
    return std::string_view(newNameText_[cell.block]).substr(cell.offset, cell.length);
}

std::uint8_t FileListModel::newNameConflict(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < newNames_.size() ? newNames_[static_cast<std::size_t>(row)].conflict : 0;
}

int FileListModel::newNameOtherRow(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < newNames_.size() ? newNames_[static_cast<std::size_t>(row)].otherRow : -1;
}

void FileListModel::newNamesChanged(int first, int last) {
    if (first > last || first < 0) return;
    emit dataChanged(index(first, COL_NEWNAME), index(std::min(last, rowCount() - 1), COL_NEWNAME));
}

void FileListModel::setTime(int row, int id, const FILETIME& utc) {
    FileListRecord* r = record(row);
    if (!r || !r->setTime(id, utc) || row >= rowCount()) return;
    cellChanged(row, id);
}

void FileListModel::setAttributeText(int row, const std::string& text) {
    FileListRecord* r = record(row);
    if (!r) return;
    r->attributeText = text;
    if (row < rowCount()) cellChanged(row, COL_ATTRIBUTES);
}

int FileListModel::compare(const FileListRecord& a, const FileListRecord& b, int id) {
    switch (id) {
    case COL_NAME:
    case COL_FOLDER:
    case COL_TYPE: {
        static thread_local NaturalOrder collator;
        return collator.compare(textField(a, id), textField(b, id));
    }
    case COL_SIZE:
        // Size texts are formatted alike, so the longer one is the larger.
        if (a.sizeText.size() != b.sizeText.size()) return a.sizeText.size() < b.sizeText.size() ? -1 : 1;
        return compareNoCase(a.sizeText, b.sizeText);
    case COL_ATTRIBUTES: return compareNoCase(a.attributeText, b.attributeText);
    case COL_CREATED: return compareTime(a.created, b.created);
    case COL_MODIFIED: return compareTime(a.modified, b.modified);
    case COL_ACCESSED: return compareTime(a.accessed, b.accessed);
    default: return 0;
    }
}

void FileListModel::sortRows(int id, int direction) {
    if (id < 0 || id >= kColumnCount || direction == 0 || rows_.size() < 2) return;
    // The new names follow list order (counters): they are worked out again after a sort.
    dropNewNames();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();

    // Keys are made once per row and kept side by side, so that the sort does not chase
    // a pointer to a record (and collate texts) for each of its twenty million comparisons.
    const std::size_t n = rows_.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    auto sortBy = [&](auto less) {
        std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
            return direction > 0 ? less(x, y) : less(y, x);
        });
    };
    if (id == COL_NAME || id == COL_FOLDER || id == COL_TYPE) {
        const NaturalOrder collator;
        std::string keys;
        std::vector<std::pair<std::size_t, std::size_t>> spans(n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t start = keys.size();
            collator.appendKey(textField(*rows_[i], id), keys);
            spans[i] = {start, keys.size() - start};
        }
        sortBy([&](std::size_t x, std::size_t y) {
            return std::string_view(keys).substr(spans[x].first, spans[x].second) <
                   std::string_view(keys).substr(spans[y].first, spans[y].second);
        });
    } else if (id == COL_SIZE || id == COL_ATTRIBUTES) {
        std::vector<std::string> keys(n);
        for (std::size_t i = 0; i < n; ++i) keys[i] = lowered(id == COL_SIZE ? rows_[i]->sizeText : rows_[i]->attributeText);
        if (id == COL_SIZE) {
            // Size texts are formatted alike, so the longer one is the larger.
            sortBy([&](std::size_t x, std::size_t y) {
                return keys[x].size() != keys[y].size() ? keys[x].size() < keys[y].size() : keys[x] < keys[y];
            });
        } else {
            sortBy([&](std::size_t x, std::size_t y) { return keys[x] < keys[y]; });
        }
    } else {
        std::vector<std::uint64_t> ticks(n);
        for (std::size_t i = 0; i < n; ++i) {
            const FileListRecord& r = *rows_[i];
            ticks[i] = (id == COL_CREATED ? r.created : id == COL_MODIFIED ? r.modified : r.accessed).ticks();
        }
        sortBy([&](std::size_t x, std::size_t y) { return ticks[x] < ticks[y]; });
    }

    std::vector<int> newRowOf(rows_.size());
    std::vector<std::unique_ptr<FileListRecord>> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newRowOf[order[i]] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    rowIndexValid_ = false;

    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before) after.append(index(newRowOf[static_cast<std::size_t>(i.row())], i.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
