// The desktop operations on listed files, driven through the list with the real clipboard of
// the offscreen platform, on real files in a temporary folder and with a private trash.
#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QDrag>
#include <QElapsedTimer>
#include <QMimeData>
#include <QUrl>

#include "core/shell/FileMimeData.h"
#include "tests/support/ChildProcess.h"
#include "tests/ui/MainViewFixture.h"
#include "ui/shell/FileContextMenu.h"
#include "ui/shell/FilePropertiesDialog.h"
#include "ui/shell/ShellOperations.h"
#include "ui/shell/TrashOperation.h"

namespace {

// Takes the file URLs the program hands to the desktop instead of starting applications.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    std::vector<std::string> paths;
public slots:
    void open(const QUrl& url) { paths.push_back(url.toLocalFile().toStdString()); }
};

class ShellOps : public ShownView {
protected:
    void SetUp() override {
        // Qt trashes into $XDG_DATA_HOME/Trash when the file lies where the home folder does.
        setenv("HOME", xdg.dir().path().c_str(), 1);
        QApplication::clipboard()->clear();
        ShownView::SetUp();
        // The Edit menu's Ausschneiden and Kopieren reach the list only while it has the focus.
        focus(list());
    }
    void TearDown() override {
        if (savedHome) setenv("HOME", savedHome->c_str(), 1);
        QApplication::clipboard()->clear();
    }

    // Lists the files named by regular expression and selects the rows given.
    void listAndSelect(const std::string& pattern, std::initializer_list<int> rows) {
        find(pattern, true);
        select(rows);
    }
    void select(std::initializer_list<int> rows) {
        list()->SelectAllRows(false);
        for (int r : rows)
            list()->selectionModel()->select(list()->model()->index(r, 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows);
    }
    CVNFileListCtrl* list() const { return view.fileList(); }
    std::vector<std::string> names() const {
        std::vector<std::string> n;
        for (int i = 0; i < list()->itemCount(); ++i)
            n.push_back(list()->GetItemName(i));
        return n;
    }
    std::string clip(const char* format) const {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        return data ? data->data(QString::fromLatin1(format)).toStdString() : "(empty clipboard)";
    }
    static bool clipHasUrls() {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        return data && data->hasUrls();
    }
    std::string uri(const std::string& name) const { return FileUri(dir / name).toStdString(); }
    // Waits for the pending row checks while counting how often the window got to run a timer.
    int waitForChecks() {
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(100);
        QElapsedTimer clock;
        clock.start();
        while (ops.vanishedRows().pendingChecks() > 0 && clock.elapsed() < 10000)
            QTest::qWait(20);
        return ticks;
    }

    std::optional<std::string> savedHome = [] {
        const char* h = std::getenv("HOME");
        return h ? std::optional<std::string>(h) : std::nullopt;
    }();
    XdgSandbox xdg;
    bool running = false;
    ShellOperations ops{*view.fileList(), [this] { return running; }};
    UrlRecorder opened;
};

} // namespace

// Cut and copy put the files on the clipboard as file managers read them; a cut dims the rows
// until Escape, a copy, or a paste elsewhere, after which the moved files' rows leave the list.
TEST_F(ShellOps, CutAndCopyOfferTheFilesAsFileManagersReadThem) {
    files({"a b.txt", "c%ä.txt", "d.txt"});
    listAndSelect("\\.txt$", {0, 1});
    view.onCommand(ID_EDIT_CUT);
    const std::string uris = uri("a b.txt") + "\r\n" + uri("c%ä.txt") + "\r\n";
    EXPECT_EQ(clip("text/uri-list"), uris);
    EXPECT_EQ(clip("x-special/gnome-copied-files"),
              "cut\n" + uri("a b.txt") + "\n" + uri("c%ä.txt"));
    EXPECT_EQ(clip("application/x-kde-cutselection"), "1");
    EXPECT_EQ(clip("text/plain"), (dir / "a b.txt") + "\n" + (dir / "c%ä.txt"));
    EXPECT_EQ(uri("a b.txt"), "file://" + dir.path() + "/a%20b.txt");
    EXPECT_TRUE(list()->isCutMarked(0) && list()->isCutMarked(1) && !list()->isCutMarked(2));

    // Escape gives the cut up at once and empties the clipboard it still holds.
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(list()->isCutMarked(0) || list()->isCutMarked(1));
    EXPECT_FALSE(clipHasUrls());

    // Copy after cut: marks go at once, the clipboard says "copy", nothing is watched.
    view.onCommand(ID_EDIT_CUT);
    view.onCommand(ID_EDIT_COPY);
    EXPECT_FALSE(list()->isCutMarked(0) || ops.clipboard().watching());
    EXPECT_EQ(clip("x-special/gnome-copied-files"),
              "copy\n" + uri("a b.txt") + "\n" + uri("c%ä.txt"));
    EXPECT_EQ(clip("application/x-kde-cutselection"), "0");

    // A file manager pastes the cut: it moves the files and empties the clipboard. The moved
    // file's row leaves the list 2 s later; the one that stayed loses its mark. Meanwhile the
    // window goes on.
    view.onCommand(ID_EDIT_CUT);
    std::filesystem::rename(dir / "a b.txt", xdg.dir() / "a b.txt");
    QApplication::clipboard()->clear();
    EXPECT_EQ(names().size(), 3u);
    EXPECT_TRUE(list()->isCutMarked(1));
    EXPECT_GE(waitForChecks(), 15);
    EXPECT_EQ(names(), (std::vector<std::string>{"c%ä.txt", "d.txt"}));
    EXPECT_FALSE(list()->isCutMarked(0));
}

// Entf moves to the private trash, Umschalt+Entf deletes for good after a confirmation naming
// the count; rows leave 2 s later without blocking the window; a cancelled delete says nothing.
TEST_F(ShellOps, DeleteGoesToTheTrashOrForGoodAfterAConfirmation) {
    for (const char* n : {"t1.txt", "t2.txt", "t3.txt", "t4.txt"})
        dir.file(n, "x");
    listAndSelect("^t", {0});
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(exists("t1.txt"));
    EXPECT_EQ(TempDir::read(xdg.trashFolder() + "/files/t1.txt"), "x");
    EXPECT_EQ(list()->itemCount(), 4);
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_GE(waitForChecks(), 15);
    EXPECT_EQ(names(), (std::vector<std::string>{"t2.txt", "t3.txt", "t4.txt"}));

    select({0, 1});
    presenter.answer({IDNO, IDYES});
    QTest::keyClick(list(), Qt::Key_Delete, Qt::ShiftModifier);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, FormatId(33403, {2}));
    EXPECT_EQ(presenter.shown()[0].type, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    EXPECT_TRUE(exists("t2.txt") && exists("t3.txt"));
    QTest::keyClick(list(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_FALSE(exists("t2.txt") || exists("t3.txt"));
    EXPECT_FALSE(std::filesystem::exists(xdg.trashFolder() + "/files/t2.txt"));

    waitForChecks();
    EXPECT_EQ(names(), std::vector<std::string>{"t4.txt"});
}

// Where the file system has no trash (here a small one whose .Trash-$uid is taken by a file),
// Qt's trash would fail: the user is asked first, and only Ja deletes for good.
TEST_F(ShellOps, WithoutATrashTheUserDecidesFirst) {
    const std::string mnt = dir / "mnt";
    std::filesystem::create_directories(mnt);
    EXPECT_CHILD_OK(
        [&]() -> std::string {
            if (mount("none", mnt.c_str(), "tmpfs", 0, "size=1m") != 0)
                return "SKIP: cannot mount tmpfs";
            dir.file("mnt/.Trash-" + std::to_string(getuid()));
            for (const char* n : {"n1", "n2", "n3"})
                dir.file(std::string("mnt/") + n);
            const std::string n1 = mnt + "/n1", n2 = mnt + "/n2", n3 = mnt + "/n3";
            if (QFile::moveToTrash(QString::fromStdString(n3))) return "Qt found a trash after all";
            presenter.answer({IDCANCEL, IDNO, IDYES});
            if (TrashOperation::moveToTrash({n1, n2}) != ShellOutcome::Cancelled ||
                presenter.shown().size() != 1 || presenter.shown()[0].text != FormatId(33405, {2}))
                return "cancel did something or asked otherwise";
            if (TrashOperation::moveToTrash({n1}) != ShellOutcome::Done ||
                !std::filesystem::exists(n1))
                return "No did not keep the file";
            if (presenter.shown()[1].text != FormatId(33404, {n1}))
                return "question: " + presenter.shown()[1].text;
            if (TrashOperation::moveToTrash({n1}) != ShellOutcome::Done ||
                std::filesystem::exists(n1))
                return "Yes did not delete the file";
            return presenter.shown().size() == 3 ? "" : "a message too many";
        },
        true);
}

// The home trash is made where $XDG_DATA_HOME does not exist yet; where it cannot be a folder
// the user is asked, and no file ever lands below the current working folder.
TEST_F(ShellOps, TheHomeTrashIsMadeOrTheUserAsked) {
    files({"h1.txt", "h2.txt"});
    const std::string data = xdg.dir() / "neu/data";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    listAndSelect("^h", {0});
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_TRUE(std::filesystem::exists(data + "/Trash/files/h1.txt"));
    XdgSandbox::put(xdg.dir() / "kaputt/Trash", "a file where the trash should be");
    setenv("XDG_DATA_HOME", (xdg.dir() / "kaputt").c_str(), 1);
    select({1});
    presenter.answer({IDNO});
    QTest::keyClick(list(), Qt::Key_Delete);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, FormatId(33404, {dir / "h2.txt"}));
    EXPECT_TRUE(exists("h2.txt"));
    for (const char* n : {"files/h1.txt", "files/h2.txt"})
        EXPECT_FALSE(std::filesystem::exists(n)) << n;
}

// A file that cannot be deleted is reported with its path and the reason; the others go; a
// second failure is counted in the same message.
TEST_F(ShellOps, FailuresNameTheFileAndTheReason) {
    files({"f1.txt", "f2.txt", "f3.txt"});
    listAndSelect("^f", {0, 1, 2});
    std::filesystem::remove(dir / "f1.txt");
    std::filesystem::remove(dir / "f3.txt");
    QTest::keyClick(list(), Qt::Key_Delete);
    ASSERT_EQ(presenter.shown().size(), 1u);
    const std::string expected =
        FormatId(33400, {dir / "f1.txt", FormatSystemError(ERROR_FILE_NOT_FOUND)});
    EXPECT_EQ(presenter.shown()[0].text,
              expected.substr(0, expected.size() - 1) + "\n\n" + FormatId(33401, {1}));
    EXPECT_FALSE(exists("f2.txt"));
    waitForChecks();
    EXPECT_EQ(list()->itemCount(), 0);
}

// Enter and a double click open with the default application, more than ten files only after
// a question; Alt+Enter shows the properties, the sum for several files; nothing acts during a run.
TEST_F(ShellOps, OpenAndPropertiesFromTheKeyboard) {
    for (int i = 0; i < 12; ++i)
        dir.file("o" + std::to_string(i + 10) + ".txt", std::string(1500, 'x'));
    listAndSelect("^o", {0});
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_EQ(opened.paths, std::vector<std::string>{dir / "o10.txt"});
    const QPoint second = list()->visualRect(list()->model()->index(1, 0)).center();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(opened.paths.back(), dir / "o11.txt");

    list()->SelectAllRows(true);
    presenter.answer({IDNO});
    QTest::keyClick(list(), Qt::Key_Return);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, FormatId(33406, {12}));
    EXPECT_EQ(opened.paths.size(), 2u);

    select({0, 1});
    running = true;
    QTest::keyClick(list(), Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(view.findChild<FilePropertiesDialog*>(), nullptr);
    running = false;
    QTest::keyClick(list(), Qt::Key_Return, Qt::AltModifier);
    auto* two = view.findChild<FilePropertiesDialog*>();
    ASSERT_NE(two, nullptr);
    EXPECT_NE(two->lineText(3).toStdString().find(QLocale().toString(3000).toStdString()), std::string::npos);
    two->close();
}

// The context menu: none without a selection; its entries act on the selection. Dragging.
TEST_F(ShellOps, TheContextMenuAndDraggingActOnTheSelection) {
    dir.file("m1.txt");
    std::filesystem::create_directories(dir / "sub");
    dir.file("sub/m2.txt");
    listAndSelect("^m", {});
    EXPECT_EQ(ops.CreateContextMenu(), nullptr);

    listAndSelect("^m", {0, 1});
    std::unique_ptr<FileContextMenu> menu = ops.CreateContextMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->defaultAction(), menu->verbAction(QString())); // Öffnen, as Enter does

    menu->verbAction(QStringLiteral("copypath"))->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              (dir / "m1.txt") + "\n" + (dir / "sub/m2.txt"));
    EXPECT_FALSE(clipHasUrls());

    // Without a file manager on the session bus, the files' common folder opens.
    menu->verbAction(QStringLiteral("showinfolder"))->trigger();
    for (int i = 0; i < 250 && opened.paths.empty(); ++i)
        QTest::qWait(20);
    ASSERT_EQ(opened.paths.size(), 1u);
    EXPECT_EQ(opened.paths[0], dir.path());

    // Dragging rows offers the files as URLs for copy, move and link; a moved file's row leaves.
    listAndSelect("^m", {0});
    emit list()->dragRequested(Qt::CopyAction);
    // The drag has ended (at once, on a platform without drag and drop); its object is
    // deleted only when events are next processed.
    auto* drag = list()->findChild<QDrag*>();
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->mimeData()->urls(), QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(dir / "m1.txt"))});
    EXPECT_EQ(drag->supportedActions(), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    std::filesystem::rename(dir / "m1.txt", xdg.dir() / "m1.txt"); // the drop moved it
    waitForChecks();
    EXPECT_EQ(names(), std::vector<std::string>{"m2.txt"});
}

#include "ShellOperationsTest.moc"
