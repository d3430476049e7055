#pragma once

// A cursor over the file list seen as lines of text: line = row, column = byte offset in the
// row's name (always on a character boundary).

#include <string>

#include "core/search/CVNLineSource.h"

struct CVNTextPos {
    int line = 0;
    int column = 0;

    friend bool operator==(const CVNTextPos&, const CVNTextPos&) = default;
    friend auto operator<=>(const CVNTextPos& a, const CVNTextPos& b) {
        return a.line != b.line ? a.line <=> b.line : a.column <=> b.column;
    }
};

class CVNTextCursor {
public:
    explicit CVNTextCursor(const CVNLineSource& source);
    virtual ~CVNTextCursor() = default;

    // The selected row as a whole name, or an empty selection at the focused row, or (0,0).
    void GetSelection(CVNTextPos& start, CVNTextPos& end) const;

    // Moves the cursor; positions at or past the end clamp to the end, negative ones to (0,0).
    void SetPosition(int line, int column);
    void SetPosition(const CVNTextPos& p) { SetPosition(p.line, p.column); }

    // Re-reads the current row's name (after a rename changed it).
    void ReloadLine();

    const CVNTextPos& position() const { return pos_; }
    const CVNTextPos& startPosition() const { return start_; }
    const CVNTextPos& endPosition() const { return end_; }
    const std::string& lineText() const { return line_; }

protected:
    // Whether any row is selected or focused at all.
    bool hasSelectionOrFocus() const;

    const CVNLineSource& source_;
    CVNTextPos pos_;
    CVNTextPos start_;
    CVNTextPos end_;
    std::string line_;
};
