#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "core/settings/CSettingsStore.h"
#include "tests/platform/XdgSandbox.h"

namespace fs = std::filesystem;

namespace {

const std::string kApp = "SOFTWARE\\Orvane\\Orvane";

struct FileState {
    std::string content;
    ino_t inode = 0;
    friend bool operator==(const FileState&, const FileState&) = default;
};

FileState stateOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return {TempDir::read(path), st.st_ino};
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SettingsStore, PathsOutsideTheApplicationKeyAreRefused) {
    XdgSandbox xdg;
    CSettingsStore setup(false, false);
    ASSERT_TRUE(setup.CreateKey(kApp + "\\Settings"));
    const FileState before = stateOf(xdg.userHive());
    const char* paths[] = {
        "",
        "SOFTWARE",
        "SOFTWARE\\Other\\Orvane\\Settings",
        "SOFTWARE\\Orvane\\OrvaneX",
        "\\SOFTWARE\\Orvane\\Orvane\\Settings",
    };
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        CSettingsStore store(false, false);
        EXPECT_FALSE(store.Open(path));
        EXPECT_FALSE(store.CreateKey(path));
        EXPECT_FALSE(store.Write("v", 1)) << "the current key is still the root";
        EXPECT_FALSE(store.DeleteKey(path));
    }
    EXPECT_EQ(stateOf(xdg.userHive()), before);
}

TEST(SettingsStore, AReadOnlyStoreNeverWrites) {
    XdgSandbox xdg;
    const auto tryEverything = [](CSettingsStore& s) {
        const std::uint8_t b = 1;
        EXPECT_FALSE(s.CreateKey(kApp + "\\New"));
        EXPECT_FALSE(s.Write("v", 1));
        EXPECT_FALSE(s.Write("v", std::uint32_t{1}));
        EXPECT_FALSE(s.Write("v", std::string("t")));
        EXPECT_FALSE(s.Write("v", &b, 1));
        EXPECT_FALSE(s.DeleteValue("Keep"));
        EXPECT_FALSE(s.DeleteKey(kApp + "\\S"));
    };
    {
        CSettingsStore fresh(false, true);
        EXPECT_FALSE(fresh.Open(kApp)) << "a fresh profile has no application key";
        tryEverything(fresh);
        EXPECT_FALSE(fs::exists(xdg.userFolder()));
    }
    CSettingsStore w(false, false);
    ASSERT_TRUE(w.CreateKey(kApp + "\\S"));
    ASSERT_TRUE(w.Write("Keep", 1));
    const FileState before = stateOf(xdg.userHive());

    CSettingsStore ro(false, true);
    ASSERT_TRUE(ro.Open(kApp + "\\S"));
    tryEverything(ro);
    EXPECT_EQ(stateOf(xdg.userHive()), before);
    EXPECT_EQ(folderEntries(xdg.userFolder()), std::vector<std::string>{"Orvane.reg"});
}
