#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "platform/RegistryFile.h"
#include "platform/WinTypes.h"
#include "core/settings/CSettingsStore.h"
#include "tests/platform/XdgSandbox.h"

namespace fs = std::filesystem;

namespace {

const std::string kApp = "SOFTWARE\\Orvane\\Orvane";

const RegKey* keyAt(const std::string& hive, const std::vector<std::string>& names) {
    static HiveSnapshot keep; // keeps the tree alive for the caller
    keep = ReadHive(hive);
    return keep.root->findPath(names);
}

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

TEST(SettingsStore, DeleteKeyRemovesTheWholeSubtreeAndNothingElse) {
    XdgSandbox xdg;
    CSettingsStore w(false, false);
    for (const char* p : {"\\A\\B\\C", "\\A\\B\\D", "\\A\\E", "\\F"}) {
        ASSERT_TRUE(w.CreateKey(kApp + p));
        ASSERT_TRUE(w.Write("v", 1));
        w.Close();
    }
    EXPECT_TRUE(w.DeleteKey(kApp + "\\a\\"));
    EXPECT_EQ(keyAt(xdg.userHive(), {"A"}), nullptr);
    EXPECT_NE(keyAt(xdg.userHive(), {"F"}), nullptr);
    EXPECT_FALSE(w.DeleteKey(kApp + "\\A")) << "already gone";
    EXPECT_FALSE(w.DeleteKey(kApp)) << "the application key itself stays";
    EXPECT_FALSE(w.DeleteKey(kApp + "\\F", true)) << "the machine scope is never written";
    EXPECT_NE(keyAt(xdg.userHive(), {"F"}), nullptr);
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

TEST(SettingsStore, AKeyDeletedByAnotherInstanceIsNotBroughtBack) {
    XdgSandbox xdg;
    CSettingsStore first(false, false);
    ASSERT_TRUE(first.CreateKey(kApp + "\\S"));
    CSettingsStore second(false, false);
    ASSERT_TRUE(second.DeleteKey(kApp + "\\S"));
    EXPECT_FALSE(first.Write("v", 1));
    EXPECT_FALSE(first.CreateKey("Sub"));
    EXPECT_EQ(keyAt(xdg.userHive(), {"S"}), nullptr);
}

TEST(SettingsStore, ATransactionWritesAllItsChangesAtOnceOrNone) {
    const struct {
        const char* name;
        bool failingChange; // one change that cannot be made when the transaction commits
        bool commit;
    } cases[] = {
        {"committed", false, true},
        {"rolled back", false, false},
        {"a change fails", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XdgSandbox xdg;
        {
            CSettingsStore setup(false, false);
            ASSERT_TRUE(setup.CreateKey(kApp + "\\S"));
            ASSERT_TRUE(setup.Write("Keep", 1));
        }
        const FileState before = stateOf(xdg.userHive());

        CSettingsStore store(false, false);
        store.BeginTransaction();
        ASSERT_TRUE(store.CreateKey(kApp + "\\New\\Deep"));
        ASSERT_TRUE(store.Write("v", 2));
        store.Close();
        ASSERT_TRUE(store.CreateKey(kApp + "\\S"));
        ASSERT_TRUE(store.Write("t", std::string("text")));
        if (c.failingChange) {
            ASSERT_TRUE(store.DeleteValue("missing")) << "only noted so far";
        }
        EXPECT_EQ(stateOf(xdg.userHive()), before) << "nothing written before the commit";
        int keep = 0;
        std::string text;
        EXPECT_TRUE(store.Read("Keep", keep)) << "reads see the file";
        EXPECT_FALSE(store.Read("t", text));

        if (c.commit) {
            const SettingsSaveResult saved = store.CommitTransaction();
            EXPECT_EQ(saved.ok(), !c.failingChange);
            EXPECT_EQ(saved.file, xdg.userHive());
        } else {
            store.RollbackTransaction();
        }
        EXPECT_FALSE(store.InTransaction());
        if (c.commit && !c.failingChange) {
            const RegKey* deep = keyAt(xdg.userHive(), {"New", "Deep"});
            ASSERT_TRUE(deep);
            EXPECT_EQ(*deep->findValue("v")->asDword(), 2u);
            EXPECT_EQ(*keyAt(xdg.userHive(), {"S"})->findValue("t")->asText(), "text");
            EXPECT_TRUE(keyAt(xdg.userHive(), {"S"})->findValue("Keep"));
        } else {
            EXPECT_EQ(stateOf(xdg.userHive()), before);
        }
        // Without a transaction the store writes at once again.
        ASSERT_TRUE(store.Write("after", 3));
        EXPECT_TRUE(keyAt(xdg.userHive(), {"S"})->findValue("after"));
    }
}
