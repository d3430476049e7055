// The Edit and View commands of the main form, and the list's own keys.
#include <QAction>
#include <QClipboard>
#include <QSignalSpy>

#include "tests/ui/MainViewFixture.h"

namespace {

class EditCommands : public ShownView {
protected:
    QLineEdit* searchEdit() const { return view.searchBox()->lineEdit(); }
    std::string searchText() const { return view.searchBox()->currentText().toStdString(); }
};

} // namespace

TEST_F(EditCommands, TheCommandsActOnTheFocusedBoxOrTheList) {
    for (const char* n : {"a1.txt", "a2.txt", "a3.txt"})
        dir.file(n);
    find("a", true);
    view.searchBox()->setEditText("Urlaub");
    focus(view.searchBox());
    searchEdit()->setSelection(0, 3);
    view.onCommand(ID_EDIT_CUT);
    EXPECT_EQ(searchText(), "aub");
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "Url");
    searchEdit()->setCursorPosition(3);
    view.onCommand(ID_EDIT_PASTE);
    EXPECT_EQ(searchText(), "aubUrl");
    view.onCommand(ID_EDIT_SELECT_ALL);
    EXPECT_EQ(searchEdit()->selectedText().toStdString(), "aubUrl");
    view.onCommand(ID_EDIT_COPY);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "aubUrl");
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
    const struct {
        int id;
        bool noSelection, withSelection, onList;
    } rows[] = {
        {ID_EDIT_CUT, false, true, true},
        {ID_EDIT_COPY, false, true, true},
        {ID_EDIT_PASTE, true, true, false},
        {ID_EDIT_SELECT_ALL, true, true, true},
        {ID_EDIT_INVERT_SELECTION, false, false, true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(view.commandEnabled(r.id), r.noSelection) << r.id;
    QApplication::clipboard()->clear();
    EXPECT_FALSE(view.commandEnabled(ID_EDIT_PASTE));
    QApplication::clipboard()->setText("wieder da");
    searchEdit()->setSelection(0, 2);
    for (const auto& r : rows)
        EXPECT_EQ(view.commandEnabled(r.id), r.withSelection) << r.id;
    focus(view.fileList());
    for (const auto& r : rows)
        EXPECT_EQ(view.commandEnabled(r.id), r.onList) << r.id;
    EXPECT_FALSE(view.commandEnabled(ID_EDIT_UNDO)); // after a Find there is nothing to undo
    focus(view.control(IDC_FIND)); // a focused button takes no edit command at all
    for (const auto& r : rows)
        EXPECT_FALSE(view.commandEnabled(r.id)) << r.id;
}

// Rückgängig in a box is the box's own undo; on the list it reverts the newest group, in the
// mode it was made in.
TEST_F(EditCommands, UndoGoesToTheBoxOrToTheFilesOfTheList) {
    for (const char* n : {"c1.txt", "c2.txt", "c3.txt"})
        dir.file(n);
    find("c", true);
    replaceWith("d");
    button(IDC_RENAME_ALL)->click();
    const std::vector<std::string> renamed{"d1.txt", "d2.txt", "d3.txt"};
    ASSERT_EQ(namesIn(dir.path()), renamed);

    focus(view.searchBox());
    searchEdit()->end(false);
    QTest::keyClicks(searchEdit(), "x");
    ASSERT_TRUE(view.commandEnabled(ID_EDIT_UNDO));
    view.onCommand(ID_EDIT_UNDO);
    EXPECT_EQ(searchText(), "c");
    EXPECT_EQ(namesIn(dir.path()), renamed);

    // The view menu checks the mode shown, and only that one.
    EXPECT_TRUE(view.commandChecked(ID_VIEW_FIND_RENAME) && !view.commandChecked(ID_VIEW_DATE_ATTRIBUTES));
    view.onCommand(ID_VIEW_DATE_ATTRIBUTES);
    EXPECT_TRUE(view.commandChecked(ID_VIEW_DATE_ATTRIBUTES) && !view.commandChecked(ID_VIEW_FIND_RENAME));
    focus(view.fileList());
    ASSERT_TRUE(view.commandEnabled(ID_EDIT_UNDO));
    view.onCommand(ID_EDIT_UNDO);
    EXPECT_EQ(view.viewMode(), VIEW_FIND_RENAME);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"c1.txt", "c2.txt", "c3.txt"}));
    EXPECT_FALSE(view.commandEnabled(ID_EDIT_UNDO)); // no group left
}

TEST_F(EditCommands, ListCommandsAreOffDuringARun) {
    for (const char* n : {"e1.txt", "e2.txt", "e3.txt"})
        dir.file(n);
    find("^e", true);
    std::filesystem::remove(dir / "e2.txt");
    pars.RenAllMode = 1;
    replace("e", "f");
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

// The list takes Delete, Shift+Delete, Enter and Alt+Enter for itself, only with a selection,
// also where the window has such a key as a shortcut (the frame's Shift+Delete cuts). What the
// verbs do to the files is tested with the shell operations.
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
    focus(list);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* verb;
        bool shift;
    } rows[] = {
        {Qt::Key_Delete, Qt::NoModifier, "delete", false},
        {Qt::Key_Delete, Qt::ShiftModifier, "delete", true},
        {Qt::Key_Return, Qt::NoModifier, "", false},
        {Qt::Key_Enter, Qt::KeypadModifier, "", false},
        {Qt::Key_Return, Qt::AltModifier, "properties", false},
    };
    for (bool selected : {true, false}) {
        if (!selected) list->SelectAllRows(false);
        for (const auto& r : rows) {
            verbs.clear();
            QTest::keyClick(list, r.key, r.mods);
            ASSERT_EQ(verbs.size(), selected ? 1 : 0) << r.verb;
            if (selected) {
                EXPECT_EQ(verbs[0][0].toString().toStdString(), r.verb);
                EXPECT_EQ(verbs[0][1].toBool(), r.shift) << r.verb;
            }
        }
    }
    EXPECT_EQ(shortcut.size(), 0);
}
