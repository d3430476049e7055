#pragma once

// Taking back the newest group of the undo log: every record, newest first, on disk (unless it
// was a preview) and in the list. Before a file is touched, the name must still stand for the
// file the program changed; otherwise that record is skipped with a message naming the file,
// and nothing else is ever renamed or changed.

#include "core/list/FileListModel.h"
#include "core/messages/FailureMessages.h"
#include "core/ops/UndoLog.h"

class UndoObserver {
public:
    virtual ~UndoObserver() = default;
    // The row of the record being taken back (-1 when the file is no longer listed), and the
    // row before it (-2 for none): the window selects it.
    virtual void undoingRow(int row, int previous) = 0;
    // Called now and then during a long undo, so that the window can show how far it got.
    virtual void refresh() {}
};

struct UndoOutcome {
    int mode = -1;     // the group's mode tag, -1 without a group
    int restored = 0;  // records taken back
    int failed = 0;    // records that could not be taken back
};

class Journal;

// Reverts and removes the newest group; the journal, when given, learns what was taken back.
UndoOutcome UndoHeadGroup(UndoLog& log, FileListModel& model, UndoObserver* observer = nullptr,
                          Journal* journal = nullptr);

// Takes back one operation on the disk, after checking that the name still stands for the file
// it changed. Throws CVNException with the reason when it cannot.
void RevertOnDisk(const UndoRecord& record);

// Takes back what a run of the journal changed and is not yet taken back, newest first, with
// the same checks; rows of the list that show its files follow when a model is given. Each
// file that cannot be taken back is skipped, and shown (32064) while no more than
// failuresShown were. Gives the run's mode.
UndoOutcome UndoJournalRun(Journal& journal, const std::string& runId, FileListModel* model = nullptr,
                           UndoObserver* observer = nullptr, int failuresShown = kFailuresShown);

// Takes back every preview group at the top of the log, in the list only and without a word,
// so that the list shows the disk again before a real operation starts.
void RevertPreviewGroups(UndoLog& log, FileListModel& model);
