#pragma once

// The file operations on listed files: rename, times and attributes. Each works on the file's
// path, changes the disk unless it is a preview, logs what undo needs into the newest group of
// the undo log, and shows the result in the file's row. Runs, in-place renames and undo all go
// through here, so there is one way to change a file and one way to take it back.

#include <cstdint>
#include <memory>
#include <string>

#include "core/list/FileListModel.h"
#include "core/messages/FailureMessages.h"
#include "core/ops/IdentityPrefetch.h"
#include "core/ops/UndoLog.h"
#include "platform/NameRules.h"

class Journal;

// Checks newName against the rules of the folder's file system and renames folder/oldName to it
// on disk unless preview is set; a new name equal to the old one changes nothing on disk. On a
// file system made for Windows, trailing dots and spaces are dropped first; newName becomes
// the name actually used. Throws CVNException with string 32066 on failure.
void RenameFile(const std::string& folder, const std::string& oldName, std::string& newName, bool preview);

// The check of RenameFile alone: throws CVNException with the error code's text (not yet
// wrapped in 32066) when the file system would refuse newName; drops what it would drop.
void CheckNewName(const NameRules& rules, const std::string& folder, std::string& newName);

class FileOperations {
public:
    // journal (optional) receives every change before and after it reaches the disk.
    FileOperations(FileListModel& model, UndoLog& undo, Journal* journal = nullptr)
        : model_(model), undo_(undo), journal_(journal) {}
    ~FileOperations();
    FileOperations(const FileOperations&) = delete;
    FileOperations& operator=(const FileOperations&) = delete;

    // Each throws CVNException with the text to show after the file's path; the row, the disk
    // and the log are then as they were, but for what the exception text says.
    void rename(int row, std::string& newName, bool preview);
    // Local times; null leaves a time as it is.
    void setTimes(int row, const FILETIME* created, const FILETIME* modified, const FILETIME* accessed,
                  bool preview);
    void setAttributes(int row, std::uint32_t value, std::uint32_t mask, bool preview);

    // The same in the error frame of a run: a failure is shown (string 32063 with the file's
    // path) and gives false. usedName (optional) receives the name actually used.
    bool RenameItem(int row, const std::string& newName, bool preview, std::string* usedName = nullptr);
    bool SetItemTimes(int row, const FILETIME* created, const FILETIME* modified, const FILETIME* accessed,
                      bool preview);
    bool SetItemAttributes(int row, std::uint32_t value, std::uint32_t mask, bool preview);

    // Where the failures of the Item functions are shown: every one, unless a run limits them.
    FailureMessages& failures() { return failures_; }

    // Starts looking up, on a thread of its own, the files of the rows from firstRow on whose
    // identity the list does not know (a scan of names only), so that a run of renames need not
    // wait for each. Until endLookUpAhead, no row may be renamed but by this object.
    void lookUpAhead(int firstRow);
    void endLookUpAhead() { prefetch_.reset(); }

private:
    template <typename Op> bool inErrorFrame(int row, Op op);
    // The rules of a row's folder; asked once per folder, not once per file.
    const NameRules& rulesOf(const SharedText& folder);
    // The row's folder, kept open while the rows go on in it: a rename then walks no path.
    int folderFd(const SharedText& folder);
    void closeFolder();

    FileListModel& model_;
    UndoLog& undo_;
    Journal* journal_;
    SharedText rulesFolder_;
    NameRules rules_;
    SharedText openFolder_;
    int folderFd_ = -1;
    std::unique_ptr<IdentityPrefetch> prefetch_;
    FailureMessages failures_;
};

// Writes times (UTC; null = unchanged) to path; a read-only file is made writable for the write
// and its exact permissions put back afterwards. Throws CVNException (string 32068).
void WriteFileTimes(const std::string& path, const FILETIME* created, const timespec* accessed,
                    const timespec* modified);
