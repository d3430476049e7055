#include "core/settings/MRUList.h"

#include <cctype>
#include <climits>

#include "platform/RegistryHive.h"
#include "platform/WinTypes.h"
#include "res/Format.h"
#include "core/settings/CVNAppInfo.h"

const MRUSettings kMRUSearchFolder{"MRU SearchFolder", "Folder%d", 10, false};
const MRUSettings kMRUSearchPattern{"MRU SearchPattern", "Pattern%d", 10, true};
const MRUSettings kMRUReplacePattern{"MRU ReplacePattern", "Pattern%d", 10, false};

namespace {

// Leading decimal number as written by "%d" (blanks, a sign, digits), 0 without digits, held to
// the 32-bit range.
int leadingNumber(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    long long n = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        n = std::min<long long>(n * 10 + (s[i] - '0'), 1LL << 32);
    n = negative ? -n : n;
    return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, n)));
}

} // namespace

bool VectorMRUListModel::insert(int index, const std::string& text, int datum) {
    if (index < 0 || index > count()) return false;
    items.insert(items.begin() + index, Item{text, datum});
    return true;
}

bool VectorMRUListModel::remove(int index) {
    if (index < 0 || index >= count()) return false;
    items.erase(items.begin() + index);
    if (selected == index)
        selected = -1;
    else if (selected > index)
        --selected;
    return true;
}

std::string MRUEntryName(const MRUSettings& settings, int index) {
    return Format(settings.entryFormat, {index});
}

int FindTextNoCase(const MRUListModel& list, const std::string& text) {
    // The same comparison as for names in the settings: Unicode simple case folding.
    for (int i = 0; i < list.count(); ++i)
        if (SameRegName(list.text(i), text)) return i;
    return -1;
}

void AddToMRU(MRUListModel& list, const MRUSettings& settings, const std::string& text, int datum) {
    const int found = FindTextNoCase(list, text);
    if (found >= 0)
        list.remove(found);
    else if (list.count() >= settings.capacity)
        list.remove(settings.capacity - 1);
    if (list.insert(0, text, datum)) list.select(0);
}

void LoadMRU(MRUListModel& list, const MRUSettings& settings, const CVNAppInfo& app) {
    for (int i = 0; i < settings.capacity; ++i) {
        const std::string stored =
            app.GetProfileString(settings.section, MRUEntryName(settings, i));
        if (stored.empty()) continue;
        const auto colon = stored.find(':');
        if (settings.dataPrefix && colon != std::string::npos)
            list.insert(list.count(), stored.substr(colon + 1),
                        leadingNumber(stored.substr(0, colon)));
        else
            list.insert(list.count(), stored, 0);
    }
}

SettingsSaveResult SaveMRULists(const std::vector<MRUListToSave>& lists, const CVNAppInfo& app) {
    CSettingsStore store(false, false);
    store.BeginTransaction();
    for (const auto& [list, settings] : lists) {
        store.Close(); // the section's path is absolute
        bool noted = store.CreateKey(app.BuildRegPath(true, settings->section));
        for (int i = 0; noted && i < list->count(); ++i) {
            std::string stored = list->text(i);
            if (settings->dataPrefix) stored = std::to_string(list->datum(i)) + ":" + stored;
            noted = store.Write(MRUEntryName(*settings, i), stored);
        }
        if (!noted) {
            // Only a path the store refuses gets here (an application without registry key).
            store.RollbackTransaction();
            return {ERROR_INVALID_PARAMETER, store.UserHive()};
        }
    }
    return store.CommitTransaction();
}

SettingsSaveResult SaveMRU(const MRUListModel& list, const MRUSettings& settings,
                           const CVNAppInfo& app) {
    return SaveMRULists({{&list, &settings}}, app);
}
