#pragma once

// The user's own patterns of one type as the options page edits them. Each entry carries its
// state since it was loaded; patterns taken out are kept aside until the changes are saved, so
// that their keys can be deleted then. Nothing reaches the settings file before SavePatternLists.

#include <initializer_list>
#include <string>
#include <vector>

#include "core/settings/CROZariduPattern.h"
#include "core/settings/CSettingsStore.h"

class CVNAppInfo;

// The fields of a pattern as list columns, in the order of the column titles (string 33330).
enum PatternColumnField : int {
    kFieldUserDefined = 0,
    kFieldType,
    kFieldMenuText,
    kFieldSearch,
    kFieldReplacement,
    kFieldStatusline,
    kFieldCaretField,
    kFieldCaretPos,
    kPatternFieldCount
};

// A field's text in a list cell.
std::string PatternFieldText(const CROZariduPattern& record, int field);

class PatternList {
public:
    enum State : int { kUnchanged = 0, kChanged = 1, kNew = 2 };
    struct Entry {
        State state;
        CROZariduPattern record;
    };

    PatternList(int userDefined, int type) : userDefined_(userDefined), type_(type) {}

    int userDefined() const { return userDefined_; }
    int type() const { return type_; }

    // The stored patterns of the list's origin and type, in stored order, all unchanged.
    void Load(const CVNAppInfo& app);

    // Inserts at index (the end when out of range) and returns where it went, or -1 when a
    // pattern of that name is in the list already. A pattern taken out before under exactly this
    // name is forgotten, and a new one counts as changed, because its key is still stored.
    int Insert(int index, State state, CROZariduPattern record);
    // The pattern at index after editing: with the same menu text it takes the new values (and
    // counts as changed unless it is new); with another one it is taken out and the new pattern
    // put in its place. False, and nothing changed, when the new name belongs to another entry.
    bool Edit(int index, CROZariduPattern record);
    // Takes the pattern out; a stored one is kept aside for deletion.
    void Remove(int index);

    // Sorts by a field; texts in the order names are listed in (case ignored, numbers by value),
    // numbers by value. Equal ones keep their order.
    void Sort(int field, bool ascending);

    const std::vector<Entry>& entries() const { return entries_; }
    const std::vector<CROZariduPattern>& removed() const { return removed_; }
    int size() const { return static_cast<int>(entries_.size()); }
    std::vector<std::string> Names() const;
    // The entry whose menu text is name without regard to case, or -1.
    int Find(const std::string& name) const;
    bool HasChanges() const;

    // Notes what saving changes in store's open transaction: the deletion of every pattern taken
    // out whose key is still there, then every new or changed pattern. False when a pattern may
    // not be written.
    bool NoteChanges(CSettingsStore& store, const CVNAppInfo& app) const;
    // After a successful save: everything is as stored.
    void MarkSaved();

private:
    int userDefined_;
    int type_;
    std::vector<Entry> entries_;
    std::vector<CROZariduPattern> removed_;
};

// Saves the changes of all lists in one write of the settings file, all or none. Lists without
// changes leave the file as it is.
SettingsSaveResult SavePatternLists(const CVNAppInfo& app,
                                    std::initializer_list<PatternList*> lists);
