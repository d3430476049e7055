#pragma once

// The run commands over the listed files: a single step (Umbenennen, Umändern) and a run over
// the list (Alle Umbenennen, Alle Umändern), with the counters, the two failure policies, stop
// and quit, and the summaries. The window, the command line, the tests and the benchmarks all
// drive this one object; the window follows it through the observer.
//
// A run over the list works out each file's final name in memory, every occurrence of the
// pattern in turn, and renames the file once: an intermediate name that happens to exist can
// neither block the run nor be touched, a failing file costs one message, and the run always
// moves on to the next file, so it always ends.

#include <cstdint>
#include <memory>
#include <string>

#include "core/journal/Journal.h"
#include "core/list/FileListModel.h"
#include "core/ops/FileOperations.h"
#include "core/ops/UndoLog.h"
#include "core/runs/ChangeInputs.h"
#include "core/runs/RenamePlan.h"
#include "core/search/CVNSearchEngine.h"

struct RunSettings {
    bool rename = true; // rename, or change times and attributes
    int kind = PATTERN_WILDCARD;
    std::string search;
    std::string replacement;
    ChangeTimes times;
    std::uint32_t value = 0, mask = 0; // attributes
    bool preview = false;
    int renAllMode = 1; // 0: a failure ends the run; otherwise it is counted and passed over
    int mode = 0;       // the view mode the undo group is tagged with
    std::string folder; // the start folder of the Find, for the journal
    std::string source = "window"; // who runs it, for the journal
    bool showSummary = true;       // the command line prints the summary itself
    // What stands in the way of the new names is looked at before a real run changes anything
    // (a preview changes only the list); the command line looks in its dry run too.
    bool conflictsInPreview = false;
    bool askOnConflicts = true; // ask once whether to rename the others
    bool previewNote = true;       // the summary ends with the preview warning in a preview
    // Failures shown one by one; those after them are counted in one message (the command
    // line, which needs no box closed, shows every one).
    int failuresShown = kFailuresShown;
};

class RunObserver {
public:
    virtual ~RunObserver() = default;
    // The run moves on to row; previous is the row it leaves (-2: none, deselect every row).
    virtual void rowSelected(int row, int previous) = 0;
    // Files done of those the run may reach; called between two files.
    virtual void progress(int /*done*/, int /*total*/) {}
    // Between two files: lets the window handle input. True when the application is closing
    // and the run must end at once.
    virtual bool pump() { return false; }
    // A file of a run over the list is done: renamed or changed (ok), or failed.
    virtual void fileDone(int /*row*/, bool /*ok*/) {}
};

struct RunCounts {
    int okOps = 0, okFiles = 0, errOps = 0, errFiles = 0;
    bool multi = false;     // one name was changed more than once
    int shortened = 0;      // files whose new name lost trailing dots or spaces
    bool stopped = false;
    bool quit = false;      // the application is closing: nothing was shown
    bool aborted = false;   // a failure ended the run (failure policy 0)
    bool cancelled = false; // the user chose not to go on without the files in conflict
};

class CVNRun {
public:
    // journal (optional) keeps every real run, so that it can be taken back later.
    CVNRun(FileListModel& model, UndoLog& undo, RunObserver& observer, Journal* journal = nullptr);
    ~CVNRun();
    CVNRun(const CVNRun&) = delete;
    CVNRun& operator=(const CVNRun&) = delete;

    // Compiles the patterns once for the whole run; an invalid one is shown (error icon) and
    // gives false. A real run first takes back what previews showed, so that the list shows
    // the disk again.
    bool prepare(const RunSettings& settings);

    // Umbenennen / Umändern on the selected row (or, with none, at the focused row): one
    // occurrence, then the next match is selected. warnPreview: show the preview warning after
    // a successful step; the result tells whether it was shown.
    struct SingleResult {
        int outcome = -1; // 1 done, 0 failed (shown), -1 no match
        bool warned = false;
    };
    SingleResult runSingle(int selected, int focused, bool warnPreview);

    // Alle Umbenennen / Alle Umändern from row start (or, with -1, the focused row) to the end;
    // shows the summary unless the run was aborted or the application is closing.
    RunCounts runAll(int start, int focused);

    // Ends a run over the list after the file it is working on.
    void stop() { stop_ = true; }

    // The summary of counts, as shown at the end of a run over the list.
    std::string summary(const RunCounts& counts) const;

    // The last plan of Alle Umbenennen and what stood in each file's way.
    const std::vector<PlannedRename>& plan() const { return plan_; }
    const std::vector<PlanConflict>& conflicts() const { return conflicts_; }

private:
    class Lines;
    int changeRow(int row);
    RunCounts renameAll(int start, int focused);
    RunCounts changeAll(int start, int focused);
    // Counts a file's outcome; false when the failure policy ends the run.
    bool count(RunCounts& c, bool ok, int ops) const;
    // Between two files: progress, events, Anhalten; false when the run must end.
    bool betweenFiles(RunCounts& c, int done, int total);
    RunCounts finish(RunCounts c);
    // Opens the undo group, and the journal's run for a real run.
    void beginGroup();
    void endJournal();

    FileListModel& model_;
    UndoLog& undo_;
    RunObserver& observer_;
    Journal* journal_;
    FileOperations ops_;
    RunSettings settings_;
    std::unique_ptr<Lines> lines_;
    std::unique_ptr<CVNSearchEngine> engine_;
    bool stop_ = false;
    std::vector<PlannedRename> plan_;
    std::vector<PlanConflict> conflicts_;
};
