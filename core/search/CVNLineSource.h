#pragma once

#include <string>

// What the search engine's cursor needs of a list: its rows' names, and which row is selected
// or focused. The file list is the one line source of the program.
class CVNLineSource {
public:
    virtual ~CVNLineSource() = default;
    virtual int lineCount() const = 0;
    virtual std::string lineText(int line) const = 0;
    virtual int firstSelectedLine() const = 0; // -1 if no row is selected
    virtual int focusedLine() const = 0;       // -1 if no row has the focus
};
