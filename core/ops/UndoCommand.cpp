#include "core/ops/UndoCommand.h"

#include <QElapsedTimer>

#include "core/journal/Journal.h"
#include "core/messages/CVNException.h"
#include "core/messages/Messages.h"
#include "core/ops/FileOperations.h"
#include "platform/FileTime.h"
#include "platform/Rename.h"
#include "res/LoadString.h"

void RevertOnDisk(const UndoRecord& u) {
    const std::string path = u.path();
    const FileIdentity now = identityOf(path);
    if (!now.known) throw CVNException(ERROR_FILE_NOT_FOUND);
    if (!sameFile(u.identity, now)) throw CVNException::FromStringId(33105);
    switch (u.kind) {
    case UNDO_RENAME: {
        if (u.name == u.oldName) break; // the run left the name as it was
        const std::string dir = path.substr(0, path.size() - u.name.size());
        // Exactly the old bytes: no name rules apply to a name the file had before.
        const OpResult r = renameNoReplace(path, dir + u.oldName);
        if (!r.ok()) throw CVNException(FormatId(32066, {u.oldName, r.text()}));
        break;
    }
    case UNDO_TIMES:
        WriteFileTimes(path, u.timeChanged[TIME_CREATED] ? &u.diskTimes.creation : nullptr,
                       u.timeChanged[TIME_ACCESSED] ? &u.diskTimes.lastAccess : nullptr,
                       u.timeChanged[TIME_MODIFIED] ? &u.diskTimes.lastWrite : nullptr);
        break;
    default:
        if (const OpResult r = restoreAttributes(path, u.diskAttributes); !r.ok())
            throw CVNException(FormatId(32067, {r.text()}));
        break;
    }
}

namespace {

void revertInList(const UndoRecord& u, FileListModel& model, int row) {
    if (row < 0) return;
    switch (u.kind) {
    case UNDO_RENAME: model.setName(row, u.oldName); break;
    case UNDO_TIMES:
        for (int i = 0; i < 3; ++i)
            if (u.timeChanged[i]) model.setTime(row, kTimeColumns[i], u.rowTimes[i]);
        break;
    default: model.setAttributeText(row, u.attributeText); break;
    }
}

} // namespace

UndoOutcome UndoHeadGroup(UndoLog& log, FileListModel& model, UndoObserver* observer, Journal* journal) {
    model.flushPending();
    UndoOutcome outcome;
    const std::string journalRun = log.headJournalRun();
    std::vector<std::uint64_t> undone;
    int previous = -2;
    QElapsedTimer sinceRefresh;
    sinceRefresh.start();
    UndoRecord u;
    while (log.take(u)) {
        const int row = model.findRow(u.folderText(), u.name);
        if (observer && row >= 0) {
            observer->undoingRow(row, previous);
            previous = row;
        }
        try {
            if (!u.preview) RevertOnDisk(u);
            revertInList(u, model, row);
            ++outcome.restored;
            if (u.journalSeq) undone.push_back(u.journalSeq);
        } catch (const CVNException& e) {
            ++outcome.failed;
            GetMessagePresenter()->show(FormatId(32064, {u.path(), e.text()}), MB_OK | MB_ICONWARNING, 0);
        }
        // A group of a hundred thousand records must not wait for a hundred thousand paints.
        if (observer && sinceRefresh.elapsed() >= 15) {
            observer->refresh();
            sinceRefresh.restart();
        }
    }
    outcome.mode = log.popGroup();
    if (journal) journal->markUndone(journalRun, undone);
    return outcome;
}

UndoOutcome UndoJournalRun(Journal& journal, const std::string& runId, FileListModel* model, UndoObserver* observer) {
    UndoOutcome outcome;
    const std::optional<JournalRun> run = journal.run(runId);
    if (!run) return outcome;
    outcome.mode = run->header.mode;
    std::vector<std::uint64_t> undone;
    int previous = -2;
    for (auto it = run->ops.rbegin(); it != run->ops.rend(); ++it) {
        if (it->state != JournalRun::OpState::Done) continue;
        const UndoRecord& u = it->record;
        const int row = model ? model->findRow(u.folderText(), u.name) : -1;
        if (observer && row >= 0) {
            observer->undoingRow(row, previous);
            previous = row;
        }
        try {
            RevertOnDisk(u);
            if (model) revertInList(u, *model, row);
            ++outcome.restored;
            undone.push_back(it->seq);
        } catch (const CVNException& e) {
            ++outcome.failed;
            GetMessagePresenter()->show(FormatId(32064, {u.path(), e.text()}), MB_OK | MB_ICONWARNING, 0);
        }
    }
    journal.markUndone(runId, undone);
    return outcome;
}

void RevertPreviewGroups(UndoLog& log, FileListModel& model) {
    while (log.headIsPreview()) {
        UndoRecord u;
        while (log.take(u)) revertInList(u, model, model.findRow(u.folderText(), u.name));
        log.popGroup();
    }
}
