// The file operations of the list: rename, times, attributes, and their undo.
#include <QApplication>
#include <QElapsedTimer>
#include <charconv>
#include <climits>
#include <cstring>

#include "ui/list/CVNFileListCtrl.h"
#include "platform/DateText.h"
#include "platform/FileAttributes.h"
#include "platform/FileTime.h"
#include "platform/FileTimes.h"
#include "platform/Rename.h"
#include "res/LoadString.h"
#include "core/messages/CVNException.h"
#include "core/messages/MessagePresenter.h"
#include "core/messages/Messages.h"

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
        throw CVNException(Format(LoadString(formatId), {e.text()}));
    }
}

// Writes the times (UTC; null = unchanged), clearing read-only for the write and setting it again.
void writeTimes(const std::string& path, const FILETIME* created, const FILETIME* modified,
                const FILETIME* accessed) {
    wrapped(32068, [&] {
        std::uint32_t attributes = 0;
        throwIfFailed(getFileAttributes(path, attributes));
        const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
        if (readOnly) throwIfFailed(setFileAttributes(path, attributes & ~FILE_ATTRIBUTE_READONLY));
        const OpResult r = setFileTimes(path, created, accessed, modified);
        if (readOnly) throwIfFailed(setFileAttributes(path, attributes));
        throwIfFailed(r);
    });
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

void showFileError(unsigned formatId, const std::string& path, const std::string& error) {
    GetMessagePresenter()->show(Format(LoadString(formatId), {path, error}), MB_OK | MB_ICONWARNING, 0);
}

// An undo record for the row of r; the caller fills in what was there before.
UndoRecord undoRecordFor(const FileListRecord* r, int preview, const std::string& folder,
                         const std::string& name, int kind) {
    UndoRecord u;
    u.key = reinterpret_cast<std::uintptr_t>(r);
    u.preview = preview;
    u.folder = folder;
    u.name = name;
    u.kind = kind;
    return u;
}

FILETIME* timeOf(FileListRecord& r, int id) {
    return id == COL_CREATED ? &r.created : id == COL_MODIFIED ? &r.modified : &r.accessed;
}

std::string ticksText(const FILETIME& t) { return std::to_string(t.ticks()); }

} // namespace

void CVNFileListCtrl::RenameFile(const std::string& folder, const std::string& oldName, std::string& newName,
                                 int preview) {
    try {
        if (!newName.empty() && newName.back() == '.') newName.pop_back();
        if (newName.empty()) throw CVNException(ERROR_INVALID_NAME);
        const std::string dir = withSlash(folder);
        if (newName.size() > NAME_MAX || dir.size() + newName.size() >= PATH_MAX)
            throw CVNException(ERROR_FILENAME_EXCED_RANGE);
        if (newName.find_first_of("\\/:*?\"<>|") != std::string::npos) throw CVNException(ERROR_INVALID_NAME);
        if (preview == 0 && newName != oldName) throwIfFailed(renameNoReplace(dir + oldName, dir + newName));
    } catch (const CVNException& e) {
        throw CVNException(Format(LoadString(32066), {newName, e.text()}));
    }
}

bool CVNFileListCtrl::fileOperation(
    int row, const std::function<void(FileListRecord&, const std::string&, const std::string&, bool&)>& op) {
    flushPendingRows();
    FileListRecord* r = model_->record(row);
    if (!r) return false;
    const std::string folder = r->folderText();
    const std::string name = r->name;
    bool done = false;
    try {
        op(*r, folder, name, done);
    } catch (const CVNException& e) {
        showFileError(32063, withSlash(folder) + name, e.text());
    }
    return done;
}

bool CVNFileListCtrl::RenameItem(int row, const std::string& newNameIn) {
    return fileOperation(row, [&](FileListRecord& r, const std::string& folder, const std::string& oldName, bool& done) {
        if (FindColumn(COL_NAME) < 0) throw CVNException(ERROR_INTERNAL_ERROR);
        std::string newName = newNameIn;
        RenameFile(folder, oldName, newName, preview_);
        done = true;
        UndoRecord u = undoRecordFor(&r, preview_, folder, newName, UNDO_RENAME);
        u.oldName = oldName;
        undo_.log(u);
        if (!SetCellText(row, FindColumn(COL_NAME), newName)) throw CVNException::FromStringId(32065);
    });
}

void CVNFileListCtrl::SetCellTime(int row, int id, const FILETIME& utc) {
    FileListRecord* r = model_->record(row);
    if (!r || id < COL_CREATED || id > COL_ACCESSED) return;
    if (sortDirection_ != 0 && sortId_ == id) ClearSort();
    *timeOf(*r, id) = utc;
    model_->cellChanged(row, id);
}

bool CVNFileListCtrl::SetItemTimes(int row, const FILETIME* created, const FILETIME* modified,
                                   const FILETIME* accessed) {
    return fileOperation(row, [&](FileListRecord& r, const std::string& folder, const std::string& name, bool& done) {
        const FILETIME* given[3] = {created, modified, accessed};
        const int ids[3] = {COL_CREATED, COL_MODIFIED, COL_ACCESSED};
        FILETIME utc[3];
        std::string before[3];
        bool any = false;
        for (int i = 0; i < 3; ++i) {
            if (!given[i]) continue;
            any = true;
            try {
                if (FindColumn(ids[i]) < 0) throw CVNException(ERROR_INTERNAL_ERROR);
                // The exact time before, so that undo restores it to the last tick.
                before[i] = ticksText(*timeOf(r, ids[i]));
                if (!LocalFileTimeToFileTime(*given[i], utc[i])) throw CVNException(ERROR_INVALID_PARAMETER);
            } catch (const CVNException&) {
                throw CVNException(Format(LoadString(32069), {ColumnTitle(ids[i])}));
            }
        }
        if (preview_ == 0)
            writeTimes(withSlash(folder) + name, created ? &utc[0] : nullptr, modified ? &utc[1] : nullptr,
                       accessed ? &utc[2] : nullptr);
        done = true;
        if (!any) return;
        UndoRecord u = undoRecordFor(&r, preview_, folder, name, UNDO_TIMES);
        u.created = before[0];
        u.modified = before[1];
        u.accessed = before[2];
        undo_.log(u);
        for (int i = 0; i < 3; ++i)
            if (given[i]) SetCellTime(row, ids[i], utc[i]);
    });
}

bool CVNFileListCtrl::SetItemAttributes(int row, std::uint32_t value, std::uint32_t mask) {
    return fileOperation(row, [&](FileListRecord& r, const std::string& folder, const std::string& name, bool& done) {
        if (FindColumn(COL_ATTRIBUTES) < 0) throw CVNException(ERROR_INTERNAL_ERROR);
        if (preview_ == 0) writeAttributes(withSlash(folder) + name, value, mask);
        done = true;
        UndoRecord u = undoRecordFor(&r, preview_, folder, name, UNDO_ATTRIBUTES);
        u.attributes = r.attributeText;
        undo_.log(u);
        const std::uint32_t bits =
            ((AttributesFromText(r.attributeText) & ~mask) | (value & mask)) & kChangeableAttributes;
        if (!SetCellText(row, FindColumn(COL_ATTRIBUTES), AttributeText(bits)))
            throw CVNException::FromStringId(32065);
    });
}

int CVNFileListCtrl::UndoHeadGroup() {
    flushPendingRows();
    int previous = -2;
    // The list shows each reverted row, but repaints at most every 15 ms: a group of a hundred
    // thousand records must not wait for a hundred thousand paints.
    QElapsedTimer sincePaint;
    sincePaint.start();
    UndoRecord u;
    while (undo_.take(u)) {
        try {
            const int row = model_->rowOf(reinterpret_cast<const FileListRecord*>(u.key));
            if (row < 0) throw CVNException(ERROR_INVALID_TARGET_HANDLE);
            SelectItem(row, previous);
            previous = row;
            FileListRecord* r = model_->record(row);
            if (u.kind == UNDO_RENAME) {
                std::string oldName = u.oldName;
                RenameFile(u.folder, u.name, oldName, u.preview);
                r->name = oldName;
                model_->cellChanged(row, COL_NAME);
                if (sortDirection_ != 0 && sortId_ == COL_NAME) ClearSort();
            } else if (u.kind == UNDO_TIMES) {
                const std::string* texts[3] = {&u.created, &u.modified, &u.accessed};
                const int ids[3] = {COL_CREATED, COL_MODIFIED, COL_ACCESSED};
                FILETIME t[3];
                bool have[3];
                for (int i = 0; i < 3; ++i) {
                    have[i] = !texts[i]->empty();
                    std::uint64_t ticks = 0;
                    const char* end = texts[i]->data() + texts[i]->size();
                    if (have[i] && std::from_chars(texts[i]->data(), end, ticks).ptr != end)
                        throw CVNException(ERROR_INVALID_PARAMETER);
                    t[i] = FILETIME::fromTicks(ticks);
                }
                if (u.preview == 0)
                    writeTimes(withSlash(u.folder) + u.name, have[0] ? &t[0] : nullptr, have[1] ? &t[1] : nullptr,
                               have[2] ? &t[2] : nullptr);
                for (int i = 0; i < 3; ++i)
                    if (have[i]) SetCellTime(row, ids[i], t[i]);
            } else {
                if (u.preview == 0)
                    writeAttributes(withSlash(u.folder) + u.name, AttributesFromText(u.attributes),
                                    kChangeableAttributes);
                r->attributeText = u.attributes;
                model_->cellChanged(row, COL_ATTRIBUTES);
                if (sortDirection_ != 0 && sortId_ == COL_ATTRIBUTES) ClearSort();
            }
            if (sincePaint.elapsed() >= 15) {
                viewport()->repaint();
                sincePaint.restart();
            }
        } catch (const CVNException& e) {
            showFileError(32064, withSlash(u.folder) + u.name, e.text());
        }
    }
    return undo_.popGroup();
}
