#pragma once

// The history of file operations since the last Find, newest first, in groups: one group per
// run command or in-place rename, taken back one group at a time. A record names the file by
// its path and identity, not by its row, so that taking it back needs neither the row nor
// trust in whatever has the name now; and it keeps exactly what was there before (the name's
// bytes, times to the nanosecond, the permission bits), so that undo restores exactly that.

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/list/FileListRecord.h"
#include "platform/FileAttributes.h"
#include "platform/FileIdentity.h"
#include "platform/FileTimes.h"

enum UndoKind : int { UNDO_RENAME = 0, UNDO_TIMES = 1, UNDO_ATTRIBUTES = 2 };

struct UndoRecord {
    int kind = UNDO_RENAME;
    bool preview = false;  // only the list changed, not the disk
    SharedText folder;
    std::string name;      // the name after the operation
    FileIdentity identity; // the file after the operation; unknown in preview
    // UNDO_RENAME
    std::string oldName;
    // UNDO_TIMES: which times changed, the row's times before, and the file's exact times
    std::array<bool, 3> timeChanged{}; // by TimeIndex; std::array: checked in checked builds
    std::array<FILETIME, 3> rowTimes{};
    ExactFileTimes diskTimes;
    // UNDO_ATTRIBUTES: the row's attribute text and the file's exact state before
    std::string attributeText;
    AttributeState diskAttributes;
    // Where the undo journal keeps this operation (0: it is not in the journal).
    std::uint64_t journalSeq = 0;

    const std::string& folderText() const;
    std::string path() const;
};

class UndoLog {
public:
    // keepRecords false: groups are kept but not their records, for a caller whose undo is the
    // journal alone (the command line), which then spends no memory on a list nobody undoes.
    explicit UndoLog(bool keepRecords = true) : keepRecords_(keepRecords) {}

    void beginGroup(int mode);
    // The journal run that holds the newest group's operations, if any.
    void setHeadJournalRun(std::string id);
    std::string headJournalRun() const;
    // Forgets the groups of a journal run that was taken back from the history.
    void dropJournalRun(const std::string& id);
    // Adds a record to the newest group; does nothing without a group.
    void log(UndoRecord r);
    // Room for n more records in the newest group: a run over 100,000 files moves none.
    void reserve(std::size_t n);
    // Removes the newest record of the newest group; false when there is none.
    bool take(UndoRecord& r);
    // Removes the newest group and gives its mode, -1 without a group.
    int popGroup();
    bool peekMode(int& mode) const;
    // Whether the newest group holds records and all of them changed the list only.
    bool headIsPreview() const;
    bool hasEntries() const { return !groups_.empty(); }
    void clear() { groups_.clear(); }
    std::size_t groupCount() const { return groups_.size(); }
    // Records in the newest group.
    std::size_t headSize() const { return groups_.empty() ? 0 : groups_.front().records.size(); }

private:
    struct Group {
        int mode;
        std::vector<UndoRecord> records; // newest last, taken from the back
        std::string journalRun;
    };
    std::deque<Group> groups_; // newest first
    bool keepRecords_;
};
