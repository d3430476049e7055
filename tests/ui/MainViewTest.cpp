// The main form: its modes, enabled states and the runs driven through its buttons.
#include "tests/ui/MainViewFixture.h"

#include <algorithm>
#include <filesystem>
#include <QSignalSpy>

#include "core/runs/ConflictFinder.h"
#include "res/Format.h"
#include "ui/form/LivePreview.h"

TEST_F(MainView, EveryControlCarriesItsId) {
    for (int id = 1040; id <= 1083; ++id) {
        if ((id >= 1054 && id <= 1056) || id == 1067 || id == 1068) continue;
        EXPECT_NE(view.control(id), nullptr) << id;
    }
    EXPECT_EQ(button(IDC_FIND)->text().toStdString(), "&Finden");
    EXPECT_EQ(button(IDC_RENAME_ALL)->text().toStdString(), "Alle U&mbenennen");
    EXPECT_EQ(button(IDC_CHANGE_ALL)->text().toStdString(), "Alle U&mändern");
    EXPECT_TRUE(button(IDC_FIND)->isDefault());
}

TEST_F(MainView, InitialValues) {
    EXPECT_TRUE(box(IDC_SUBFOLDERS)->isChecked());
    EXPECT_FALSE(box(IDC_REGEXP)->isChecked());
    EXPECT_FALSE(box(IDC_PREVIEW)->isChecked());
    EXPECT_TRUE(box(IDC_WHOLE_LIST)->isChecked());
    EXPECT_EQ(view.viewMode(), VIEW_FIND_RENAME);
    EXPECT_FALSE(button(IDC_STOP)->isEnabled());
    for (int id = IDC_DATE_CREATED; id <= IDC_TIME_ACCESSED; ++id)
        EXPECT_FALSE(view.control(id)->isEnabled()) << id;
}

TEST_F(MainView, ModeSwitchShowsEachModesControlsAndRestoresColumns) {
    const std::vector<std::string> findColumns{"Name", "Im Ordner", "Größe", "Typ", "Geändert am"};
    const std::vector<std::string> dateColumns{"Name",        "Im Ordner",       "Erstellt am",
                                               "Geändert am", "Letzter Zugriff", "Attribute"};
    EXPECT_EQ(columns(), findColumns);

    struct Row {
        int mode;
        std::vector<int> shownIds, hiddenIds;
        const std::vector<std::string>* cols;
    };
    const Row rows[] = {
        {VIEW_DATE_ATTRIBUTES,
         {IDC_CHANGE, IDC_CHANGE_ALL, IDC_DATE_GROUP, IDC_ATTRIBUTE_GROUP, IDC_SEARCH, IDC_FOLDER},
         {IDC_REPLACE_LABEL, IDC_REPLACE, IDC_REPLACE_MENU, IDC_RENAME, IDC_RENAME_ALL},
         &dateColumns},
        {VIEW_FIND_RENAME,
         {IDC_REPLACE_LABEL, IDC_REPLACE, IDC_REPLACE_MENU, IDC_RENAME, IDC_RENAME_ALL, IDC_SEARCH},
         {IDC_CHANGE, IDC_CHANGE_ALL, IDC_DATE_GROUP, IDC_ATTRIBUTE_GROUP},
         &findColumns},
    };
    for (const Row& r : rows) {
        view.SetViewMode(r.mode);
        EXPECT_EQ(view.viewMode(), r.mode);
        for (int id : r.shownIds)
            EXPECT_TRUE(shown(id)) << r.mode << " " << id;
        for (int id : r.hiddenIds)
            EXPECT_FALSE(shown(id)) << r.mode << " " << id;
        EXPECT_EQ(columns(), *r.cols);
    }
}

TEST_F(MainView, EmptyingTheFolderBoxDisablesFind) {
    EXPECT_FALSE(button(IDC_FIND)->isEnabled());
    view.folderBox()->setEditText("/tmp");
    EXPECT_TRUE(button(IDC_FIND)->isEnabled());
    view.folderBox()->setEditText("");
    EXPECT_FALSE(button(IDC_FIND)->isEnabled());
}

TEST_F(MainView, ChangeBoxesEnableTheirInputs) {
    view.SetViewMode(VIEW_DATE_ATTRIBUTES);
    box(IDC_CHANGE_MODIFIED)->click();
    EXPECT_TRUE(view.control(IDC_DATE_MODIFIED)->isEnabled());
    EXPECT_TRUE(view.control(IDC_TIME_MODIFIED)->isEnabled());
    EXPECT_FALSE(view.control(IDC_DATE_CREATED)->isEnabled());
    box(IDC_CHANGE_HIDDEN)->click();
    EXPECT_TRUE(view.control(IDC_VALUE_HIDDEN)->isEnabled());
    EXPECT_FALSE(view.control(IDC_VALUE_SYSTEM)->isEnabled());
    // Without rows the change buttons stay off even with a checked box.
    EXPECT_FALSE(button(IDC_CHANGE)->isEnabled());
    box(IDC_CHANGE_MODIFIED)->click();
    EXPECT_FALSE(view.control(IDC_DATE_MODIFIED)->isEnabled());
}

TEST_F(MainView, FindListsMatchesWritesStatusAndSelectsTheFirstRow) {
    dir.file("a.txt");
    dir.file("b.txt");
    dir.file("c.doc");
    find("*.txt", false);
    EXPECT_EQ(view.fileList()->itemCount(), 2);
    EXPECT_EQ(view.statusText().toStdString(), "2 Datei(en) gefunden.");
    EXPECT_EQ(view.fileList()->selectedCount(), 1);
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_FALSE(button(IDC_STOP)->isEnabled());
    EXPECT_TRUE(button(IDC_FIND)->isEnabled());
}

TEST_F(MainView, FindFillsEmptyPatternAndTrimsATrailingDot) {
    dir.file("a.txt");
    dir.file("a.txtx");
    struct Row {
        std::string pattern;
        bool regExp;
        std::string written;
        int rows;
    };
    const Row rows[] = {{"", false, "*", 2}, {"", true, ".+", 2}, {"*.txt.", false, "*.txt", 1}};
    for (const Row& r : rows) {
        find(r.pattern, r.regExp);
        EXPECT_EQ(view.searchBox()->currentText().toStdString(), r.written) << r.pattern;
        EXPECT_EQ(view.fileList()->itemCount(), r.rows) << r.pattern;
    }
}

TEST_F(MainView, FindRefusesARelativeFolderAndABadExpression) {
    dir.file("a.txt");
    view.folderBox()->setEditText("some/folder");
    button(IDC_FIND)->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, Format(LoadString(33120), {"some/folder"}));
    EXPECT_EQ(presenter.shown()[0].type & MB_ICONMASK, MB_ICONERROR);

    presenter.clear();
    find("(a", true);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(view.fileList()->itemCount(), 0);
}

TEST_F(MainView, RenameAllCountsOccurrencesInOneName) {
    dir.file("banana.txt");
    find("a", true);
    ASSERT_EQ(view.fileList()->itemCount(), 1);
    replaceWith("b");
    ASSERT_TRUE(button(IDC_RENAME_ALL)->isEnabled());
    button(IDC_RENAME_ALL)->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "3 Vorkommnis(se) in 1 Datei(en) umbenannt.");
    EXPECT_EQ(presenter.shown()[0].type & MB_ICONMASK, MB_ICONINFORMATION);
    EXPECT_TRUE(exists("bbnbnb.txt"));
    EXPECT_FALSE(view.isRunning());
}

TEST_F(MainView, RenameAllWithWildcardCountsFiles) {
    dir.file("x1.txt");
    dir.file("x2.txt");
    dir.file("y.txt");
    find("x*", false);
    replaceWith("z*");
    button(IDC_RENAME_ALL)->click();
    ASSERT_FALSE(presenter.shown().empty());
    EXPECT_EQ(presenter.shown().back().text, "2 Datei(en) umbenannt.");
}

// f2.txt vanishes after Finden, so it fails only when its turn comes.
TEST_F(MainView, FailurePoliciesOfRenameAll) {
    struct Row {
        int mode;
        bool renamed3;
        std::string summary;
        std::size_t groups;
    };
    const Row rows[] = {
        {0, false, "", 1u},
        {1, true, "2 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt werden.", 1u},
    };
    for (const Row& r : rows) {
        TempDir d;
        for (const char* n : {"f1.txt", "f2.txt", "f3.txt"})
            d.file(n);
        presenter.clear();
        pars.RenAllMode = r.mode;
        view.folderBox()->setEditText(QString::fromStdString(d.path()));
        view.searchBox()->setEditText("^f");
        box(IDC_REGEXP)->setChecked(true);
        button(IDC_FIND)->click();
        view.fileList()->sortByColumnId(0);
        view.fileList()->SelectItem(0, -2);
        ASSERT_EQ(view.fileList()->itemCount(), 3);
        std::filesystem::remove(d / "f2.txt"); // it fails only when its turn comes
        view.searchBox()->setEditText("f");
        replaceWith("g");
        button(IDC_RENAME_ALL)->click();

        const auto& shown = presenter.shown();
        ASSERT_FALSE(shown.empty()) << r.mode;
        EXPECT_EQ(shown[0].type & MB_ICONMASK, MB_ICONWARNING) << r.mode; // the failed file
        if (r.summary.empty())
            EXPECT_EQ(shown.size(), 1u);
        else
            EXPECT_EQ(shown.back().text, r.summary);
        struct stat st {};
        EXPECT_EQ(lstat((d / "g1.txt").c_str(), &st), 0) << r.mode;
        EXPECT_EQ(lstat((d / "g3.txt").c_str(), &st) == 0, r.renamed3) << r.mode;
        EXPECT_EQ(view.fileList()->undoLog().groupCount(), r.groups) << r.mode;
        EXPECT_FALSE(view.isRunning());
    }
}

TEST_F(MainView, AbortPolicyRemovesTheGroupWhenTheFirstFileFails) {
    for (const char* n : {"f1.txt", "g1.txt"})
        dir.file(n);
    pars.RenAllMode = 0;
    find("^f", true);
    view.searchBox()->setEditText("f");
    replaceWith("g");
    button(IDC_RENAME_ALL)->click();
    EXPECT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(view.fileList()->undoLog().groupCount(), 0u);
}

TEST_F(MainView, PreviewWarningOncePerFindForSingleStepsAndAlwaysAfterRenameAll) {
    for (const char* n : {"p1.txt", "p2.txt", "p3.txt"})
        dir.file(n);
    const std::string warning = LoadString(139);
    box(IDC_PREVIEW)->click();
    find("p", true);
    replaceWith("q");
    button(IDC_RENAME)->click();
    button(IDC_RENAME)->click();
    EXPECT_EQ(countShown(warning), 1);
    EXPECT_TRUE(exists("p1.txt")); // preview leaves the disk alone
    EXPECT_FALSE(exists("q1.txt"));

    find("p", true);
    button(IDC_RENAME)->click();
    EXPECT_EQ(countShown(warning), 2);

    find("p", true);
    presenter.clear();
    button(IDC_RENAME_ALL)->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "3 Datei(en) umbenannt.\n\n" + warning);
    button(IDC_RENAME)->click(); // the run over the list has shown it already
    EXPECT_EQ(countShown(warning), 0);
}

TEST_F(MainView, SingleRenameAdvancesAndReportsTheEnd) {
    for (const char* n : {"r1.txt", "r2.txt"})
        dir.file(n);
    find("r", true);
    replaceWith("s");
    button(IDC_RENAME)->click();
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_EQ(view.fileList()->firstSelectedLine(), 1);
    button(IDC_RENAME)->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "Der gesuchte Text 'r' wurde nicht (mehr) gefunden.");
    EXPECT_TRUE(exists("s1.txt"));
    EXPECT_TRUE(exists("s2.txt"));
}

TEST_F(MainView, AFullListStopsFindAndSaysSoInTheStatus) {
    for (const char* n : {"m1.txt", "m2.txt", "m3.txt", "m4.txt"})
        dir.file(n);
    pars.MaxFiles = 2;
    find("*", false);
    EXPECT_EQ(view.statusText().toStdString(), std::to_string(view.fileList()->itemCount()) +
                                                   " Datei(en) gefunden. Suche abgebrochen.");
    EXPECT_FALSE(view.isRunning());
}

// The stop comes while the run shows the failure of f2.txt (gone since Finden), so it lands
// between two steps as a click or key press from the event loop would.
TEST_F(MainView, StopAndEscapeEndARenameRunAfterTheCurrentStep) {
    const std::string expected = "1 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt "
                                 "werden. Umbenennungslauf abgebrochen.";
    struct Row {
        const char* how;
        std::function<void(CROZariduView&)> stop;
    };
    const Row rows[] = {
        {"button",
         [](CROZariduView& v) { qobject_cast<QPushButton*>(v.control(IDC_STOP))->click(); }},
        {"escape",
         [](CROZariduView& v) {
             QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(v.fileList(), &press);
         }},
        {"repeated escape",
         [](CROZariduView& v) {
             QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), true);
             QApplication::sendEvent(v.fileList(), &press);
         }},
    };
    for (const Row& r : rows) {
        TempDir d;
        for (const char* n : {"f1.txt", "f2.txt", "f3.txt", "f4.txt"})
            d.file(n);
        pars.RenAllMode = 1;
        view.folderBox()->setEditText(QString::fromStdString(d.path()));
        view.searchBox()->setEditText("^f");
        box(IDC_REGEXP)->setChecked(true);
        button(IDC_FIND)->click();
        view.fileList()->sortByColumnId(0);
        std::filesystem::remove(d / "f2.txt");
        view.searchBox()->setEditText("f");
        replaceWith("g");
        presenter.clear();
        presenter.onShow = [&] { r.stop(view); };
        button(IDC_RENAME_ALL)->click();
        ASSERT_EQ(presenter.shown().size(), 2u) << r.how;
        const bool stops = std::string(r.how) != "repeated escape";
        if (stops)
            EXPECT_EQ(presenter.shown()[1].text, expected) << r.how;
        else
            EXPECT_EQ(presenter.shown()[1].text,
                      "3 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt werden.");
        struct stat st {};
        EXPECT_EQ(lstat((d / "g3.txt").c_str(), &st) == 0, !stops) << r.how;
        EXPECT_FALSE(view.isRunning());
        EXPECT_FALSE(button(IDC_STOP)->isEnabled());
    }
}

TEST_F(MainView, ChangeAllReportsChangedFiles) {
    for (const char* n : {"c1.txt", "c2.txt"})
        dir.file(n);
    view.SetViewMode(VIEW_DATE_ATTRIBUTES);
    box(IDC_PREVIEW)->click();
    find("c", true);
    box(IDC_CHANGE_MODIFIED)->click();
    ASSERT_TRUE(button(IDC_CHANGE_ALL)->isEnabled());
    presenter.clear();
    button(IDC_CHANGE_ALL)->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "2 Datei(en) geändert.\n\n" + LoadString(140));
}

TEST_F(MainView, F2RenamesInPlaceAndARefusedNameLeavesNoUndoGroup) {
    struct Row {
        std::string typed;
        Qt::Key key;
        std::string onDisk;
        std::size_t groups;
        bool message;
    };
    const Row rows[] = {
        {"new.txt", Qt::Key_Return, "new.txt", 1u, false},
        {"dot.txt.", Qt::Key_Return, "dot.txt.", 1u, false}, // a Linux name keeps its dot
        {"other.txt", Qt::Key_Return, "old.txt", 0u, true},
        {"..", Qt::Key_Return, "old.txt", 0u, true},
        {"", Qt::Key_Return, "old.txt", 0u, true},
        {"gone.txt", Qt::Key_Escape, "old.txt", 0u, false},
    };
    view.show();
    box(IDC_PREVIEW)->click(); // an in-place rename acts on disk even in preview mode
    for (const Row& r : rows) {
        TempDir d;
        d.file("old.txt");
        d.file("other.txt");
        view.folderBox()->setEditText(QString::fromStdString(d.path()));
        view.searchBox()->setEditText("*");
        box(IDC_REGEXP)->setChecked(false);
        button(IDC_FIND)->click();
        view.fileList()->sortByColumnId(0);
        CVNFileListCtrl& list = *view.fileList();
        list.SelectItem(1, -2); // other.txt, then old.txt gets the focus only
        list.selectionModel()->setCurrentIndex(list.model()->index(0, 0),
                                               QItemSelectionModel::NoUpdate);
        presenter.clear();

        QTest::keyClick(&list, Qt::Key_F2);
        EXPECT_EQ(list.selectedCount(), 0) << r.typed;
        auto* editor = list.viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr) << r.typed;
        editor->setText(QString::fromStdString(r.typed));
        QTest::keyClick(editor, r.key);
        QCoreApplication::processEvents(); // Return commits through a queued call

        struct stat st {};
        EXPECT_EQ(lstat((d / r.onDisk).c_str(), &st), 0) << r.typed;
        EXPECT_EQ(list.GetItemName(0), r.onDisk) << r.typed;
        EXPECT_EQ(list.undoLog().groupCount(), r.groups) << r.typed;
        ASSERT_EQ(presenter.shown().size(), r.message ? 1u : 0u) << r.typed;
        if (r.message) {
            EXPECT_EQ(presenter.shown()[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
            EXPECT_EQ(presenter.shown()[0].text.rfind("Die Datei konnte nicht zu '", 0), 0u)
                << presenter.shown()[0].text;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed editor
    }
}

TEST_F(MainView, ChoosingAStoredPatternSetsItsRegularExpressionFlag) {
    view.searchBox()->AddToMRU("plain*", 0);
    view.searchBox()->AddToMRU("^re.+", 1); // now on top
    struct Row {
        int index;
        bool regExp;
    };
    for (const Row& r : {Row{0, true}, Row{1, false}, Row{0, true}}) {
        view.searchBox()->setCurrentIndex(r.index);
        emit view.searchBox()->activated(r.index);
        EXPECT_EQ(box(IDC_REGEXP)->isChecked(), r.regExp) << r.index;
    }
}

TEST_F(MainView, BrowseWritesTheChosenFolderAndEnablesFind) {
    TempDir d;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        dialog->setDirectory(QString::fromStdString(d.path()));
        dialog->selectFile(QString::fromStdString(d.path()));
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_FALSE(button(IDC_FIND)->isEnabled());
    button(IDC_BROWSE)->click();
    EXPECT_EQ(title.toStdString(), LoadString(136));
    EXPECT_EQ(QDir(view.folderBox()->currentText()).canonicalPath(),
              QDir(QString::fromStdString(d.path())).canonicalPath());
    EXPECT_TRUE(button(IDC_FIND)->isEnabled());
}

// Closing the window during a run leaves the handler at once: no summary, no state change.
TEST_F(MainView, AQuitRequestLeavesRunsAtOnce) {
    struct QuitReset {
        ~QuitReset() { MessagePump::requestQuit(false); }
    } reset;
    for (const char* n : {"f1.txt", "f2.txt", "f3.txt"})
        dir.file(n);
    pars.RenAllMode = 1;
    find("^f", true);
    std::filesystem::remove(dir / "f2.txt");
    view.searchBox()->setEditText("f");
    replaceWith("g");
    presenter.onShow = [] { MessagePump::requestQuit(true); };
    button(IDC_RENAME_ALL)->click();
    ASSERT_EQ(presenter.shown().size(), 1u); // the failure of f2.txt, no summary
    EXPECT_TRUE(view.isRunning());
    EXPECT_FALSE(exists("g3.txt"));

    view.SetRunState(false);
    view.searchBox()->setEditText("^f");
    const QString before = view.statusText();
    button(IDC_FIND)->click(); // quit still requested: the scan leaves before its summary
    EXPECT_EQ(view.statusText(), before);
    EXPECT_TRUE(view.isRunning());
    MessagePump::requestQuit(false);
    view.SetRunState(false);
}

TEST_F(MainView, WithoutWholeListARunStartsAtTheSelectedRow) {
    for (int i = 0; i < 10; ++i)
        dir.file("n" + std::to_string(i) + ".txt");
    struct Row {
        bool wholeList;
        int selected;
        int renamed;
    };
    for (const Row& r : {Row{false, 4, 6}, Row{true, 4, 10}}) {
        find("^n", true);
        if (box(IDC_WHOLE_LIST)->isChecked() != r.wholeList) box(IDC_WHOLE_LIST)->click();
        view.fileList()->SelectItem(r.selected, -2);
        view.searchBox()->setEditText("n");
        replaceWith("n");
        presenter.clear();
        button(IDC_RENAME_ALL)->click();
        ASSERT_EQ(presenter.shown().size(), 1u);
        EXPECT_EQ(presenter.shown()[0].text, std::to_string(r.renamed) + " Datei(en) umbenannt.");
    }
}

TEST_F(MainView, AFailedSingleRenameIsRevertedAndStaysOnItsRow) {
    for (const char* n : {"f1.txt", "f2.txt", "g1.txt"})
        dir.file(n);
    find("^f", true);
    view.searchBox()->setEditText("f");
    replaceWith("g");
    button(IDC_RENAME)->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].type & MB_ICONMASK, MB_ICONWARNING);
    EXPECT_EQ(view.fileList()->undoLog().groupCount(), 0u);
    EXPECT_EQ(view.fileList()->firstSelectedLine(), 0);
    EXPECT_TRUE(exists("f1.txt"));
}

// The first size is the minimum, but a switch to the date mode must not squeeze its groups.
TEST_F(MainView, NoCaptionIsClippedAtTheMinimumSizeInEitherMode) {
    view.show();
    QCoreApplication::processEvents();
    for (int mode : {VIEW_DATE_ATTRIBUTES, VIEW_FIND_RENAME, VIEW_DATE_ATTRIBUTES}) {
        view.SetViewMode(mode);
        view.resize(1, 1);
        QCoreApplication::processEvents();
        for (auto* b : view.findChildren<QAbstractButton*>()) {
            if (!b->isVisibleTo(&view) || b->minimumWidth() == b->maximumWidth())
                continue; // ">" and "..." are narrow by design
            EXPECT_GE(b->width(), b->sizeHint().width()) << mode << " " << b->text().toStdString();
        }
    }
}

TEST_F(MainView, TheThreeListsAreSavedWithTheViewAndLoadedAtStart) {
    XdgSandbox sandbox;
    CVNAppInfo app;
    app.SetRegistryKey("Orvane");
    {
        CROZariduView first(pars);
        first.OnInitialUpdate(&app);
        first.folderBox()->AddToMRU("/daten", 0);
        first.searchBox()->AddToMRU("^IMG_", 1);
        first.searchBox()->AddToMRU("*.jpg", 0);
        first.replaceBox()->AddToMRU("Bild_", 0);
    }
    CROZariduView again(pars);
    again.OnInitialUpdate(&app);
    ASSERT_EQ(again.folderBox()->count(), 1);
    EXPECT_EQ(again.folderBox()->text(0), "/daten");
    ASSERT_EQ(again.searchBox()->count(), 2);
    EXPECT_EQ(again.searchBox()->text(1), "^IMG_");
    EXPECT_EQ(again.searchBox()->datum(1), 1);
    EXPECT_EQ(again.searchBox()->datum(0), 0);
    ASSERT_EQ(again.replaceBox()->count(), 1);
    EXPECT_EQ(again.replaceBox()->text(0), "Bild_");
}

TEST_F(MainView, AnExitSaveThatCannotWriteEndsSoonTellsOnceAndLosesNothing) {
    using Clock = std::chrono::steady_clock;
    for (const SettingsObstacle& c : settingsObstacles()) {
        SCOPED_TRACE(c.name);
        presenter.clear();
        XdgSandbox sandbox;
        const std::string before = "Orvane registry file, format 1\n"
                                   "[Settings]\n\"MaxFiles\"=dword:00000007\n"
                                   "[MRU SearchFolder]\n\"Folder0\"=\"/alt\"\n"
                                   "End of Orvane registry file\n";
        XdgSandbox::put(sandbox.userHive(), before);
        CVNAppInfo app;
        app.SetRegistryKey("Orvane");
        Clock::duration took{};
        {
            auto form = std::make_unique<CROZariduView>(pars);
            form->OnInitialUpdate(&app);
            for (int i = 0; i < 10; ++i) {
                form->folderBox()->AddToMRU("/daten/" + std::to_string(i), 0);
                form->searchBox()->AddToMRU("*." + std::to_string(i), i % 2);
                form->replaceBox()->AddToMRU("Bild_" + std::to_string(i), 0);
            }
            const std::shared_ptr<void> obstacle = c.obstruct(sandbox);
            ASSERT_TRUE(obstacle);
            const auto start = Clock::now();
            form.reset(); // the form saves its lists as it goes
            took = Clock::now() - start;
        }
        // One wait for the whole save, not one for each entry of each list.
        EXPECT_LT(took, 2 * std::chrono::milliseconds(kHiveLockWaitMs));
        ASSERT_EQ(presenter.shown().size(), 1u);
        const std::string& text = presenter.shown()[0].text;
        EXPECT_NE(text.find(sandbox.userHive()), std::string::npos) << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        EXPECT_EQ(TempDir::read(sandbox.userHive()), before);
        using Entries = std::filesystem::directory_iterator;
        EXPECT_EQ(std::distance(Entries(sandbox.userFolder()), Entries()), 1)
            << "nothing but the settings file";
    }
}

TEST_F(MainView, ReturnInABoxPressesFinden) {
    dir.file("r1.txt");
    view.folderBox()->setEditText(QString::fromStdString(dir.path()));
    view.searchBox()->setEditText("r*");
    QTest::keyClick(view.searchBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(view.fileList()->itemCount(), 1);
    view.folderBox()->setEditText("");
    view.searchBox()->setEditText("x*");
    QTest::keyClick(view.searchBox()->lineEdit(), Qt::Key_Return); // Finden is off without a folder
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_EQ(view.fileList()->itemCount(), 1);
}

// Alle Umbenennen always ends with the names asked for; a name that cannot be had is asked
// about once, before anything changes. A run that still goes on after five seconds is stopped
// by the test, which then fails on the summary.
TEST_F(MainView, RenameAllAlwaysEndsWithTheNamesAskedFor) {
    struct Row {
        std::vector<std::string> files;
        const char* pattern;
        const char* replacement;
        std::vector<std::string> after; // sorted
        std::size_t failures;
    };
    const Row rows[] = {
        {{"abc"}, "$", ".", {"abc."}, 0},
        {{"abc"}, "b*", ".", {".a.c."}, 0},
        {{"a.txt", "a_copy.txt"}, "_copy", "\\9", {"a.txt", "a_copy.txt"}, 0},
        {{"X", "abc.txt"}, ".*", "X", {"X", "abc.txt"}, 0},
        {{"file.txt"}, ".*", ".", {"file.txt"}, 0},
        {{"aaa", "baa"}, "a", "b", {"aaa", "baa"}, 0},
        {{"abcde"}, ".", "/", {"abcde"}, 0},
    };
    presenter.setDefaultAnswer(IDYES);
    pars.RenAllMode = 1;
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.pattern) + " -> " + r.replacement);
        TempDir d;
        for (const std::string& f : r.files) d.file(f);
        view.folderBox()->setEditText(QString::fromStdString(d.path()));
        view.searchBox()->setEditText(QString::fromStdString(r.pattern));
        box(IDC_REGEXP)->setChecked(true);
        button(IDC_FIND)->click();
        replaceWith(r.replacement);
        presenter.clear();
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] { button(IDC_STOP)->click(); });
        guard.start(5000);
        button(IDC_RENAME_ALL)->click();
        guard.stop();
        std::vector<std::string> after;
        for (const auto& e : std::filesystem::directory_iterator(d.path())) after.push_back(e.path().filename());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, r.after);
        std::size_t warnings = 0;
        for (const auto& m : presenter.shown())
            warnings += (m.type & MB_ICONMASK) == MB_ICONWARNING || (m.type & MB_ICONMASK) == MB_ICONERROR;
        EXPECT_EQ(warnings, r.failures);
        ASSERT_FALSE(presenter.shown().empty());
        EXPECT_EQ(presenter.shown().back().text.find(LoadString(148)), std::string::npos) << "stopped";
    }
}

TEST_F(MainView, TheNewNameColumnShowsWhatRenameAllWouldDoWithItsConflicts) {
    for (const char* n : {"a.log", "a.txt", "b.txt", "c.txt"})
        dir.file(n);
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
