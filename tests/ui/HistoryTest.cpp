// Bearbeiten > Verlauf: a run taken back from the journal, and the word after a crash.
#include <QTreeWidget>
#include <csignal>
#include <sys/wait.h>

#include "core/journal/Journal.h"
#include "ui/dialogs/CVNHistoryDlg.h"
#include "tests/ui/MainViewFixture.h"

TEST_F(MainView, AJournalRunIsTakenBackFromTheHistoryAndNotAgain) {
    for (const char* n : {"h1.txt", "h2.txt"}) dir.file(n);
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
    EXPECT_TRUE(exists("h1.txt"));
    EXPECT_TRUE(exists("h2.txt"));
    EXPECT_EQ(view.fileList()->GetItemName(0), "h1.txt");
    EXPECT_FALSE(view.fileList()->undoLog().hasEntries()); // Rückgängig will not try it again
    EXPECT_EQ(view.statusText().toStdString(), "Rückgängig: 2 Änderung(en) zurückgenommen.");
}

// A run a crash left unfinished is reported at the next start, with what it changed.
TEST_F(MainView, TheNextStartTellsOfARunACrashLeftUnfinished) {
    XdgSandbox sandbox;
    dir.file("c1.txt");
    dir.file("c2.txt");
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
    CVNAppInfo app;
    app.SetRegistryKey("Orvane");
    presenter.clear();
    CROZariduView again(pars);
    again.OnInitialUpdate(&app);
    QCoreApplication::processEvents();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_NE(presenter.shown()[0].text.find(" 1 Datei(en) wurden dabei geändert"), std::string::npos)
        << presenter.shown()[0].text;
}
