#pragma once

// One stored search/replacement pattern. Its registry key is named after its menu text, below
// SOFTWARE\<vendor>\<application>\Patterns, then "Preconfigured" or "UserDefined", then
// "Wildcard Patterns" or "RegExp Patterns". Preconfigured patterns come from the machine
// settings, which an installation provides, and are only read; user-defined ones live in the
// user's settings and may be saved and deleted.

#include <string>
#include <vector>

class CVNAppInfo;
class CSettingsStore;
struct SettingsSaveResult;

class CROZariduPattern {
public:
    CROZariduPattern() = default;
    CROZariduPattern(int userDefined, int type, std::string menuText);

    // The key of a pattern; without the last name (the category key) when menuText is empty.
    static std::string KeyPath(const CVNAppInfo& app, int userDefined, int type,
                               const std::string& menuText);

    // Fills the fields from the values of the record's key; a missing key or value leaves the
    // field as it was. Value names are compared exactly, and a value of the wrong type counts
    // as missing.
    void Load(const CVNAppInfo& app);
    // Writes all five values in one write of the settings file, all or none; only a named
    // user-defined record is ever written.
    bool Save(const CVNAppInfo& app) const;
    // Save, telling how it ended, for a caller that tells the user when it failed.
    SettingsSaveResult SaveResult(const CVNAppInfo& app) const;
    // Notes the record's key and its five values in the open transaction of store, so that
    // several records go into one write. False when the record may not be written.
    bool NoteSave(CSettingsStore& store, const CVNAppInfo& app) const;
    // Deletes the record's key; only for a named user-defined record.
    bool Delete(const CVNAppInfo& app) const;
    // Notes the deletion of the record's key in the open transaction of store.
    bool NoteDelete(CSettingsStore& store, const CVNAppInfo& app) const;
    // Whether the record's key is in the settings of its scope now.
    bool IsStored(const CVNAppInfo& app) const;

    // The names of the patterns of one category in stored order. When the category key cannot be
    // opened the list is left as it was.
    static void ListNames(const CVNAppInfo& app, int userDefined, int type,
                          std::vector<std::string>& names);

    enum Filter {
        kAll = 0,
        kWithSearchPattern = 1, // for the search field's menu
        kReplacementOnly = 2,   // no search pattern, a replacement: the replacement field's menu
    };
    // Replaces the list with the loaded records of one category that pass the filter, in stored
    // order. When the category key cannot be opened the list is left as it was.
    static void LoadAll(const CVNAppInfo& app, int userDefined, int type,
                        std::vector<CROZariduPattern>& records, int filter);

    int m_userDefined = 0; // 0: preconfigured, 1: user-defined
    int m_type = 0;        // 0: wildcard, 1: regular expression
    std::string m_menuText;
    bool m_named = false; // records without a name are never read or written
    std::string m_searchPattern;
    std::string m_replacePattern;
    int m_caretPosType = 0; // after insertion the caret goes to 0: "Suchen", 1: "Ersetzen"
    int m_caretPos = 0;     // in characters from the start of the inserted pattern
    std::string m_statusline;

    friend bool operator==(const CROZariduPattern&, const CROZariduPattern&) = default;
};
