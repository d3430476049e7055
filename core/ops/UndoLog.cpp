#include "core/ops/UndoLog.h"

#include <charconv>
#include <cstdio>

namespace {

std::string escape(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        if (c == '|' || c == '\\') r += '\\';
        r += c;
    }
    return r;
}

// Splits at unescaped '|' into at most max fields (the last one takes the rest, escapes kept
// for unescape()).
std::vector<std::string> split(const std::string& s, std::size_t max) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            fields.back() += s[i];
            fields.back() += s[++i];
        } else if (s[i] == '|' && fields.size() < max) {
            fields.emplace_back();
        } else {
            fields.back() += s[i];
        }
    }
    return fields;
}

std::string unescape(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) ++i;
        r += s[i];
    }
    return r;
}

template <typename T> bool number(const std::string& s, T& out) {
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && p == end && !s.empty();
}

} // namespace

std::string FormatUndoRecord(const UndoRecord& r) {
    std::string s = std::to_string(r.kind) + '|' + std::to_string(r.key) + '|' + std::to_string(r.preview) +
                    '|' + escape(r.folder) + '|' + escape(r.name) + '|';
    if (r.kind == UNDO_RENAME) s += escape(r.oldName);
    else if (r.kind == UNDO_TIMES) s += r.created + '|' + r.modified + '|' + r.accessed;
    else s += escape(r.attributes);
    return s;
}

bool ParseUndoRecord(const std::string& text, UndoRecord& r) {
    std::vector<std::string> f = split(text, 6);
    UndoRecord out;
    if (f.size() != 6 || !number(f[0], out.kind) || !number(f[1], out.key) || !number(f[2], out.preview))
        return false;
    out.folder = unescape(f[3]);
    out.name = unescape(f[4]);
    if (out.kind == UNDO_TIMES) {
        std::vector<std::string> t = split(f[5], 3);
        if (t.size() != 3) return false;
        out.created = t[0];
        out.modified = t[1];
        out.accessed = t[2];
    } else if (out.kind == UNDO_RENAME) {
        out.oldName = unescape(f[5]);
    } else {
        out.attributes = unescape(f[5]);
    }
    r = out;
    return true;
}

void UndoLog::beginGroup(int mode) { groups_.push_front({mode, {}}); }

void UndoLog::log(const UndoRecord& r) {
    if (!groups_.empty()) groups_.front().records.push_back(FormatUndoRecord(r));
}

bool UndoLog::take(UndoRecord& r) {
    while (!groups_.empty() && !groups_.front().records.empty()) {
        const std::string text = std::move(groups_.front().records.back());
        groups_.front().records.pop_back();
        if (ParseUndoRecord(text, r)) return true;
    }
    return false;
}

int UndoLog::popGroup() {
    if (groups_.empty()) return -1;
    const int mode = groups_.front().mode;
    groups_.pop_front();
    return mode;
}

bool UndoLog::peekMode(int& mode) const {
    if (groups_.empty()) return false;
    mode = groups_.front().mode;
    return true;
}
