// The main window: menu, shortcuts, toolbar, status bar, title, commands during a run.
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QTest>
#include <QToolBar>

#include "ui/list/CVNFileListCtrl.h"
#include "res/LoadString.h"
#include "ui/form/CROZariduView.h"
#include "core/scan/MessagePump.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "ui/frame/CVNCommandTarget.h"
#include "tests/app/AppFixture.h"
#include "tests/support/TempDir.h"
#include "ui/dialogs/CVNPropertySheet.h"
#include "ui/help/CVNHelpViewer.h"

namespace {

// The menu bar as "Menu|item|item" lines, separators as "-", shortcuts after a tab.
std::vector<std::string> menuLines(QMenuBar* bar) {
    std::vector<std::string> lines;
    for (QAction* top : bar->actions()) {
        std::string line = top->text().toStdString();
        for (QAction* a : top->menu()->actions()) {
            line += "|";
            if (a->isSeparator()) {
                line += "-";
                continue;
            }
            line += a->text().toStdString();
            QStringList keys;
            for (const QKeySequence& k : a->shortcuts())
                keys << k.toString(QKeySequence::PortableText);
            if (!keys.isEmpty()) line += "\t" + keys.join(",").toStdString();
        }
        lines.push_back(line);
    }
    return lines;
}

CROZariduView* mainView(CROZariduFrame& frame) {
    return qobject_cast<CROZariduView*>(frame.centralWidget());
}

} // namespace

TEST_F(AppTest, TheMenuHasEveryItemWithItsShortcuts) {
    ASSERT_TRUE(start());
    const std::vector<std::string> expected{
        "&Datei|&Beenden",
        "&Bearbeiten|&Rückgängig\tCtrl+Z,Alt+Backspace|&Verlauf...|-|&Ausschneiden\tCtrl+X,Shift+Del|"
        "&Kopieren\tCtrl+C,Ctrl+Ins|E&infügen\tCtrl+V,Shift+Ins|-|Alles &markieren\tCtrl+A|"
        "Markierung &umkehren|-|Muster &speichern...\tCtrl+Shift+Ins",
        "&Ansicht|&Finden/Umbenennen|&Datum/Attribute|-|&Symbolleiste|S&tatusleiste|-|&Optionen...",
        "&Hilfe|&Hilfethemen\tAlt+F1|&Direkthilfe\tShift+F1|-|Inf&o über...",
    };
    EXPECT_EQ(menuLines(frame().menuBar()), expected);
    ASSERT_NE(frame().action(ID_HELP), nullptr);
    EXPECT_EQ(frame().action(ID_HELP)->shortcut(), QKeySequence(Qt::Key_F1));

    std::vector<int> toolbar;
    for (QAction* a : frame().toolBar()->actions())
        toolbar.push_back(a->isSeparator() ? 0 : a->data().toInt());
    const std::vector<int> buttons{32772, 32773, 0, 57635, 57634, 57637, 57643, 0, 32771, 57669};
    EXPECT_EQ(toolbar, buttons);
    for (int id : buttons)
        if (id) {
            EXPECT_FALSE(frame().action(id)->icon().isNull()) << id;
        }
}

TEST_F(AppTest, PromptsAndTheIdlePromptInTheStatusBar) {
    ASSERT_TRUE(start());
    EXPECT_EQ(frame().messageText().toStdString(), LoadString(57345));
    QAction* options = frame().action(ID_OPTIONS);
    EXPECT_EQ(options->statusTip().toStdString(),
              "Öffnet das Dialogfenster für die Programmeinstellungen.");
    EXPECT_EQ(options->toolTip().toStdString(), "Programmeinstellungen");
    // Hovering an item shows its prompt; leaving it brings back what the pane said.
    QStatusTipEvent tip(options->statusTip());
    QCoreApplication::sendEvent(&frame(), &tip);
    EXPECT_EQ(frame().statusBar()->currentMessage(), options->statusTip());
    QStatusTipEvent none{QString()};
    QCoreApplication::sendEvent(&frame(), &none);
    EXPECT_TRUE(frame().statusBar()->currentMessage().isEmpty());
    // A Find writes its result into the pane.
    TempDir dir;
    dir.file("eins.txt");
    CROZariduView* view = mainView(frame());
    view->folderBox()->setEditText(QString::fromStdString(dir.path()));
    view->searchBox()->setEditText("*.txt");
    view->OnFind();
    EXPECT_EQ(frame().messageText().toStdString(), "1 Datei(en) gefunden.");
}

TEST_F(AppTest, TheTitleIsAlwaysTheProgramName) {
    ASSERT_TRUE(start());
    for (int id : {ID_VIEW_DATE_ATTRIBUTES, ID_VIEW_FIND_RENAME}) {
        frame().action(id)->trigger();
        EXPECT_TRUE(frame().action(id)->isChecked());
        EXPECT_EQ(frame().windowTitle().toStdString(), "Orvane");
    }
    QString aboutText;
    QTimer::singleShot(0, [&] {
        QWidget* about = QApplication::activeModalWidget();
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->windowTitle().toStdString(), "Info über Orvane");
        for (QLabel* l : about->findChildren<QLabel*>())
            aboutText += l->text() + "\n";
        for (QPushButton* b : about->findChildren<QPushButton*>())
            if (b->text() == QString::fromUtf8("S&chließen")) b->click();
    });
    frame().action(ID_APP_ABOUT)->trigger();
    EXPECT_TRUE(aboutText.contains(QStringLiteral("Version %1.%2.%3")
                                       .arg(app->versionInfo().major)
                                       .arg(app->versionInfo().minor)
                                       .arg(app->versionInfo().build)));
    EXPECT_TRUE(aboutText.contains(QString::fromUtf8("Alle Rechte vorbehalten.")));
    EXPECT_TRUE(aboutText.contains(QString::fromStdString(app->versionInfo().legalCopyright)));
    EXPECT_EQ(frame().windowTitle().toStdString(), "Orvane");
}

// During a run the options, the About box and the view switches are off; closing the window
// ends the run.
TEST_F(AppTest, CommandsDuringARunAndClosingInTheMiddleOfIt) {
    struct QuitReset {
        ~QuitReset() { MessagePump::requestQuit(false); }
    } reset;
    ASSERT_TRUE(start());
    TempDir dir;
    for (const char* n : {"a1.txt", "a2.txt", "a3.txt", "b2.txt"})
        dir.file(n);
    CROZariduView* view = mainView(frame());
    view->folderBox()->setEditText(QString::fromStdString(dir.path()));
    view->searchBox()->setEditText("^a");
    qobject_cast<QAbstractButton*>(view->control(IDC_REGEXP))->setChecked(true);
    view->OnFind();
    app->pars().RenAllMode = 1;
    view->searchBox()->setEditText("a");
    view->replaceBox()->setEditText("b");
    std::vector<std::pair<int, bool>> during;
    presenter.onShow = [&] { // a2 -> b2 fails: the run is in progress
        frame().updateCommandStates();
        for (int id : {ID_OPTIONS, ID_APP_ABOUT, ID_VIEW_FIND_RENAME, ID_VIEW_DATE_ATTRIBUTES})
            during.emplace_back(id, frame().action(id)->isEnabled());
        frame().close();
    };
    view->OnRenameAll();
    ASSERT_EQ(during.size(), 4u);
    for (auto [id, enabled] : during)
        EXPECT_FALSE(enabled) << id;
    // The run left at once: a3 was never renamed, and there was no summary.
    EXPECT_TRUE(std::filesystem::exists(dir / "a3.txt"));
    EXPECT_EQ(presenter.shown().size(), 1u);
    EXPECT_FALSE(frame().isVisible());
}

// The list's context menu is the files' menu, and only for selected files.
// The help entry comes first; the files' own entries follow only for a selection.
TEST_F(AppTest, ARightClickInTheListOpensDirekthilfeAndTheFilesMenu) {
    ASSERT_TRUE(start());
    CVNFileListCtrl* list = mainView(frame())->fileList();
    QStringList shown;
    auto rightClick = [&] {
        shown.clear();
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
    };
    rightClick();
    EXPECT_EQ(shown, QStringList{QString::fromUtf8("Direkt&hilfe")});
    TempDir dir;
    FindData found;
    found.name = "a.txt";
    list->fileModel()->addFile(std::make_shared<const std::string>(dir.path()), found);
    list->fileModel()->flushPending();
    dir.file("a.txt");
    list->SelectItem(0, -2);
    rightClick();
    ASSERT_GE(shown.size(), 3);
    EXPECT_EQ(shown.mid(0, 3),
              (QStringList{QString::fromUtf8("Direkt&hilfe"), "-", QString::fromUtf8("&Öffnen\tEingabe")}));
    EXPECT_FALSE(frame().editMenu()->isVisible());
}

// F1 opens the topic of the mode shown, Hilfethemen the overview; in the modal options dialog F1
// is the dialog's, and the help window beside it is not blocked by it.
TEST_F(AppTest, HelpCommandsOpenTheTopicOfWhatIsShown) {
    ASSERT_TRUE(start());
    const struct {
        int command, mode;
        std::uint32_t topic;
    } cases[] = {{ID_HELP, ID_VIEW_FIND_RENAME, 0x20065},
                 {ID_HELP, ID_VIEW_DATE_ATTRIBUTES, HID_DATE_ATTRIBUTES},
                 {ID_HELP_FINDER, ID_VIEW_FIND_RENAME, HID_CONTENTS}};
    for (const auto& c : cases) {
        frame().action(c.mode)->trigger();
        ASSERT_TRUE(frame().action(c.command)->isEnabled());
        frame().action(c.command)->trigger();
        ASSERT_NE(CVNHelpViewer::Current(), nullptr);
        EXPECT_EQ(CVNHelpViewer::Current()->currentTopic(), c.topic) << c.command;
    }
    std::uint32_t inDialog = 0;
    bool blocked = true;
    QTimer::singleShot(0, [&] {
        auto* sheet = qobject_cast<CVNPropertySheet*>(QApplication::activeModalWidget());
        ASSERT_NE(sheet, nullptr);
        QTest::keyClick(sheet->focusWidget() ? sheet->focusWidget() : sheet, Qt::Key_F1);
        CVNHelpViewer* viewer = CVNHelpViewer::Current();
        inDialog = viewer->currentTopic();
        blocked = QApplication::activeModalWidget() != sheet || viewer->window()->parentWidget() != sheet;
        sheet->reject();
    });
    frame().action(ID_OPTIONS)->trigger();
    EXPECT_EQ(inDialog, 0x2006Au);
    EXPECT_FALSE(blocked);
    EXPECT_TRUE(presenter.shown().empty());
}
