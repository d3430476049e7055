#pragma once

// The rules of the pattern editor without its window: how a record fills the form, how the
// form becomes a record, and which input is refused, in which order and with which message.

#include <string>
#include <vector>

class CROZariduPattern;

// Where the caret goes inside the inserted pattern.
enum CaretPlace : int { kCaretAtEnd = 0, kCaretAtStart = 1, kCaretAfterChars = 2 };

constexpr int kMaxMenuTextChars = 40;
constexpr int kMaxStatuslineChars = 120;

struct PatternForm {
    std::string menuText;
    std::string search;
    std::string replacement;
    std::string statusline;
    int caretField = 0; // 0: "Suchen", 1: "Ersetzen"
    int caretPlace = kCaretAtEnd;
    std::string caretNumber = "0"; // as typed; counts only for kCaretAfterChars
};

// The form showing a record: leading white space of the menu text is not shown; a caret at 0
// shows as "at the start", one inside the pattern as "after n characters", and one at or past
// its end as "at the end".
PatternForm FormFromPattern(const CROZariduPattern& record);

// The record the form describes; the form must have passed CheckPatternForm.
CROZariduPattern PatternFromForm(const PatternForm& form, int userDefined, int type);

enum class PatternFormField { None, MenuText, Search, Statusline, CaretNumber };

struct PatternFormProblem {
    PatternFormField field = PatternFormField::None;
    std::string message; // German, for a message box with the exclamation icon
    bool ok() const { return field == PatternFormField::None; }
};

// The first rule the form breaks. names are the menu texts of the list the pattern goes into;
// ownIndex is the place of the edited pattern's own name in it, or -1 when adding. Names are
// compared as the settings compare key names, without regard to case, since two names that
// differ only in case would be one stored pattern.
PatternFormProblem CheckPatternForm(const PatternForm& form, const std::vector<std::string>& names,
                                    int ownIndex);

// The menu text as it is shown and stored: without leading white space.
std::string TrimMenuText(const std::string& text);
