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

// Takes records back one at a time, for the list's undo and for a run from the journal alike:
// follows the row in the list, counts, and shows a message for each file that cannot go back
// (up to a number; the rest are told in one at the end).
class Reverter {
public:
    Reverter(FileListModel* model, UndoObserver* observer, int failuresShown)
        : model_(model), observer_(observer), failures_(failuresShown) {
        sinceRefresh_.start();
    }

    // journalSeq: where the journal keeps the operation (0: not there).
    void revert(const UndoRecord& u, std::uint64_t journalSeq) {
        const int row = model_ ? model_->findRow(u.folderText(), u.name) : -1;
        if (observer_ && row >= 0) {
            observer_->undoingRow(row, previous_);
            previous_ = row;
        }
        try {
            if (!u.preview) RevertOnDisk(u);
            if (model_) revertInList(u, *model_, row);
            ++outcome.restored;
            if (journalSeq) undone.push_back(journalSeq);
        } catch (const CVNException& e) {
            ++outcome.failed;
            failures_.show(FormatId(32064, {u.path(), e.text()}));
        }
        // A group of a hundred thousand records must not wait for a hundred thousand paints.
        if (observer_ && sinceRefresh_.elapsed() >= 15) {
            observer_->refresh();
            sinceRefresh_.restart();
        }
    }

    void tellUnshownFailures() const { failures_.tellNotShown(IDS_MORE_NOT_UNDONE); }

    UndoOutcome outcome;
    std::vector<std::uint64_t> undone; // the journal's numbers of what went back

private:
    static constexpr unsigned IDS_MORE_NOT_UNDONE = 33137;
    FileListModel* model_;
    UndoObserver* observer_;
    FailureMessages failures_;
    int previous_ = -2;
    QElapsedTimer sinceRefresh_;
};

} // namespace

UndoOutcome UndoHeadGroup(UndoLog& log, FileListModel& model, UndoObserver* observer, Journal* journal) {
    model.flushPending();
    const std::string journalRun = log.headJournalRun();
    Reverter reverter(&model, observer, kFailuresShown);
    UndoRecord u;
    while (log.take(u)) reverter.revert(u, u.journalSeq);
    reverter.tellUnshownFailures();
    reverter.outcome.mode = log.popGroup();
    if (journal) journal->markUndone(journalRun, reverter.undone);
    return reverter.outcome;
}

UndoOutcome UndoJournalRun(Journal& journal, const std::string& runId, FileListModel* model, UndoObserver* observer,
                           int failuresShown) {
    const std::optional<JournalRun> run = journal.run(runId);
    if (!run) return {};
    Reverter reverter(model, observer, failuresShown);
    reverter.outcome.mode = run->header.mode;
    for (auto it = run->ops.rbegin(); it != run->ops.rend(); ++it)
        if (it->state == JournalRun::OpState::Done) reverter.revert(it->record, it->seq);
    reverter.tellUnshownFailures();
    journal.markUndone(runId, reverter.undone);
    return reverter.outcome;
}

void RevertPreviewGroups(UndoLog& log, FileListModel& model) {
    while (log.headIsPreview()) {
        UndoRecord u;
        while (log.take(u)) revertInList(u, model, model.findRow(u.folderText(), u.name));
        log.popGroup();
    }
}
