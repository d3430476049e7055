#pragma once

// What choosing a stored pattern from one of the ">" menus makes of the "Suchen" and "Ersetzen"
// texts, and where the caret goes.
//
// From the search field's menu: a pattern without a replacement is appended to "Suchen" as a
// building block; one with a replacement takes the place of "Suchen" and, in the mode
// "Finden/Umbenennen", of "Ersetzen" too. In "Datum/Attribute" the replacement field is not
// there, so a caret meant for it goes to the end of the inserted search pattern. From the
// replacement field's menu the replacement is appended to "Ersetzen". The caret stands the
// record's caret position (in characters) after the start of the inserted pattern, never beyond
// the end of the field's text.

#include <cstddef>
#include <string>

class CROZariduPattern;

enum PatternField : int { kSearchField = 0, kReplaceField = 1 };

struct PatternInsertion {
    std::string search;
    std::string replacement;
    int caretField = kSearchField;
    std::size_t caretByte = 0; // offset in the UTF-8 text of caretField, at a character boundary
};

// menuField is the field whose ">" button was pressed; dateMode: "Datum/Attribute" is shown.
PatternInsertion InsertPattern(const CROZariduPattern& pattern, int menuField, bool dateMode,
                               const std::string& search, const std::string& replacement);
