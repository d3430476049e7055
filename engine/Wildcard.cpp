#include "engine/Wildcard.h"

#include <cstring>

const char kEngineSpecials[] = "^$.[()|?+*\\{";

namespace {

bool isEngineSpecial(char c) { return c != '\0' && std::strchr(kEngineSpecials, c) != nullptr; }

std::string translate(std::string_view w) {
    std::string r = "^";
    for (char c : w) {
        if (c == '*')
            r += "(.*)";
        else if (c == '?')
            r += '.';
        else if (isEngineSpecial(c))
            r += '\\', r += c;
        else
            r += c;
    }
    return r + '$';
}

} // namespace

std::string escapeLiteral(std::string_view text) {
    std::string r;
    r.reserve(text.size() * 2);
    for (char c : text) {
        if (isEngineSpecial(c)) r += '\\';
        r += c;
    }
    return r;
}

std::string wildcardToRegExp(std::string_view w, bool bareName) {
    if (bareName && w.size() >= 2 && w.substr(w.size() - 2) == ".*")
        return translate(w) + '|' + translate(w.substr(0, w.size() - 2));
    return translate(w);
}

std::string wildcardReplacementToRegExp(std::string_view replacement) {
    std::string r;
    int stars = 0;
    for (char c : replacement) {
        if (c != '*') {
            r += c;
        } else if (++stars <= 9) {
            r += '\\';
            r += static_cast<char>('0' + stars);
        }
    }
    return r;
}
