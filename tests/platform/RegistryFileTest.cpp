#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <sys/stat.h>
#include <thread>

#include <QDateTime>
#include <QLocale>

#include "platform/RegistryFile.h"
#include "platform/WinTypes.h"
#include "tests/platform/ChildGroup.h"
#include "tests/platform/XdgSandbox.h"

namespace fs = std::filesystem;

namespace {

std::uint32_t setValue(const std::string& path, const std::string& key, const std::string& name,
                       RegValue value) {
    return UpdateHive(path, [&](RegKey& root) {
        root.createKey(key).setValue(name, value);
        return std::uint32_t{ERROR_SUCCESS};
    });
}

const RegValue* valueIn(const HiveSnapshot& s, const std::string& key, const std::string& name) {
    const RegKey* k = s.root->findKey(key);
    return k ? k->findValue(name) : nullptr;
}

// The kept copies of damaged files in a folder, sorted.
std::vector<std::string> keptCopies(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().starts_with("Orvane.reg.damaged-"))
            names.push_back(e.path().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string validFile() {
    RegKey root;
    root.createKey("Settings").setValue("MaxFiles", RegValue::dword(5));
    root.createKey("MRU SearchFolder").setValue("Folder0", RegValue::text("/home/a"));
    return FormatHive(root);
}

} // namespace

TEST(HiveFile, MissingFileReadsEmptyAndTheFirstWriteCreatesIt) {
    XdgSandbox xdg;
    const HiveSnapshot before = ReadHive(xdg.userHive());
    EXPECT_EQ(before.state, HiveState::Missing);
    EXPECT_EQ(before.root->keyCount(), 0u);
    EXPECT_FALSE(fs::exists(xdg.userFolder())) << "reading creates nothing";

    ASSERT_EQ(setValue(xdg.userHive(), "Settings", "MaxFiles", RegValue::dword(42)), ERROR_SUCCESS);
    const HiveSnapshot after = ReadHive(xdg.userHive());
    EXPECT_EQ(after.state, HiveState::Ok);
    EXPECT_EQ(*valueIn(after, "settings", "maxfiles")->asDword(), 42u);
    EXPECT_NE(TempDir::read(xdg.userHive()).find("\"MaxFiles\"=dword:0000002a"), std::string::npos);
    EXPECT_TRUE(keptCopies(xdg.userFolder()).empty());
    EXPECT_FALSE(fs::exists(xdg.userHive() + ".lock")) << "the lock goes with the write";
}

TEST(HiveFile, DamagedFileReadsEmptyAndIsKeptAsideBeforeTheFirstWrite) {
    const std::string valid = validFile();
    const struct {
        const char* name;
        std::string content;
        bool folder = false;
    } cases[] = {
        {"garbage", "\x01\x02 not a registry file \xff"},
        {"cut off", valid.substr(0, valid.size() / 2)},
        {"cut off between lines", valid.substr(0, valid.find("[MRU"))},
        {"empty", ""},
        {"newer format", "Orvane registry file, format 9\n"},
        {"unreadable: a folder in its place", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XdgSandbox xdg;
        if (c.folder)
            fs::create_directories(xdg.userHive() + "/inside");
        else
            XdgSandbox::put(xdg.userHive(), c.content);

        for (int i = 0; i < 2; ++i) {
            const HiveSnapshot s = ReadHive(xdg.userHive());
            EXPECT_EQ(s.state, HiveState::Damaged);
            EXPECT_EQ(s.root->keyCount() + s.root->valueCount(), 0u);
        }
        EXPECT_TRUE(keptCopies(xdg.userFolder()).empty()) << "reading alone keeps the file";

        ASSERT_EQ(setValue(xdg.userHive(), "Settings", "RenAllMode", RegValue::dword(1)),
                  ERROR_SUCCESS);
        const auto kept = keptCopies(xdg.userFolder());
        ASSERT_EQ(kept.size(), 1u);
        if (c.folder)
            EXPECT_TRUE(fs::exists(kept[0] + "/inside"));
        else
            EXPECT_EQ(TempDir::read(kept[0]), c.content);

        const HiveSnapshot now = ReadHive(xdg.userHive());
        EXPECT_EQ(now.state, HiveState::Ok);
        EXPECT_EQ(*valueIn(now, "Settings", "RenAllMode")->asDword(), 1u);
        EXPECT_EQ(valueIn(now, "Settings", "MaxFiles"), nullptr) << "nothing guessed from it";
    }
}

TEST(HiveFile, KeptCopiesNeverReplaceEarlierOnes) {
    XdgSandbox xdg;
    // Occupy the names the next seconds would get, so the writes must find others.
    const QDateTime now = QDateTime::currentDateTime();
    std::vector<std::string> occupied;
    for (int s = 0; s < 3; ++s) {
        const std::string name =
            xdg.userHive() + ".damaged-" +
            QLocale::c().toString(now.addSecs(s), u"yyyyMMdd-HHmmss").toStdString();
        XdgSandbox::put(name, "earlier copy " + std::to_string(s));
        occupied.push_back(name);
    }
    for (const char* damage : {"first damage", "second damage"}) {
        XdgSandbox::put(xdg.userHive(), damage);
        ASSERT_EQ(setValue(xdg.userHive(), "S", "v", RegValue::dword(1)), ERROR_SUCCESS);
    }
    for (int s = 0; s < 3; ++s)
        EXPECT_EQ(TempDir::read(occupied[static_cast<std::size_t>(s)]),
                  "earlier copy " + std::to_string(s));
    std::vector<std::string> contents;
    for (const auto& k : keptCopies(xdg.userFolder()))
        contents.push_back(TempDir::read(k));
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents,
              (std::vector<std::string>{"earlier copy 0", "earlier copy 1", "earlier copy 2",
                                        "first damage", "second damage"}));
}

TEST(HiveFile, AFailedChangeWritesNothing) {
    XdgSandbox xdg;
    const auto refuse = [](RegKey& root) {
        root.createKey("Touched");
        return std::uint32_t{ERROR_FILE_NOT_FOUND};
    };
    EXPECT_EQ(UpdateHive(xdg.userHive(), refuse), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(xdg.userHive()));

    XdgSandbox::put(xdg.userHive(), "damaged");
    EXPECT_EQ(UpdateHive(xdg.userHive(), refuse), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(TempDir::read(xdg.userHive()), "damaged");
    EXPECT_TRUE(keptCopies(xdg.userFolder()).empty());
}

TEST(HiveFile, AnUnchangedTreeIsNotWrittenAgain) {
    XdgSandbox xdg;
    ASSERT_EQ(setValue(xdg.userHive(), "S", "v", RegValue::dword(1)), ERROR_SUCCESS);
    struct stat before {};
    ASSERT_EQ(stat(xdg.userHive().c_str(), &before), 0);
    ASSERT_EQ(setValue(xdg.userHive(), "s", "V", RegValue::dword(1)), ERROR_SUCCESS);
    struct stat after {};
    ASSERT_EQ(stat(xdg.userHive().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);

    ASSERT_EQ(setValue(xdg.userHive(), "S", "v", RegValue::dword(2)), ERROR_SUCCESS);
    ASSERT_EQ(stat(xdg.userHive().c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "a change is written";
}

TEST(HiveFile, AWriteFailsWhenTheFolderCannotBeMade) {
    XdgSandbox xdg;
    XdgSandbox::put(xdg.dir() / "user/Orvane", "a file where the folder belongs");
    EXPECT_EQ(ReadHive(xdg.userHive()).state, HiveState::Missing);
    EXPECT_NE(setValue(xdg.userHive(), "S", "v", RegValue::dword(1)), ERROR_SUCCESS);
    EXPECT_EQ(TempDir::read(xdg.dir() / "user/Orvane"), "a file where the folder belongs");
}

TEST(HiveFile, LoadingAndSavingLookAtFewStoredNamesPerLine) {
    // Every line finds its key's path from the top and its value in that key; when a lookup
    // looks at the siblings one by one, a file of many keys takes time with their square.
    constexpr int kEntries = 5000;
    const struct {
        const char* name;
        int depth; // names in the longest key path
        std::function<void(RegKey&, int)> add;
    } shapes[] = {
        {"many patterns below one key", 4,
         [](RegKey& root, int i) {
             RegKey& p = root.createKey("Patterns")
                             .createKey("UserDefined")
                             .createKey("Wildcard Patterns")
                             .createKey("Muster " + std::to_string(i));
             p.setValue("SearchPattern", RegValue::text("*.jpeg"));
             p.setValue("CaretPos", RegValue::dword(std::uint32_t(i)));
         }},
        {"many values in one key", 1,
         [](RegKey& root, int i) {
             root.createKey("MRU SearchFolder")
                 .setValue("Folder" + std::to_string(i),
                           RegValue::text("/home/" + std::to_string(i)));
         }},
        {"many keys at the top", 1,
         [](RegKey& root, int i) {
             root.createKey("K" + std::to_string(i))
                 .setValue("v", RegValue::dword(std::uint32_t(i)));
         }},
    };
    for (const auto& shape : shapes) {
        SCOPED_TRACE(shape.name);
        XdgSandbox xdg;
        RegKey tree;
        for (int i = 0; i < kEntries; ++i)
            shape.add(tree, i);
        const std::string text = FormatHive(tree);
        XdgSandbox::put(xdg.userHive(), text);
        const auto lines = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));
        const std::uint64_t bound = lines * static_cast<std::uint64_t>(shape.depth + 1);

        std::uint64_t before = RegNameComparisons();
        const HiveSnapshot loaded = ReadHive(xdg.userHive());
        EXPECT_LE(RegNameComparisons() - before, bound) << "loading";
        ASSERT_EQ(loaded.state, HiveState::Ok);
        EXPECT_TRUE(*loaded.root == tree);

        // Reads the file again, changes it and writes it.
        before = RegNameComparisons();
        ASSERT_EQ(setValue(xdg.userHive(), "Settings", "MaxFiles", RegValue::dword(1)),
                  ERROR_SUCCESS);
        EXPECT_LE(RegNameComparisons() - before, bound + 1) << "saving";
        EXPECT_EQ(ReadHive(xdg.userHive()).root->keyCount(), tree.keyCount() + 1);
    }
}

TEST(HiveFile, ReadsSeeWhatOthersWrote) {
    XdgSandbox xdg;
    ASSERT_EQ(setValue(xdg.userHive(), "S", "v", RegValue::dword(1)), ERROR_SUCCESS);
    EXPECT_EQ(*valueIn(ReadHive(xdg.userHive()), "S", "v")->asDword(), 1u);

    // Another running instance.
    {
        ChildGroup child;
        child.start([&] { return setValue(xdg.userHive(), "S", "v", RegValue::dword(2)) == 0; });
        ASSERT_TRUE(child.waitAll());
    }
    EXPECT_EQ(*valueIn(ReadHive(xdg.userHive()), "S", "v")->asDword(), 2u);

    // A person with an editor that writes in place.
    std::string text = TempDir::read(xdg.userHive());
    text.replace(text.find("dword:00000002"), 14, "dword:00000003");
    text.insert(text.find("End of"), "; edited\n");
    std::ofstream(xdg.userHive(), std::ios::binary | std::ios::trunc) << text;
    EXPECT_EQ(*valueIn(ReadHive(xdg.userHive()), "S", "v")->asDword(), 3u);
}

TEST(HiveFile, TwoProcessesWritingAtOnceLoseNothing) {
    XdgSandbox xdg;
    constexpr int kRounds = 200;
    // Each process counts a shared counter up (a read-modify-write of one value) and adds
    // values of its own; a lost update shows as a short count or a missing value.
    const auto worker = [&](const std::string& tag) {
        for (int i = 0; i < kRounds; ++i) {
            const std::uint32_t rc = UpdateHive(xdg.userHive(), [&](RegKey& root) {
                RegKey& shared = root.createKey("Shared");
                const RegValue* c = shared.findValue("Counter");
                shared.setValue("Counter", RegValue::dword(c ? *c->asDword() + 1 : 1));
                root.createKey(tag).setValue(tag + std::to_string(i),
                                             RegValue::dword(std::uint32_t(i)));
                return std::uint32_t{ERROR_SUCCESS};
            });
            if (rc != ERROR_SUCCESS) return false;
        }
        return true;
    };
    ChildGroup children;
    children.start([&] { return worker("A"); });
    children.start([&] { return worker("B"); });
    ASSERT_TRUE(children.waitAll());

    const HiveSnapshot s = ReadHive(xdg.userHive());
    ASSERT_EQ(s.state, HiveState::Ok);
    EXPECT_EQ(*valueIn(s, "Shared", "Counter")->asDword(), 2u * kRounds);
    for (const std::string tag : {"A", "B"}) {
        const RegKey* k = s.root->findKey(tag);
        ASSERT_TRUE(k);
        EXPECT_EQ(k->valueCount(), std::size_t{kRounds});
        for (int i = 0; i < kRounds; ++i) {
            const RegValue* v = k->findValue(tag + std::to_string(i));
            ASSERT_TRUE(v) << tag << i;
            EXPECT_EQ(*v->asDword(), std::uint32_t(i));
        }
    }
}

TEST(HiveFile, AWriterKilledMidWriteNeverLeavesAPartialFile) {
    XdgSandbox xdg;
    const std::size_t kBig = 1 << 19; // big enough that a write takes a while
    using Clock = std::chrono::steady_clock;
    // Kills land anywhere within a few writes' time, however fast this machine writes.
    const auto before = Clock::now();
    ASSERT_EQ(setValue(xdg.userHive(), "S", "Big", RegValue::text(std::string(kBig, 'z'))),
              ERROR_SUCCESS);
    const auto oneWrite =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - before);
    std::mt19937 random(12345);
    std::set<char> seen;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        {
            ChildGroup writer;
            writer.start([&]() -> bool {
                // Each round starts at a letter of its own, so every finished write shows.
                for (char fill = char('a' + round % 25);; fill = fill == 'y' ? 'a' : char(fill + 1))
                    setValue(xdg.userHive(), "S", "Big", RegValue::text(std::string(kBig, fill)));
            });
            writer.go();
            std::this_thread::sleep_for(oneWrite * (1 + random() % 400) / 100);
        } // killed here, wherever it was

        const HiveSnapshot s = ReadHive(xdg.userHive());
        ASSERT_EQ(s.state, HiveState::Ok);
        const std::string* big = valueIn(s, "S", "Big")->asText();
        ASSERT_EQ(big->size(), kBig);
        EXPECT_EQ(big->find_first_not_of((*big)[0]), std::string::npos);
        seen.insert((*big)[0]);

        // The lock the writer may have held is taken over: at once when it names the dead
        // process, after the stale time when the writer died before it could write its name.
        // Writing here also means the next writer never has to take over a lock itself.
        EXPECT_EQ(setValue(xdg.userHive(), "S", "After", RegValue::dword(1)), ERROR_SUCCESS);
    }
    EXPECT_GT(seen.size(), 1u) << "the writers got nothing done before they were killed";
}
