#include "ui/shell/VanishedRows.h"

#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unordered_set>

#include "ui/list/CVNFileListCtrl.h"

namespace {

constexpr int kBusyRetryMs = 500;

bool gone(const FileListRecord& r) {
    std::string path = r.folderText();
    if (path.empty() || path.back() != '/') path += '/';
    path += r.name;
    struct stat st {};
    // Only a missing file counts: a folder that cannot be read says nothing about its files.
    return lstat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

} // namespace

VanishedRows::VanishedRows(CVNFileListCtrl& list, std::function<bool()> busy, QObject* parent)
    : QObject(parent), list_(list), busy_(std::move(busy)) {
    FileListModel* model = list_.fileModel();
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        for (auto& [id, check] : checks_)
            check.records.clear();
    });
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this, model](const QModelIndex&, int first, int last) {
                std::vector<const FileListRecord*> leaving;
                for (int row = first; row <= last; ++row)
                    leaving.push_back(model->record(row));
                forget(leaving);
            });
}

void VanishedRows::forget(const std::vector<const FileListRecord*>& leaving) {
    if (checks_.empty()) return;
    const std::unordered_set<const FileListRecord*> set(leaving.begin(), leaving.end());
    for (auto& [id, check] : checks_)
        std::erase_if(check.records, [&](const FileListRecord* r) { return set.count(r) > 0; });
}

void VanishedRows::checkLater(std::vector<const FileListRecord*> records, Survivors survivors) {
    const int id = nextId_++;
    checks_.emplace(id, Check{std::move(records), std::move(survivors)});
    QTimer::singleShot(kDelayMs, this, [this, id] { run(id); });
}

void VanishedRows::run(int id) {
    auto it = checks_.find(id);
    if (it == checks_.end()) return;
    if (busy_ && busy_()) {
        QTimer::singleShot(kBusyRetryMs, this, [this, id] { run(id); });
        return;
    }
    Check check = std::move(it->second);
    checks_.erase(it);
    std::vector<const FileListRecord*> vanished, survivors;
    for (const FileListRecord* r : check.records)
        (gone(*r) ? vanished : survivors).push_back(r);
    const int removed = vanished.empty() ? 0 : list_.fileModel()->removeRecords(vanished);
    if (check.survivors) check.survivors(survivors);
    emit checked(removed);
}
