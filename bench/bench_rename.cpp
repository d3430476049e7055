// Renaming 100,000 files in one folder through the program's own run (search engine, rename
// check and disk rename, undo record, row update, the window following the selection, message
// pump) and undoing them, next to a plain loop of renameat2 calls over the same names in the
// same run.

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/ops/UndoCommand.h"
#include "core/runs/CVNRun.h"
#include "core/scan/MessagePump.h"
#include "platform/DirectoryReader.h"
#include "ui/list/CVNFileListCtrl.h"

#include "renamefiles.h"

namespace {

using bench::Clock;
using bench::name;
using bench::seconds;

// The window's part in a run: the list's selection follows it, and events are pumped.
class ListFollower : public RunObserver, public UndoObserver {
public:
    explicit ListFollower(CVNFileListCtrl& list) : list_(list) {}
    void rowSelected(int row, int previous) override { list_.SelectItem(row, previous); }
    bool pump() override { return pump_.PumpMessages(); }
    void undoingRow(int row, int previous) override { list_.SelectItem(row, previous); }
    void refresh() override { list_.viewport()->repaint(); }

private:
    CVNFileListCtrl& list_;
    MessagePump pump_;
};

// Alle Umbenennen over the whole list, as the main form runs it.
int renameAll(CVNFileListCtrl& list, ListFollower& follower) {
    RunSettings settings;
    settings.kind = PATTERN_WILDCARD;
    settings.search = "*.jpg";
    settings.replacement = "*.png";
    CVNRun run(*list.fileModel(), list.undoLog(), follower);
    if (!run.prepare(settings)) return -1;
    list.SelectItem(0, -2);
    return run.runAll(0, -1).okFiles;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    std::string folder = (std::filesystem::temp_directory_path() / "orvane-bench-rename-XXXXXX").string();
    if (!mkdtemp(folder.data())) return 1;
    std::printf("Renaming %d files in %s\n\n", count, folder.c_str());
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < count; ++i) close(openat(dir, name(i, "jpg").c_str(), O_CREAT | O_WRONLY, 0644));

    // Plain loop, there and back, so that the folder ends as it began.
    auto plain = [&](const char* from, const char* to) {
        const auto t = Clock::now();
        for (int i = 0; i < count; ++i)
            if (renameat2(dir, name(i, from).c_str(), dir, name(i, to).c_str(), RENAME_NOREPLACE) != 0) return -1.0;
        return count / seconds(t);
    };
    // The folder's state changes with every pass (ext4 keeps deleted entries around), so the
    // plain loop runs before and after the program's passes and the mean is the yardstick.
    const double plainThere = plain("jpg", "png");
    const double plainBack = plain("png", "jpg");

    CVNFileListCtrl list;
    {
        auto shared = std::make_shared<const std::string>(folder);
        DirectoryReader reader;
        reader.open(folder);
        FindData fd;
        while (reader.next(fd)) list.fileModel()->addFile(shared, fd);
        list.fileModel()->flushPending();
    }
    list.sortByColumnId(COL_NAME);
    ListFollower follower(list);

    auto t = Clock::now();
    const int renamed = renameAll(list, follower);
    const double fullRate = renamed / seconds(t);
    t = Clock::now();
    UndoHeadGroup(list.undoLog(), *list.fileModel(), &follower);
    const double undoRate = count / seconds(t);
    bool restored = true;
    for (int i = 0; i < count && restored; ++i) restored = faccessat(dir, name(i, "jpg").c_str(), F_OK, 0) == 0;

    const double plainAfter = (plain("jpg", "png") + plain("png", "jpg")) / 2;
    const double plainRate = (plainThere + plainBack + 2 * plainAfter) / 4;
    std::printf("plain loop before: %.0f and %.0f files/s, after: %.0f files/s\n\n", plainThere, plainBack,
                plainAfter);
    std::printf("%-44s %12s %10s %s\n", "", "files/s", "vs plain", "target");
    std::printf("%-44s %12.0f %10s\n", "plain renameat2 loop (mean)", plainRate, "");
    std::printf("%-44s %12.0f %9.2fx %s\n", "Rename all through the program's run", fullRate, fullRate / plainRate,
                fullRate / plainRate >= 0.5 ? ">= 0.5: met" : ">= 0.5: MISSED");
    std::printf("%-44s %12.0f %9.2fx %s\n", "Undo of that group", undoRate, undoRate / plainRate,
                undoRate / plainRate >= 0.5 ? ">= 0.5: met" : ">= 0.5: MISSED");
    std::printf("\n%d of %d renamed; all back under their old names after undo: %s\n", renamed, count,
                restored ? "yes" : "NO");

    close(dir);
    std::filesystem::remove_all(folder);
    return renamed == count && restored ? 0 : 1;
}
