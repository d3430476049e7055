#include "core/settings/PatternList.h"

#include <algorithm>
#include <utility>

#include "platform/NaturalOrder.h"
#include "platform/RegistryHive.h"
#include "platform/WinTypes.h"
#include "res/LoadString.h"

std::string PatternFieldText(const CROZariduPattern& record, int field) {
    switch (field) {
    case kFieldUserDefined:
        return std::to_string(record.m_userDefined);
    case kFieldType:
        return std::to_string(record.m_type);
    case kFieldMenuText:
        return record.m_menuText;
    case kFieldSearch:
        return record.m_searchPattern;
    case kFieldReplacement:
        return record.m_replacePattern;
    case kFieldStatusline:
        return record.m_statusline;
    case kFieldCaretField:
        return std::to_string(record.m_caretPosType);
    case kFieldCaretPos:
        return std::to_string(record.m_caretPos);
    default:
        return {};
    }
}

void PatternList::Load(const CVNAppInfo& app) {
    entries_.clear();
    removed_.clear();
    std::vector<CROZariduPattern> records;
    CROZariduPattern::LoadAll(app, userDefined_, type_, records, CROZariduPattern::kAll);
    for (CROZariduPattern& r : records)
        Insert(size(), kUnchanged, std::move(r));
}

int PatternList::Find(const std::string& name) const {
    for (int i = 0; i < size(); ++i)
        if (SameRegName(entries_[static_cast<std::size_t>(i)].record.m_menuText, name)) return i;
    return -1;
}

int PatternList::Insert(int index, State state, CROZariduPattern record) {
    if (Find(record.m_menuText) >= 0) return -1;
    // Only the very same name: a name that differs in case must replace the old key, which the
    // deletion before the save does.
    const auto same =
        std::find_if(removed_.begin(), removed_.end(),
                     [&](const CROZariduPattern& r) { return r.m_menuText == record.m_menuText; });
    if (same != removed_.end()) {
        removed_.erase(same);
        if (state == kNew) state = kChanged;
    }
    if (index < 0 || index > size()) index = size();
    entries_.insert(entries_.begin() + index, Entry{state, std::move(record)});
    return index;
}

bool PatternList::Edit(int index, CROZariduPattern record) {
    if (index < 0 || index >= size()) return false;
    Entry& entry = entries_[static_cast<std::size_t>(index)];
    if (record.m_menuText == entry.record.m_menuText) {
        entry.record = std::move(record);
        if (entry.state != kNew) entry.state = kChanged;
        return true;
    }
    const int other = Find(record.m_menuText);
    if (other >= 0 && other != index) return false;
    Remove(index);
    Insert(index, kNew, std::move(record));
    return true;
}

void PatternList::Remove(int index) {
    if (index < 0 || index >= size()) return;
    Entry entry = std::move(entries_[static_cast<std::size_t>(index)]);
    entries_.erase(entries_.begin() + index);
    if (entry.state != kNew) removed_.push_back(std::move(entry.record));
}

void PatternList::Sort(int field, bool ascending) {
    const bool numeric = field == kFieldUserDefined || field == kFieldType ||
                         field == kFieldCaretField || field == kFieldCaretPos;
    const auto number = [field](const CROZariduPattern& r) {
        switch (field) {
        case kFieldUserDefined:
            return r.m_userDefined;
        case kFieldType:
            return r.m_type;
        case kFieldCaretField:
            return r.m_caretPosType;
        default:
            return r.m_caretPos;
        }
    };
    const NaturalOrder order;
    std::stable_sort(entries_.begin(), entries_.end(), [&](const Entry& a, const Entry& b) {
        int c = 0;
        if (numeric) {
            const int x = number(a.record), y = number(b.record);
            c = x < y ? -1 : x > y ? 1 : 0;
        } else {
            c = order.compare(PatternFieldText(a.record, field), PatternFieldText(b.record, field));
        }
        return ascending ? c < 0 : c > 0;
    });
}

std::vector<std::string> PatternList::Names() const {
    std::vector<std::string> names;
    for (const Entry& e : entries_)
        names.push_back(e.record.m_menuText);
    return names;
}

bool PatternList::HasChanges() const {
    if (!removed_.empty()) return true;
    return std::any_of(entries_.begin(), entries_.end(),
                       [](const Entry& e) { return e.state != kUnchanged; });
}

bool PatternList::NoteChanges(CSettingsStore& store, const CVNAppInfo& app) const {
    // A key another instance deleted meanwhile needs no deleting, and would fail the write.
    for (const CROZariduPattern& r : removed_)
        if (r.IsStored(app) && !r.NoteDelete(store, app)) return false;
    for (const Entry& e : entries_)
        if (e.state != kUnchanged && !e.record.NoteSave(store, app)) return false;
    return true;
}

void PatternList::MarkSaved() {
    removed_.clear();
    for (Entry& e : entries_)
        e.state = kUnchanged;
}

SettingsSaveResult SavePatternLists(const CVNAppInfo& app,
                                    std::initializer_list<PatternList*> lists) {
    CSettingsStore store(false, false);
    store.BeginTransaction();
    for (PatternList* list : lists)
        if (!list->NoteChanges(store, app)) return {ERROR_INVALID_NAME, store.UserHive()};
    const SettingsSaveResult result = store.CommitTransaction();
    if (result.ok())
        for (PatternList* list : lists)
            list->MarkSaved();
    return result;
}
