#include "core/search/CVNSearchEngine.h"

#include "engine/Wildcard.h"
#include "platform/chars.h"

CVNSearchEngine::CVNSearchEngine(const CVNLineSource& source, int kind)
    : CVNTextCursor(source), kind_(kind) {}

bool CVNSearchEngine::Compile(const std::string& pattern, std::string& error) {
    error.clear();
    std::string source;
    switch (kind_) {
    case PATTERN_LITERAL: source = escapeLiteral(pattern); break;
    case PATTERN_WILDCARD: source = wildcardToRegExp(pattern); break;
    case PATTERN_REGEXP: source = pattern; break;
    default: return false;
    }
    re_ = RegExp(source, false);
    if (re_.isValid()) return true;
    error = re_.errorText();
    return false;
}

bool CVNSearchEngine::execLine(int from, int length) {
    subject_.assign(line_, static_cast<std::size_t>(from), static_cast<std::size_t>(length));
    // The search goes on inside a name after each step: \< must still see the character before,
    // or \<[a-z] would take every letter after a replaced one for the start of a word.
    const char* begin = line_.data();
    const bool wordBefore =
        from > 0 && chars::isWordChar(chars::decode(chars::previous(begin, begin + from), begin + line_.size()).cp);
    return re_.exec(subject_, wordBefore);
}

bool CVNSearchEngine::FindNext(CVNTextPos& start, CVNTextPos& end, std::string& error) {
    error.clear();
    const CVNTextPos from = pos_;
    for (int line = from.line; line < end_.line; ++line) {
        if (line != pos_.line) SetPosition(line, 0);
        int col = line == from.line ? from.column : 0;
        while (col <= static_cast<int>(line_.size())) {
            if (!execLine(col, static_cast<int>(line_.size()) - col)) {
                if (re_.hasError()) {
                    error = re_.errorText();
                    return false;
                }
                break;
            }
            const int s = col + re_.groupStart(0);
            const int n = re_.groupLength(0);
            // An anchored pattern matches a name once: not inside it, and not again at its start
            // after a replacement that left the name matching (^IMG_ replaced by nothing).
            if (re_.isAnchored() && (s > 0 || lastStepEnd_.line == line)) break;
            if (n == 0 && CVNTextPos{line, s} == lastStepEnd_) {
                if (s >= static_cast<int>(line_.size())) break;
                col = static_cast<int>(chars::next(line_.data() + s, line_.data() + line_.size()) - line_.data());
                continue;
            }
            start = {line, s};
            end = {line, s + n};
            SetPosition(start);
            lastStepEnd_ = end;
            return true;
        }
    }
    SetPosition(end_);
    return false;
}

bool CVNSearchEngine::matchInSelection(CVNTextPos& s, CVNTextPos& e, int& matchAt, int& matchLength,
                                       std::string& error) {
    GetSelection(s, e);
    // Without a selected row there is nothing to work on: a match in the empty selection at the
    // focused row would turn the whole name into the replacement alone.
    if (s == e || !hasSelectionOrFocus()) return false;
    if (re_.isAnchored() && s.column > 0) return false;
    CVNTextPos cur = pos_;
    // The end of the name itself is a place to match too: an empty match found there must be
    // replaced there, not at the start of the name again.
    if (cur < s || cur > e) {
        SetPosition(s);
        cur = s;
    }
    if (!execLine(cur.column, e.column - cur.column)) {
        error = re_.errorText(); // empty for a plain mismatch
        return false;
    }
    matchAt = re_.groupStart(0) + (cur.column - s.column);
    matchLength = re_.groupLength(0);
    return true;
}

bool CVNSearchEngine::CompileReplacement(const std::string& replacement, std::string& error) {
    error.clear();
    switch (kind_) {
    case PATTERN_LITERAL:
    case PATTERN_REGEXP: replacement_ = replacement; return true;
    case PATTERN_WILDCARD: replacement_ = wildcardReplacementToRegExp(replacement); return true;
    default: return false;
    }
}

bool CVNSearchEngine::ReplaceSelection(const std::string& replacement, CVNTextPos& start,
                                       CVNTextPos& end, std::string& newText, std::string& error) {
    return CompileReplacement(replacement, error) && ReplaceSelection(start, end, newText, error);
}

bool CVNSearchEngine::ReplaceSelection(CVNTextPos& start, CVNTextPos& end, std::string& newText,
                                       std::string& error) {
    error.clear();
    const std::string& repl = replacement_;
    CVNTextPos s, e;
    int m = 0, n = 0;
    if (!matchInSelection(s, e, m, n, error)) return false;
    std::string result;
    if (!re_.substitute(repl, result)) {
        error = re_.errorText();
        return false;
    }
    const std::string sel = line_.substr(static_cast<std::size_t>(s.column),
                                         static_cast<std::size_t>(e.column - s.column));
    newText = sel.substr(0, static_cast<std::size_t>(m)) + result + sel.substr(static_cast<std::size_t>(m + n));
    start = {s.line, s.column + m};
    end = {s.line, s.column + m + static_cast<int>(result.size())};
    lastStepEnd_ = end;
    return true;
}

bool CVNSearchEngine::MatchSelection(CVNTextPos& start, CVNTextPos& end, std::string& error) {
    error.clear();
    CVNTextPos s, e;
    int m = 0, n = 0;
    if (!matchInSelection(s, e, m, n, error)) return false;
    start = {s.line, s.column + m};
    end = {s.line, s.column + m + n};
    lastStepEnd_ = end;
    return true;
}
