#include "res/LoadString.h"

#include <algorithm>

#include "res/StringTable.h"

namespace {

const orvane::res::StringEntry* find(unsigned id) {
    using orvane::res::kStringTable;
    const auto* end = kStringTable + orvane::res::kStringTableSize;
    const auto* it = std::lower_bound(kStringTable, end, id,
                                      [](const auto& e, unsigned key) { return e.id < key; });
    return it != end && it->id == id ? it : nullptr;
}

} // namespace

std::string LoadString(unsigned id) {
    const auto* e = find(id);
    return e ? std::string(e->text, e->length) : std::string();
}

bool HasString(unsigned id) { return find(id) != nullptr; }
