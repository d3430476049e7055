#pragma once

// Takes the rows of files that have gone out of the list, a while after an operation that may
// have deleted or moved them: the desktop may finish a paste or a drop elsewhere later than
// the operation returns. The wait runs on a timer, so the window goes on as usual; while a run
// is in progress the check waits for its end, as rows must not move under a run.

#include <QObject>
#include <functional>
#include <map>
#include <vector>

#include "core/list/FileListRecord.h"

class CVNFileListCtrl;

class VanishedRows : public QObject {
    Q_OBJECT
public:
    using Survivors = std::function<void(const std::vector<const FileListRecord*>&)>;

    // busy tells when a run is in progress.
    VanishedRows(CVNFileListCtrl& list, std::function<bool()> busy, QObject* parent = nullptr);

    // After the delay, the rows of these records whose files no longer exist leave the list;
    // those still there are handed to survivors. Rows that leave the list in the meantime are
    // passed over.
    void checkLater(std::vector<const FileListRecord*> records, Survivors survivors = {});

    static constexpr int kDelayMs = 2000;
    int pendingChecks() const { return static_cast<int>(checks_.size()); }

signals:
    // A check has run and removed this many rows.
    void checked(int removed);

private:
    struct Check {
        std::vector<const FileListRecord*> records;
        Survivors survivors;
    };
    void run(int id);
    void forget(const std::vector<const FileListRecord*>& gone);

    CVNFileListCtrl& list_;
    std::function<bool()> busy_;
    std::map<int, Check> checks_;
    int nextId_ = 0;
};
