// The main window: the status bar, commands during a run, the list's context menu and help.
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>

#include "core/scan/MessagePump.h"
#include "ui/list/CVNFileListCtrl.h"
#include "tests/app/AppFixture.h"
#include "ui/dialogs/CROZariduGnrlPage.h"
#include "ui/dialogs/CVNPropertySheet.h"
#include "ui/help/CVNHelpViewer.h"

// During a run the list's commands, Verlauf, the options, the About box, the view switches and
// Finden are off; closing the window ends the run at once, without a summary.
TEST_F(AppTest, CommandsDuringARunAndClosingInTheMiddleOfIt) {
    struct QuitReset {
        ~QuitReset() { MessagePump::requestQuit(false); }
    } reset;
    ASSERT_TRUE(start());
    TempDir dir;
    for (const char* n : {"a1.txt", "a2.txt", "a3.txt"})
        dir.file(n);
    find(dir.path(), "^a");
    CROZariduView* view = &form();
    std::filesystem::remove(dir / "a2.txt"); // it fails when its turn comes
    app->pars().RenAllMode = 1;
    view->searchBox()->setEditText("a");
    view->replaceBox()->setEditText("b");
    QApplication::setActiveWindow(&frame());
    view->fileList()->setFocus(); // the list's commands are on only while it has the focus
    frame().updateCommandStates();
    ASSERT_TRUE(frame().action(ID_EDIT_INVERT_SELECTION)->isEnabled());
    const int ids[] = {ID_OPTIONS, ID_APP_ABOUT, ID_VIEW_FIND_RENAME, ID_VIEW_DATE_ATTRIBUTES, ID_HISTORY,
                       ID_EDIT_SELECT_ALL, ID_EDIT_INVERT_SELECTION, ID_EDIT_UNDO, ID_EDIT_COPY};
    std::vector<std::pair<int, bool>> during;
    presenter.onShow = [&] {
        view->fileList()->setFocus(); // the run gave it to Stopp
        frame().updateCommandStates();
        for (int id : ids)
            during.emplace_back(id, frame().action(id)->isEnabled());
        during.emplace_back(IDC_FIND, view->control(IDC_FIND)->isEnabled());
        frame().close();
    };
    view->OnRenameAll();
    ASSERT_EQ(during.size(), std::size(ids) + 1);
    for (auto [id, enabled] : during)
        EXPECT_FALSE(enabled) << id;
    EXPECT_TRUE(std::filesystem::exists(dir / "b1.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir / "a3.txt"));
    EXPECT_EQ(presenter.shown().size(), 1u); // the failure of a2.txt, no summary
    EXPECT_FALSE(frame().isVisible());
}

// A Find writes its result in the status bar, hovering a menu item its prompt. A right click
// in the list offers the files' own entries after the help one, for a selection.
TEST_F(AppTest, TheStatusBarAndARightClickInTheList) {
    ASSERT_TRUE(start());
    TempDir dir;
    dir.file("a.txt");
    find(dir.path(), "a");
    EXPECT_EQ(frame().messageText().toStdString(), "1 Datei(en) gefunden.");
    QStatusTipEvent tip(frame().action(ID_OPTIONS)->statusTip());
    QCoreApplication::sendEvent(&frame(), &tip);
    EXPECT_FALSE(frame().statusBar()->currentMessage().isEmpty());
    CVNFileListCtrl* list = form().fileList(); // Finden selected the row
    QStringList shown;
    QTimer::singleShot(0, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            for (QAction* a : popup->actions())
                shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
            popup->close();
        }
    });
    // A right click reaches the list through its viewport.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 5), list->viewport()->mapToGlobal(QPoint(20, 5)));
    QCoreApplication::sendEvent(list->viewport(), &click);
    QCoreApplication::processEvents();
    ASSERT_GE(shown.size(), 3);
    EXPECT_EQ(shown.mid(0, 3),
              (QStringList{QString::fromUtf8("Direkt&hilfe"), "-", QString::fromUtf8("&Öffnen\tEingabe")}));
    EXPECT_FALSE(frame().editMenu()->isVisible());
}

// The frame's F1 opens the topic of the mode shown, Hilfethemen the overview; in the modal
// options dialog F1 is the dialog's, and the help window beside it is not blocked by it.
TEST_F(AppTest, HelpCommandsOpenTheTopicOfWhatIsShown) {
    ASSERT_TRUE(start());
    frame().action(ID_VIEW_DATE_ATTRIBUTES)->trigger();
    frame().action(ID_HELP)->trigger();
    ASSERT_NE(CVNHelpViewer::Current(), nullptr);
    EXPECT_EQ(CVNHelpViewer::Current()->currentTopic(), HID_DATE_ATTRIBUTES);
    frame().action(ID_HELP_FINDER)->trigger();
    EXPECT_EQ(CVNHelpViewer::Current()->currentTopic(), HID_CONTENTS);
    std::uint32_t inDialog = 0;
    bool blocked = true;
    withOptions(std::function([&](CVNPropertySheet& sheet, CROZariduGnrlPage&) {
        QTest::keyClick(sheet.focusWidget() ? sheet.focusWidget() : &sheet, Qt::Key_F1);
        CVNHelpViewer* viewer = CVNHelpViewer::Current();
        inDialog = viewer->currentTopic();
        blocked = QApplication::activeModalWidget() != &sheet || viewer->window()->parentWidget() != &sheet;
    }));
    EXPECT_EQ(inDialog, 0x2006Au);
    EXPECT_FALSE(blocked);
}
