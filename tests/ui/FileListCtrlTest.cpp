// The file list: rows arriving, sorting, selection and scrolling.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

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

    void add(const std::string& name, std::uint64_t size = 0, std::uint64_t modified = 0) {
        FindData fd;
        fd.name = name;
        fd.size = size;
        fd.lastWriteTime = FILETIME::fromTicks(modified);
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

// Names sort by the locale ignoring case, sizes by the kilobytes shown; sorting the same column
// again turns the order, and the rows keep their records and the selection.
TEST_F(ListTest, SortingByNameSizeAndDate) {
    add("birne", 999 * 1024, 300);
    add("Apfel", 1000 * 1024, 100); // "1.000 KB"
    add("äpfel", 12 * 1024, 200);
    add("Zebra", 12 * 1024 + 1, 400);
    list->fileModel()->flushPending();
    list->SelectItem(2, -2);
    FileListRecord* selected = list->itemRecord(2);
    list->sortByColumnId(COL_NAME);
    EXPECT_EQ(names(), (std::vector<std::string>{"Apfel", "äpfel", "birne", "Zebra"}));
    EXPECT_EQ(list->fileModel()->rowOf(selected), 1);
    EXPECT_EQ(list->firstSelectedLine(), 1);
    EXPECT_EQ(list->focusedLine(), 1);
    list->sortByColumnId(COL_SIZE);
    EXPECT_EQ(names(), (std::vector<std::string>{"äpfel", "Zebra", "birne", "Apfel"}));
    EXPECT_EQ(list->header()->sortIndicatorSection(), COL_SIZE);
    list->sortByColumnId(COL_SIZE);
    EXPECT_EQ(names(), (std::vector<std::string>{"Apfel", "birne", "Zebra", "äpfel"}));
    EXPECT_EQ(list->sortDirection(), -1);
    list->sortByColumnId(COL_MODIFIED);
    EXPECT_EQ(names(), (std::vector<std::string>{"Apfel", "äpfel", "birne", "Zebra"}));
    EXPECT_EQ(list->sortDirection(), 1);
}

// A rename keeps the arrow; a changed date in the sorted column makes the order stale, so the
// arrow goes. An arrow hidden with its column by a mode switch comes back with it.
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

    list->setViewMode(VIEW_DATE_ATTRIBUTES);
    list->sortByColumnId(COL_ACCESSED);
    list->setViewMode(VIEW_FIND_RENAME);
    EXPECT_EQ(list->FindColumn(COL_ACCESSED), -1);
    list->setViewMode(VIEW_DATE_ATTRIBUTES);
    EXPECT_EQ(list->header()->sortIndicatorSection(), COL_ACCESSED);
    EXPECT_TRUE(list->header()->isSortIndicatorShown());
}

TEST_F(ListTest, SelectionOperations) {
    EXPECT_TRUE(list->InvertSelection()); // empty list: success, nothing happens
    for (int i = 0; i < 6; ++i)
        add("f" + std::to_string(i));
    list->fileModel()->flushPending();
    EXPECT_EQ(list->firstSelectedLine(), -1);
    EXPECT_TRUE(list->SelectItem(2, -2));
    EXPECT_TRUE(list->SelectItem(4, -1)); // keeps 2
    EXPECT_EQ(list->selectedCount(), 2);
    EXPECT_TRUE(list->SelectItem(5, 2)); // drops 2 only
    EXPECT_EQ(list->selectedCount(), 2);
    EXPECT_EQ(list->firstSelectedLine(), 4);
    EXPECT_EQ(list->focusedLine(), 5);
    EXPECT_TRUE(list->InvertSelection());
    EXPECT_EQ(list->selectedCount(), 4);
    EXPECT_EQ(list->firstSelectedLine(), 0);
    list->deleteAllItems();
    EXPECT_FALSE(list->SelectItem(0, -2));
}

// The base comparison of every column id; the direction only flips its sign.
TEST_F(ListTest, EveryColumnIdHasItsOrder) {
    FindData a, b;
    a.name = "alpha.txt";
    b.name = "Beta.txt";
    a.size = 2048;                          // "2 KB"
    b.size = 10 * 1024;                     // "10 KB": longer text, larger size
    a.attributes = FILE_ATTRIBUTE_ARCHIVE;  // "A___": letters compare as lower case, after "_"
    b.attributes = FILE_ATTRIBUTE_READONLY; // "_R__"
    a.creationTime = FILETIME::fromTicks(200);
    b.creationTime = FILETIME::fromTicks(100);
    a.lastWriteTime = FILETIME::fromTicks(100);
    b.lastWriteTime = FILETIME::fromTicks(200);
    a.lastAccessTime = b.lastAccessTime = FILETIME::fromTicks(300);
    auto ra = FileListRecord::make(std::make_shared<const std::string>("/a"), a);
    auto rb = FileListRecord::make(std::make_shared<const std::string>("/B"), b);
    ra->typeText = std::make_shared<const std::string>("Textdokument");
    rb->typeText = std::make_shared<const std::string>("text");
    const struct {
        int id;
        int sign; // of compare(a, b)
    } cases[] = {{COL_NAME, -1},     {COL_FOLDER, -1},    {COL_TYPE, 1},
                 {COL_SIZE, -1},     {COL_ATTRIBUTES, 1}, {COL_CREATED, 1},
                 {COL_MODIFIED, -1}, {COL_ACCESSED, 0},   {8, 0}};
    for (const auto& c : cases) {
        const int r = FileListModel::compare(*ra, *rb, c.id);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << "id " << c.id;
        const int back = FileListModel::compare(*rb, *ra, c.id);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << "id " << c.id;
    }
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
    // Keyboard moves still scroll at once.
    list->setFocus();
    QTest::keyClick(list.get(), Qt::Key_Home);
    EXPECT_TRUE(inView(0));
}
