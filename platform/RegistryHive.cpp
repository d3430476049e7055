#include "platform/RegistryHive.h"

#include <utility>

#include "platform/chars.h"

namespace {

thread_local std::uint64_t nameComparisons = 0;

const char kHeader[] = "Orvane registry file, format ";
const char kFormatVersion[] = "1";
// Without a last line of its own a file cut off between two lines would look complete.
const char kTrailer[] = "End of Orvane registry file";

const char kHexDigits[] = "0123456789abcdef";

void appendHexByte(std::string& out, unsigned char b) {
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 0xF];
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Two hex digits at s[pos], or -1.
int hexByteAt(std::string_view s, std::size_t pos) {
    if (pos + 2 > s.size()) return -1;
    const int hi = hexValue(s[pos]);
    const int lo = hexValue(s[pos + 1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

bool isControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

// Calls emit(bytes, length, code point) for each character; stray bytes come with their
// chars:: stray code.
template <typename Emit> void forEachChar(std::string_view s, Emit emit) {
    const char* p = s.data();
    const char* end = p + s.size();
    while (p < end) {
        const chars::Char c = chars::decode(p, end);
        emit(p, c.len, c.cp);
        p += c.len;
    }
}

std::string escapeKeyName(std::string_view name) {
    std::string out;
    forEachChar(name, [&](const char* p, unsigned len, char32_t cp) {
        if (chars::isStray(cp) || isControl(cp) || cp == '%') {
            out += '%';
            appendHexByte(out, static_cast<unsigned char>(*p));
        } else {
            out.append(p, len);
        }
    });
    return out;
}

std::string quote(std::string_view s) {
    std::string out = "\"";
    forEachChar(s, [&](const char* p, unsigned len, char32_t cp) {
        switch (cp) {
        case '\\':
            out += "\\\\";
            return;
        case '"':
            out += "\\\"";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            break;
        }
        if (chars::isStray(cp) || isControl(cp)) {
            out += "\\x";
            appendHexByte(out, static_cast<unsigned char>(*p));
        } else {
            out.append(p, len);
        }
    });
    out += '"';
    return out;
}

void formatValues(const RegKey& key, std::string& out) {
    for (std::size_t i = 0; i < key.valueCount(); ++i) {
        out += quote(key.valueName(i));
        out += '=';
        const RegValue& v = key.value(i);
        if (const auto* d = v.asDword()) {
            out += "dword:";
            for (int shift = 28; shift >= 0; shift -= 4)
                out += kHexDigits[(*d >> shift) & 0xF];
        } else if (const auto* t = v.asText()) {
            out += quote(*t);
        } else if (const auto* b = v.asBinary()) {
            out += "hex:";
            for (std::size_t j = 0; j < b->size(); ++j) {
                if (j) out += ',';
                appendHexByte(out, (*b)[j]);
            }
        }
        out += '\n';
    }
}

void formatKeys(const RegKey& key, const std::string& path, std::string& out) {
    for (std::size_t i = 0; i < key.keyCount(); ++i) {
        const std::string sub = path.empty() ? escapeKeyName(key.keyName(i))
                                             : path + '\\' + escapeKeyName(key.keyName(i));
        // A key with nothing but subkeys comes into being with its first subkey's line, at the
        // same place in the order, so it needs no line of its own.
        const RegKey& k = key.key(i);
        if (k.valueCount() > 0 || k.keyCount() == 0) out += "\n[" + sub + "]\n";
        formatValues(k, out);
        formatKeys(key.key(i), sub, out);
    }
}

// --- parsing -------------------------------------------------------------------------------

struct Parser {
    std::string problem;

    bool fail(std::string why) {
        problem = std::move(why);
        return false;
    }

    // The quoted string starting at line[pos] == '"'; pos ends after the closing quote.
    std::optional<std::string> quoted(std::string_view line, std::size_t& pos) {
        std::string out;
        ++pos;
        while (pos < line.size()) {
            const char c = line[pos++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos >= line.size()) break;
            const char e = line[pos++];
            switch (e) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                const int b = hexByteAt(line, pos);
                if (b < 0) {
                    fail("\\x without two hex digits");
                    return std::nullopt;
                }
                out += static_cast<char>(b);
                pos += 2;
                break;
            }
            default:
                fail(std::string("unknown escape \\") + e);
                return std::nullopt;
            }
        }
        fail("missing closing quote");
        return std::nullopt;
    }

    std::optional<RegValue> data(std::string_view s) {
        if (s.starts_with("dword:")) {
            s.remove_prefix(6);
            if (s.empty() || s.size() > 8) {
                fail("dword needs 1 to 8 hex digits");
                return std::nullopt;
            }
            std::uint32_t v = 0;
            for (char c : s) {
                const int h = hexValue(c);
                if (h < 0) {
                    fail("dword needs hex digits");
                    return std::nullopt;
                }
                v = (v << 4) | static_cast<std::uint32_t>(h);
            }
            return RegValue::dword(v);
        }
        if (s.starts_with("hex:")) {
            s.remove_prefix(4);
            std::vector<std::uint8_t> bytes;
            for (std::size_t pos = 0; pos < s.size(); pos += 3) {
                const int b = hexByteAt(s, pos);
                const bool last = pos + 2 == s.size();
                if (b < 0 || !(last || s[pos + 2] == ',') || (!last && pos + 3 == s.size())) {
                    fail("hex needs two-digit bytes separated by commas");
                    return std::nullopt;
                }
                bytes.push_back(static_cast<std::uint8_t>(b));
            }
            return RegValue::binary(std::move(bytes));
        }
        if (s.starts_with('"')) {
            std::size_t pos = 0;
            auto text = quoted(s, pos);
            if (!text) return std::nullopt;
            if (pos != s.size()) {
                fail("text after the closing quote");
                return std::nullopt;
            }
            return RegValue::text(std::move(*text));
        }
        fail("unknown value type");
        return std::nullopt;
    }

    bool keyLine(std::string_view line, RegKey& root, RegKey*& current) {
        if (line.size() < 3 || line.back() != ']') return fail("key line must be [path]");
        RegKey* key = &root;
        const std::vector<std::string> parts = SplitKeyPath(line.substr(1, line.size() - 2));
        if (parts.size() > kMaxKeyDepth) return fail("key path too deep");
        for (const std::string& part : parts) {
            std::string name;
            for (std::size_t i = 0; i < part.size(); ++i) {
                if (part[i] != '%') {
                    name += part[i];
                    continue;
                }
                const int b = hexByteAt(part, i + 1);
                if (b < 0) return fail("% without two hex digits");
                name += static_cast<char>(b);
                i += 2;
            }
            if (!IsValidKeyName(name)) return fail("empty key name or escaped backslash");
            key = &key->createKey(name);
        }
        current = key;
        return true;
    }

    bool valueLine(std::string_view line, RegKey& current) {
        std::size_t pos = 0;
        auto name = quoted(line, pos);
        if (!name) return false;
        if (pos >= line.size() || line[pos] != '=') return fail("missing = after the name");
        auto value = data(line.substr(pos + 1));
        if (!value) return false;
        current.setValue(*name, std::move(*value));
        return true;
    }

    bool line(std::string_view line, RegKey& root, RegKey*& current) {
        bool utf8 = true;
        forEachChar(line, [&](const char*, unsigned, char32_t cp) {
            if (chars::isStray(cp) || isControl(cp)) utf8 = false;
        });
        if (!utf8) return fail("control character or byte that is not UTF-8");
        if (line.empty() || line[0] == ';') return true;
        if (line[0] == '[') return keyLine(line, root, current);
        if (line[0] == '"') return valueLine(line, *current);
        return fail("line is neither [key], \"value\"=, comment nor empty");
    }
};

} // namespace

std::uint32_t RegValue::type() const {
    switch (data_.index()) {
    case 0:
        return REG_DWORD;
    case 1:
        return REG_SZ;
    default:
        return REG_BINARY;
    }
}

bool IsValidKeyName(std::string_view name) {
    return !name.empty() && name.find('\\') == std::string_view::npos;
}

bool SameRegName(std::string_view a, std::string_view b) {
    return a == b || FoldRegName(a) == FoldRegName(b);
}

std::u32string FoldRegName(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    const char* p = s.data();
    const char* end = p + s.size();
    while (p < end) {
        const chars::Char c = chars::decode(p, end);
        out.push_back(chars::fold(c.cp));
        p += c.len;
    }
    return out;
}

std::uint64_t RegNameComparisons() {
    return nameComparisons;
}

bool regdetail::CountingEqual::operator()(const std::u32string& a, const std::u32string& b) const {
    ++nameComparisons;
    return a == b;
}

RegKey::RegKey(const RegKey& other)
    : keys_(other.keys_.copyWith(
          [](const std::unique_ptr<RegKey>& k) { return std::make_unique<RegKey>(*k); })),
      values_(other.values_) {}

RegKey& RegKey::operator=(const RegKey& other) {
    if (this != &other) *this = RegKey(other);
    return *this;
}

RegKey::~RegKey() = default;

RegKey* RegKey::findKey(std::string_view name) {
    std::unique_ptr<RegKey>* k = keys_.find(name);
    return k ? k->get() : nullptr;
}

const RegKey* RegKey::findKey(std::string_view name) const {
    const std::unique_ptr<RegKey>* k = keys_.find(name);
    return k ? k->get() : nullptr;
}

RegKey& RegKey::createKey(std::string_view name) {
    return **keys_.findOrAppend(name, [] { return std::make_unique<RegKey>(); }).first;
}

bool RegKey::removeKey(std::string_view name) {
    return keys_.remove(name);
}

RegKey* RegKey::findPath(const std::vector<std::string>& names) {
    return const_cast<RegKey*>(std::as_const(*this).findPath(names));
}

const RegKey* RegKey::findPath(const std::vector<std::string>& names) const {
    const RegKey* key = this;
    for (const std::string& n : names)
        if (!(key = key->findKey(n))) return nullptr;
    return key;
}

const RegValue* RegKey::findValue(std::string_view name) const {
    return values_.find(name);
}

void RegKey::setValue(std::string_view name, RegValue value) {
    auto [stored, added] = values_.findOrAppend(name, [&] { return std::move(value); });
    if (!added) *stored = std::move(value);
}

bool RegKey::removeValue(std::string_view name) {
    return values_.remove(name);
}

bool operator==(const RegKey& a, const RegKey& b) {
    if (a.keys_.size() != b.keys_.size() || a.values_.size() != b.values_.size()) return false;
    for (std::size_t i = 0; i < a.values_.size(); ++i)
        if (a.values_.name(i) != b.values_.name(i) || !(a.values_.item(i) == b.values_.item(i)))
            return false;
    for (std::size_t i = 0; i < a.keys_.size(); ++i)
        if (a.keys_.name(i) != b.keys_.name(i) || !(*a.keys_.item(i) == *b.keys_.item(i)))
            return false;
    return true;
}

std::vector<std::string> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    if (path.empty()) return parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = path.find('\\', start);
        parts.emplace_back(path.substr(start, sep - start));
        if (sep == std::string_view::npos) break;
        start = sep + 1;
    }
    return parts;
}

std::string FormatHive(const RegKey& root) {
    std::string out = std::string(kHeader) + kFormatVersion + "\n";
    formatValues(root, out);
    formatKeys(root, std::string(), out);
    out += "\n";
    out += kTrailer;
    out += '\n';
    return out;
}

std::optional<RegKey> ParseHive(std::string_view text, std::string* problem) {
    // Editors on some systems put a byte-order mark in front of UTF-8.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

    Parser parser;
    RegKey root;
    RegKey* current = &root;
    std::size_t lineNo = 0;
    std::size_t start = 0;
    bool ok = true;
    bool ended = false;
    while (ok && start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (lineNo == 1) {
            if (line == std::string(kHeader) + kFormatVersion) continue;
            ok = parser.fail(line.starts_with(kHeader) ? "unknown format version"
                                                       : "missing header line");
        } else if (ended) {
            if (!line.empty()) ok = parser.fail("text after the last line");
        } else if (line == kTrailer) {
            ended = true;
        } else {
            ok = parser.line(line, root, current);
        }
    }
    if (ok && !ended) ok = parser.fail(lineNo == 0 ? "empty file" : "cut off: no last line");
    if (ok) return root;
    if (problem) *problem = "line " + std::to_string(lineNo) + ": " + parser.problem;
    return std::nullopt;
}
