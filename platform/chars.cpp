#include "platform/chars.h"

#include <unicode/uchar.h>

namespace chars {

Char decodeMultiByte(const unsigned char* p, const unsigned char* end) {
    const unsigned char b = p[0];
    const Char stray{kStrayBase + b, 1};
    unsigned len;
    char32_t cp;
    char32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return stray;
    }
    if (end - p < static_cast<long>(len)) return stray;
    for (unsigned i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) return stray;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and code points above U+10FFFF are not valid UTF-8.
    if (cp < min || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return stray;
    return {cp, len};
}

const char* previousMultiByte(const char* begin, const char* p) {
    // A valid sequence ending at p starts with a lead byte, which no other valid sequence can
    // cover, so finding one proves a character boundary there; otherwise the byte before p is
    // a stray character of its own.
    for (unsigned len = 2; len <= 4 && p - begin >= static_cast<long>(len); ++len) {
        const char* s = p - len;
        auto b = static_cast<unsigned char>(*s);
        if ((b & 0xC0) == 0x80) continue;
        if (b < 0x80) break;
        if (decode(s, p).len == len) return s;
        break;
    }
    return p - 1;
}

std::size_t count(const char* p, const char* end) {
    std::size_t n = 0;
    while (p < end) {
        p += decode(p, end).len;
        ++n;
    }
    return n;
}

char32_t foldNonAscii(char32_t c) {
    if (isStray(c)) return c;
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

char32_t upperNonAscii(char32_t c) {
    if (isStray(c)) return c;
    return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
}

char32_t lowerNonAscii(char32_t c) {
    if (isStray(c)) return c;
    return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
}

bool isWordNonAscii(char32_t c) {
    if (isStray(c)) return false;
    return u_isalnum(static_cast<UChar32>(c));
}

unsigned encode(char32_t c, char* out) {
    auto* o = reinterpret_cast<unsigned char*>(out);
    if (c < 0x80) {
        o[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (isStray(c)) {
        o[0] = static_cast<unsigned char>(c - kStrayBase);
        return 1;
    }
    if (c < 0x800) {
        o[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
        o[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        o[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
        o[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        o[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 3;
    }
    o[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
    o[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
    o[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    o[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return 4;
}

} // namespace chars
