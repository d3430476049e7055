#pragma once

// The program's own run object over rows that exist only in the list (a preview), for tests
// that care about the names a run gives, not about the disk.

#include <memory>
#include <string>
#include <vector>

#include "core/list/FileListModel.h"
#include "core/ops/UndoLog.h"
#include "core/runs/CVNRun.h"

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

// "Alle Umbenennen" over the whole list in preview; the names afterwards.
inline std::vector<std::string> previewRenameAll(const std::vector<std::string>& names, int kind,
                                                 const std::string& search, const std::string& replacement,
                                                 RunCounts* counts = nullptr) {
    FileListModel model;
    UndoLog undo;
    FollowingObserver observer;
    addRows(model, "/nowhere", names);
    CVNRun run(model, undo, observer);
    RunSettings s;
    s.kind = kind;
    s.search = search;
    s.replacement = replacement;
    s.preview = true;
    if (!run.prepare(s)) return {"<invalid pattern>"};
    const RunCounts c = run.runAll(0, -1);
    if (counts) *counts = c;
    return rowNames(model);
}
