#include "core/journal/JournalFormat.h"

#include <algorithm>
#include <charconv>

#include "platform/chars.h"

namespace journal {

namespace {

constexpr char kHex[] = "0123456789abcdef";

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

template <typename T> std::string number(T v) { return std::to_string(v); }

template <typename T> bool parse(const std::string& s, T& out) {
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && p == end && !s.empty();
}

// Reads fields in order; any failure sticks.
class Reader {
public:
    Reader(const std::vector<std::string>& f, std::size_t at) : f_(f), at_(at) {}
    const std::string& text() {
        static const std::string none;
        if (at_ >= f_.size()) {
            ok_ = false;
            return none;
        }
        return f_[at_++];
    }
    template <typename T> T num() {
        T v{};
        if (!parse(text(), v)) ok_ = false;
        return v;
    }
    bool ok() const { return ok_; }

private:
    const std::vector<std::string>& f_;
    std::size_t at_;
    bool ok_ = true;
};

} // namespace

std::string escape(std::string_view s) {
    // Most names are printable ASCII without a backslash: they stand as they are.
    if (std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\\'; }))
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    const char* p = s.data();
    const char* end = p + s.size();
    while (p < end) {
        const chars::Char c = chars::decode(p, end);
        if (chars::isStray(c.cp) || c.cp < 0x20 || c.cp == 0x7F || c.cp == '\\') {
            const auto b = static_cast<unsigned char>(*p);
            if (b == '\\') out += "\\\\";
            else if (b == '\t') out += "\\t";
            else if (b == '\n') out += "\\n";
            else out += {'\\', 'x', kHex[b >> 4], kHex[b & 15]};
        } else {
            out.append(p, c.len);
        }
        p += c.len;
    }
    return out;
}

std::optional<std::string> unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i >= s.size()) return std::nullopt;
        switch (s[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'x': {
            if (i + 2 >= s.size()) return std::nullopt;
            const int hi = hexValue(s[i + 1]), lo = hexValue(s[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}

std::optional<std::vector<std::string>> fields(std::string_view l) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = l.find('\t', start);
        auto f = unescape(l.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (!f) return std::nullopt;
        out.push_back(std::move(*f));
        if (tab == std::string_view::npos) return out;
        start = tab + 1;
    }
}

std::string line(const std::vector<std::string>& f) {
    std::string out;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (i) out += '\t';
        out += escape(f[i]);
    }
    return out + '\n';
}

std::vector<std::string> identityFields(const FileIdentity& id) {
    return {number(int(id.known)), number(id.device), number(id.inode),   number(id.birth),
            number(int(id.stableInode)), number(id.size), number(id.modified)};
}

namespace {

FileIdentity readIdentity(Reader& in) {
    FileIdentity id;
    id.known = in.num<int>();
    id.device = in.num<std::uint64_t>();
    id.inode = in.num<std::uint64_t>();
    id.birth = in.num<std::uint64_t>();
    id.stableInode = in.num<int>();
    id.size = in.num<std::uint64_t>();
    id.modified = in.num<std::uint64_t>();
    return id;
}

} // namespace

std::optional<FileIdentity> identityFrom(const std::vector<std::string>& fields, std::size_t first) {
    Reader in(fields, first);
    FileIdentity id = readIdentity(in);
    if (!in.ok()) return std::nullopt;
    return id;
}

std::vector<std::string> recordFields(const UndoRecord& r) {
    std::vector<std::string> f = {number(r.kind), r.name};
    for (std::string& field : identityFields(r.identity)) f.push_back(std::move(field));
    switch (r.kind) {
    case UNDO_RENAME: f.push_back(r.oldName); break;
    case UNDO_TIMES:
        for (int i = 0; i < 3; ++i) {
            f.push_back(number(int(r.timeChanged[i])));
            f.push_back(number(r.rowTimes[i].ticks()));
        }
        f.push_back(number(r.diskTimes.creation.ticks()));
        f.push_back(number(r.diskTimes.lastAccess.tv_sec));
        f.push_back(number(r.diskTimes.lastAccess.tv_nsec));
        f.push_back(number(r.diskTimes.lastWrite.tv_sec));
        f.push_back(number(r.diskTimes.lastWrite.tv_nsec));
        break;
    default:
        f.push_back(r.attributeText);
        f.push_back(number(r.diskAttributes.mode));
        f.push_back(number(r.diskAttributes.stored.bits));
        f.push_back(number(int(r.diskAttributes.stored.native)));
        break;
    }
    return f;
}

std::optional<UndoRecord> recordFrom(const std::vector<std::string>& fields, std::size_t first) {
    Reader in(fields, first);
    UndoRecord r;
    r.kind = in.num<int>();
    r.name = in.text();
    r.identity = readIdentity(in);
    switch (r.kind) {
    case UNDO_RENAME: r.oldName = in.text(); break;
    case UNDO_TIMES:
        for (int i = 0; i < 3; ++i) {
            r.timeChanged[i] = in.num<int>();
            r.rowTimes[i] = FILETIME::fromTicks(in.num<std::uint64_t>());
        }
        r.diskTimes.creation = FILETIME::fromTicks(in.num<std::uint64_t>());
        r.diskTimes.lastAccess.tv_sec = in.num<time_t>();
        r.diskTimes.lastAccess.tv_nsec = in.num<long>();
        r.diskTimes.lastWrite.tv_sec = in.num<time_t>();
        r.diskTimes.lastWrite.tv_nsec = in.num<long>();
        break;
    case UNDO_ATTRIBUTES:
        r.attributeText = in.text();
        r.diskAttributes.mode = in.num<mode_t>();
        r.diskAttributes.stored.bits = in.num<std::uint32_t>();
        r.diskAttributes.stored.native = in.num<int>();
        break;
    default: return std::nullopt;
    }
    if (!in.ok() || r.name.empty()) return std::nullopt;
    return r;
}

} // namespace journal
