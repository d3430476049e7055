#pragma once

// The program's own run object: over rows that exist only in the list (a preview), for tests
// that care about the names a run gives, and over a folder of real files, read back from disk.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "core/list/FileListModel.h"
#include "core/ops/UndoLog.h"
#include "core/runs/CVNRun.h"
#include "platform/DirectoryReader.h"
#include "tests/support/TempDir.h"

struct FollowingObserver : RunObserver {
    void rowSelected(int row, int) override { selected = row; }
    int selected = -1;
};

inline void addRows(FileListModel& model, const std::string& folder, const std::vector<std::string>& names) {
    const auto shared = std::make_shared<const std::string>(folder);
    for (const std::string& n : names) {
        FindData fd;
        fd.name = n;
        model.addFile(shared, fd);
    }
    model.flushPending();
}

inline std::vector<std::string> rowNames(const FileListModel& model) {
    std::vector<std::string> names;
    for (int i = 0; i < model.itemCount(); ++i) names.push_back(model.record(i)->name);
    return names;
}

// The names in a folder, as the disk has them.
inline std::set<std::string> listing(const std::string& folder) {
    std::set<std::string> names;
    DirectoryReader r;
    FindData fd;
    if (r.open(folder))
        while (r.next(fd)) names.insert(fd.name);
    return names;
}

// The rows Finden gives for the named files (all, in name order, if none are named), with
// what the disk says of them.
inline void listFiles(FileListModel& model, const std::string& folder, std::vector<std::string> names = {}) {
    std::map<std::string, FindData> found;
    DirectoryReader r;
    ASSERT_TRUE(r.open(folder));
    for (FindData fd; r.next(fd);) found[fd.name] = fd;
    if (names.empty())
        for (const auto& entry : found) names.push_back(entry.first);
    const auto shared = std::make_shared<const std::string>(folder);
    for (const std::string& n : names) {
        ASSERT_TRUE(found.count(n)) << n;
        model.addFile(shared, found[n]);
    }
    model.flushPending();
}

inline RunSettings renaming(int kind, const std::string& search, const std::string& replacement, int renAllMode = 1) {
    RunSettings s;
    s.kind = kind;
    s.search = search;
    s.replacement = replacement;
    s.renAllMode = renAllMode;
    return s;
}

// A folder of real files, the rows Finden gives for them and the undo log of their runs.
struct ListedFolder {
    // Makes the files not there yet, each holding its own name, and lists them in this order.
    void add(const std::vector<std::string>& names) {
        for (const std::string& n : names)
            if (!has(n)) dir.file(n, n);
        listFiles(model, dir.path(), names);
    }
    RunCounts run(const RunSettings& s, Journal* journal = nullptr) {
        CVNRun run(model, undo, observer, journal);
        EXPECT_TRUE(run.prepare(s));
        return run.runAll(0, -1);
    }
    std::set<std::string> names() const { return listing(dir.path()); }
    bool has(const std::string& name) const {
        struct stat st {};
        return lstat((dir / name).c_str(), &st) == 0;
    }

    TempDir dir;
    FileListModel model;
    UndoLog undo;
    FollowingObserver observer;
};

// "Alle Umbenennen" over the whole list in preview; the names afterwards.
inline std::vector<std::string> previewRenameAll(const std::vector<std::string>& names, int kind,
                                                 const std::string& search, const std::string& replacement,
                                                 RunCounts* counts = nullptr) {
    FileListModel model;
    UndoLog undo;
    FollowingObserver observer;
    addRows(model, "/nowhere", names);
    CVNRun run(model, undo, observer);
    RunSettings s = renaming(kind, search, replacement);
    s.preview = true;
    if (!run.prepare(s)) return {"<invalid pattern>"};
    const RunCounts c = run.runAll(0, -1);
    if (counts) *counts = c;
    return rowNames(model);
}
