#pragma once

// What a rename run does with a list of names, without the form: find, select the row,
// replace, and go on after the new text, through the program's own search engine.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/search/CVNSearchEngine.h"

class Lines : public CVNLineSource {
public:
    Lines(std::initializer_list<std::string> l) : lines(l) {}
    explicit Lines(std::vector<std::string> l) : lines(std::move(l)) {}
    int lineCount() const override { return static_cast<int>(lines.size()); }
    std::string lineText(int i) const override { return lines[static_cast<std::size_t>(i)]; }
    int firstSelectedLine() const override { return selected; }
    int focusedLine() const override { return focused; }
    std::vector<std::string> lines;
    int selected = -1;
    int focused = -1;
};

// afterStep, when given, turns each replaced name into the name the file gets.
inline std::vector<std::string> renameAll(Lines& l, int kind, const std::string& pattern,
                                          const std::string& replacement,
                                          int* occurrences = nullptr,
                                          const std::function<void(std::string&)>& afterStep = {}) {
    CVNSearchEngine engine(l, kind);
    std::string error;
    EXPECT_TRUE(engine.Compile(pattern, error)) << error;
    engine.SetPosition(0, 0);
    CVNTextPos s, e;
    int steps = 0;
    while (engine.FindNext(s, e, error) && steps < 1000) {
        l.selected = s.line;
        std::string text;
        CVNTextPos rs, re;
        if (!engine.ReplaceSelection(replacement, rs, re, text, error)) break;
        const int replaced = static_cast<int>(text.size());
        if (afterStep) afterStep(text);
        // A name that got shorter (a trailing dot dropped): go on after what it now holds.
        re.column += static_cast<int>(text.size()) - replaced;
        l.lines[static_cast<std::size_t>(rs.line)] = text;
        engine.ReloadLine();
        engine.SetPosition(re);
        ++steps;
    }
    EXPECT_TRUE(error.empty()) << error;
    EXPECT_LT(steps, 1000) << "the run did not advance";
    if (occurrences) *occurrences = steps;
    return l.lines;
}
