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

namespace {

void appendEscaped(std::string& out, std::string_view s) {
    // Most names are printable ASCII without a backslash: they stand as they are.
    if (std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\\'; })) {
        out.append(s);
        return;
    }
    const char* p = s.data();
    const char* end = p + s.size();
    while (p < end) {
        const chars::Char c = chars::decode(p, end);
        if (chars::isStray(c.cp) || c.cp < 0x20 || c.cp == 0x7F || c.cp == '\\') {
            const auto b = static_cast<unsigned char>(*p);
            out.push_back('\\');
            if (b == '\\' || b == '\t' || b == '\n') {
                out.push_back(b == '\t' ? 't' : b == '\n' ? 'n' : '\\');
            } else {
                out.push_back('x');
                out.push_back(kHex[b >> 4]);
                out.push_back(kHex[b & 15]);
            }
        } else {
            out.append(p, c.len);
        }
        p += c.len;
    }
}

} // namespace

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
    LineWriter w(out);
    for (const std::string& field : f) w.text(field);
    w.end();
    return out;
}

LineWriter& LineWriter::text(std::string_view field) {
    separate();
    appendEscaped(out_, field);
    return *this;
}

void LineWriter::separate() {
    if (!first_) out_ += '\t';
    first_ = false;
}

void LineWriter::end() {
    out_ += '\n';
    first_ = true;
}

void writeIdentity(LineWriter& w, const FileIdentity& id) {
    w.num(int(id.known)).num(id.device).num(id.inode).num(id.birth).num(int(id.stableInode)).num(id.size).num(id.modified);
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

void writeRecord(LineWriter& w, const UndoRecord& r) {
    w.num(r.kind).text(r.name);
    writeIdentity(w, r.identity);
    switch (r.kind) {
    case UNDO_RENAME: w.text(r.oldName); break;
    case UNDO_TIMES:
        for (int i = 0; i < 3; ++i) w.num(int(r.timeChanged[i])).num(r.rowTimes[i].ticks());
        w.num(r.diskTimes.creation.ticks());
        w.num(r.diskTimes.lastAccess.tv_sec).num(r.diskTimes.lastAccess.tv_nsec);
        w.num(r.diskTimes.lastWrite.tv_sec).num(r.diskTimes.lastWrite.tv_nsec);
        break;
    default:
        w.text(r.attributeText).num(r.diskAttributes.mode).num(r.diskAttributes.stored.bits);
        w.num(int(r.diskAttributes.stored.native));
        break;
    }
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
