#pragma once

// The list as lines of text for a run's search engine: the run's own selection (the window's
// selection follows it, not the other way round), and the name a file is about to get while
// its occurrences are replaced in memory.

#include <string>

#include "core/list/FileListModel.h"
#include "core/search/CVNLineSource.h"

class RunLines : public CVNLineSource {
public:
    explicit RunLines(const FileListModel& model) : model_(model) {}

    int lineCount() const override { return model_.itemCount(); }
    std::string lineText(int line) const override {
        if (line == pendingRow) return pendingName;
        const FileListRecord* r = model_.record(line);
        return r ? r->name : std::string();
    }
    int firstSelectedLine() const override { return selected; }
    int focusedLine() const override { return focused; }

    int selected = -1;
    int focused = -1;
    int pendingRow = -1;
    std::string pendingName;

private:
    const FileListModel& model_;
};
