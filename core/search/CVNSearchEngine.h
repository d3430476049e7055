#pragma once

// Finds and replaces matches inside the names of the file list, row after row. A pattern may
// match several times in one name; each match is one occurrence of a run.

#include <string>

#include "engine/RegExp.h"
#include "core/search/CVNTextCursor.h"

enum PatternKind : int { PATTERN_LITERAL = 0, PATTERN_WILDCARD = 1, PATTERN_REGEXP = 2 };

class CVNSearchEngine : public CVNTextCursor {
public:
    CVNSearchEngine(const CVNLineSource& source, int kind);

    // Compiles the search pattern of the engine's kind, case-insensitively.
    bool Compile(const std::string& pattern, std::string& error);

    // The next match from the cursor on, row by row to the end of the list.
    bool FindNext(CVNTextPos& start, CVNTextPos& end, std::string& error);

    // Takes the replacement pattern for the following replacements, translated once from the
    // engine's kind (a wildcard replacement's n-th "*" is the n-th "*" of the search pattern).
    bool CompileReplacement(const std::string& replacement, std::string& error);

    // Replaces the match inside the selected name; newText is the whole new name.
    bool ReplaceSelection(CVNTextPos& start, CVNTextPos& end, std::string& newText, std::string& error);
    bool ReplaceSelection(const std::string& replacement, CVNTextPos& start, CVNTextPos& end,
                          std::string& newText, std::string& error);

    // The match inside the selected name, without replacing it.
    bool MatchSelection(CVNTextPos& start, CVNTextPos& end, std::string& error);

    int kind() const { return kind_; }

private:
    // Runs the expression on [from, from + length) of the current line; match offsets are
    // relative to from.
    bool execLine(int from, int length);
    // Step 1, 3, 4 and 5 shared by ReplaceSelection and MatchSelection.
    bool matchInSelection(CVNTextPos& s, CVNTextPos& e, int& matchAt, int& matchLength,
                          std::string& error);

    int kind_;
    RegExp re_;
    std::string replacement_; // in the expression's own replacement language
    std::string subject_;
    // Where the last step's match or replacement ended: an empty match found exactly there is
    // the one just handled, so the search moves one character on instead of standing still.
    CVNTextPos lastStepEnd_{-1, 0};
};
