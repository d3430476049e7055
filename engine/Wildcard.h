#pragma once

// Translations of the two other pattern kinds into the regular-expression engine's forms.

#include <string>
#include <string_view>

// Characters the engine would read as operators: ^ $ . [ ( ) | ? + * \ {
extern const char kEngineSpecials[];

// A regular expression that matches text literally (pattern kind 0).
std::string escapeLiteral(std::string_view text);

// A regular expression for a wildcard pattern (kind 1): anchored at both ends, every '*' a
// numbered group, '?' one character; with bareName a trailing ".*" also matches names without
// extension, as a search pattern does (the folder scan's own check does without).
std::string wildcardToRegExp(std::string_view wildcard, bool bareName = true);

// A replacement pattern for a wildcard replacement: the n-th '*' takes what the n-th '*' of the
// search pattern matched (up to nine); everything else keeps its replacement meaning.
std::string wildcardReplacementToRegExp(std::string_view replacement);
