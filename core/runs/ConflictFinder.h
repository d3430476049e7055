#pragma once

// What stands in the way of the new names of a plan: the same name twice in one folder (without
// regard to case where the file system ignores it), a file of that name that the run does not
// rename away (directly, or because it cannot be renamed itself), a name the file system
// refuses, and, as a warning only, a name that begins or ends with a space or ends with a dot.
//
// It works in slices, so that the window can find the conflicts of a million rows while the
// user types, and it keeps little per row: the names are looked up where they already are, and
// each folder's entries are kept as hashes only.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/list/FileListModel.h"

// What stands in the way of a planned name. Doubtful names are renamed all the same.
enum class NameConflict : std::uint8_t {
    None,
    Duplicate, // another row gets the same name in the same folder
    Exists,    // a file of that name is there and is not renamed away by the run
    Invalid,   // the file system refuses the name
    Doubtful,  // begins or ends with a space, or ends with a dot
};

// Whether a conflict keeps its file from being renamed.
inline bool Blocks(NameConflict c) { return c != NameConflict::None && c != NameConflict::Doubtful; }

// The German reason of a conflict of row's new name, for a tooltip or the command line;
// otherRow is the row it collides with (or -1).
std::string ConflictReason(const FileListModel& model, int row, std::string_view newName, NameConflict kind,
                           int otherRow);

// The rows and new names to check; a row whose name does not change is not looked at.
class PlanSource {
public:
    virtual ~PlanSource() = default;
    virtual std::size_t size() const = 0;
    virtual int row(std::size_t i) const = 0;
    virtual std::string_view newName(std::size_t i) const = 0;
    // The file cannot be renamed anyway (a substitution error).
    virtual bool failed(std::size_t i) const = 0;
};

class ConflictFinder {
public:
    ConflictFinder(const FileListModel& model, const PlanSource& plan);
    ~ConflictFinder();

    // Works for about budgetMs milliseconds (0: to the end); true when done.
    bool step(int budgetMs);

    NameConflict kind(std::size_t i) const { return kinds_[i]; }
    // The entry it collides with (its index in the plan), or -1.
    int other(std::size_t i) const {
        const auto it = others_.find(static_cast<std::uint32_t>(i));
        return it == others_.end() ? -1 : it->second;
    }
    // The German reason, for a tooltip or the command line.
    std::string reason(std::size_t i) const;

private:
    struct Folder;
    struct Place {
        std::uint64_t hash; // first, so that a place takes 16 bytes
        std::uint32_t folder;
        std::uint32_t entry;
        friend bool operator<(const Place& a, const Place& b) {
            return a.folder != b.folder ? a.folder < b.folder : a.hash != b.hash ? a.hash < b.hash : a.entry < b.entry;
        }
    };
    std::uint32_t folderOf(const FileListRecord& r);
    std::string key(const Folder& f, std::string_view name) const;
    bool sameKey(std::size_t a, std::size_t b) const;
    void block(std::size_t i, NameConflict kind, int other);
    bool readFolders(int budgetMs, long long startMs);

    const FileListModel& model_;
    const PlanSource& plan_;
    std::vector<NameConflict> kinds_;
    std::unordered_map<std::uint32_t, std::int32_t> others_; // few rows are in conflict
    std::vector<Folder> folders_;
    std::unordered_map<const std::string*, std::uint32_t> folderIds_;
    std::vector<Place> arriving_, leaving_;
    std::vector<std::uint32_t> work_; // entries newly blocked, whose place stays taken
    int phase_ = 0;
    std::size_t next_ = 0;
};
