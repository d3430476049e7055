#pragma once

// The history of file operations since the last Find, newest first, in groups: one group per
// run command or in-place rename, undone one group at a time.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

enum UndoKind : int { UNDO_RENAME = 0, UNDO_TIMES = 1, UNDO_ATTRIBUTES = 2 };

struct UndoRecord {
    std::uintptr_t key = 0; // identity of the row's record; compared, never dereferenced
    int preview = 0;
    std::string folder;
    std::string name; // the name after the operation
    int kind = UNDO_RENAME;
    std::string oldName;                     // kind 0
    std::string created, modified, accessed; // kind 1: exact UTC ticks before, empty if unchanged
    std::string attributes;                  // kind 2: the attribute text before

    friend bool operator==(const UndoRecord&, const UndoRecord&) = default;
};

// "kind|key|preview|folder|name|" followed by the old name, the three times or the attribute
// text. A '|' or '\' inside a name or folder is escaped with '\', so that the record always
// parses back into the same fields.
std::string FormatUndoRecord(const UndoRecord& r);
bool ParseUndoRecord(const std::string& text, UndoRecord& r);

class UndoLog {
public:
    void beginGroup(int mode);
    // Adds a record to the newest group; does nothing without a group.
    void log(const UndoRecord& r);
    // Removes the newest record of the newest group; false when there is none.
    bool take(UndoRecord& r);
    // Removes the newest group and gives its mode, -1 without a group.
    int popGroup();
    bool peekMode(int& mode) const;
    bool hasEntries() const { return !groups_.empty(); }
    void clear() { groups_.clear(); }
    std::size_t groupCount() const { return groups_.size(); }

private:
    struct Group {
        int mode;
        std::vector<std::string> records; // newest last, taken from the back
    };
    std::deque<Group> groups_; // newest first
};
