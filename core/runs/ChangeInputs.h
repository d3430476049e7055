#pragma once

// The date and attribute inputs of the Datum/Attribute mode and what a change run makes of
// them: the three times (local) and the attribute value and mask.

#include <cstdint>
#include <string>

#include "core/list/FileListRecord.h"

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
