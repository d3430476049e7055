#include "core/ops/FileOperations.h"

#include <algorithm>
#include <climits>
#include <system_error>
#include <fcntl.h>
#include <unistd.h>

#include "core/messages/CVNException.h"
#include "core/journal/Journal.h"
#include "core/messages/Messages.h"
#include "platform/FileAttributes.h"
#include "platform/FileTime.h"
#include "platform/NameRules.h"
#include "platform/Rename.h"
#include "res/LoadString.h"

namespace {

std::string withSlash(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

void throwIfFailed(const OpResult& r) {
    if (!r.ok()) throw CVNException(r.text());
}

// Replaces any error of f by one with the given format and the error's text.
template <typename F> void wrapped(unsigned formatId, F&& f) {
    try {
        f();
    } catch (const CVNException& e) {
        throw CVNException(FormatId(formatId, {e.text()}));
    }
}

void writeAttributes(const std::string& path, std::uint32_t value, std::uint32_t mask) {
    mask &= kChangeableAttributes;
    if (mask == 0) return;
    wrapped(32067, [&] {
        std::uint32_t attributes = 0;
        throwIfFailed(getFileAttributes(path, attributes));
        throwIfFailed(setFileAttributes(path, (attributes & ~mask) | (value & mask)));
    });
}

// Whether two rows' folder texts name one folder; rows of one folder mostly share the text.
bool sameFolder(const SharedText& a, const SharedText& b) { return a && b && (a == b || *a == *b); }

FILETIME* timeOf(FileListRecord& r, int index) {
    return index == TIME_CREATED ? &r.created : index == TIME_MODIFIED ? &r.modified : &r.accessed;
}

} // namespace

void CheckNewName(const NameRules& rules, const std::string& folder, std::string& newName) {
    if (rules.windowsNames) newName = withoutTrailingDotsAndSpaces(newName);
    if (newName.empty() || newName == "." || newName == ".." || newName.find('/') != std::string::npos ||
        newName.find('\0') != std::string::npos)
        throw CVNException(ERROR_INVALID_NAME);
    if (newName.size() > NAME_MAX || withSlash(folder).size() + newName.size() >= PATH_MAX)
        throw CVNException(ERROR_FILENAME_EXCED_RANGE);
    if (rules.windowsNames && newName.find_first_of(kWindowsForbiddenChars) != std::string::npos)
        throw CVNException(ERROR_INVALID_NAME);
}

void RenameFile(const std::string& folder, const std::string& oldName, std::string& newName, bool preview) {
    try {
        CheckNewName(nameRulesOf(folder), folder, newName);
        const std::string dir = withSlash(folder);
        if (!preview && newName != oldName) throwIfFailed(renameNoReplace(dir + oldName, dir + newName));
    } catch (const CVNException& e) {
        throw CVNException(FormatId(32066, {newName, e.text()}));
    }
}

void WriteFileTimes(const std::string& path, const FILETIME* created, const timespec* accessed,
                    const timespec* modified) {
    wrapped(32068, [&] {
        std::uint32_t attributes = 0;
        throwIfFailed(getFileAttributes(path, attributes));
        AttributeState before;
        const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
        if (readOnly) {
            throwIfFailed(captureAttributes(path, before));
            throwIfFailed(setFileAttributes(path, attributes & ~FILE_ATTRIBUTE_READONLY));
        }
        const OpResult r = setExactFileTimes(path, created, accessed, modified);
        if (readOnly) throwIfFailed(restoreAttributes(path, before));
        throwIfFailed(r);
    });
}

const NameRules& FileOperations::rulesOf(const SharedText& folder) {
    if (!sameFolder(rulesFolder_, folder)) {
        rulesFolder_ = folder;
        rules_ = nameRulesOf(folder ? *folder : std::string());
    }
    return rules_;
}

FileOperations::~FileOperations() { closeFolder(); }

void FileOperations::closeFolder() {
    if (folderFd_ >= 0) ::close(folderFd_);
    folderFd_ = -1;
    openFolder_.reset();
}

void FileOperations::lookUpAhead(int firstRow) {
    prefetch_.reset();
    firstRow = std::max(firstRow, 0);
    std::vector<std::string> paths;
    bool any = false;
    for (int row = firstRow; row < model_.itemCount(); ++row) {
        const FileListRecord* r = model_.record(row);
        const bool known = r->device != 0 || r->inode != 0;
        paths.push_back(known ? std::string() : withSlash(r->folderText()) + r->name);
        any |= !known;
    }
    if (!any) return;
    try {
        prefetch_ = std::make_unique<IdentityPrefetch>(firstRow, std::move(paths));
    } catch (const std::system_error&) {
        // No thread to be had: each rename looks its file up itself.
    }
}

// Renaming a folder row switches to that row's own folder first, so a folder held open is
// never one that a rename of this object has moved.
int FileOperations::folderFd(const SharedText& folder) {
    if (!folder) return -1;
    if (!sameFolder(openFolder_, folder)) {
        closeFolder();
        openFolder_ = folder;
        folderFd_ = ::open(folder->empty() ? "." : folder->c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    return folderFd_;
}

void FileOperations::rename(int row, std::string& newName, bool preview) {
    FileListRecord* r = model_.record(row);
    if (!r) throw CVNException(ERROR_INVALID_TARGET_HANDLE);
    const std::string oldName = r->name;
    UndoRecord u;
    u.kind = UNDO_RENAME;
    u.preview = preview;
    u.folder = r->folder;
    u.oldName = oldName;
    try {
        CheckNewName(rulesOf(r->folder), r->folderText(), newName);
        u.name = newName;
        if (!preview) {
            const std::string dir = withSlash(r->folderText());
            // The file itself: a rename keeps it, so this is how undo knows it again. The scan
            // has looked at it already, or the look-up ahead (a list of names only); a row of
            // unknown origin is looked at now.
            u.identity = r->identity();
            if (!u.identity.known && prefetch_)
                if (const auto ahead = prefetch_->identity(row)) u.identity = *ahead;
            if (!u.identity.known) u.identity = identityOf(dir + oldName);
            if (newName != oldName) {
                if (journal_) u.journalSeq = journal_->intent(u);
                throwIfFailed(renameNoReplaceAt(folderFd(r->folder), dir, oldName, newName));
                if (journal_) journal_->done(u.journalSeq);
            }
        }
    } catch (const CVNException& e) {
        throw CVNException(FormatId(32066, {newName, e.text()}));
    }
    undo_.log(std::move(u));
    model_.setName(row, newName);
}

void FileOperations::setTimes(int row, const FILETIME* created, const FILETIME* modified,
                              const FILETIME* accessed, bool preview) {
    FileListRecord* r = model_.record(row);
    if (!r) throw CVNException(ERROR_INVALID_TARGET_HANDLE);
    const FILETIME* given[3] = {created, modified, accessed};
    UndoRecord u;
    u.kind = UNDO_TIMES;
    u.preview = preview;
    u.folder = r->folder;
    u.name = r->name;
    FILETIME utc[3];
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        if (!given[i]) continue;
        any = u.timeChanged[i] = true;
        u.rowTimes[i] = *timeOf(*r, i);
        if (!LocalFileTimeToFileTime(*given[i], utc[i]))
            throw CVNException(FormatId(32069, {ColumnTitle(kTimeColumns[i])}));
    }
    if (!any) return; // nothing to write, nothing to take back
    const std::string path = u.path();
    if (!preview) {
        wrapped(32068, [&] { throwIfFailed(readExactFileTimes(path, u.diskTimes)); });
        const timespec access = accessed ? unixFromFileTime(utc[TIME_ACCESSED]) : timespec{};
        const timespec write = modified ? unixFromFileTime(utc[TIME_MODIFIED]) : timespec{};
        u.identity = identityOf(path);
        if (journal_) u.journalSeq = journal_->intent(u);
        WriteFileTimes(path, created ? &utc[TIME_CREATED] : nullptr, accessed ? &access : nullptr,
                       modified ? &write : nullptr);
        u.identity = identityOf(path); // a new modification time, where that identifies the file
        if (journal_) journal_->done(u.journalSeq, &u.identity);
    }
    undo_.log(std::move(u));
    for (int i = 0; i < 3; ++i)
        if (given[i]) model_.setTime(row, kTimeColumns[i], utc[i]);
}

void FileOperations::setAttributes(int row, std::uint32_t value, std::uint32_t mask, bool preview) {
    FileListRecord* r = model_.record(row);
    if (!r) throw CVNException(ERROR_INVALID_TARGET_HANDLE);
    UndoRecord u;
    u.kind = UNDO_ATTRIBUTES;
    u.preview = preview;
    u.folder = r->folder;
    u.name = r->name;
    u.attributeText = r->attributeText;
    if (!preview) {
        const std::string path = u.path();
        wrapped(32067, [&] { throwIfFailed(captureAttributes(path, u.diskAttributes)); });
        u.identity = identityOf(path);
        if (journal_) u.journalSeq = journal_->intent(u);
        writeAttributes(path, value, mask);
        u.identity = identityOf(path);
        if (journal_) journal_->done(u.journalSeq, &u.identity);
    }
    const std::uint32_t bits =
        ((AttributesFromText(r->attributeText) & ~mask) | (value & mask)) & kChangeableAttributes;
    undo_.log(std::move(u));
    model_.setAttributeText(row, AttributeText(bits));
}

template <typename Op> bool FileOperations::inErrorFrame(int row, Op op) {
    model_.flushPending();
    const FileListRecord* r = model_.record(row);
    if (!r) return false;
    const std::string path = withSlash(r->folderText()) + r->name;
    try {
        op();
        return true;
    } catch (const CVNException& e) {
        failures_.show(FormatId(32063, {path, e.text()}));
        return false;
    }
}

bool FileOperations::RenameItem(int row, const std::string& newName, bool preview, std::string* usedName) {
    std::string name = newName;
    const bool done = inErrorFrame(row, [&] { rename(row, name, preview); });
    if (usedName) *usedName = name;
    return done;
}

bool FileOperations::SetItemTimes(int row, const FILETIME* created, const FILETIME* modified,
                                  const FILETIME* accessed, bool preview) {
    return inErrorFrame(row, [&] { setTimes(row, created, modified, accessed, preview); });
}

bool FileOperations::SetItemAttributes(int row, std::uint32_t value, std::uint32_t mask, bool preview) {
    return inErrorFrame(row, [&] { setAttributes(row, value, mask, preview); });
}
