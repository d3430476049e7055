#include "core/settings/PatternEditorRules.h"

#include <QString>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/settings/CROZariduPattern.h"
#include "platform/RegistryHive.h"
#include "platform/chars.h"
#include "res/Format.h"
#include "res/LoadString.h"

namespace {

constexpr unsigned IDS_FIELD_EMPTY = 33317;
constexpr unsigned IDS_TOO_MANY_CHARS = 33318;
constexpr unsigned IDS_NAME_EXISTS = 33319;
constexpr unsigned IDS_NO_PATTERN = 33320;
constexpr unsigned IDS_BACKSLASH_IN_NAME = 33321;
constexpr unsigned IDS_NOT_A_NUMBER = 33200;
constexpr unsigned IDS_NUMBER_RANGE = 33201;

long long charCount(const std::string& s) {
    return static_cast<long long>(chars::count(s.data(), s.data() + s.size()));
}

const std::string& caretPattern(const PatternForm& form) {
    return form.caretField == 1 ? form.replacement : form.search;
}

// A whole number with optional blanks around it and an optional sign; nothing else.
bool parseWhole(const std::string& text, long long& value) {
    const QString trimmed = QString::fromStdString(text).trimmed();
    if (trimmed.isEmpty()) return false;
    const std::string s = trimmed.toStdString();
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(s.c_str(), &end, 10);
    if (end != s.c_str() + s.size()) return false;
    if (errno == ERANGE) value = value < 0 ? -1 : LLONG_MAX;
    return true;
}

std::string rangeMessage(long long low, long long high) {
    std::string text = LoadString(IDS_NUMBER_RANGE);
    text.replace(text.find("%1"), 2, std::to_string(low));
    text.replace(text.find("%2"), 2, std::to_string(high));
    return text;
}

} // namespace

std::string TrimMenuText(const std::string& text) {
    const QString q = QString::fromStdString(text);
    qsizetype i = 0;
    while (i < q.size() && q.at(i).isSpace())
        ++i;
    // Cut by characters counted in the original bytes, so that no other byte changes.
    std::size_t bytes = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    for (qsizetype n = 0; n < i && p < end; ++n) {
        // A space is one UTF-16 unit, so characters and units agree up to here.
        const char* next = chars::next(p, end);
        bytes += static_cast<std::size_t>(next - p);
        p = next;
    }
    return text.substr(bytes);
}

PatternForm FormFromPattern(const CROZariduPattern& record) {
    PatternForm form;
    form.menuText = TrimMenuText(record.m_menuText);
    form.search = record.m_searchPattern;
    form.replacement = record.m_replacePattern;
    form.statusline = record.m_statusline;
    form.caretField = record.m_caretPosType == 1 ? 1 : 0;
    form.caretNumber = std::to_string(record.m_caretPos);
    const long long length = charCount(caretPattern(form));
    if (record.m_caretPos == 0 && length > 0)
        form.caretPlace = kCaretAtStart;
    else if (record.m_caretPos > 0 && record.m_caretPos < length)
        form.caretPlace = kCaretAfterChars;
    else
        form.caretPlace = kCaretAtEnd;
    return form;
}

CROZariduPattern PatternFromForm(const PatternForm& form, int userDefined, int type) {
    CROZariduPattern record(userDefined, type, TrimMenuText(form.menuText));
    record.m_searchPattern = form.search;
    record.m_replacePattern = form.replacement;
    record.m_statusline = form.statusline;
    record.m_caretPosType = form.caretField == 1 ? 1 : 0;
    long long number = 0;
    switch (form.caretPlace) {
    case kCaretAtStart:
        record.m_caretPos = 0;
        break;
    case kCaretAfterChars:
        record.m_caretPos = parseWhole(form.caretNumber, number) ? static_cast<int>(number) : 0;
        break;
    default:
        record.m_caretPos = static_cast<int>(charCount(caretPattern(form)));
        break;
    }
    return record;
}

PatternFormProblem CheckPatternForm(const PatternForm& form, const std::vector<std::string>& names,
                                    int ownIndex) {
    const std::string name = TrimMenuText(form.menuText);
    if (name.empty()) return {PatternFormField::MenuText, LoadString(IDS_FIELD_EMPTY)};
    if (charCount(name) > kMaxMenuTextChars)
        return {PatternFormField::MenuText, FormatId(IDS_TOO_MANY_CHARS, {kMaxMenuTextChars})};
    // The name is the key of the stored pattern, and '\' would make it a path of two keys.
    if (!IsValidKeyName(name))
        return {PatternFormField::MenuText, LoadString(IDS_BACKSLASH_IN_NAME)};
    for (std::size_t i = 0; i < names.size(); ++i)
        if (static_cast<int>(i) != ownIndex && SameRegName(names[i], name))
            return {PatternFormField::MenuText, FormatId(IDS_NAME_EXISTS, {name})};
    if (charCount(form.statusline) > kMaxStatuslineChars)
        return {PatternFormField::Statusline, FormatId(IDS_TOO_MANY_CHARS, {kMaxStatuslineChars})};
    if (form.caretPlace == kCaretAfterChars) {
        long long number = 0;
        if (!parseWhole(form.caretNumber, number))
            return {PatternFormField::CaretNumber, LoadString(IDS_NOT_A_NUMBER)};
        const long long length = charCount(caretPattern(form));
        if (number < 0 || number > length)
            return {PatternFormField::CaretNumber, rangeMessage(0, length)};
    }
    if (form.search.empty() && form.replacement.empty())
        return {PatternFormField::Search, LoadString(IDS_NO_PATTERN)};
    return {};
}
