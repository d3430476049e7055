// What the desktop operations decide without a window: the selection's common folder and
// paths, the row removal of the list model, the trash rule and the registered applications.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/mount.h>

#include "core/list/FileListModel.h"
#include "core/messages/CVNException.h"
#include "core/shell/DesktopApplications.h"
#include "core/shell/ShellSelection.h"
#include "core/shell/TrashAvailability.h"
#include "platform/errors.h"
#include "res/Format.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/ChildProcess.h"

TEST(ShellSelection, CommonFolderIsTheDeepestSharedFolder) {
    struct Case {
        std::vector<std::string> folders;
        std::string common;
    };
    const Case cases[] = {
        {{"/a/b"}, "/a/b/"},
        {{"/a/b", "/a/b/c", "/a/b/"}, "/a/b/"},
        {{"/a/bc", "/a/bd"}, "/a/"}, // a shared start of a name is no shared folder
        {{"/daten/Bilder", "/daten/bilder"}, "/daten/"}, // names are bytes: two folders
        {{"/x", "/y/z"}, "/"},
        {{}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommonFolder(c.folders), c.common) << c.folders.size();
}

TEST(ShellSelection, ARowThatCannotNameAFileIsRefusedWithPathAndReason) {
    struct Case {
        std::string folder, name;
        std::uint32_t code;
    };
    const Case cases[] = {
        {"relativ", "a.txt", ERROR_INVALID_NAME},
        {"/daten", "", ERROR_INVALID_NAME},
        {"/daten", "a/b", ERROR_INVALID_NAME},
        {"/daten", std::string(300, 'n'), ERROR_FILENAME_EXCED_RANGE},
        {"/" + std::string(4100, 'd'), "a", ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Case& c : cases) {
        const std::string path = (c.folder.back() == '/' ? c.folder : c.folder + "/") + c.name;
        try {
            ShellPath(c.folder, c.name);
            ADD_FAILURE() << path;
        } catch (const CVNException& e) {
            EXPECT_EQ(e.text(),
                      FormatId(IDS_FILE_OPERATION_FAILED, {path, FormatSystemError(c.code)}));
        }
    }
    EXPECT_EQ(ShellPath("/daten/", "a b"), "/daten/a b");
}

// Removing rows keeps the row and path indexes right and sends one change per run of rows.
TEST(FileListModelRemoval, RowsOfRecordsLeaveAndTheIndexesFollow) {
    FileListModel model;
    const SharedText folder = std::make_shared<const std::string>("/d");
    for (int i = 0; i < 8; ++i) {
        FindData fd;
        fd.name = "f" + std::to_string(i);
        model.addFile(folder, fd);
    }
    model.flushPending();
    std::vector<const FileListRecord*> records;
    for (int i = 0; i < 8; ++i)
        records.push_back(model.record(i));
    ASSERT_EQ(model.rowOf(records[7]), 7); // the indexes exist before the removal
    int removed = 0;
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, [&] { ++removed; });
    const FileListRecord outsider;
    EXPECT_EQ(model.removeRecords({records[6], records[1], records[2], &outsider, records[1]}), 3);
    EXPECT_EQ(removed, 2);
    ASSERT_EQ(model.rowCount(), 5);
    const int left[] = {0, 3, 4, 5, 7};
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(model.record(row), records[left[row]]);
        EXPECT_EQ(model.rowOf(records[left[row]]), row);
        EXPECT_EQ(model.findRow("/d", "f" + std::to_string(left[row])), row);
    }
    EXPECT_EQ(model.rowOf(records[6]), -1);
    EXPECT_EQ(model.findRow("/d", "f2"), -1);
}

// The trash must lie on the file's own file system; where no trash can, the rule says so.
TEST(TrashAvailability, ATrashOnTheFilesOwnFileSystem) {
    XdgSandbox xdg;
    TempDir dir;
    EXPECT_TRUE(HasTrash(dir.file("home.txt"))); // the home trash is on this file system
    const std::string mnt = dir / "mnt";
    std::filesystem::create_directories(mnt);
    EXPECT_CHILD_OK(
        [&]() -> std::string {
            if (mount("none", mnt.c_str(), "tmpfs", 0, "size=1m") != 0)
                return "SKIP: cannot mount tmpfs";
            std::filesystem::create_directories(mnt + "/sub");
            const std::string file = dir.file("mnt/sub/f");
            const std::string own = mnt + "/.Trash-" + std::to_string(getuid());
            if (!HasTrash(file)) return "a writable top folder can take .Trash-$uid";
            dir.file("mnt/.Trash-" + std::to_string(getuid())); // a file in the trash's place
            if (HasTrash(file)) return ".Trash-$uid is a file, not a trash";
            std::filesystem::create_directories(mnt + "/.Trash");
            if (HasTrash(file)) return ".Trash without the sticky bit is not to be used";
            chmod((mnt + "/.Trash").c_str(), 01777);
            if (!HasTrash(file)) return "an administrator's .Trash takes $uid below it";
            std::filesystem::remove(mnt + "/.Trash");
            std::filesystem::remove(own);
            std::filesystem::create_directories(own);
            if (mount(nullptr, mnt.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return "SKIP: no remount";
            return HasTrash(file) ? "a read-only file system has no trash" : "";
        },
        true);
}

namespace {

void writeDesktopEntry(const std::string& folder, const std::string& id, const std::string& body) {
    XdgSandbox::put(folder + "/" + id, "[Desktop Entry]\nType=Application\n" + body);
}

// The ids of the test's own entries; the machine's own applications may be there too.
std::vector<std::string> ids(const std::vector<DesktopApplication>& apps) {
    std::vector<std::string> out;
    for (const DesktopApplication& a : apps)
        if (a.id.size() > 2 && a.id[1] == QLatin1Char('-')) out.push_back(a.id.toStdString());
    return out;
}

} // namespace

// Defaults first, then added associations, then entries naming the type or a parent type;
// removed associations, hidden entries and missing programs stay out; the user's entry hides
// the system's of the same id.
TEST(DesktopApplications, TheRegisteredApplicationsOfATypeInTheDesktopsOrder) {
    XdgSandbox xdg;
    const std::string user = xdg.applicationsFolder(), system = xdg.dir() / "system/applications";
    // The system's folders stay, for the MIME database.
    setenv("XDG_DATA_DIRS", (xdg.dir() / "system:/usr/local/share:/usr/share").c_str(), 1);
    writeDesktopEntry(
        system, "a-viewer.desktop",
        "Name=Viewer\nName[de]=Betrachter\nExec=/bin/true %F\nMimeType=text/plain;\n");
    writeDesktopEntry(system, "b-editor.desktop",
                      "Name=Editor\nExec=true %u\nMimeType=text/x-csrc;\n");
    writeDesktopEntry(system, "c-missing.desktop",
                      "Name=Fehlt\nExec=/nonexistent/prog %f\nMimeType=text/plain;\n");
    writeDesktopEntry(system, "d-hidden.desktop",
                      "Name=Versteckt\nExec=true %f\nHidden=true\nMimeType=text/plain;\n");
    writeDesktopEntry(system, "e-removed.desktop",
                      "Name=Entfernt\nExec=true %f\nMimeType=text/plain;\n");
    writeDesktopEntry(system, "f-added.desktop", "Name=Ergänzt\nExec=true %F\n");
    writeDesktopEntry(system, "g-image.desktop", "Name=Bild\nExec=true %F\nMimeType=image/png;\n");
    writeDesktopEntry(user, "b-editor.desktop",
                      "Name=Mein Editor\nExec=true --neu %u\nMimeType=text/x-csrc;\n");
    XdgSandbox::put(xdg.dir() / "user/mimeapps.list",
                    "[Default Applications]\ntext/x-csrc=b-editor.desktop;\n"
                    "[Added Associations]\ntext/plain=f-added.desktop;\n"
                    "[Removed Associations]\ntext/plain=e-removed.desktop;\n");

    const std::vector<DesktopApplication> c = ApplicationsForTypes({"text/x-csrc"});
    EXPECT_EQ(ids(c), (std::vector<std::string>{"b-editor.desktop", "f-added.desktop",
                                                "a-viewer.desktop"}));
    ASSERT_FALSE(c.empty());
    EXPECT_EQ(c[0].name.toStdString(), "Mein Editor"); // the default comes first
    const std::vector<DesktopApplication> plain = ApplicationsForTypes({"text/plain"});
    EXPECT_EQ(ids(plain), (std::vector<std::string>{"f-added.desktop", "a-viewer.desktop"}));
    auto viewer = std::find_if(plain.begin(), plain.end(),
                               [](const auto& a) { return a.id == "a-viewer.desktop"; });
    ASSERT_NE(viewer, plain.end());
    EXPECT_EQ(viewer->name.toStdString(), "Betrachter");
    // Several types: only what opens all of them.
    EXPECT_EQ(ids(ApplicationsForTypes({"text/x-csrc", "text/plain"})),
              (std::vector<std::string>{"f-added.desktop", "a-viewer.desktop"}));
    EXPECT_TRUE(ids(ApplicationsForTypes({"text/plain", "image/png"})).empty());
    unsetenv("XDG_DATA_DIRS");
}

TEST(DesktopApplications, ExecFieldCodesBecomeTheCommandLines) {
    struct Case {
        const char* exec;
        std::vector<std::vector<std::string>> commands;
    };
    const std::vector<std::string> files = {"/d/a b.txt", "/d/c"};
    const Case cases[] = {
        {"prog %F", {{"prog", "/d/a b.txt", "/d/c"}}},
        {"prog --x %f", {{"prog", "--x", "/d/a b.txt"}, {"prog", "--x", "/d/c"}}},
        {"prog %U", {{"prog", "file:///d/a%20b.txt", "file:///d/c"}}},
        {"\"/opt/my prog\" \"a \\\"q\\\" \\\\\" %% %i %c %d",
         {{"/opt/my prog", "a \"q\" \\", "%", "--icon", "ikone", "Name"}}},
        {"prog --file=%f", {{"prog", "--file=/d/a b.txt"}, {"prog", "--file=/d/c"}}},
        {"\"offen", {}},
    };
    DesktopApplication app;
    app.name = "Name";
    app.iconName = "ikone";
    for (const Case& c : cases) {
        app.exec = QString::fromUtf8(c.exec);
        std::vector<std::vector<std::string>> got;
        for (const QStringList& command : LaunchCommands(app, files)) {
            got.emplace_back();
            for (const QString& a : command)
                got.back().push_back(a.toStdString());
        }
        EXPECT_EQ(got, c.commands) << c.exec;
    }
}
