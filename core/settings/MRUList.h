#pragma once

// Most-recently-used lists of the main form's folder, search and replacement fields: the
// newest text on top, at most a given number of entries, kept in the user's settings. The
// logic works on a small list interface, which the combo boxes of the main view implement and
// the tests implement with a vector.

#include <string>
#include <vector>

#include "core/settings/CSettingsStore.h"

class CVNAppInfo;

// A list of texts, each with a 32-bit datum, and a current selection.
class MRUListModel {
public:
    virtual ~MRUListModel() = default;
    virtual int count() const = 0;
    virtual std::string text(int index) const = 0;
    virtual int datum(int index) const = 0;
    // Inserts before index (count(): at the end); false when the list cannot take it.
    virtual bool insert(int index, const std::string& text, int datum) = 0;
    virtual bool remove(int index) = 0;
    // Makes the item the current selection, which also shows its text in the edit field.
    virtual void select(int index) = 0;
};

// The plain list the tests use.
class VectorMRUListModel : public MRUListModel {
public:
    struct Item {
        std::string text;
        int datum = 0;
        friend bool operator==(const Item&, const Item&) = default;
    };

    int count() const override { return static_cast<int>(items.size()); }
    std::string text(int index) const override {
        return items.at(static_cast<std::size_t>(index)).text;
    }
    int datum(int index) const override { return items.at(static_cast<std::size_t>(index)).datum; }
    bool insert(int index, const std::string& text, int datum) override;
    bool remove(int index) override;
    void select(int index) override { selected = index; }

    std::vector<Item> items;
    int selected = -1;
};

struct MRUSettings {
    std::string section;     // below the application key
    std::string entryFormat; // value names, with one %d for the zero-based index
    int capacity = 10;
    bool dataPrefix = false; // the stored text is "<datum>:<text>"
};

// The three lists of the main form; the search pattern's datum is 1 for a regular expression.
extern const MRUSettings kMRUSearchFolder;
extern const MRUSettings kMRUSearchPattern;
extern const MRUSettings kMRUReplacePattern;

// The index of the first item whose text equals text without regard to case, or -1.
int FindTextNoCase(const MRUListModel& list, const std::string& text);

// Puts text (in its own case) with datum on top, dropping an item of the same text in any case
// or else, in a full list, the oldest one, and selects it.
void AddToMRU(MRUListModel& list, const MRUSettings& settings, const std::string& text, int datum);
// Appends the stored entries in index order, skipping empty ones. With the data prefix, a
// stored text without ':' is taken whole, with datum 0.
void LoadMRU(MRUListModel& list, const MRUSettings& settings, const CVNAppInfo& app);
// A list and the settings it is kept under.
struct MRUListToSave {
    const MRUListModel* list;
    const MRUSettings* settings;
};
// Writes every item of every list under its index, all in one locked read-modify-write of the
// settings file: the lists are saved together or not at all, and a busy lock is waited for once.
// Stored entries beyond a list's count stay.
SettingsSaveResult SaveMRULists(const std::vector<MRUListToSave>& lists, const CVNAppInfo& app);
// SaveMRULists of one list.
SettingsSaveResult SaveMRU(const MRUListModel& list, const MRUSettings& settings,
                           const CVNAppInfo& app);

// The value name of entry index.
std::string MRUEntryName(const MRUSettings& settings, int index);
