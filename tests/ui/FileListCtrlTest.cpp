// The file list: rows arriving, sorting, selection and scrolling.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLocale>
#include <QSignalSpy>

#include "ui/list/CVNFileListCtrl.h"
#include "tests/platform/TimeZone.h"
#include "tests/support/QtApp.h"

namespace {

class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        qtApp();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        list = std::make_unique<CVNFileListCtrl>();
        folder = std::make_shared<const std::string>("/daten");
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    void add(const std::string& name, std::uint64_t size = 0) {
        FindData fd;
        fd.name = name;
        fd.size = size;
        list->fileModel()->addFile(folder, fd);
    }

    std::vector<std::string> names() const {
        std::vector<std::string> n;
        for (int i = 0; i < list->itemCount(); ++i)
            n.push_back(list->GetItemName(i));
        return n;
    }

    ScopedTimeZone tz{"Europe/Berlin"};
    std::unique_ptr<CVNFileListCtrl> list;
    SharedText folder;
};

} // namespace

TEST_F(ListTest, RowsArriveInBatchesNotOneSignalPerFile) {
    QSignalSpy inserted(list->fileModel(), &QAbstractItemModel::rowsInserted);
    for (int i = 0; i < 5000; ++i)
        add("f" + std::to_string(i));
    EXPECT_EQ(list->itemCount(), 5000);
    EXPECT_EQ(list->GetItemName(4999), "f4999"); // readable before it reaches the model
    list->fileModel()->flushPending();
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(list->fileModel()->rowCount(), 5000);
}

// Sizes sort by the kilobytes shown; the same column again turns the order, and the selection
// stays with its record. (The name order itself is tested with the natural order.)
TEST_F(ListTest, SortingKeepsTheSelectionAndASecondClickTurnsTheOrder) {
    add("birne", 999 * 1024);
    add("Apfel", 1000 * 1024); // "1.000 KB"
    add("äpfel", 12 * 1024);
    add("Zebra", 12 * 1024 + 1);
    list->fileModel()->flushPending();
    list->SelectItem(2, -2);
    list->sortByColumnId(COL_NAME);
    EXPECT_EQ(names(), (std::vector<std::string>{"Apfel", "äpfel", "birne", "Zebra"}));
    EXPECT_EQ(list->firstSelectedLine(), 1);
    EXPECT_EQ(list->focusedLine(), 1);
    list->sortByColumnId(COL_SIZE);
    EXPECT_EQ(names(), (std::vector<std::string>{"äpfel", "Zebra", "birne", "Apfel"}));
    list->sortByColumnId(COL_SIZE);
    EXPECT_EQ(names(), (std::vector<std::string>{"Apfel", "birne", "Zebra", "äpfel"}));
    EXPECT_EQ(list->sortDirection(), -1);
}

// A rename keeps the arrow; a changed date in the sorted column makes the order stale, so the
// arrow goes.
TEST_F(ListTest, TheSortArrowShowsOnlyATrueOrder) {
    add("a.txt");
    add("b.txt");
    list->fileModel()->flushPending();
    list->sortByColumnId(COL_MODIFIED);
    list->fileModel()->setName(0, "c.txt");
    EXPECT_EQ(list->sortDirection(), 1);
    list->fileModel()->setTime(0, COL_MODIFIED, FILETIME::fromTicks(130407480000000000ULL));
    EXPECT_EQ(list->sortDirection(), 0);
    EXPECT_FALSE(list->header()->isSortIndicatorShown());
}

// Keeping and inverting the selection; dropping the previous row is checked with the scrolling.
TEST_F(ListTest, SelectionOperations) {
    EXPECT_TRUE(list->InvertSelection()); // empty list: success, nothing happens
    for (int i = 0; i < 6; ++i)
        add("f" + std::to_string(i));
    list->fileModel()->flushPending();
    EXPECT_EQ(list->firstSelectedLine(), -1);
    EXPECT_TRUE(list->SelectItem(2, -2));
    EXPECT_TRUE(list->SelectItem(4, -1)); // keeps 2
    EXPECT_TRUE(list->InvertSelection());
    EXPECT_EQ(list->selectedCount(), 4);
    EXPECT_EQ(list->firstSelectedLine(), 0);
    list->deleteAllItems();
    EXPECT_FALSE(list->SelectItem(0, -2));
}

// A run selects row after row; each selected row is in view once events have been processed,
// and only the last one matters when several come between two event passes.
TEST_F(ListTest, SelectedRowsComeIntoViewAtTheNextEventPass) {
    for (int i = 0; i < 500; ++i)
        add("f" + std::to_string(i));
    list->resize(400, 200);
    list->show();
    QCoreApplication::processEvents();
    auto inView = [&](int row) {
        return list->viewport()->rect().contains(list->visualRect(list->model()->index(row, 0)));
    };
    for (int row : {300, 40, 499}) {
        for (int r = row - 30; r <= row; ++r)
            ASSERT_TRUE(list->SelectItem(r, r == row - 30 ? -2 : r - 1));
        QCoreApplication::processEvents();
        EXPECT_TRUE(inView(row)) << row;
        EXPECT_EQ(list->focusedLine(), row);
        EXPECT_EQ(list->selectedCount(), 1);
    }
}
