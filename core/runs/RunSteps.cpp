#include "core/runs/RunSteps.h"

#include "platform/FileTime.h"
#include "res/LoadString.h"
#include "core/messages/MessagePresenter.h"
#include "core/messages/Messages.h"

namespace {

const int kTimeColumns[3] = {COL_CREATED, COL_MODIFIED, COL_ACCESSED};

// No match in the row: the selection stays where the engine has it, empty means (0,0).
int noMatch(CVNSearchEngine& engine, CVNTextPos& start, CVNTextPos& end) {
    engine.GetSelection(start, end);
    if (start == end) start = end = {0, 0};
    return -1;
}

int showEngineError(const std::string& error) {
    GetMessagePresenter()->show(error, MB_OK | MB_ICONERROR, 0);
    return 0;
}

} // namespace

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

int RenameStep(CVNSearchEngine& engine, CVNFileListCtrl& list, const std::string& replacement,
               CVNTextPos& start, CVNTextPos& end) {
    std::string text, error;
    if (!engine.ReplaceSelection(replacement, start, end, text, error))
        return error.empty() ? noMatch(engine, start, end) : showEngineError(error);
    const int row = start.line;
    if (!list.RenameItem(row, text)) return 0;
    // The file may have got a shorter name (a trailing dot dropped); the search goes on after
    // what the row really shows.
    end.column += static_cast<int>(list.GetItemName(row).size()) - static_cast<int>(text.size());
    engine.ReloadLine();
    return 1;
}

int ChangeStep(CVNSearchEngine& engine, CVNFileListCtrl& list, CVNTextPos& start, CVNTextPos& end,
               const ChangeTimes& times, std::uint32_t value, std::uint32_t mask) {
    std::string error;
    if (!engine.MatchSelection(start, end, error))
        return error.empty() ? noMatch(engine, start, end) : showEngineError(error);
    const int row = start.line;
    const bool readOnlyFirst = (mask & FILE_ATTRIBUTE_READONLY) && !(value & FILE_ATTRIBUTE_READONLY);
    if (mask != 0 && readOnlyFirst && !list.SetItemAttributes(row, value, mask)) return 0;
    if (!list.SetItemTimes(row, times.get(TIME_CREATED), times.get(TIME_MODIFIED), times.get(TIME_ACCESSED)))
        return 0;
    if (mask != 0 && !readOnlyFirst && !list.SetItemAttributes(row, value, mask)) return 0;
    return 1;
}
