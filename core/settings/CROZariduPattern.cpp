#include "core/settings/CROZariduPattern.h"

#include <utility>

#include "platform/RegistryHive.h"
#include "core/settings/CSettingsStore.h"
#include "core/settings/CVNAppInfo.h"
#include "platform/WinTypes.h"

namespace {

const char kSearchPattern[] = "SearchPattern";
const char kReplacePattern[] = "ReplacePattern";
const char kStatusline[] = "Statusline";
const char kCaretPosType[] = "CaretPosType";
const char kCaretPos[] = "CaretPos";

bool passes(const CROZariduPattern& p, int filter) {
    switch (filter) {
    case CROZariduPattern::kWithSearchPattern:
        return !p.m_searchPattern.empty();
    case CROZariduPattern::kReplacementOnly:
        return p.m_searchPattern.empty() && !p.m_replacePattern.empty();
    default:
        return true;
    }
}

// A name with '\' would address a key below another pattern, not a pattern of its own.
bool writable(const CROZariduPattern& p) {
    return p.m_named && p.m_userDefined != 0 && IsValidKeyName(p.m_menuText);
}

} // namespace

CROZariduPattern::CROZariduPattern(int userDefined, int type, std::string menuText)
    : m_userDefined(userDefined), m_type(type), m_menuText(std::move(menuText)),
      m_named(!m_menuText.empty()) {}

std::string CROZariduPattern::KeyPath(const CVNAppInfo& app, int userDefined, int type,
                                      const std::string& menuText) {
    std::string path = "Software\\" + app.GetRegistryKey() + "\\" + app.GetProfileName() +
                       "\\Patterns\\" + (userDefined ? "UserDefined" : "Preconfigured") + "\\" +
                       (type ? "RegExp Patterns" : "Wildcard Patterns");
    if (!menuText.empty()) path += "\\" + menuText;
    return path;
}

void CROZariduPattern::Load(const CVNAppInfo& app) {
    if (!m_named) return;
    CSettingsStore store(m_userDefined == 0, true);
    std::vector<std::pair<std::string, RegValue>> values;
    if (!store.Open(KeyPath(app, m_userDefined, m_type, m_menuText)) || !store.EnumValues(values))
        return;
    for (const auto& [name, value] : values) {
        // Exact names on purpose: a value "searchpattern" is not this record's search pattern.
        const std::string* text = value.asText();
        const std::uint32_t* number = value.asDword();
        if (name == kSearchPattern && text)
            m_searchPattern = *text;
        else if (name == kReplacePattern && text)
            m_replacePattern = *text;
        else if (name == kStatusline && text)
            m_statusline = *text;
        else if (name == kCaretPosType && number)
            m_caretPosType = static_cast<int>(*number);
        else if (name == kCaretPos && number)
            m_caretPos = static_cast<int>(*number);
    }
}

bool CROZariduPattern::Save(const CVNAppInfo& app) const {
    return SaveResult(app).ok();
}

SettingsSaveResult CROZariduPattern::SaveResult(const CVNAppInfo& app) const {
    // One write for the record: it waits for the lock once and is saved whole or not at all.
    CSettingsStore store(false, false);
    store.BeginTransaction();
    if (!NoteSave(store, app)) return {ERROR_INVALID_NAME, store.UserHive()};
    return store.CommitTransaction();
}

bool CROZariduPattern::NoteSave(CSettingsStore& store, const CVNAppInfo& app) const {
    if (!writable(*this) || !store.InTransaction()) return false;
    // The path is a full one; the key of a record noted before must not be its base.
    store.Close();
    return store.CreateKey(KeyPath(app, m_userDefined, m_type, m_menuText)) &&
           store.Write(kSearchPattern, m_searchPattern) &&
           store.Write(kReplacePattern, m_replacePattern) &&
           store.Write(kStatusline, m_statusline) && store.Write(kCaretPosType, m_caretPosType) &&
           store.Write(kCaretPos, m_caretPos);
}

bool CROZariduPattern::Delete(const CVNAppInfo& app) const {
    if (!writable(*this)) return false;
    CSettingsStore store(false, false);
    return store.DeleteKey(KeyPath(app, m_userDefined, m_type, m_menuText), false);
}

bool CROZariduPattern::NoteDelete(CSettingsStore& store, const CVNAppInfo& app) const {
    if (!writable(*this) || !store.InTransaction()) return false;
    return store.DeleteKey(KeyPath(app, m_userDefined, m_type, m_menuText), false);
}

bool CROZariduPattern::IsStored(const CVNAppInfo& app) const {
    if (!m_named) return false;
    CSettingsStore store(m_userDefined == 0, true);
    return store.Open(KeyPath(app, m_userDefined, m_type, m_menuText));
}

void CROZariduPattern::ListNames(const CVNAppInfo& app, int userDefined, int type,
                                 std::vector<std::string>& names) {
    CSettingsStore store(userDefined == 0, true);
    std::vector<std::string> found;
    if (!store.Open(KeyPath(app, userDefined, type, std::string())) || !store.EnumKeys(found))
        return;
    names.clear();
    for (std::string& name : found)
        if (!name.empty()) names.push_back(std::move(name));
}

void CROZariduPattern::LoadAll(const CVNAppInfo& app, int userDefined, int type,
                               std::vector<CROZariduPattern>& records, int filter) {
    CSettingsStore store(userDefined == 0, true);
    std::vector<std::string> names;
    if (!store.Open(KeyPath(app, userDefined, type, std::string())) || !store.EnumKeys(names))
        return;
    records.clear();
    for (const std::string& name : names) {
        CROZariduPattern record(userDefined, type, name);
        record.Load(app);
        if (record.m_named && passes(record, filter)) records.push_back(std::move(record));
    }
}
