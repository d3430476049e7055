#pragma once

// Alle Umbenennen as a plan: first every file's new name, worked out in memory in list order
// (every occurrence of the pattern in turn, counters numbered in that order), then what stands
// in the way of each new name, then the order in which the renames can be done without ever
// replacing a file: a chain (1.txt to 2.txt, 2.txt to 3.txt) from its end, a cycle (a to b, b to
// a) through a temporary name in the same folder. The run, the live column "Neuer Name" and the
// command line's dry run all use the same plan.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/list/FileListModel.h"
#include "core/runs/ConflictFinder.h"
#include "core/search/CVNSearchEngine.h"

struct PlannedRename {
    int row = -1;
    std::string newName;
    int occurrences = 0;
    std::string error; // a substitution error: this file cannot be renamed
};

// In a wildcard replacement, "*.*" on a name without extension leaves a dot that only the
// wildcard put there ("report" with "old_*.*" gives "old_report."): it goes, unless the old
// name itself ended with a dot. A regular expression gives exactly what it says.
std::string WildcardName(int kind, const std::string& oldName, std::string newName);

class RenamePlanner {
public:
    explicit RenamePlanner(const FileListModel& model);
    ~RenamePlanner();
    RenamePlanner(const RenamePlanner&) = delete;
    RenamePlanner& operator=(const RenamePlanner&) = delete;

    // Compiles the patterns and starts at firstRow (the first row when -1); false with the
    // engine's error text.
    bool start(int kind, const std::string& search, const std::string& replacement, int firstRow,
               std::string& error);
    // Plans on for about budgetMs milliseconds (0: to the end); true when the plan is complete.
    bool step(int budgetMs);
    bool finished() const { return finished_; }
    // The rows whose names the run would change, in list order.
    const std::vector<PlannedRename>& entries() const { return entries_; }
    // Hands over the entries planned so far; planning goes on with the next ones.
    std::vector<PlannedRename> takeEntries() { return std::exchange(entries_, {}); }
    // A matcher error that ended the planning early (empty normally).
    const std::string& matcherError() const { return matcherError_; }
    // The first row not yet planned, for progress.
    int nextRow() const;

private:
    class Lines;
    void commitPending();

    const FileListModel& model_;
    std::unique_ptr<Lines> lines_;
    std::unique_ptr<CVNSearchEngine> engine_;
    int kind_ = PATTERN_WILDCARD;
    std::vector<PlannedRename> entries_;
    int occurrences_ = 0;
    bool finished_ = true;
    bool started_ = false;
    std::string matcherError_;
};

struct PlanConflict {
    NameConflict kind = NameConflict::None;
    int otherRow = -1;  // the row it collides with
    std::string reason; // the German reason, for a tooltip and the command line
};

// One entry per planned rename, in the plan's order (see ConflictFinder).
std::vector<PlanConflict> FindConflicts(const FileListModel& model, const std::vector<PlannedRename>& plan);

struct RenameStep {
    enum Kind : std::uint8_t { Direct, ToTemporary, FromTemporary };
    int entry = -1; // index into the plan
    Kind kind = Direct;
};

// The order of the renames of the entries that change their name and are not blocked.
std::vector<RenameStep> OrderRenames(const FileListModel& model, const std::vector<PlannedRename>& plan,
                                     const std::vector<PlanConflict>& conflicts);
