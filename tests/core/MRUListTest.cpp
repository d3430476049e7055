#include <gtest/gtest.h>

#include "platform/RegistryFile.h"
#include "core/settings/CVNAppInfo.h"
#include "core/settings/MRUList.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/RegisteredApp.h"

namespace {

using Item = VectorMRUListModel::Item;
using Items = std::vector<Item>;

Items numbered(int n) {
    Items items;
    for (int i = 0; i < n; ++i)
        items.push_back({"t" + std::to_string(i), i});
    return items;
}

std::string sectionFile(const std::string& section, const std::string& values) {
    return XdgSandbox::hiveText("[" + section + "]\n" + values);
}

} // namespace

std::ostream& operator<<(std::ostream& os, const Item& i) {
    return os << '"' << i.text << "\":" << i.datum;
}

TEST(MRUList, AddPutsTheTextOnTopAndDropsItsOldPlaceOrTheOldest) {
    const struct {
        const char* name;
        Items before;
        std::string text;
        int datum;
        Items after;
    } cases[] = {
        {"into an empty list", {}, "a", 1, {{"a", 1}}},
        {"same text in other case moves up with its own case",
         {{"a", 0}, {"b", 0}, {"c", 0}, {"ABC.TXT", 0}, {"d", 0}},
         "abc.txt",
         0,
         {{"abc.txt", 0}, {"a", 0}, {"b", 0}, {"c", 0}, {"d", 0}}},
        {"the datum is the new one", {{"*.jpg", 1}}, "*.JPG", 0, {{"*.JPG", 0}}},
        {"full list drops the oldest", numbered(10), "new", 7,
         [] {
             Items i = numbered(9);
             i.insert(i.begin(), {"new", 7});
             return i;
         }()},
        {"an overfull list drops position 9", numbered(11), "new", 0,
         [] {
             Items i = numbered(11);
             i.erase(i.begin() + 9);
             i.insert(i.begin(), {"new", 0});
             return i;
         }()},
        {"a longer text is not the same", {{"a", 0}}, "a ", 0, {{"a ", 0}, {"a", 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VectorMRUListModel list;
        list.items = c.before;
        list.selected = 2;
        AddToMRU(list, kMRUSearchPattern, c.text, c.datum);
        EXPECT_EQ(list.items, c.after);
        EXPECT_EQ(list.selected, 0);
    }
}

TEST(MRUList, LoadReadsEntriesInIndexOrderAndSkipsEmptyOnes) {
    XdgSandbox xdg;
    XdgSandbox::put(xdg.userHive(),
                    sectionFile("MRU SearchFolder", "\"Folder0\"=\"\"\n\"Folder3\"=\"/d\"\n"
                                                    "\"Folder1\"=\"C:\\\\Daten\"\n\"Folder2\"=dword:5\n"
                                                    "\"Folder10\"=\"beyond the capacity\"\n"
                                                    "[MRU ReplacePattern]\n\"Pattern0\"=\"Bild_:(01).jpg\"\n"));
    const CVNAppInfo app = registeredApp();
    VectorMRUListModel list;
    list.items = {{"already there", 0}};
    LoadMRU(list, kMRUSearchFolder, app);
    EXPECT_EQ(list.items, (Items{{"already there", 0}, {"C:\\Daten", 0}, {"/d", 0}}));
    EXPECT_EQ(list.selected, -1);
    VectorMRUListModel replacements; // no datum before a replacement's colon: it keeps them all
    LoadMRU(replacements, kMRUReplacePattern, app);
    EXPECT_EQ(replacements.items, (Items{{"Bild_:(01).jpg", 0}}));
}

TEST(MRUList, LoadTakesTheDatumBeforeTheFirstColon) {
    const std::pair<std::string, Item> cases[] = {
        {"1:^IMG_([0-9]+)$", {"^IMG_([0-9]+)$", 1}},
        {" -50:neg", {"neg", -50}},
        {"abc:x", {"x", 0}},
        {"99999999999:big", {"big", 2147483647}},
        {"no colon at all", {"no colon at all", 0}},
    };
    std::string values;
    for (std::size_t i = 0; i < std::size(cases); ++i)
        values += "\"Pattern" + std::to_string(i) + "\"=\"" + cases[i].first + "\"\n";
    XdgSandbox xdg;
    XdgSandbox::put(xdg.userHive(), sectionFile("MRU SearchPattern", values));
    const CVNAppInfo app = registeredApp();
    VectorMRUListModel list;
    LoadMRU(list, kMRUSearchPattern, app);
    ASSERT_EQ(list.items.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(list.items[i], cases[i].second) << cases[i].first;
}

// How an item is written is the round trip's case; the loading test has the stored form.
TEST(MRUList, SaveLeavesSurplusValuesThatComeBackAfterTheSavedItems) {
    XdgSandbox xdg;
    XdgSandbox::put(xdg.userHive(),
                    sectionFile("MRU SearchPattern", "\"Pattern0\"=\"0:old\"\n"
                                                     "\"Pattern1\"=\"0:old1\"\n"
                                                     "\"Pattern2\"=\"0:surplus\"\n"));
    const CVNAppInfo app = registeredApp();
    VectorMRUListModel list;
    list.items = {{"^IMG_([0-9]+)$", 1}, {"*.txt", 0}};
    SaveMRU(list, kMRUSearchPattern, app);
    VectorMRUListModel loaded;
    LoadMRU(loaded, kMRUSearchPattern, app);
    EXPECT_EQ(loaded.items, (Items{{"^IMG_([0-9]+)$", 1}, {"*.txt", 0}, {"surplus", 0}}));
}

TEST(MRUList, SaveAndLoadRoundTripEachList) {
    XdgSandbox xdg;
    const CVNAppInfo app = registeredApp();
    for (const MRUSettings* s : {&kMRUSearchFolder, &kMRUSearchPattern, &kMRUReplacePattern}) {
        SCOPED_TRACE(s->section);
        VectorMRUListModel list;
        for (const char* t : {"/home/ä/Bilder", "a:b", "\"quoted\"\\", "10 Ü", "x"})
            AddToMRU(list, *s, t, s->dataPrefix ? 1 : 0);
        SaveMRU(list, *s, app);
        VectorMRUListModel loaded;
        LoadMRU(loaded, *s, app);
        EXPECT_EQ(loaded.items, list.items);
    }
}
