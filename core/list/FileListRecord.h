#pragma once

// The record behind each row of the file list: the texts of five columns, formatted once when
// the row is made, and the three file times in UTC, formatted whenever they are shown.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileIdentity.h"
#include "platform/WinTypes.h"

// Column ids. Display, sorting and cell updates go by id, never by position.
enum ColumnId : int {
    COL_NAME = 0,
    COL_FOLDER = 1,
    COL_TYPE = 2,
    COL_SIZE = 3,
    COL_ATTRIBUTES = 4,
    COL_CREATED = 5,
    COL_MODIFIED = 6,
    COL_ACCESSED = 7,
    kColumnCount = 8,
    // Not a field of the file: the name Alle Umbenennen would give it now (see FileListModel).
    COL_NEWNAME = 8,
    kListColumnCount = 9,
};

// The two modes of the window: renaming, or changing times and attributes. Each shows its own
// columns, and each undo group remembers the mode it was made in.
enum ViewMode : int { VIEW_FIND_RENAME = 0, VIEW_DATE_ATTRIBUTES = 1 };

// The three times of a file, in the order of their columns.
enum TimeIndex : int { TIME_CREATED = 0, TIME_MODIFIED = 1, TIME_ACCESSED = 2 };
constexpr int kTimeColumns[3] = {COL_CREATED, COL_MODIFIED, COL_ACCESSED};

using SharedText = std::shared_ptr<const std::string>;

struct FileListRecord {
    std::string name; // the bytes the file system gave
    SharedText folder; // shared by all rows of one folder
    SharedText typeText;
    std::string sizeText;
    std::string attributeText;
    FILETIME created; // zero where the file system records none
    FILETIME modified;
    FILETIME accessed;
    std::uint64_t device = 0, inode = 0, size = 0; // which file it is, as the scan found it

    const std::string& folderText() const;
    // The file as the scan found it; unknown for a row that did not come from a scan.
    FileIdentity identity() const;
    const std::string& typeName() const;

    // A new name brings the type of its extension with it.
    void setName(const std::string& newName);
    // Sets a time column (COL_CREATED, COL_MODIFIED, COL_ACCESSED); false for another id.
    bool setTime(int id, const FILETIME& utc);

    // The record of a found file; folder is shared with the other rows of that folder.
    static std::unique_ptr<FileListRecord> make(SharedText folder, const FindData& found);
};

// The title of a column: line id of string 32060.
std::string ColumnTitle(int id);

// "0 KB", "1 KB", "1.234 KB": kilobytes rounded up, grouped as the user's locale does.
std::string SizeText(std::uint64_t bytes);

// Always four characters, A R H S in this order, "_" for a bit that is not set.
std::string AttributeText(std::uint32_t attributes);

// The bits of an attribute text: 'A', 'R', 'H', 'S' count, every other character is ignored.
std::uint32_t AttributesFromText(std::string_view text);

// The text a cell shows; the date columns are formatted in local time on each call.
std::string CellText(const FileListRecord& record, int id);
