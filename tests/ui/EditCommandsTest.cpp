// The Edit and View commands of the main form, the list's own keys, and the form's layout as the
// window grows.
#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QSignalSpy>
#include <filesystem>

#include "tests/ui/MainViewFixture.h"

namespace {

class EditCommands : public MainView {
protected:
    void SetUp() override {
        view.show();
        QApplication::setActiveWindow(&view);
        QCoreApplication::processEvents();
    }
    void focus(QWidget* w) {
        w->setFocus();
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), w);
    }
    QLineEdit* searchEdit() const { return view.searchBox()->lineEdit(); }
    std::string searchText() const { return view.searchBox()->currentText().toStdString(); }
};

} // namespace

TEST_F(EditCommands, SelectAllActsOnTheFocusedBoxOrTheList) {
    for (const char* n : {"a1.txt", "a2.txt", "a3.txt"})
        dir.file(n);
    find("a", true);
    view.searchBox()->setEditText("abc");
    searchEdit()->deselect();
    focus(view.searchBox());
    view.onCommand(ID_EDIT_SELECT_ALL);
    EXPECT_EQ(searchEdit()->selectedText().toStdString(), "abc");
    EXPECT_EQ(view.fileList()->selectedCount(), 1);

    focus(view.fileList());
    view.onCommand(ID_EDIT_SELECT_ALL);
    EXPECT_EQ(view.fileList()->selectedCount(), 3);
}

// Which command is on depends on where the focus is; Markierung umkehren never in a box.
TEST_F(EditCommands, EnabledStateFollowsTheFocus) {
    for (const char* n : {"b1.txt", "b2.txt"})
        dir.file(n);
    find("b", true);
    QApplication::clipboard()->setText("eingefügt");
    view.searchBox()->setEditText("xyz");
    searchEdit()->deselect();
    focus(view.searchBox());
    struct Row {
        int id;
        bool noSelection, withSelection, onList;
    };
    const Row rows[] = {
        {ID_EDIT_CUT, false, true, true},
        {ID_EDIT_COPY, false, true, true},
        {ID_EDIT_PASTE, true, true, false},
        {ID_EDIT_SELECT_ALL, true, true, true},
        {ID_EDIT_INVERT_SELECTION, false, false, true},
    };
    for (const Row& r : rows)
        EXPECT_EQ(view.commandEnabled(r.id), r.noSelection) << r.id;
    QApplication::clipboard()->clear();
    EXPECT_FALSE(view.commandEnabled(ID_EDIT_PASTE));
    QApplication::clipboard()->setText("wieder da");
    searchEdit()->setSelection(0, 2);
    for (const Row& r : rows)
        EXPECT_EQ(view.commandEnabled(r.id), r.withSelection) << r.id;
    focus(view.fileList());
    for (const Row& r : rows)
        EXPECT_EQ(view.commandEnabled(r.id), r.onList) << r.id;
    // After a Find there is nothing to undo on the list.
    EXPECT_FALSE(view.commandEnabled(ID_EDIT_UNDO));
    // A focused button takes no edit command at all.
    focus(view.control(IDC_FIND));
    for (const Row& r : rows)
        EXPECT_FALSE(view.commandEnabled(r.id)) << r.id;
    EXPECT_TRUE(view.commandChecked(ID_VIEW_FIND_RENAME));
    EXPECT_FALSE(view.commandChecked(ID_VIEW_DATE_ATTRIBUTES));
}

TEST_F(EditCommands, CutCopyAndPasteInABox) {
    view.searchBox()->setEditText("Urlaub");
    focus(view.searchBox());
    searchEdit()->setSelection(0, 3);
    view.onCommand(ID_EDIT_CUT);
    EXPECT_EQ(searchText(), "aub");
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "Url");
    searchEdit()->setSelection(0, 3);
    view.onCommand(ID_EDIT_COPY);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "aub");
    searchEdit()->setCursorPosition(3);
    view.onCommand(ID_EDIT_PASTE);
    EXPECT_EQ(searchText(), "aubaub");
}

// Rückgängig in a box is the box's own undo; on the list it reverts the newest group, in the
// mode it was made in.
TEST_F(EditCommands, UndoGoesToTheBoxOrToTheFilesOfTheList) {
    for (const char* n : {"c1.txt", "c2.txt", "c3.txt"})
        dir.file(n);
    find("c", true);
    replaceWith("d");
    button(IDC_RENAME_ALL)->click();
    ASSERT_TRUE(exists("d1.txt") && exists("d2.txt") && exists("d3.txt"));

    focus(view.searchBox());
    searchEdit()->end(false);
    QTest::keyClicks(searchEdit(), "x");
    EXPECT_EQ(searchText(), "cx");
    ASSERT_TRUE(view.commandEnabled(ID_EDIT_UNDO));
    view.onCommand(ID_EDIT_UNDO);
    EXPECT_EQ(searchText(), "c");
    EXPECT_TRUE(exists("d1.txt")); // the files are untouched

    view.onCommand(ID_VIEW_DATE_ATTRIBUTES);
    EXPECT_EQ(view.viewMode(), VIEW_DATE_ATTRIBUTES);
    EXPECT_TRUE(view.commandChecked(ID_VIEW_DATE_ATTRIBUTES));
    focus(view.fileList());
    ASSERT_TRUE(view.commandEnabled(ID_EDIT_UNDO));
    view.onCommand(ID_EDIT_UNDO);
    EXPECT_EQ(view.viewMode(), VIEW_FIND_RENAME);
    for (const char* n : {"c1.txt", "c2.txt", "c3.txt"})
        EXPECT_TRUE(exists(n)) << n;
    EXPECT_FALSE(view.commandEnabled(ID_EDIT_UNDO)); // no group left
}

TEST_F(EditCommands, ListCommandsAreOffDuringARun) {
    for (const char* n : {"e1.txt", "e2.txt", "e3.txt"})
        dir.file(n);
    find("^e", true);
    std::filesystem::remove(dir / "e2.txt");
    pars.RenAllMode = 1;
    view.searchBox()->setEditText("e");
    replaceWith("f");
    focus(view.fileList());
    std::vector<std::pair<int, bool>> during;
    // e2.txt vanished after Finden: its message comes while the run is in progress.
    presenter.onShow = [&] {
        for (int id : {ID_EDIT_SELECT_ALL, ID_EDIT_INVERT_SELECTION, ID_EDIT_UNDO, ID_EDIT_COPY,
                       ID_VIEW_FIND_RENAME, ID_VIEW_DATE_ATTRIBUTES})
            during.emplace_back(id, view.commandEnabled(id));
    };
    button(IDC_RENAME_ALL)->click();
    ASSERT_FALSE(during.empty());
    for (auto [id, enabled] : during)
        EXPECT_FALSE(enabled) << id;
    focus(view.fileList());
    EXPECT_TRUE(view.commandEnabled(ID_EDIT_UNDO));
    EXPECT_TRUE(view.commandEnabled(ID_VIEW_DATE_ATTRIBUTES));
}

// The list takes Delete, Shift+Delete, Enter and Alt+Enter for itself, and only with a
// selection; Shift+Delete also when the window has it as a shortcut.
TEST_F(EditCommands, ListKeysBecomeFileOperations) {
    for (const char* n : {"k1.txt", "k2.txt"})
        dir.file(n);
    find("k", true);
    CVNFileListCtrl* list = view.fileList();
    auto* cut = new QAction(&view);
    cut->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_Delete), QKeySequence(Qt::Key_Return)});
    view.addAction(cut);
    QSignalSpy shortcut(cut, &QAction::triggered);
    QSignalSpy verbs(list, &CVNFileListCtrl::verbRequested);
    QSignalSpy menus(list, &CVNFileListCtrl::contextMenuRequestedAt);
    QSignalSpy escapes(list, &CVNFileListCtrl::cancelCutRequested);
    focus(list);
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* verb;
        bool shift;
    };
    const Row rows[] = {
        {Qt::Key_Delete, Qt::NoModifier, "delete", false},
        {Qt::Key_Delete, Qt::ShiftModifier, "delete", true},
        {Qt::Key_Return, Qt::NoModifier, "", false},
        {Qt::Key_Enter, Qt::KeypadModifier, "", false},
        {Qt::Key_Return, Qt::AltModifier, "properties", false},
    };
    for (const Row& r : rows) {
        verbs.clear();
        QTest::keyClick(list, r.key, r.mods);
        ASSERT_EQ(verbs.size(), 1) << r.verb;
        EXPECT_EQ(verbs[0][0].toString().toStdString(), r.verb);
        EXPECT_EQ(verbs[0][1].toBool(), r.shift) << r.verb;
    }
    EXPECT_EQ(shortcut.size(), 0);

    view.onCommand(ID_EDIT_COPY);
    view.onCommand(ID_EDIT_CUT);
    ASSERT_EQ(verbs.size(), 3);
    EXPECT_EQ(verbs[1][0].toString().toStdString(), "copy");
    EXPECT_EQ(verbs[2][0].toString().toStdString(), "cut");

    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0][0].toInt(), 0);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(escapes.size(), 1);

    // Without a selection the keys do nothing, but the keyboard menu still asks, for no row.
    list->SelectAllRows(false);
    verbs.clear();
    for (const Row& r : rows)
        QTest::keyClick(list, r.key, r.mods);
    EXPECT_EQ(verbs.size(), 0);
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[1][0].toInt(), -1);
    EXPECT_EQ(menus[1][1].toPoint().y(), 32);
}

// The attribute group ends under the browse button and the date group takes the rest; the
// list and the button column follow the window's edges.
TEST_F(EditCommands, LayoutFollowsTheWindowSize) {
    view.SetViewMode(VIEW_DATE_ATTRIBUTES);
    auto* browse = view.control(IDC_BROWSE);
    auto* attributes = view.control(IDC_ATTRIBUTE_GROUP);
    auto* dates = view.control(IDC_DATE_GROUP);
    auto* find = view.control(IDC_FIND);
    auto* list = view.fileList();
    auto right = [&](QWidget* w) { return w->mapTo(&view, QPoint(w->width(), 0)).x(); };
    QCoreApplication::processEvents();
    const QSize first = view.size();
    int gap = -1, listMargin = -1, buttonMargin = -1;
    for (QSize s : {first, first + QSize(300, 200), first + QSize(900, 500), QSize(1, 1)}) {
        view.resize(s);
        QCoreApplication::processEvents();
        EXPECT_EQ(right(attributes), right(browse)) << s.width();
        const int g = attributes->mapTo(&view, QPoint(0, 0)).x() - right(dates);
        const int lm = view.height() - (list->mapTo(&view, QPoint(0, list->height())).y());
        const int bm = view.width() - right(find);
        if (gap < 0) gap = g, listMargin = lm, buttonMargin = bm;
        EXPECT_EQ(g, gap) << s.width();
        EXPECT_EQ(lm, listMargin) << s.height();
        EXPECT_EQ(bm, buttonMargin) << s.width();
        EXPECT_GE(view.width(), first.width());
        EXPECT_GE(view.height(), first.height());
    }
    EXPECT_EQ(list->width(), view.width() - 2 * list->mapTo(&view, QPoint(0, 0)).x());
}
