// What stands in a planned name's way, one kind per row, against real folder entries.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/runs/ConflictFinder.h"
#include "tests/core/RunFixture.h"

namespace {

struct Plan : PlanSource {
    std::vector<std::pair<int, std::string>> rows;
    std::size_t size() const override { return rows.size(); }
    int row(std::size_t i) const override { return rows[i].first; }
    std::string_view newName(std::size_t i) const override { return rows[i].second; }
    bool failed(std::size_t) const override { return false; }
};

} // namespace

TEST(ConflictFinder, EachRowGetsItsKindAndTheOtherRow) {
    const struct {
        const char* file;
        const char* newName;
        NameConflict kind;
        int other;
    } cases[] = {
        {"a", "same.txt", NameConflict::Duplicate, 1}, {"b", "same.txt", NameConflict::Duplicate, 0},
        {"c", "taken", NameConflict::Exists, -1},      {"d", "e", NameConflict::None, -1}, // e moves away
        {"e", "free", NameConflict::None, -1},         {"f", "a/b", NameConflict::Invalid, -1},
        {"g", " lead", NameConflict::Doubtful, -1},    {"h", "trail ", NameConflict::Doubtful, -1},
        {"i", "dot.", NameConflict::Doubtful, -1},     {"j", "j", NameConflict::None, -1},
        {"k", "j", NameConflict::Exists, -1}, // j keeps its name, so it stays in the way
    };
    ListedFolder folder;
    folder.dir.file("taken");
    Plan plan;
    std::vector<std::string> names;
    for (const auto& c : cases) {
        names.push_back(c.file);
        plan.rows.emplace_back(static_cast<int>(plan.rows.size()), c.newName);
    }
    folder.add(names);
    ConflictFinder finder(folder.model, plan);
    while (!finder.step(0)) {
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].file);
        EXPECT_EQ(finder.kind(i), cases[i].kind);
        if (cases[i].kind == NameConflict::Duplicate) {
            EXPECT_EQ(finder.other(i), cases[i].other);
        }
    }
}
