#pragma once

// The generated table behind LoadString; sorted by id.
namespace orvane::res {

struct StringEntry {
    unsigned id;
    const char* text;
    unsigned length;
};

extern const StringEntry kStringTable[];
extern const unsigned kStringTableSize;

} // namespace orvane::res
