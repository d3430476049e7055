#pragma once

// File names to match against, made up in memory so that every run and every machine sees the
// same bytes: names as cameras, music rippers, office users and other systems leave them, most
// of them UTF-8, some with umlauts, CJK or near the 255-byte limit, a few with stray bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint64_t kCorpusSeed = 0x0f1a2b3c4d5e6f70;

// count names drawn from a fixed mix of kinds; the same seed gives the same names.
std::vector<std::string> makeCorpus(std::size_t count, std::uint64_t seed = kCorpusSeed);

// Names built to make a backtracking matcher work hard, none longer than 255 bytes.
struct Adversary {
    std::string label; // how the name is built, for the report
    std::string name;
};
std::vector<Adversary> adversarialNames();

// How a name is encoded, for sorting disagreements between engines by their likely cause.
enum class NameKind { Ascii, Utf8, Stray };
NameKind classifyName(const std::string& name);

// The name with stray bytes and control characters written as \xNN, for printing.
std::string printableName(const std::string& name);
