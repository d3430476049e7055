#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <dlfcn.h>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

#include <QDateTime>
#include <QLocale>

#include "platform/RegistryFile.h"
#include "platform/WinTypes.h"
#include "tests/platform/SettingsObstacles.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/ChildProcess.h"

namespace fs = std::filesystem;

namespace {

// Armed by a test: a read of the file at this path fails at this offset, as on a disk with a bad
// sector.
struct {
    std::string path;
    std::size_t at = 0;
} readFailure;

} // namespace

ssize_t read(int fd, void* buf, size_t count) {
    using Real = ssize_t (*)(int, void*, size_t);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "read"));
    std::error_code ec;
    const off_t at = readFailure.path.empty() ? -1 : lseek(fd, 0, SEEK_CUR);
    if (at < 0 || fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ec) != readFailure.path)
        return real(fd, buf, count);
    if (std::size_t(at) == readFailure.at) {
        lseek(fd, 0, SEEK_END); // a read after this one goes on behind the bad part
        errno = EIO;
        return -1;
    }
    return real(fd, buf, std::size_t(at) < readFailure.at ? std::min(count, readFailure.at - at) : count);
}

namespace {

// Real processes that start their work together, as running instances of the program: each
// child waits until go() closes the gate, runs its body and leaves with _exit, so nothing of the
// test framework runs twice. Children still running at the end are killed.
class ChildGroup {
public:
    ChildGroup() {
        if (pipe(gate_) != 0) gate_[0] = gate_[1] = -1;
    }
    ~ChildGroup() {
        go();
        for (pid_t pid : pids_) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        close(gate_[0]);
    }
    void start(const std::function<bool()>& body) {
        const pid_t pid = fork();
        if (pid == 0) {
            char c;
            close(gate_[1]);
            while (::read(gate_[0], &c, 1) > 0) continue;
            _exit(body() ? 0 : 1);
        }
        if (pid > 0) pids_.push_back(pid);
    }
    void go() { close(std::exchange(gate_[1], -1)); }
    // True when there were children and each of them exited with 0.
    bool waitAll() {
        go();
        bool ok = !pids_.empty();
        for (int status = 0; pid_t pid : std::exchange(pids_, {}))
            ok = waitpid(pid, &status, 0) == pid && WIFEXITED(status) && !WEXITSTATUS(status) && ok;
        return ok;
    }

private:
    int gate_[2];
    std::vector<pid_t> pids_;
};

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

// Every file and folder below a folder, with the files' content.
std::map<std::string, std::string> filesUnder(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        files[e.path().string()] = e.is_regular_file() ? TempDir::read(e.path().string()) : "/";
    return files;
}

} // namespace

TEST(HiveFile, DamagedFileReadsEmptyAndIsKeptAsideBeforeTheFirstWrite) {
    const std::string valid =
        XdgSandbox::hiveText("[Settings]\n\"MaxFiles\"=dword:5\n[MRU SearchFolder]\n\"Folder0\"=\"/home/a\"\n");
    const struct {
        const char* name;
        std::string content;
        bool folder = false;
        std::size_t readFailsAt = std::string::npos;
    } cases[] = {
        {"cut off between lines", valid.substr(0, valid.find("[MRU"))},
        {"unreadable: a folder in its place", "", true},
        // What was read is a whole tree, but not all the file: replacing it would lose the rest.
        {"unreadable after a whole tree", valid + "[Rest]\n", false, valid.size()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XdgSandbox xdg;
        if (c.folder)
            fs::create_directories(xdg.userHive() + "/inside");
        else
            XdgSandbox::put(xdg.userHive(), c.content);
        if (c.readFailsAt != std::string::npos)
            readFailure = {fs::canonical(xdg.userHive()).string(), c.readFailsAt};

        for (int i = 0; i < 2; ++i) {
            const HiveSnapshot s = ReadHive(xdg.userHive());
            EXPECT_EQ(s.state, HiveState::Damaged);
            EXPECT_EQ(s.root->keyCount() + s.root->valueCount(), 0u);
        }
        EXPECT_TRUE(keptCopies(xdg.userFolder()).empty()) << "reading alone keeps the file";

        ASSERT_EQ(setValue(xdg.userHive(), "Settings", "RenAllMode", RegValue::dword(1)),
                  ERROR_SUCCESS);
        readFailure = {};
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

// A device or a file whose reading fails in its place reads as damaged at once. In a child with
// bounded memory and time, since a reader that took /dev/zero for a file would never finish.
TEST(HiveFile, WhatCannotBeReadAsAFileIsDamaged) {
    const bool underAsan = dlsym(RTLD_DEFAULT, "__asan_init"); // its shadow memory needs more
    for (const char* target : {"/dev/zero", "/proc/self/mem"}) {
        SCOPED_TRACE(target);
        XdgSandbox xdg;
        fs::create_directories(xdg.userFolder());
        fs::create_symlink(target, xdg.userHive());
        EXPECT_EQ(runInChild([&]() -> std::string {
                      const rlimit memory{1ul << 30, 1ul << 30};
                      if (!underAsan) setrlimit(RLIMIT_DATA, &memory);
                      alarm(10);
                      try { // the child must not go on with the tests
                          const HiveState state = ReadHive(xdg.userHive()).state;
                          return state == HiveState::Damaged ? "" : "not damaged";
                      } catch (...) {
                          return "threw";
                      }
                  }),
                  "");
    }
}

// Kept copies are named by the second. However many are there already, none is replaced: when
// every name tried is taken, the write is refused and the damaged file stays where it is.
TEST(HiveFile, KeptCopiesNeverReplaceEarlierOnes) {
    // Thousands of names, made in memory where there is /dev/shm: on a busy disk the clock could
    // run past the seconds prepared.
    const char* tmp = std::getenv("TMPDIR");
    const std::string savedTmp = tmp ? tmp : "";
    if (fs::is_directory("/dev/shm")) setenv("TMPDIR", "/dev/shm", 1);
    const TempDir dir;
    tmp ? setenv("TMPDIR", savedTmp.c_str(), 1) : unsetenv("TMPDIR");
    const std::string hive = dir / "Orvane.reg";

    std::vector<std::string> occupied; // by links, the quickest to make
    const QDateTime now = QDateTime::currentDateTime();
    constexpr int kSeconds = 3;
    for (int s = 0; s < kSeconds; ++s) {
        const std::string base = hive + ".damaged-" +
            QLocale::c().toString(now.addSecs(s), u"yyyyMMdd-HHmmss").toStdString();
        for (int n = 1; n < 1000; ++n) {
            occupied.push_back(n == 1 ? base : base + "-" + std::to_string(n));
            fs::create_symlink("earlier", occupied.back());
        }
    }
    dir.file("Orvane.reg", "first damage");
    ASSERT_LT(now.secsTo(QDateTime::currentDateTime()), kSeconds - 1) << "too slow to test";
    EXPECT_EQ(setValue(hive, "S", "v", RegValue::dword(1)), ERROR_FILE_EXISTS);
    EXPECT_EQ(TempDir::read(hive), "first damage");

    for (int s = 0; s < kSeconds; ++s) // free two names of each second
        for (std::size_t n : {500, 998})
            fs::remove(occupied[std::size_t(s) * 999 + n]);
    ASSERT_EQ(setValue(hive, "S", "v", RegValue::dword(1)), ERROR_SUCCESS);
    dir.file("Orvane.reg", "second damage");
    ASSERT_EQ(setValue(hive, "S", "v", RegValue::dword(2)), ERROR_SUCCESS);

    std::set<std::string> damages; // the earlier ones stay links
    for (const auto& k : keptCopies(dir.path()))
        if (!fs::is_symlink(k)) damages.insert(TempDir::read(k));
    EXPECT_EQ(keptCopies(dir.path()).size(), occupied.size() - 2 * kSeconds + 2);
    EXPECT_EQ(damages, (std::set<std::string>{"first damage", "second damage"}));
}

// Nothing is written when the change itself fails, when it changes nothing, or when the file
// cannot be written: the file and its folder stay as they were.
TEST(HiveFile, AFailedOrEmptyChangeWritesNothing) {
    XdgSandbox xdg;
    const auto refuse = [](RegKey& root) {
        root.createKey("Touched");
        return std::uint32_t{ERROR_FILE_NOT_FOUND};
    };
    EXPECT_EQ(ReadHive(xdg.userHive()).state, HiveState::Missing);
    EXPECT_EQ(UpdateHive(xdg.userHive(), refuse), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(xdg.userHive()));
    XdgSandbox::put(xdg.userHive(), "damaged");
    EXPECT_EQ(UpdateHive(xdg.userHive(), refuse), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(filesUnder(xdg.userFolder()), (std::map<std::string, std::string>{{xdg.userHive(), "damaged"}}));

    fs::remove(xdg.userHive()); // the first write creates the file, and the lock goes with it
    ASSERT_EQ(setValue(xdg.userHive(), "S", "v", RegValue::dword(1)), ERROR_SUCCESS);
    EXPECT_EQ(filesUnder(xdg.userFolder()).size(), 1u);
    const auto inode = [&] {
        struct stat st {};
        stat(xdg.userHive().c_str(), &st);
        return st.st_ino;
    };
    const ino_t before = inode();
    ASSERT_EQ(setValue(xdg.userHive(), "s", "V", RegValue::dword(1)), ERROR_SUCCESS);
    EXPECT_EQ(inode(), before) << "the same tree is not written again";
    ASSERT_EQ(setValue(xdg.userHive(), "S", "v", RegValue::dword(2)), ERROR_SUCCESS);
    EXPECT_NE(inode(), before) << "a change is written";
    EXPECT_EQ(*valueIn(ReadHive(xdg.userHive()), "s", "V")->asDword(), 2u);
}

TEST(HiveFile, AWriteThatCannotBeDoneFailsAndChangesNothing) {
    std::vector<SettingsObstacle> obstacles = settingsObstacles();
    obstacles.push_back({"a file where the folder belongs",
                         [](const XdgSandbox& xdg) -> std::shared_ptr<void> {
                             fs::remove_all(xdg.userFolder());
                             XdgSandbox::put(xdg.userFolder(), "a file");
                             return std::make_shared<int>();
                         },
                         ""});
    for (const SettingsObstacle& o : obstacles) {
        SCOPED_TRACE(o.name);
        XdgSandbox xdg;
        ASSERT_EQ(setValue(xdg.userHive(), "S", "v", RegValue::dword(1)), ERROR_SUCCESS);
        const std::shared_ptr<void> obstacle = o.obstruct(xdg);
        if (!obstacle) continue; // this machine cannot set it up
        const auto before = filesUnder(xdg.dir() / "user");
        EXPECT_NE(setValue(xdg.userHive(), "S", "v", RegValue::dword(2)), ERROR_SUCCESS);
        EXPECT_EQ(filesUnder(xdg.dir() / "user"), before);
        EXPECT_NE(ReadHive(xdg.userHive()).state, HiveState::Damaged) << "nothing to keep aside";
    }
}

// Every line finds its key's path from the top and its value in that key; a lookup that looked
// at the siblings one by one would make a file of many keys cost the square of their number.
TEST(HiveFile, LoadingAndSavingLookAtFewStoredNamesPerLine) {
    const struct {
        const char* key;
        bool keyPerEntry;
        std::uint64_t depth; // names in the key path
    } shapes[] = {{"Patterns\\UserDefined\\Wildcard Patterns\\Muster ", true, 4},
                  {"MRU SearchFolder", false, 1}};
    for (const auto& shape : shapes) {
        SCOPED_TRACE(shape.key);
        XdgSandbox xdg;
        std::string text;
        for (int i = 0; i < 5000; ++i) {
            const std::string n = std::to_string(i);
            if (shape.keyPerEntry || i == 0) text += "[" + (shape.key + (shape.keyPerEntry ? n : "")) + "]\n";
            text += "\"v" + n + "\"=dword:1\n";
        }
        XdgSandbox::put(xdg.userHive(), XdgSandbox::hiveText(text));
        const std::uint64_t bound = 5000 * 2 * (shape.depth + 1);

        std::uint64_t before = RegNameComparisons();
        ASSERT_EQ(ReadHive(xdg.userHive()).state, HiveState::Ok);
        EXPECT_LE(RegNameComparisons() - before, bound) << "loading";
        before = RegNameComparisons(); // reads the file again, changes it and writes it
        ASSERT_EQ(setValue(xdg.userHive(), "Settings", "MaxFiles", RegValue::dword(1)), ERROR_SUCCESS);
        EXPECT_LE(RegNameComparisons() - before, bound + 1) << "saving";
    }
}

// Another running instance, then a person with an editor that writes in place.
TEST(HiveFile, ReadsSeeWhatOthersWrote) {
    XdgSandbox xdg;
    ASSERT_EQ(setValue(xdg.userHive(), "S", "v", RegValue::dword(1)), ERROR_SUCCESS);
    EXPECT_EQ(*valueIn(ReadHive(xdg.userHive()), "S", "v")->asDword(), 1u);
    const auto another = [&] { return setValue(xdg.userHive(), "S", "v", RegValue::dword(2)) ? "failed" : ""; };
    ASSERT_EQ(runInChild(another), "");
    EXPECT_EQ(*valueIn(ReadHive(xdg.userHive()), "S", "v")->asDword(), 2u);
    std::string text = TempDir::read(xdg.userHive());
    text.replace(text.find("dword:00000002"), 14, "dword:00000003");
    text.insert(text.find("End of"), "; edited\n");
    std::ofstream(xdg.userHive(), std::ios::binary | std::ios::trunc) << text;
    EXPECT_EQ(*valueIn(ReadHive(xdg.userHive()), "S", "v")->asDword(), 3u);
}

// Each process counts a shared counter up (a read-modify-write of one value) and adds values of
// its own; a lost update shows as a short count or a missing value.
TEST(HiveFile, TwoProcessesWritingAtOnceLoseNothing) {
    XdgSandbox xdg;
    constexpr std::uint32_t kRounds = 200;
    const auto worker = [&](const std::string& tag) {
        for (std::uint32_t i = 0; i < kRounds; ++i) {
            const std::uint32_t rc = UpdateHive(xdg.userHive(), [&](RegKey& root) {
                RegKey& shared = root.createKey("Shared");
                const RegValue* c = shared.findValue("Counter");
                shared.setValue("Counter", RegValue::dword(c ? *c->asDword() + 1 : 1));
                root.createKey(tag).setValue(tag + std::to_string(i), RegValue::dword(i));
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
    EXPECT_EQ(*valueIn(s, "Shared", "Counter")->asDword(), 2 * kRounds);
    for (const std::string tag : {"A", "B"})
        for (std::uint32_t i = 0; i < kRounds; ++i)
            ASSERT_TRUE(valueIn(s, tag, tag + std::to_string(i))) << tag << i;
}

// Kills land anywhere within a few writes' time, however fast this machine writes. Each round
// starts at a letter of its own, so that every finished write shows.
TEST(HiveFile, AWriterKilledMidWriteNeverLeavesAPartialFile) {
    XdgSandbox xdg;
    const std::size_t kBig = 1 << 19; // big enough that a write takes a while
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(setValue(xdg.userHive(), "S", "Big", RegValue::text(std::string(kBig, 'z'))), ERROR_SUCCESS);
    const auto oneWrite = std::chrono::steady_clock::now() - started;
    std::mt19937 random(12345);
    std::set<char> seen;
    // A busy machine may start the writer late: until a write has got through, rounds go on
    // and wait longer each time.
    for (int round = 0; round < 12 || (seen.size() < 2 && round < 48); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        {
            ChildGroup writer;
            writer.start([&]() -> bool {
                for (char fill = char('a' + round % 25);; fill = fill == 'y' ? 'a' : char(fill + 1))
                    setValue(xdg.userHive(), "S", "Big", RegValue::text(std::string(kBig, fill)));
            });
            writer.go();
            std::this_thread::sleep_for(oneWrite * (1 + random() % 400) / 100 * (1 + round / 12));
        } // killed here, wherever it was
        const HiveSnapshot s = ReadHive(xdg.userHive());
        ASSERT_EQ(s.state, HiveState::Ok);
        const std::string* big = valueIn(s, "S", "Big")->asText();
        ASSERT_EQ(big->size(), kBig);
        EXPECT_EQ(big->find_first_not_of((*big)[0]), std::string::npos);
        seen.insert((*big)[0]);
        // The dead writer's lock is taken over: at once when it names the dead process, after the
        // stale time when the writer died before it could write its name.
        EXPECT_EQ(setValue(xdg.userHive(), "S", "After", RegValue::dword(1)), ERROR_SUCCESS);
    }
    EXPECT_GT(seen.size(), 1u) << "the writers got nothing done before they were killed";
}
