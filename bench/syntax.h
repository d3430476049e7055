#pragma once

// Our patterns are POSIX-like; the engines we compare against read Perl/ECMAScript syntax.

#include <string>
#include <string_view>

// The same pattern for PCRE2, RE2 and std::regex (ECMAScript): \< and \> become \b, an escaped
// letter or digit (always a plain literal for us) loses its backslash, and a brace that is not a
// repeat count as well as set members that are operators there get a backslash.
//
// \b is exact for \< and for a \> that follows a word character, as in \<the\>. Elsewhere our
// \> only asks that no word character follows, which RE2 cannot say (it has no look-ahead), so
// all three get the same \b and the user patterns keep to the exact cases.
std::string toPerlSyntax(std::string_view ours);
