// orvane-cli end to end: real processes, real folders, a journal of the test's own.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>

#include "tests/support/TempDir.h"

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

class Cli : public ::testing::Test {
protected:
    Result run(const std::vector<std::string>& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_STATE_HOME"), QString::fromStdString(state.path()));
        p.setProcessEnvironment(env);
        QStringList list;
        for (const std::string& a : args) list << QString::fromStdString(a);
        p.start(QStringLiteral(ORVANE_CLI), list);
        p.waitForFinished(60000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput().toStdString(),
                p.readAllStandardError().toStdString()};
    }
    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(files.path())) names.insert(e.path().filename());
        return names;
    }
    TempDir files;
    TempDir state;
};

std::vector<QJsonObject> jsonLines(const std::string& out) {
    std::vector<QJsonObject> objects;
    std::size_t at = 0;
    while (at < out.size()) {
        const std::size_t eol = out.find('\n', at);
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out.substr(at, eol - at)), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << out.substr(at, eol - at);
        objects.push_back(doc.object());
        at = eol + 1;
    }
    return objects;
}

} // namespace

// A dry run changes nothing; --apply renames as Alle Umbenennen does, counters in name order;
// a new process takes the run back from the journal.
TEST_F(Cli, DryRunApplyAndUndoFromANewProcess) {
    for (const char* n : {"IMG 10.jpg", "IMG 2.jpg", "IMG 1.jpg", "notes.txt"}) files.file(n, n);
    const std::set<std::string> before = listing();
    Result dry = run({"rename", files.path(), "*.jpg", "Bild_:(01).jpg"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(listing(), before);
    EXPECT_EQ(dry.out, files / "IMG 1.jpg\tBild_01.jpg\n" + files / "IMG 2.jpg\tBild_02.jpg\n" +
                           files / "IMG 10.jpg\tBild_03.jpg\n3 Datei(en) umbenannt.\n"
                                   "Probelauf: nichts wurde geändert. Mit --apply wird es ausgeführt.\n");

    Result applied = run({"rename", "--apply", "--json", files.path(), "*.jpg", "Bild_:(01).jpg"});
    EXPECT_EQ(applied.status, 0) << applied.err;
    EXPECT_EQ(listing(), (std::set<std::string>{"Bild_01.jpg", "Bild_02.jpg", "Bild_03.jpg", "notes.txt"}));
    const std::vector<QJsonObject> objects = jsonLines(applied.out);
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[2].value(QStringLiteral("old")).toString().toStdString(), "IMG 10.jpg");
    EXPECT_EQ(objects[1].value(QStringLiteral("status")).toString().toStdString(), "renamed");
    EXPECT_EQ(objects[3].value(QStringLiteral("files")).toInt(), 3);

    Result undone = run({"undo", "--apply"});
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(listing(), before);
    EXPECT_EQ(TempDir::read(files / "IMG 10.jpg"), "IMG 10.jpg");
    Result history = run({"history", "--json"});
    ASSERT_EQ(jsonLines(history.out).size(), 1u);
    EXPECT_EQ(jsonLines(history.out)[0].value(QStringLiteral("undone")).toInt(), 3);
}

// A change of times and attributes comes back from a new process too: the exact time, to the
// nanosecond, and the permission bits.
TEST_F(Cli, AChangeRunIsTakenBackFromANewProcess) {
    const std::string f = files.file("a.txt", "a");
    chmod(f.c_str(), 0644);
    const timespec exact[2] = {{1700000000, 123456789}, {1700000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, f.c_str(), exact, 0), 0);
    const Result changed =
        run({"change", "--apply", files.path(), "*.txt", "--modified", "01.07.2024 12:00:00", "--attributes", "+R"});
    EXPECT_EQ(changed.status, 0) << changed.err;
    struct stat st {};
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_NE(st.st_mtim.tv_sec, exact[1].tv_sec);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    const Result undone = run({"undo", "--apply"});
    EXPECT_EQ(undone.status, 0) << undone.err;
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, exact[1].tv_sec);
    EXPECT_EQ(st.st_mtim.tv_nsec, exact[1].tv_nsec);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(Cli, BadCallsAndPatternsExitWithTwo) {
    files.file("a.txt");
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"find", files.path(), "(", "-e"}, "Regulärer Ausdruck: fehlende )."},
        {{"find", files.path(), "*", "--bogus"}, "Unbekannte Option '--bogus'."},
        {{"rename", files.path(), "*"}, "Falsche Zahl von Angaben für 'rename'."},
        {{"change", files.path(), "*", "--modified", "31.02.2024 10:00:00"}, "Ungültige Datum/Uhrzeit-Angabe"},
        {{"find", files.path(), "*", "--apply"}, "passt nicht zum Befehl"},
        {{"find", files / "nicht-da", "*"}, "existiert nicht"},
        {{"frobnicate"}, "Unbekannter Befehl 'frobnicate'."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const Result r = run(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(listing(), std::set<std::string>{"a.txt"});
}

// The dry run marks what stands in a new name's way; --apply renames the others and says that
// not all went. Undo never touches a file that took a renamed file's name since, and says that
// not all came back.
TEST_F(Cli, ConflictsAreShownAndTheOthersRenamedAndTakenBack) {
    for (const char* n : {"a.txt", "b.txt", "c.txt"}) files.file(n, n);
    files.file("b.md", "already there");
    Result dry = run({"rename", "--json", files.path(), "*.txt", "*.md"});
    EXPECT_EQ(dry.status, 1);
    const std::vector<QJsonObject> objects = jsonLines(dry.out);
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[0].value(QStringLiteral("status")).toString().toStdString(), "conflict");
    EXPECT_NE(objects[0].value(QStringLiteral("reason")).toString().toStdString().find("b.md"), std::string::npos);
    EXPECT_EQ(objects[1].value(QStringLiteral("status")).toString().toStdString(), "renamed");
    EXPECT_EQ(listing(), (std::set<std::string>{"a.txt", "b.txt", "c.txt", "b.md"}));
    Result applied = run({"rename", "--apply", files.path(), "*.txt", "*.md"});
    EXPECT_EQ(applied.status, 1);
    EXPECT_EQ(listing(), (std::set<std::string>{"a.md", "b.txt", "b.md", "c.md"}));
    EXPECT_EQ(TempDir::read(files / "b.md"), "already there");

    std::filesystem::remove(files / "a.md");
    files.file("a.md", "someone else's");
    Result undone = run({"undo", "--apply"});
    EXPECT_EQ(undone.status, 1);
    EXPECT_NE(undone.err.find(files / "a.md"), std::string::npos) << undone.err;
    EXPECT_EQ(listing(), (std::set<std::string>{"a.md", "b.txt", "b.md", "c.txt"}));
    EXPECT_EQ(TempDir::read(files / "a.md"), "someone else's");
    EXPECT_EQ(TempDir::read(files / "c.txt"), "c.txt");
}
