#include "ui/list/CVNFileListCtrl.h"

#include <QApplication>
#include <QHash>
#include <QFontMetrics>
#include <QIcon>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "core/runs/ConflictFinder.h"
#include "platform/FileTypes.h"

namespace {

struct ColumnSpec {
    int id;
    int width;
};

const ColumnSpec kAlways[] = {{COL_NAME, 130}, {COL_FOLDER, 236}};
const ColumnSpec kFindRename[] = {{COL_SIZE, 70}, {COL_TYPE, 100}, {COL_MODIFIED, 140}};
const ColumnSpec kDateAttributes[] = {
    {COL_CREATED, 140}, {COL_MODIFIED, 140}, {COL_ACCESSED, 140}, {COL_ATTRIBUTES, 70}};



// The rows with the icon of each file's type in front of its name.
class FileIconModel : public FileListModel {
public:
    using FileListModel::FileListModel;

    QVariant data(const QModelIndex& index, int role) const override {
        if (index.column() == COL_NEWNAME) return newNameData(index.row(), role);
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return visible(FileListModel::data(index, role).toString());
        if (role != Qt::DecorationRole) return FileListModel::data(index, role);
        const FileListRecord* r = record(index.row());
        if (index.column() != COL_NAME || !r || index.row() >= rowCount()) return {};
        const FileTypeInfo& type = fileTypeOf(r->name);
        const QString name = QString::fromStdString(type.iconName);
        auto it = icons_.find(name);
        if (it == icons_.end()) {
            const QIcon generic = QIcon::fromTheme(QStringLiteral("text-x-generic"));
            it = icons_.insert(name, QIcon::fromTheme(name, QIcon::fromTheme(QString::fromStdString(type.genericIconName), generic)));
        }
        return *it;
    }

    void setFont(const QFont& font) { metrics_ = QFontMetrics(font); }
    // A conflict's colour must read on the list's background, light or dark.
    void setDarkBackground(bool dark) { dark_ = dark; }

private:
    QVariant newNameData(int row, int role) const {
        const auto conflict = static_cast<NameConflict>(newNameConflict(row));
        switch (role) {
        case Qt::DisplayRole: return visible(QString::fromStdString(std::string(newName(row))));
        case Qt::ToolTipRole:
            if (conflict == NameConflict::None) return visible(QString::fromStdString(std::string(newName(row))));
            return QString::fromStdString(ConflictReason(*this, row, newName(row), conflict, newNameOtherRow(row)));
        case Qt::DecorationRole:
            if (conflict == NameConflict::None) return {};
            return QIcon::fromTheme(Blocks(conflict) ? QStringLiteral("dialog-error") : QStringLiteral("dialog-warning"),
                                    QApplication::style()->standardIcon(Blocks(conflict) ? QStyle::SP_MessageBoxCritical
                                                                                         : QStyle::SP_MessageBoxWarning));
        case Qt::ForegroundRole:
            if (conflict == NameConflict::None) return {};
            if (Blocks(conflict)) return QColor(dark_ ? QColor(0xff, 0x8a, 0x80) : QColor(0xb0, 0x00, 0x20));
            return QColor(dark_ ? QColor(0xff, 0xc8, 0x57) : QColor(0x8a, 0x5a, 0x00));
        default: return {};
        }
    }

    // A control character (a line break in a name) shows as a symbol instead of cutting the
    // text: its control picture where the font has one, else a return arrow for a line break
    // and the replacement character for the others.
    QString visible(QString text) const {
        for (QChar& c : text) {
            const ushort u = c.unicode();
            if (u >= 0x20 && u != 0x7F) continue;
            const QChar picture(u == 0x7F ? 0x2421 : 0x2400 + u);
            if (metrics_.inFont(picture)) c = picture;
            else c = QChar(u == '\n' || u == '\r' ? 0x21B5 : 0xFFFD);
        }
        return text;
    }

    mutable QHash<QString, QIcon> icons_;
    QFontMetrics metrics_{QFont()};
    bool dark_ = false;
};

} // namespace

CVNFileListCtrl::CVNFileListCtrl(QWidget* parent)
    : QTreeView(parent), model_(new FileIconModel(this)) {
    static_cast<FileIconModel*>(model_)->setFont(font());
    static_cast<FileIconModel*>(model_)->setDarkBackground(palette().color(QPalette::Base).lightness() < 128);
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // a million rows must not be measured one by one
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this, &CVNFileListCtrl::onHeaderClicked);
    // A changed cell may no longer follow the order of its sorted column: the arrow goes.
    connect(model_, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& from, const QModelIndex& to) {
        if (sortDirection_ != 0 && sortId_ >= from.column() && sortId_ <= to.column()) ClearSort();
    });
    setViewMode(VIEW_FIND_RENAME);
    // Files are dragged out to other programs; nothing is dropped into the list.
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    connect(this, &QAbstractItemView::doubleClicked, this, [this] {
        if (selectedCount() > 0) emit verbRequested(QString(), false);
    });
    // A record address may be taken by a new row once its own is gone.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { cut_.clear(); });
    connect(model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex&, int first, int last) {
        if (cut_.empty()) return;
        for (int row = first; row <= last; ++row) cut_.erase(model_->record(row));
    });
}

CVNFileListCtrl::~CVNFileListCtrl() = default;

void CVNFileListCtrl::setViewMode(int mode) {
    mode_ = mode == VIEW_DATE_ATTRIBUTES ? VIEW_DATE_ATTRIBUTES : VIEW_FIND_RENAME;
    for (int id = 0; id < kListColumnCount; ++id)
        header()->setSectionHidden(id, true);
    int position = 0;
    for (const auto& c : kAlways) {
        InsertColumn(position++, c.id, c.width);
        if (c.id == COL_NAME && newNameShown_ && mode_ == VIEW_FIND_RENAME) InsertColumn(position++, COL_NEWNAME, 130);
    }
    if (mode_ == VIEW_FIND_RENAME)
        for (const auto& c : kFindRename)
            InsertColumn(position++, c.id, c.width);
    else
        for (const auto& c : kDateAttributes)
            InsertColumn(position++, c.id, c.width);
}

void CVNFileListCtrl::setNewNameColumnShown(bool shown) {
    if (shown == newNameShown_) return;
    newNameShown_ = shown;
    if (mode_ != VIEW_FIND_RENAME) return;
    if (!shown) {
        header()->setSectionHidden(COL_NEWNAME, true);
        return;
    }
    InsertColumn(FindColumn(COL_NAME) + 1, COL_NEWNAME, std::max(header()->sectionSize(COL_NAME), 130));
}

int CVNFileListCtrl::FindColumn(int id) const {
    if (id < 0 || id >= kListColumnCount || header()->isSectionHidden(id)) return -1;
    const int visual = header()->visualIndex(id);
    int position = 0;
    for (int v = 0; v < visual; ++v)
        if (!header()->isSectionHidden(header()->logicalIndex(v))) ++position;
    return position;
}

int CVNFileListCtrl::GetColumnId(int position) const {
    if (position < 0) return -1;
    for (int v = 0; v < header()->count(); ++v) {
        const int logical = header()->logicalIndex(v);
        if (header()->isSectionHidden(logical)) continue;
        if (position-- == 0) return logical;
    }
    return -1;
}

void CVNFileListCtrl::InsertColumn(int position, int id, int width) {
    if (id < 0 || id >= kListColumnCount) return;
    header()->setSectionHidden(id, false);
    // Visible position -> visual index: the position-th visible section, or after the last.
    int target = 0, seen = 0;
    for (; target < header()->count(); ++target) {
        const int logical = header()->logicalIndex(target);
        if (logical == id || header()->isSectionHidden(logical)) continue;
        if (seen++ == position) break;
    }
    const int from = header()->visualIndex(id);
    if (target > from) --target;
    header()->moveSection(from, std::min(target, header()->count() - 1));
    header()->resizeSection(id, width);
    if (sortDirection_ != 0 && sortId_ == id) showSortArrow();
}

void CVNFileListCtrl::fitColumnsToContents() {
    header()->setStretchLastSection(true);
    if (model_->rowCount() == 0) return;
    // Only the rows on screen are measured, so this costs the same for a million rows. A column
    // takes the width of its content and title, at most half the list's width; when they do
    // not fit side by side, the widest give way first.
    const int available = viewport()->width();
    std::vector<std::pair<int, int>> widths; // id, width
    int total = 0;
    for (int position = 0; GetColumnId(position) >= 0; ++position) {
        const int id = GetColumnId(position);
        const int width = std::min(std::max(sizeHintForColumn(id), header()->sectionSizeHint(id)),
                                   std::max(200, available / 2));
        widths.emplace_back(id, width);
        total += width;
    }
    while (total > available) {
        auto widest = std::max_element(widths.begin(), widths.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
        const int floor = std::max(header()->sectionSizeHint(widest->first), available / 6);
        const int cut = std::min(total - available, widest->second - floor);
        if (cut <= 0) break;
        widest->second -= cut;
        total -= cut;
    }
    for (const auto& [id, width] : widths) header()->resizeSection(id, width);
}

void CVNFileListCtrl::deleteAllItems() {
    ClearSort();
    model_->clear();
}

std::string CVNFileListCtrl::GetItemName(int row) const {
    const FileListRecord* r = model_->record(row);
    return r ? r->name : std::string();
}

void CVNFileListCtrl::onHeaderClicked(int logicalIndex) {
    sortByColumnId(logicalIndex);
}

void CVNFileListCtrl::sortByColumnId(int id) {
    if (id < 0 || id >= kColumnCount) return;
    const int direction = (sortDirection_ == 0 || sortId_ != id) ? 1 : -sortDirection_;
    model_->flushPending();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sortId_ = id;
    sortDirection_ = direction;
    model_->sortRows(id, direction);
    showSortArrow();
    QApplication::restoreOverrideCursor();
}

void CVNFileListCtrl::showSortArrow() {
    header()->setSortIndicatorShown(sortDirection_ != 0);
    if (sortDirection_ != 0)
        header()->setSortIndicator(sortId_,
                                   sortDirection_ > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CVNFileListCtrl::ClearSort() {
    sortId_ = 0;
    sortDirection_ = 0;
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    header()->setSortIndicatorShown(false);
}

bool CVNFileListCtrl::SelectItem(int row, int previous) {
    model_->flushPending();
    if (row < 0 || row >= model_->rowCount()) return false;
    QItemSelectionModel* sel = selectionModel();
    if (previous == -2)
        sel->clearSelection();
    else if (previous >= 0)
        sel->select(model_->index(previous, 0),
                    QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    const QModelIndex index = model_->index(row, 0);
    // Runs select row after row; scrolling to each one would move the whole picture once per
    // row. The row is scrolled into view when events are next processed, which is also when
    // the window is painted.
    const bool autoScroll = hasAutoScroll();
    setAutoScroll(false);
    sel->setCurrentIndex(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    setAutoScroll(autoScroll);
    scrollTarget_ = index;
    if (!scrollQueued_) {
        scrollQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            scrollQueued_ = false;
            if (scrollTarget_.isValid()) scrollTo(scrollTarget_, QAbstractItemView::EnsureVisible);
        });
    }
    return true;
}

bool CVNFileListCtrl::InvertSelection() {
    model_->flushPending();
    if (model_->rowCount() == 0) return true;
    QItemSelection all(model_->index(0, 0), model_->index(model_->rowCount() - 1, 0));
    selectionModel()->select(all, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    return true;
}

int CVNFileListCtrl::selectedCount() const {
    int n = 0;
    for (const QItemSelectionRange& r : selectionModel()->selection())
        n += r.height();
    return n;
}

bool CVNFileListCtrl::SelectAllRows(bool select) {
    model_->flushPending();
    const int rows = model_->rowCount();
    if (select) {
        if (rows > 0 && rows > selectedCount()) {
            QItemSelection all(model_->index(0, 0), model_->index(rows - 1, 0));
            selectionModel()->select(all, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        return true;
    }
    if (selectedCount() > 0) return SetStateOfRows(ROW_SELECTED, 0, ROW_SELECTED);
    return true;
}

bool CVNFileListCtrl::SetStateOfRows(unsigned which, unsigned state, unsigned mask) {
    QItemSelectionModel* sel = selectionModel();
    QItemSelection rows;
    if (which & ROW_SELECTED) rows.merge(sel->selection(), QItemSelectionModel::Select);
    const QModelIndex current = sel->currentIndex();
    if ((which & ROW_FOCUSED) && current.isValid())
        rows.merge(QItemSelection(model_->index(current.row(), 0), model_->index(current.row(), 0)),
                   QItemSelectionModel::Select);
    if (mask & ROW_SELECTED)
        sel->select(rows, ((state & ROW_SELECTED) ? QItemSelectionModel::Select
                                                  : QItemSelectionModel::Deselect) |
                              QItemSelectionModel::Rows);
    if ((mask & ROW_FOCUSED) && !(state & ROW_FOCUSED))
        sel->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    return true;
}

int CVNFileListCtrl::firstSelectedLine() const {
    int first = -1;
    for (const QItemSelectionRange& r : selectionModel()->selection())
        if (first < 0 || r.top() < first) first = r.top();
    return first;
}

int CVNFileListCtrl::focusedLine() const {
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool CVNFileListCtrl::event(QEvent* e) {
    if (e->type() == QEvent::PaletteChange)
        static_cast<FileIconModel*>(model_)->setDarkBackground(palette().color(QPalette::Base).lightness() < 128);
    // Window shortcuts must not take these keys from the list: Shift+Delete is also the Cut
    // shortcut of the Edit menu, and Enter would press the form's default button.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        switch (key->key()) {
        case Qt::Key_Delete:
            if (mods == Qt::NoModifier || mods == Qt::ShiftModifier) e->accept();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            if (mods == Qt::NoModifier || mods == Qt::AltModifier) e->accept();
            break;
        default:
            break;
        }
        if (e->isAccepted()) return true;
    }
    return QTreeView::event(e);
}

void CVNFileListCtrl::keyPressEvent(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (e->key() == Qt::Key_Escape) emit cancelCutRequested(); // and on as usual
    if (e->key() == Qt::Key_F10 && mods == Qt::ShiftModifier) {
        const int row = firstSelectedLine();
        QPoint at(viewport()->width() / 2, 32);
        if (row >= 0) at = visualRect(model_->index(row, 0)).topLeft() + QPoint(10, 10);
        emit contextMenuRequestedAt(row, at);
        return;
    }
    if (selectedCount() > 0) {
        switch (e->key()) {
        case Qt::Key_Delete:
            emit verbRequested(QStringLiteral("delete"), mods == Qt::ShiftModifier);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (mods == Qt::AltModifier)
                emit verbRequested(QStringLiteral("properties"), false);
            else
                emit verbRequested(QString(), false);
            return;
        default:
            break;
        }
    }
    QTreeView::keyPressEvent(e);
}

std::vector<const FileListRecord*> CVNFileListCtrl::selectedRecords() const {
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<const FileListRecord*> records;
    records.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex& i : rows) records.push_back(model_->record(i.row()));
    return records;
}

void CVNFileListCtrl::setCutMarks(const std::vector<const FileListRecord*>& records, bool marked) {
    for (const FileListRecord* r : records) {
        if (!marked) cut_.erase(r);
        else if (model_->rowOf(r) >= 0) cut_.insert(r);
    }
    viewport()->update();
}

void CVNFileListCtrl::clearCutMarks() {
    cut_.clear();
    viewport()->update();
}

bool CVNFileListCtrl::isCutMarked(int row) const {
    return !cut_.empty() && cut_.count(model_->record(row)) > 0;
}

std::vector<const FileListRecord*> CVNFileListCtrl::cutMarkedRecords() const {
    std::vector<std::pair<int, const FileListRecord*>> rows;
    for (const FileListRecord* r : cut_) rows.emplace_back(model_->rowOf(r), r);
    std::sort(rows.begin(), rows.end());
    std::vector<const FileListRecord*> records;
    for (const auto& [row, r] : rows) records.push_back(r);
    return records;
}

void CVNFileListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (!isCutMarked(index.row())) return QTreeView::drawRow(painter, option, index);
    // A cut file is drawn as a disabled row: greyed text and icon. Selected, it keeps the
    // selection's colour with its text half faded into it.
    QStyleOptionViewItem dimmed = option;
    QPalette& p = dimmed.palette;
    const QPalette::ColorGroup group = (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    const QColor highlight = p.color(group, QPalette::Highlight), text = p.color(group, QPalette::HighlightedText);
    p.setColor(QPalette::Disabled, QPalette::Highlight, highlight);
    p.setColor(QPalette::Disabled, QPalette::HighlightedText,
               QColor((highlight.red() + text.red()) / 2, (highlight.green() + text.green()) / 2,
                      (highlight.blue() + text.blue()) / 2));
    dimmed.state &= ~QStyle::State_Enabled;
    p.setCurrentColorGroup(QPalette::Disabled);
    QTreeView::drawRow(painter, dimmed, index);
}

void CVNFileListCtrl::startDrag(Qt::DropActions actions) {
    if (selectedCount() > 0) emit dragRequested(actions);
}

void CVNFileListCtrl::contextMenuEvent(QContextMenuEvent* e) {
    const QPoint at = viewport()->mapFromGlobal(e->globalPos());
    emit contextMenuRequestedAt(indexAt(at).isValid() ? indexAt(at).row() : -1, at);
}
