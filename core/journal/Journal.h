#pragma once

// The undo journal: every real run, from the window or the command line, writes what it is
// about to change before the disk changes and marks it done afterwards, in a file of its own
// below $XDG_STATE_HOME/Orvane (default ~/.local/state/Orvane). So a run can be taken back
// after the program ended, and after a crash the next start knows exactly which files were
// changed. The journal keeps the last runs within a bound, keeps a damaged file aside under a
// new name, and never stops the program: a run goes on without it when it cannot be written.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ops/UndoLog.h"

struct JournalHeader {
    std::string source; // "window" or "cli"
    int mode = 0;       // ViewMode
    int kind = 0;       // PatternKind
    std::string folder; // the start folder of the Find
    std::string search, replacement;
};

struct JournalRun {
    enum class OpState { Pending, Done, Undone, Lost };
    struct Op {
        std::uint64_t seq = 0;
        UndoRecord record; // the state before the operation, and the file's identity
        OpState state = OpState::Pending;
    };

    std::string id; // the file's name without its ending; sorts by time
    std::string path;
    std::string time; // local time of the start, "2026-12-06 17:14:13"
    JournalHeader header;
    std::vector<Op> ops;
    bool complete = false;    // the run ended (or was settled after a crash)
    bool interrupted = false; // it did not end by itself
    bool live = false;        // a running program is still writing it
    bool settledNow = false;  // this reading found it unfinished and settled it

    int changed() const;  // operations that reached the disk and are not taken back
    int undone() const;
    // Files, not operations: a file that stepped aside for a cycle of renames, or whose times
    // and attributes both changed, counts once.
    int files() const;        // the files the run changed, taken back or not
    int filesChanged() const; // of these, the files with a change not taken back
    int filesUndone() const;  // the files with a change taken back
};

class Journal {
public:
    // $XDG_STATE_HOME/Orvane, or ~/.local/state/Orvane.
    static std::string defaultFolder();

    explicit Journal(std::string folder = defaultFolder());
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    const std::string& folder() const { return folder_; }

    // Starts writing a run; false when the journal cannot be written (the run goes on without).
    bool begin(const JournalHeader& header);
    bool writing() const { return fd_ >= 0; }
    const std::string& runId() const { return runId_; }
    // Before the disk changes: what is about to change. Gives the operation's number, 0 when
    // nothing is being written.
    std::uint64_t intent(const UndoRecord& before);
    // After the disk changed. identityAfter (optional) is the file as it is now, where the
    // change altered what identifies it.
    void done(std::uint64_t seq, const FileIdentity* identityAfter = nullptr);
    // The run is over: written out and synced to the disk.
    void end();

    // The runs, newest first. Runs that a program left unfinished (a crash) are settled first:
    // each pending operation is looked up on the disk and marked done or lost.
    std::vector<JournalRun> runs();
    std::optional<JournalRun> run(const std::string& id);
    // Records that operations of a run were taken back.
    void markUndone(const std::string& id, const std::vector<std::uint64_t>& seqs);

    // Bounds: the newest runs kept, and the most bytes all runs may take.
    static constexpr std::size_t kMaxRuns = 100;
    static constexpr std::uint64_t kMaxBytes = 10u << 20;

private:
    bool write(const std::string& text);
    bool reserve(std::size_t more);
    void closeFile();
    void prune();
    std::optional<JournalRun> load(const std::string& path);
    void settle(JournalRun& run);
    void reportKeptAside();

    std::string folder_;
    int fd_ = -1;
    std::string runId_;
    std::uint64_t nextSeq_ = 1;
    std::string pending_; // lines written together with the next one, or at the end
    char* map_ = nullptr;  // the run file, mapped
    std::size_t mapSize_ = 0, used_ = 0;
    bool unmapped_ = false; // the file system cannot map it: written line by line
    std::vector<std::pair<std::string, std::string>> keptAside_; // damaged runs found: path, and where they went
};
