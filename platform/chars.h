#pragma once

// Characters of file names and patterns. Names are UTF-8 bytes: a valid UTF-8 sequence is one
// character; a byte that is not part of a valid sequence is a "stray" character of its own,
// equal only to itself, without case and not a word character.

#include <cstddef>

namespace chars {

// A stray byte b is represented as kStrayBase + b, outside the Unicode range, so it can never
// compare equal to a real code point.
constexpr char32_t kStrayBase = 0x110000;

constexpr bool isStray(char32_t c) { return c >= kStrayBase; }

struct Char {
    char32_t cp;  // code point, or kStrayBase + byte
    unsigned len; // bytes taken, 1 to 4
};

Char decodeMultiByte(const unsigned char* p, const unsigned char* end);

// The character that starts at p; p must be before end. Never reads at or past end.
inline Char decode(const char* p, const char* end) {
    auto b = static_cast<unsigned char>(*p);
    if (b < 0x80) return {b, 1};
    return decodeMultiByte(reinterpret_cast<const unsigned char*>(p),
                           reinterpret_cast<const unsigned char*>(end));
}

const char* previousMultiByte(const char* begin, const char* p);

// Start of the character that ends at p (begin < p). Both must be character boundaries.
inline const char* previous(const char* begin, const char* p) {
    if (static_cast<unsigned char>(p[-1]) < 0x80) return p - 1;
    return previousMultiByte(begin, p);
}

// Start of the character after the one at p (p < end).
inline const char* next(const char* p, const char* end) { return p + decode(p, end).len; }

// Number of characters in [p, end).
std::size_t count(const char* p, const char* end);

char32_t foldNonAscii(char32_t c);
char32_t upperNonAscii(char32_t c);
char32_t lowerNonAscii(char32_t c);
bool isWordNonAscii(char32_t c);

// Unicode simple case folding; the key of every case-insensitive comparison.
inline char32_t fold(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return foldNonAscii(c);
}
inline char32_t toUpper(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    return upperNonAscii(c);
}
inline char32_t toLower(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return lowerNonAscii(c);
}

// Alphanumeric (Unicode) or '_'.
inline bool isWordChar(char32_t c) {
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               c == '_';
    return isWordNonAscii(c);
}

inline bool equal(char32_t a, char32_t b, bool caseSensitive) {
    return a == b || (!caseSensitive && fold(a) == fold(b));
}

// Writes the UTF-8 form of c (or the stray byte) to out, which has room for 4 bytes.
unsigned encode(char32_t c, char* out);

// Byte length of the UTF-8 form of c.
inline unsigned encodedLength(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : isStray(c) ? 1 : 4;
}

} // namespace chars
