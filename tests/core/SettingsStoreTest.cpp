#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/settings/CSettingsStore.h"
#include "tests/platform/XdgSandbox.h"

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
