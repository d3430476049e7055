#include "core/settings/PatternInsertion.h"

#include "core/settings/CROZariduPattern.h"
#include "platform/chars.h"

namespace {

std::size_t charCount(const std::string& s) {
    return chars::count(s.data(), s.data() + s.size());
}

// The byte offset after n characters of s, or its end.
std::size_t byteAfter(const std::string& s, std::size_t n) {
    const char* p = s.data();
    const char* end = p + s.size();
    for (; n > 0 && p < end; --n)
        p = chars::next(p, end);
    return static_cast<std::size_t>(p - s.data());
}

} // namespace

PatternInsertion InsertPattern(const CROZariduPattern& pattern, int menuField, bool dateMode,
                               const std::string& search, const std::string& replacement) {
    PatternInsertion out{search, replacement,
                         pattern.m_caretPosType == 1 ? kReplaceField : kSearchField, 0};
    std::size_t s0 = charCount(search);
    std::size_t r0 = charCount(replacement);
    // A position stored as a negative number counts as the start of the pattern.
    std::size_t caretPos =
        pattern.m_caretPos > 0 ? static_cast<std::size_t>(pattern.m_caretPos) : 0;

    if (menuField == kReplaceField) {
        out.replacement += pattern.m_replacePattern;
    } else {
        if (pattern.m_replacePattern.empty()) {
            out.search += pattern.m_searchPattern;
        } else {
            out.search = pattern.m_searchPattern;
            s0 = 0;
            if (!dateMode) {
                out.replacement = pattern.m_replacePattern;
                r0 = 0;
            }
        }
        if (dateMode && out.caretField == kReplaceField) {
            out.caretField = kSearchField;
            caretPos = charCount(pattern.m_searchPattern);
        }
    }
    if (out.caretField == kSearchField)
        out.caretByte = byteAfter(out.search, s0 + caretPos);
    else
        out.caretByte = byteAfter(out.replacement, r0 + caretPos);
    return out;
}
