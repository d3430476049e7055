#include "core/search/CVNTextCursor.h"

CVNTextCursor::CVNTextCursor(const CVNLineSource& source) : source_(source) {
    end_ = {source_.lineCount(), 0};
    CVNTextPos s, e;
    GetSelection(s, e);
    pos_ = {-1, 0}; // forces the first SetPosition to load the line
    SetPosition(s);
    start_ = pos_;
}

void CVNTextCursor::GetSelection(CVNTextPos& start, CVNTextPos& end) const {
    const int selected = source_.firstSelectedLine();
    if (selected >= 0) {
        start = {selected, 0};
        end = {selected, static_cast<int>(source_.lineText(selected).size())};
        return;
    }
    const int focused = source_.focusedLine();
    start = end = {focused >= 0 ? focused : 0, 0};
}

bool CVNTextCursor::hasSelectionOrFocus() const {
    return source_.firstSelectedLine() >= 0 || source_.focusedLine() >= 0;
}

void CVNTextCursor::SetPosition(int line, int column) {
    CVNTextPos p{line, column};
    if (p >= end_) p = end_;
    if (p.line < 0 || (p.line == 0 && p.column < 0)) p = {0, 0};
    if (p.column < 0) p.column = 0;
    const bool newLine = p.line != pos_.line;
    pos_ = p;
    if (newLine) ReloadLine();
}

void CVNTextCursor::ReloadLine() {
    line_ = pos_.line >= 0 && pos_.line < end_.line ? source_.lineText(pos_.line) : std::string();
}
