// The main form: its enabled states, Find, the runs driven through its buttons on real files,
// and Bearbeiten > Verlauf.
#include "tests/ui/MainViewFixture.h"

#include <QSignalSpy>
#include <QTreeWidget>
#include <csignal>
#include <sys/wait.h>

#include "core/journal/Journal.h"
#include "core/runs/ConflictFinder.h"
#include "res/Format.h"
#include "tests/support/RegisteredApp.h"
#include "ui/dialogs/CVNHistoryDlg.h"
#include "ui/form/LivePreview.h"

// Each mode shows its own inputs and columns, no caption clipped at the minimum size (the first
// size, but a switch to the date mode must not squeeze its groups); a change box opens only its
// own inputs, and without rows nothing can be changed.
TEST_F(MainView, TheModesAndTheChangeBoxes) {
    view.show();
    const auto noCaptionClipped = [this](int mode) {
        view.SetViewMode(mode);
        view.resize(1, 1);
        QCoreApplication::processEvents();
        for (auto* b : view.findChildren<QAbstractButton*>())
            if (b->isVisibleTo(&view) && b->minimumWidth() != b->maximumWidth()) { // not ">", "..."
                EXPECT_GE(b->width(), b->sizeHint().width()) << mode << " " << b->text().toStdString();
            }
    };
    noCaptionClipped(VIEW_DATE_ATTRIBUTES);
    EXPECT_TRUE(view.control(IDC_REPLACE)->isHidden());
    EXPECT_EQ(columns()[2], "Erstellt am");
    box(IDC_CHANGE_MODIFIED)->click();
    box(IDC_CHANGE_HIDDEN)->click();
    for (int id : {IDC_DATE_MODIFIED, IDC_TIME_MODIFIED, IDC_VALUE_HIDDEN})
        EXPECT_TRUE(view.control(id)->isEnabled()) << id;
    for (int id : {IDC_DATE_CREATED, IDC_TIME_ACCESSED, IDC_VALUE_SYSTEM, IDC_CHANGE})
        EXPECT_FALSE(view.control(id)->isEnabled()) << id;
    noCaptionClipped(VIEW_FIND_RENAME);
    EXPECT_TRUE(view.control(IDC_CHANGE_ALL)->isHidden());
    EXPECT_EQ(columns()[2], "Größe");
    noCaptionClipped(VIEW_DATE_ATTRIBUTES);
}

// A Find that cannot search says why, once, and lists nothing. Find completes what it searched
// for and counts the rows; a limit ends it early.
TEST_F(MainView, FindListsTheMatchesOrSaysWhyItCannot) {
    files({"a.txt", "b.txt", "a.txtx", "c.doc"});
    const std::string refused[][3] = {
        {dir / "nicht-da", "*", "'" + (dir / "nicht-da") + "' existiert nicht"}, {dir.path(), "(a", ""}};
    for (const auto& [folder, pattern, named] : refused) {
        presenter.clear();
        find(pattern, pattern == "(a", folder);
        ASSERT_EQ(presenter.shown().size(), 1u);
        EXPECT_NE(presenter.shown()[0].text.find(named), std::string::npos) << presenter.shown()[0].text;
        EXPECT_EQ(view.fileList()->itemCount(), 0);
        EXPECT_FALSE(button(IDC_STOP)->isEnabled());
    }
    presenter.clear();
    find("*.txt.", false);
    EXPECT_EQ(view.searchBox()->currentText().toStdString(), "*.txt");
    EXPECT_EQ(view.statusText().toStdString(), "2 Datei(en) gefunden.");
    find("", true);
    EXPECT_EQ(view.searchBox()->currentText().toStdString(), ".+");
    EXPECT_EQ(view.fileList()->itemCount(), 4);
    EXPECT_TRUE(presenter.shown().empty());
    pars.MaxFiles = 2;
    find("*", false);
    EXPECT_EQ(view.statusText().toStdString(), std::to_string(view.fileList()->itemCount()) +
                                                   " Datei(en) gefunden. Suche abgebrochen.");
    EXPECT_FALSE(view.isRunning());
}

// Umbenennen renames the selected row and moves on; a failure keeps the row and leaves no undo
// group; after the last match it says that nothing more is found.
TEST_F(MainView, UmbenennenGoesRowByRowAndStaysOnAFailure) {
    files({"f1.txt", "f2.txt", "f3.txt", "g2.txt"});
    find("^f", true);
    replace("f", "g");
    button(IDC_RENAME)->click();
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_EQ(view.fileList()->firstSelectedLine(), 1);
    button(IDC_RENAME)->click(); // g2.txt is taken
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(view.fileList()->firstSelectedLine(), 1);
    EXPECT_EQ(view.fileList()->undoLog().groupCount(), 1u);
    view.fileList()->SelectItem(2, 1);
    button(IDC_RENAME)->click();
    ASSERT_EQ(presenter.shown().size(), 2u);
    EXPECT_EQ(presenter.shown()[1].text, "Der gesuchte Text 'f' wurde nicht (mehr) gefunden.");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"f2.txt", "g1.txt", "g2.txt", "g3.txt"}));
}

TEST_F(MainView, PreviewLeavesTheDiskAloneAndWarnsOncePerFindOrAfterEachRenameAll) {
    files({"p1.txt", "p2.txt", "p3.txt"});
    const std::string warning = LoadString(139);
    box(IDC_PREVIEW)->click();
    find("p", true);
    replaceWith("q");
    button(IDC_RENAME)->click();
    button(IDC_RENAME)->click();
    EXPECT_EQ(countShown(warning), 1);

    find("p", true); // a new Find warns again, here in the summary
    presenter.clear();
    button(IDC_RENAME_ALL)->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "3 Datei(en) umbenannt.\n\n" + warning);
    button(IDC_RENAME)->click(); // the run over the list has shown it already
    EXPECT_EQ(countShown(warning), 0);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"p1.txt", "p2.txt", "p3.txt"}));
}

// The stop comes while the run shows the failure of f2.txt (gone since Finden), so it lands
// between two steps as a click or key press from the event loop would. A repeated Escape is a
// key held down and stops nothing: with Weiter (mode 1) the run goes on past the failure, with
// Abbrechen (mode 0) it ends there without a summary and keeps what was done as one undo group.
TEST_F(MainView, StopAndEscapeEndARenameRunAfterTheCurrentStep) {
    const auto escape = [this](bool repeated) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), repeated);
        QApplication::sendEvent(view.fileList(), &press);
    };
    const std::string stopped = "1 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt werden. "
                                "Umbenennungslauf abgebrochen.";
    const struct {
        std::function<void()> stop;
        int mode;
        std::string summary; // empty: none
        const char* last;
    } rows[] = {
        {[this] { button(IDC_STOP)->click(); }, 1, stopped, "g1.txt"},
        {[&] { escape(false); }, 1, stopped, "g1.txt"},
        {[&] { escape(true); }, 1, "3 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt werden.", "g4.txt"},
        {[] {}, 0, "", "g1.txt"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        TempDir d;
        for (const char* n : {"f1.txt", "f2.txt", "f3.txt", "f4.txt"}) d.file(n);
        pars.RenAllMode = r.mode;
        find("^f", true, d.path());
        std::filesystem::remove(d / "f2.txt");
        replace("f", "g");
        presenter.clear();
        presenter.onShow = r.stop;
        button(IDC_RENAME_ALL)->click();
        ASSERT_EQ(presenter.shown().size(), r.summary.empty() ? 1u : 2u);
        if (!r.summary.empty()) {
            EXPECT_EQ(presenter.shown()[1].text, r.summary);
        }
        EXPECT_EQ(namesIn(d.path()).back(), r.last);
        EXPECT_EQ(view.fileList()->undoLog().groupCount(), 1u);
        EXPECT_FALSE(view.isRunning() || button(IDC_STOP)->isEnabled());
    }
}

TEST_F(MainView, WithoutWholeListARunStartsAtTheSelectedRow) {
    for (int i = 0; i < 10; ++i)
        dir.file("n" + std::to_string(i) + ".txt");
    find("^n", true);
    if (box(IDC_WHOLE_LIST)->isChecked()) box(IDC_WHOLE_LIST)->click();
    view.fileList()->SelectItem(4, -2);
    replace("n", "m");
    button(IDC_RENAME_ALL)->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "6 Datei(en) umbenannt.");
    EXPECT_TRUE(exists("n3.txt") && exists("m4.txt"));
}

// F2 renames the focused row on disk, also in preview mode; a refused or cancelled name
// changes nothing and leaves no undo group.
TEST_F(MainView, F2RenamesInPlaceAndARefusedNameLeavesNoUndoGroup) {
    const struct {
        std::string typed;
        Qt::Key key;
        std::string onDisk;
        bool message;
    } rows[] = {
        {"new.txt", Qt::Key_Return, "new.txt", false},
        {"other.txt", Qt::Key_Return, "old.txt", true},
        {"gone.txt", Qt::Key_Escape, "old.txt", false},
    };
    view.show();
    box(IDC_PREVIEW)->click();
    CVNFileListCtrl& list = *view.fileList();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.typed);
        TempDir d;
        d.file("old.txt");
        d.file("other.txt");
        find("*", false, d.path());
        list.SelectItem(1, -2); // other.txt, then old.txt gets the focus only
        list.selectionModel()->setCurrentIndex(list.model()->index(0, 0), QItemSelectionModel::NoUpdate);
        presenter.clear();

        QTest::keyClick(&list, Qt::Key_F2);
        EXPECT_EQ(list.selectedCount(), 0);
        auto* editor = list.viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setText(QString::fromStdString(r.typed));
        QTest::keyClick(editor, r.key);
        QCoreApplication::processEvents(); // Return commits through a queued call

        EXPECT_EQ(namesIn(d.path()), (std::vector<std::string>{r.onDisk, "other.txt"}));
        EXPECT_EQ(list.GetItemName(0), r.onDisk);
        EXPECT_EQ(list.undoLog().groupCount(), r.onDisk == "old.txt" ? 0u : 1u);
        EXPECT_EQ(presenter.shown().size(), r.message ? 1u : 0u);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed editor
    }
}

TEST_F(MainView, ChoosingAStoredPatternSetsItsRegularExpressionFlag) {
    view.searchBox()->AddToMRU("plain*", 0);
    view.searchBox()->AddToMRU("^re.+", 1); // now on top
    for (int index : {0, 1, 0}) {
        view.searchBox()->setCurrentIndex(index);
        emit view.searchBox()->activated(index);
        EXPECT_EQ(box(IDC_REGEXP)->isChecked(), index == 0) << index;
    }
}

// A settings file that cannot be written at exit costs one wait, one message and no data.
TEST_F(MainView, AnExitSaveThatCannotWriteEndsSoonTellsOnceAndLosesNothing) {
    using Clock = std::chrono::steady_clock;
    const std::string before = XdgSandbox::hiveText(
        "[Settings]\n\"MaxFiles\"=dword:00000007\n[MRU SearchFolder]\n\"Folder0\"=\"/alt\"\n");
    for (const SettingsObstacle& c : settingsObstacles()) {
        SCOPED_TRACE(c.name);
        presenter.clear();
        XdgSandbox sandbox;
        XdgSandbox::put(sandbox.userHive(), before);
        const CVNAppInfo app = registeredApp();
        auto form = std::make_unique<CROZariduView>(pars);
        form->OnInitialUpdate(&app);
        for (int i = 0; i < 10; ++i) {
            form->folderBox()->AddToMRU("/daten/" + std::to_string(i), 0);
            form->searchBox()->AddToMRU("*." + std::to_string(i), i % 2);
            form->replaceBox()->AddToMRU("Bild_" + std::to_string(i), 0);
        }
        std::shared_ptr<void> obstacle = c.obstruct(sandbox);
        ASSERT_TRUE(obstacle);
        const auto start = Clock::now();
        form.reset(); // the form saves its lists as it goes
        // One wait for the whole save, not one for each entry of each list.
        EXPECT_LT(Clock::now() - start, 2 * std::chrono::milliseconds(kHiveLockWaitMs));
        obstacle.reset();
        ASSERT_EQ(presenter.shown().size(), 1u);
        const std::string& text = presenter.shown()[0].text;
        EXPECT_NE(text.find(sandbox.userHive()), std::string::npos) << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        EXPECT_EQ(TempDir::read(sandbox.userHive()), before);
        EXPECT_EQ(namesIn(sandbox.userFolder()).size(), 1u) << "nothing but the settings file";
    }
}

TEST_F(MainView, TheNewNameColumnShowsWhatRenameAllWouldDoWithItsConflicts) {
    files({"a.log", "a.txt", "b.txt", "c.txt"});
    find("*", false);
    QSignalSpy status(&view, &CROZariduView::statusTextChanged);
    QSignalSpy done(view.livePreview(), &LivePreview::finished);
    FileListModel& model = *view.fileList()->fileModel();
    const auto column = [&] {
        std::vector<std::string> cells;
        for (int row = 0; row < model.rowCount(); ++row)
            cells.push_back(model.index(row, COL_NEWNAME).data().toString().toStdString());
        return cells;
    };

    // Only the rows that change show a name; a counter numbers them in list order.
    view.searchBox()->setEditText("*.txt");
    replaceWith("*_:(1).log");
    ASSERT_TRUE(done.wait(5000));
    EXPECT_EQ(columns()[1], "Neuer Name");
    EXPECT_EQ(column(), (std::vector<std::string>{"", "a_1.log", "b_2.log", "c_3.log"}));
    EXPECT_TRUE(presenter.shown().empty());

    // a.txt would take a.log's name, which stays: marked, explained, counted.
    replaceWith("*.log");
    ASSERT_TRUE(done.wait(5000));
    EXPECT_EQ(column(), (std::vector<std::string>{"", "a.log", "b.log", "c.log"}));
    EXPECT_EQ(static_cast<NameConflict>(model.newNameConflict(1)), NameConflict::Exists);
    EXPECT_EQ(static_cast<NameConflict>(model.newNameConflict(2)), NameConflict::None);
    EXPECT_EQ(model.index(1, COL_NEWNAME).data(Qt::ToolTipRole).toString().toStdString(), FormatId(33131, {"a.log"}));
    EXPECT_TRUE(model.index(1, COL_NEWNAME).data(Qt::DecorationRole).isValid());
    EXPECT_TRUE(status.last()[0].toString().contains(QString::fromStdString(FormatId(33135, {1}))));

    // While typing, an invalid expression is said in the status bar, not in a message box.
    box(IDC_REGEXP)->setChecked(true);
    view.searchBox()->setEditText("(");
    QTest::qWait(400);
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_FALSE(status.last()[0].toString().isEmpty());
    EXPECT_EQ(column(), (std::vector<std::string>{"", "", "", ""}));

    // No replacement, or the other mode: no column.
    replaceWith("");
    EXPECT_EQ(columns()[1], "Im Ordner");
    replaceWith("x");
    view.SetViewMode(VIEW_DATE_ATTRIBUTES);
    EXPECT_EQ(columns()[1], "Im Ordner");
}

// Bearbeiten > Verlauf takes a run back from the journal, and Rückgängig will not try it again.
TEST_F(MainView, AJournalRunIsTakenBackFromTheHistoryAndNotAgain) {
    files({"h1.txt", "h2.txt"});
    find("*.txt", false);
    replaceWith("*.md");
    button(IDC_RENAME_ALL)->click();
    ASSERT_TRUE(exists("h1.md"));
    presenter.clear();
    presenter.setDefaultAnswer(IDYES);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CVNHistoryDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ASSERT_GE(dialog->runList()->topLevelItemCount(), 1);
        EXPECT_NE(dialog->runList()->topLevelItem(0)->text(2).toStdString().find("*.md"), std::string::npos);
        dialog->takeBackButton()->click();
        EXPECT_FALSE(dialog->takeBackButton()->isEnabled()); // nothing left to take back
        dialog->reject();
    });
    view.OnHistory();
    EXPECT_EQ(view.fileList()->GetItemName(0), "h1.txt");
    EXPECT_FALSE(view.fileList()->undoLog().hasEntries()); // Rückgängig will not try it again
    EXPECT_EQ(view.statusText().toStdString(), "Rückgängig: 2 Änderung(en) zurückgenommen.");
}

// A run a crash left unfinished is reported at the next start, with what it changed.
TEST_F(MainView, TheNextStartTellsOfARunACrashLeftUnfinished) {
    XdgSandbox sandbox;
    files({"c1.txt", "c2.txt"});
    const pid_t pid = fork();
    if (pid == 0) {
        Journal journal;
        journal.begin({"window", 0, 1, dir.path(), "*.txt", "*.md"});
        UndoRecord r;
        r.folder = std::make_shared<const std::string>(dir.path());
        r.oldName = "c1.txt";
        r.name = "c1.md";
        r.identity = identityOf(dir / "c1.txt");
        journal.intent(r);
        ::rename((dir / "c1.txt").c_str(), (dir / "c1.md").c_str());
        raise(SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const CVNAppInfo app = registeredApp();
    presenter.clear();
    CROZariduView again(pars);
    again.OnInitialUpdate(&app);
    QCoreApplication::processEvents();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_NE(presenter.shown()[0].text.find(" 1 Datei(en) wurden dabei geändert"), std::string::npos)
        << presenter.shown()[0].text;
}
