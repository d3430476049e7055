#pragma once

// One step of a rename or change run on the current selection of the file list. Outcome:
// 1 done, 0 failed (its message already shown), -1 no match in the row.

#include <cstdint>
#include <string>

#include "ui/list/CVNFileListCtrl.h"
#include "core/search/CVNSearchEngine.h"

// The date and attribute inputs of the form, as the view fills them in.
struct DateTimeInput {
    bool change = false; // the row's check box
    bool dateValid = true;
    int year = 0, month = 0, day = 0;
    bool timeValid = true;
    int hour = 0, minute = 0, second = 0;
};

struct AttributeInput {
    bool change = false; // the attribute's check box
    bool value = false;  // its new-value check box
};

enum TimeRow : int { TIME_CREATED = 0, TIME_MODIFIED = 1, TIME_ACCESSED = 2 };

struct ChangeFormState {
    DateTimeInput times[3]; // created, modified, last access
    AttributeInput archive, readOnly, hidden, system;
};

struct ChangeTimes {
    bool given[3] = {false, false, false};
    FILETIME local[3]; // local times, converted to UTC by the list
    const FILETIME* get(int row) const { return given[row] ? &local[row] : nullptr; }
};

// The times of the checked rows. An invalid date or time shows message 146 with the row's column
// title and gives false, with invalidRow telling which row's check box should get the focus.
bool ReadChangeTimes(const ChangeFormState& form, ChangeTimes& times, int* invalidRow = nullptr);

// The attribute value and mask of the checked attributes.
void GetAttributeChange(const ChangeFormState& form, std::uint32_t& value, std::uint32_t& mask);

// Replaces the match in the selected row and renames its file; start/end become the selection
// of the replacement (end adjusted when the file got a shorter name than asked).
int RenameStep(CVNSearchEngine& engine, CVNFileListCtrl& list, const std::string& replacement,
               CVNTextPos& start, CVNTextPos& end);

// Changes times and attributes of the selected row if it matches; read-only is removed before
// the times are written and set only after.
int ChangeStep(CVNSearchEngine& engine, CVNFileListCtrl& list, CVNTextPos& start, CVNTextPos& end,
               const ChangeTimes& times, std::uint32_t value, std::uint32_t mask);
