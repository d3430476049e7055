// Renaming 100,000 files in one folder through the whole rename step (search engine, rename
// check and disk rename, undo record, row update, selection, message pump) and undoing them,
// next to a plain loop of renameat2 calls over the same names in the same run.

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/DirectoryReader.h"
#include "core/scan/MessagePump.h"
#include "core/runs/RunSteps.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

std::string name(int i, const char* ext) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "IMG_%06d.%s", i, ext);
    return buf;
}

// Renames every listed file as Rename all does: step, count, pump, find the next match.
int renameAll(CVNFileListCtrl& list, MessagePump& pump) {
    CVNSearchEngine engine(list, PATTERN_WILDCARD);
    std::string error;
    if (!engine.Compile("*.jpg", error)) return -1;
    list.undoLog().beginGroup(VIEW_FIND_RENAME);
    list.SelectItem(0, -2);
    int ok = 0, previous = -2;
    CVNTextPos s, e;
    for (;;) {
        const int outcome = RenameStep(engine, list, "*.png", s, e);
        if (outcome == 1) ++ok;
        if (outcome != -1) previous = s.line;
        pump.PumpMessages();
        engine.SetPosition(e);
        if (!engine.FindNext(s, e, error)) break;
        list.SelectItem(s.line, previous);
    }
    return ok;
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
        while (reader.next(fd)) list.AddFile(shared, fd);
        list.flushPendingRows();
    }
    list.sortByColumnId(COL_NAME);
    MessagePump pump;

    auto t = Clock::now();
    const int renamed = renameAll(list, pump);
    const double fullRate = renamed / seconds(t);
    t = Clock::now();
    list.UndoHeadGroup();
    const double undoRate = count / seconds(t);
    bool restored = true;
    for (int i = 0; i < count && restored; ++i) restored = faccessat(dir, name(i, "jpg").c_str(), F_OK, 0) == 0;

    const double plainAfter = (plain("jpg", "png") + plain("png", "jpg")) / 2;
    const double plainRate = (plainThere + plainBack + 2 * plainAfter) / 4;
    std::printf("plain loop before: %.0f and %.0f files/s, after: %.0f files/s\n\n", plainThere, plainBack,
                plainAfter);
    std::printf("%-44s %12s %10s %s\n", "", "files/s", "vs plain", "target");
    std::printf("%-44s %12.0f %10s\n", "plain renameat2 loop (mean)", plainRate, "");
    std::printf("%-44s %12.0f %9.2fx %s\n", "Rename all through the full step", fullRate, fullRate / plainRate,
                fullRate / plainRate >= 0.5 ? ">= 0.5: met" : ">= 0.5: MISSED");
    std::printf("%-44s %12.0f %9.2fx %s\n", "Undo of that group", undoRate, undoRate / plainRate,
                undoRate / plainRate >= 0.5 ? ">= 0.5: met" : ">= 0.5: MISSED");
    std::printf("\n%d of %d renamed; all back under their old names after undo: %s\n", renamed, count,
                restored ? "yes" : "NO");

    close(dir);
    std::filesystem::remove_all(folder);
    return renamed == count && restored ? 0 : 1;
}
