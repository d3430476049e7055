#include "ui/dialogs/CVNPatternListCtrl.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "res/LoadString.h"

namespace {

constexpr unsigned IDS_PATTERN_COLUMNS = 33330;

QString columnTitle(int field) {
    const QStringList titles =
        QString::fromStdString(LoadString(IDS_PATTERN_COLUMNS)).split(QLatin1Char('\n'));
    return field >= 0 && field < titles.size() ? titles.at(field) : QString();
}

} // namespace

CVNPatternListCtrl::CVNPatternListCtrl(int userDefined, int type, QWidget* parent)
    : QTreeWidget(parent), list_(userDefined, type) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true); // the whole row is selected
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setColumnCount(0);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int column) { SortByColumn(column); });
}

void CVNPatternListCtrl::InsertColumn(int field, int width) {
    if (field < 0 || field >= kPatternFieldCount ||
        std::find(fields_.begin(), fields_.end(), field) != fields_.end())
        return;
    fields_.push_back(field);
    const int column = static_cast<int>(fields_.size()) - 1;
    setColumnCount(column + 1);
    QTreeWidgetItem* head = headerItem();
    head->setText(column, columnTitle(field));
    head->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
    header()->resizeSection(column, width);
    // Wide enough for every column beside a vertical scroll bar: no horizontal one at the start.
    setMinimumWidth(header()->length() + 2 * frameWidth() +
                    verticalScrollBar()->sizeHint().width());
    refresh(SelectedIndex());
}

int CVNPatternListCtrl::ColumnField(int column) const {
    return column >= 0 && column < static_cast<int>(fields_.size())
               ? fields_[static_cast<std::size_t>(column)]
               : -1;
}

void CVNPatternListCtrl::Load(const CVNAppInfo& app) {
    list_.Load(app);
    sortColumn_ = -1;
    header()->setSortIndicatorShown(false);
    refresh(list_.size() > 0 ? 0 : -1);
}

int CVNPatternListCtrl::Insert(int index, PatternList::State state, CROZariduPattern record) {
    const int at = list_.Insert(index, state, std::move(record));
    refresh(at >= 0 ? at : SelectedIndex());
    return at;
}

bool CVNPatternListCtrl::Edit(int index, CROZariduPattern record) {
    const bool done = list_.Edit(index, std::move(record));
    refresh(index);
    return done;
}

void CVNPatternListCtrl::Remove(int index) {
    list_.Remove(index);
    // The next row takes the place of the removed one, so the keyboard can go on from there.
    refresh(std::min(index, list_.size() - 1));
}

int CVNPatternListCtrl::SelectedIndex() const {
    QTreeWidgetItem* item = currentItem();
    return item && item->isSelected() ? indexOfTopLevelItem(item) : -1;
}

void CVNPatternListCtrl::SelectIndex(int index) {
    QTreeWidgetItem* item = topLevelItem(index);
    if (!item) {
        clearSelection();
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

void CVNPatternListCtrl::SortByColumn(int column) {
    const int field = ColumnField(column);
    if (field < 0) return;
    sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
    sortColumn_ = column;
    const int selected = SelectedIndex();
    const std::string name =
        selected >= 0 ? list_.entries()[static_cast<std::size_t>(selected)].record.m_menuText
                      : std::string();
    list_.Sort(field, sortAscending_);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    refresh(selected >= 0 ? list_.Find(name) : -1);
}

void CVNPatternListCtrl::refresh(int select) {
    {
        const QSignalBlocker quiet(this);
        clear();
        for (const PatternList::Entry& e : list_.entries()) {
            auto* item = new QTreeWidgetItem(this);
            for (std::size_t c = 0; c < fields_.size(); ++c)
                item->setText(static_cast<int>(c),
                              QString::fromStdString(PatternFieldText(e.record, fields_[c])));
        }
        SelectIndex(select);
    }
    // The buttons that depend on the selection look at it again.
    emit itemSelectionChanged();
}

void CVNPatternListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Insert) {
            emit addRequested();
            return;
        }
        if (event->key() == Qt::Key_Delete) {
            if (SelectedIndex() >= 0) emit removeRequested();
            return;
        }
    }
    QTreeWidget::keyPressEvent(event);
}

void CVNPatternListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!item) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    SelectIndex(indexOfTopLevelItem(item));
    emit editRequested();
}

bool CVNPatternListCtrl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.data().toString();
        const int room =
            visualRect(index).width() - 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) - 4;
        if (index.isValid() && fontMetrics().horizontalAdvance(text) > room)
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}
