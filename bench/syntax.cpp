#include "bench/syntax.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isAlnum(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Copies a set from its '[' and returns the position after its ']' (or the end).
std::size_t translateSet(std::string_view p, std::size_t i, std::string& out) {
    out += '[';
    ++i;
    if (i < p.size() && p[i] == '^') out += '^', ++i;
    // A leading ']' or '-' is a member for us.
    if (i < p.size() && (p[i] == ']' || p[i] == '-')) out += '\\', out += p[i++];
    for (; i < p.size() && p[i] != ']'; ++i) {
        char c = p[i];
        // Inside our sets a backslash is just a member; '[' must not start a class name there.
        if (c == '\\' || c == '[' || c == '^') out += '\\';
        out += c;
    }
    out += ']';
    return i + 1;
}

} // namespace

std::string toPerlSyntax(std::string_view p) {
    std::string out;
    std::size_t i = 0;
    while (i < p.size()) {
        char c = p[i];
        if (c == '[') {
            i = translateSet(p, i, out);
        } else if (c == '\\' && i + 1 < p.size()) {
            char e = p[i + 1];
            if (e == '<' || e == '>')
                out += "\\b";
            else if (isAlnum(e) || static_cast<unsigned char>(e) >= 0x80 || e == ' ')
                out += e;
            else
                out += '\\', out += e;
            i += 2;
        } else if (c == '{' && i + 1 < p.size() && isDigit(p[i + 1])) {
            // A repeat count: same syntax everywhere.
            while (i < p.size() && p[i] != '}')
                out += p[i++];
            if (i < p.size()) out += p[i++];
        } else if (c == '{' || c == '}') {
            out += '\\', out += c, ++i;
        } else {
            out += c, ++i;
        }
    }
    return out;
}
