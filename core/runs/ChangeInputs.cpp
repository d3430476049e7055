#include "core/runs/ChangeInputs.h"

#include "platform/FileTime.h"
#include "res/LoadString.h"
#include "core/messages/MessagePresenter.h"
#include "core/messages/Messages.h"


bool ReadChangeTimes(const ChangeFormState& form, ChangeTimes& times, int* invalidRow) {
    times = ChangeTimes();
    for (int row = 0; row < 3; ++row) {
        const DateTimeInput& in = form.times[row];
        if (!in.change) continue;
        SYSTEMTIME st;
        st.wYear = in.year, st.wMonth = in.month, st.wDay = in.day;
        st.wHour = in.hour, st.wMinute = in.minute, st.wSecond = in.second;
        if (!in.dateValid || !in.timeValid || !SystemTimeToFileTime(st, times.local[row])) {
            ShowMessageId(146, ColumnTitle(kTimeColumns[row]), MB_OK | MB_ICONERROR);
            if (invalidRow) *invalidRow = row;
            return false;
        }
        times.given[row] = true;
    }
    return true;
}

void GetAttributeChange(const ChangeFormState& form, std::uint32_t& value, std::uint32_t& mask) {
    value = mask = 0;
    const std::pair<const AttributeInput*, std::uint32_t> order[] = {
        {&form.readOnly, FILE_ATTRIBUTE_READONLY},
        {&form.archive, FILE_ATTRIBUTE_ARCHIVE},
        {&form.hidden, FILE_ATTRIBUTE_HIDDEN},
        {&form.system, FILE_ATTRIBUTE_SYSTEM},
    };
    for (const auto& [input, bit] : order) {
        if (!input->change) continue;
        mask |= bit;
        if (input->value) value |= bit;
    }
}
