// The Edit and View commands of the main form, and the list's own keys.
#include <QAction>
#include <QClipboard>
#include <QMenuBar>
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
    files({"a1.txt", "a2.txt", "a3.txt"});
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
    files({"b1.txt", "b2.txt"});
    find("b", true);
    QApplication::clipboard()->setText("eingefügt");
    view.searchBox()->setEditText("xyz");
    searchEdit()->deselect();
    focus(view.searchBox());
    // Ausschneiden, Kopieren, Einfügen, Alles markieren, Markierung umkehren: 1 for on.
    const auto enabled = [this] {
        std::string on;
        for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_SELECT_ALL, ID_EDIT_INVERT_SELECTION})
            on += view.commandEnabled(id) ? '1' : '0';
        return on;
    };
    EXPECT_EQ(enabled(), "00110");
    searchEdit()->setSelection(0, 2);
    EXPECT_EQ(enabled(), "11110");
    focus(view.fileList());
    EXPECT_EQ(enabled(), "11011");
    focus(view.control(IDC_FIND)); // a focused button takes no edit command at all
    EXPECT_EQ(enabled(), "00000");
}

// Rückgängig in a box is the box's own undo; on the list it reverts the newest group, in the
// mode it was made in, also from a menu opened with Alt+B, which takes the keyboard.
TEST_F(EditCommands, UndoGoesToTheBoxOrToTheFilesOfTheList) {
    files({"c1.txt", "c2.txt", "c3.txt"});
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

    view.onCommand(ID_VIEW_DATE_ATTRIBUTES);
    EXPECT_TRUE(view.commandChecked(ID_VIEW_DATE_ATTRIBUTES) && !view.commandChecked(ID_VIEW_FIND_RENAME));
    QWidget host;
    view.setParent(&host);
    QMenuBar bar(&host);
    host.show();
    QApplication::setActiveWindow(&host);
    focus(view.fileList());
    ASSERT_TRUE(view.commandEnabled(ID_EDIT_UNDO));
    focus(&bar);
    EXPECT_TRUE(view.commandEnabled(ID_EDIT_UNDO));
    view.onCommand(ID_EDIT_UNDO);
    EXPECT_EQ(view.viewMode(), VIEW_FIND_RENAME);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"c1.txt", "c2.txt", "c3.txt"}));
    EXPECT_EQ(view.statusText().toStdString(), "Rückgängig: 3 Änderung(en) zurückgenommen.");
    EXPECT_FALSE(view.commandEnabled(ID_EDIT_UNDO)); // no group left
    view.setParent(nullptr);
}

// The list takes Shift+Delete and Enter for itself, only with a selection, also where the
// window has such a key as a shortcut (the frame's Shift+Delete cuts). What the verbs do to the
// files is tested with the shell operations.
TEST_F(EditCommands, ListKeysBecomeFileOperations) {
    files({"k1.txt", "k2.txt"});
    find("k", true);
    CVNFileListCtrl* list = view.fileList();
    auto* cut = new QAction(&view);
    cut->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_Delete), QKeySequence(Qt::Key_Enter)});
    view.addAction(cut);
    QSignalSpy shortcut(cut, &QAction::triggered);
    QSignalSpy verbs(list, &CVNFileListCtrl::verbRequested);
    focus(list);
    QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(verbs.size(), 2);
    EXPECT_EQ(verbs[1][0].toString().toStdString(), ""); // Öffnen
    list->SelectAllRows(false);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(verbs.size(), 2);
    EXPECT_EQ(shortcut.size(), 0);
}
