#include "core/ops/UndoLog.h"

const std::string& UndoRecord::folderText() const {
    static const std::string none;
    return folder ? *folder : none;
}

std::string UndoRecord::path() const {
    const std::string& f = folderText();
    return f.empty() || f.back() == '/' ? f + name : f + '/' + name;
}

void UndoLog::beginGroup(int mode) { groups_.push_front({mode, {}, {}}); }

void UndoLog::setHeadJournalRun(std::string id) {
    if (!groups_.empty()) groups_.front().journalRun = std::move(id);
}

std::string UndoLog::headJournalRun() const { return groups_.empty() ? std::string() : groups_.front().journalRun; }

void UndoLog::log(UndoRecord r) {
    if (keepRecords_ && !groups_.empty()) groups_.front().records.push_back(std::move(r));
}

void UndoLog::reserve(std::size_t n) {
    if (keepRecords_ && !groups_.empty()) groups_.front().records.reserve(groups_.front().records.size() + n);
}

bool UndoLog::take(UndoRecord& r) {
    if (groups_.empty() || groups_.front().records.empty()) return false;
    r = std::move(groups_.front().records.back());
    groups_.front().records.pop_back();
    return true;
}

int UndoLog::popGroup() {
    if (groups_.empty()) return -1;
    const int mode = groups_.front().mode;
    groups_.pop_front();
    return mode;
}

bool UndoLog::peekMode(int& mode) const {
    if (groups_.empty()) return false;
    mode = groups_.front().mode;
    return true;
}

bool UndoLog::headIsPreview() const {
    if (groups_.empty() || groups_.front().records.empty()) return false;
    for (const UndoRecord& r : groups_.front().records)
        if (!r.preview) return false;
    return true;
}

void UndoLog::dropJournalRun(const std::string& id) {
    if (id.empty()) return;
    std::erase_if(groups_, [&](const Group& g) { return g.journalRun == id; });
}
