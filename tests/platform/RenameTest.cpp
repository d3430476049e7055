#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/DirectoryReader.h"
#include "platform/NameRules.h"
#include "platform/NaturalOrder.h"
#include "platform/Rename.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace {

// Armed by a test: the next look at exactly this path first appends to the file there, as
// another program writing into the name between the rename's check and its act.
std::string writeBeforeNextLook;

} // namespace

// Set by a test: renames behave as on a file system that refuses RENAME_NOREPLACE but keeps hard
// links, as some network and FUSE mounts do.
bool refuseNoReplace = false;

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) noexcept {
    using Real = int (*)(int, const char*, int, const char*, unsigned);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "renameat2"));
    if (refuseNoReplace && (flags & RENAME_NOREPLACE)) {
        errno = EINVAL;
        return -1;
    }
    return real(fromFolder, from, toFolder, to, flags);
}

// Set by a test: hard links refused too, so that renames take the way through a placeholder.
bool refuseLinks = false;

int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) noexcept {
    using Real = int (*)(int, const char*, int, const char*, int);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "linkat"));
    if (refuseLinks) {
        errno = EPERM;
        return -1;
    }
    return real(fromFolder, from, toFolder, to, flags);
}

// Armed by a test: the next rename fails after another program has put an empty file of its
// own in place of the new name.
bool theirsAtNextRename = false;

int rename(const char* from, const char* to) noexcept {
    using Real = int (*)(const char*, const char*);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "rename"));
    if (theirsAtNextRename) {
        theirsAtNextRename = false;
        const std::string theirs = std::string(to) + ".theirs";
        std::ofstream{theirs};
        real(theirs.c_str(), to); // a new inode, never the placeholder's number
        errno = EIO;
        return -1;
    }
    return real(from, to);
}

int lstat(const char* path, struct stat* st) noexcept {
    using Real = int (*)(const char*, struct stat*);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "lstat"));
    if (!writeBeforeNextLook.empty() && writeBeforeNextLook == path) {
        writeBeforeNextLook.clear();
        std::ofstream(path, std::ios::app) << "theirs";
    }
    return real(path, st);
}

namespace {

std::vector<std::string> listing(const std::string& folder) {
    std::vector<std::string> names;
    DirectoryReader r;
    FindData fd;
    if (r.open(folder))
        while (r.next(fd)) names.push_back(fd.name);
    std::sort(names.begin(), names.end());
    return names;
}

long changeTime(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_ctim.tv_nsec;
}

} // namespace

TEST(Rename, RenamesAndKeepsContent) {
    TempDir dir;
    dir.file("a.txt", "alpha");
    const std::string steps[] = {"a.txt", "b.txt",  "B.TXT", "\xE4rger.txt",
                                 "-dash", std::string(255, 'z')};
    for (std::size_t i = 1; i < std::size(steps); ++i) {
        SCOPED_TRACE(steps[i]);
        refuseNoReplace = i % 2 == 0; // every other rename through a hard link
        ASSERT_TRUE(renameNoReplace(dir / steps[i - 1], dir / steps[i]).ok());
        refuseNoReplace = false;
        EXPECT_EQ(listing(dir.path()), std::vector<std::string>{steps[i]});
        EXPECT_EQ(TempDir::read(dir / steps[i]), "alpha");
    }
}

// A refused rename leaves both files as they were; the source is not even moved for a moment
// (a rename changes its ctime), since a crash then would leave it under another name.
TEST(Rename, NeverReplacesAnExistingFileAndTouchesNothing) {
    TempDir dir;
    dir.file("a.txt", "alpha");
    dir.file("b.txt", "beta");
    dir.file("A.TXT", "other alpha"); // a file of its own on a case-sensitive file system
    mkdir((dir / "folder").c_str(), 0755);
    const long before = changeTime(dir / "a.txt");
    std::this_thread::sleep_for(std::chrono::milliseconds(10)); // past the clock's granularity
    for (const bool refused : {false, true})
        for (const char* target : {"b.txt", "folder", "A.TXT"}) {
            SCOPED_TRACE(std::string(target) + (refused ? ", RENAME_NOREPLACE refused" : ""));
            refuseNoReplace = refused;
            OpResult r = renameNoReplace(dir / "a.txt", dir / target);
            refuseNoReplace = false;
            EXPECT_EQ(r.code, ERROR_FILE_EXISTS);
            EXPECT_EQ(r.text(), "Die Datei existiert bereits.\n");
        }
    EXPECT_EQ(TempDir::read(dir / "a.txt"), "alpha");
    EXPECT_EQ(TempDir::read(dir / "b.txt"), "beta");
    EXPECT_EQ(TempDir::read(dir / "A.TXT"), "other alpha");
    EXPECT_EQ(changeTime(dir / "a.txt"), before);
    EXPECT_EQ(listing(dir.path()), (std::vector<std::string>{"A.TXT", "a.txt", "b.txt", "folder"}));
}

TEST(Rename, FailuresNameWhatIsMissingOrWrongAndLeaveNothingBehind) {
    TempDir dir;
    dir.file("a.txt", "alpha");
    EXPECT_EQ(renameNoReplace(dir / "gone.txt", dir / "x.txt").code, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(renameNoReplace(dir / "nofolder/a.txt", dir / "nofolder/x.txt").code, ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(renameNoReplace(dir / "a.txt", dir / std::string(256, 'l')).code, ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(listing(dir.path()), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(TempDir::read(dir / "a.txt"), "alpha");
}

// Without RENAME_NOREPLACE and hard links the new name is first held by an empty placeholder:
// a rename that failed is never reported as done, and only our own placeholder is removed.
TEST(Rename, ThePlaceholderWayReportsFailuresAndRemovesOnlyItsOwnPlaceholder) {
    TempDir dir;
    dir.file("a.txt", "alpha");
    refuseNoReplace = refuseLinks = true;
    const bool moved = renameNoReplace(dir / "a.txt", dir / "b.txt").ok();
    const OpResult gone = renameNoReplace(dir / "gone.txt", dir / "x.txt");
    theirsAtNextRename = true;
    const OpResult theirs = renameNoReplace(dir / "b.txt", dir / "c.txt");
    refuseNoReplace = refuseLinks = false;
    EXPECT_TRUE(moved);
    EXPECT_EQ(gone.code, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(theirs.ok());
    EXPECT_EQ(listing(dir.path()), (std::vector<std::string>{"b.txt", "c.txt"}));
    EXPECT_EQ(TempDir::read(dir / "b.txt"), "alpha");
    EXPECT_EQ(TempDir::read(dir / "c.txt"), "");
}

// A folder without write permission, and a sticky one (like /tmp) holding another user's file:
// the rename is refused and the file stays, also where the way through a hard link is taken.
TEST(Rename, AFolderThatForbidsItRefusesAndKeepsTheFile) {
    TempDir dir;
    for (const auto& [folder, mode] : {std::pair{"ro", 0555}, {"sticky", 01777}}) {
        mkdir((dir / folder).c_str(), 0755);
        chmod(dir.file(std::string(folder) + "/a.txt", "alpha").c_str(), 0666);
        chmod((dir / folder).c_str(), mode);
    }
    chmod(dir.path().c_str(), 0755);
    EXPECT_CHILD_OK([&]() -> std::string {
        if (geteuid() != 0) return "SKIP: needs root to make another user's file";
        if (setgid(65534) != 0 || setuid(65534) != 0) return "SKIP: cannot drop root";
        std::string result;
        for (const bool refused : {false, true})
            for (const char* folder : {"ro", "sticky"}) {
                refuseNoReplace = refused;
                const OpResult r = renameNoReplace(dir / folder + "/a.txt", dir / folder + "/b.txt");
                if (r.code != ERROR_ACCESS_DENIED || TempDir::read(dir / folder + "/a.txt") != "alpha")
                    result += std::string(folder) + (refused ? " refused" : "") + ": code " + std::to_string(r.code) + "\n";
            }
        return result;
    });
    EXPECT_EQ(listing(dir / "ro"), std::vector<std::string>{"a.txt"});
}

// On FAT, names that differ only in case name the same file: a change of case goes through a
// temporary name, and an existing target is still refused. Through fusefat, which refuses both
// RENAME_NOREPLACE and hard links, every rename takes the placeholder way.
TEST(Rename, OnAFatFileSystemNothingIsEverReplaced) {
    TempDir dir;
    const std::string image = dir / "fat.img";
    const std::string mnt = dir / "mnt";
    mkdir(mnt.c_str(), 0755);
    const std::string longName = std::string(240, 'l') + ".txt";
    const std::string longUpper = std::string(240, 'L') + ".TXT";
    const struct {
        const char* from;
        std::string to;
        std::uint32_t code;   // the result that must come
        bool orFails = false; // or else a failure that leaves everything as it was
        bool theirsMeanwhile = false; // another program writes into the new name meanwhile
    } steps[] = {
        {"report.txt", "Report.TXT", ERROR_SUCCESS},
        {"other.txt", "REPORT.txt", ERROR_FILE_EXISTS},
        {"other.txt", "renamed.txt", ERROR_SUCCESS},
        {"renamed.txt", "Report.TXT", ERROR_FILE_EXISTS},
        {"Report.TXT", "Ordner/REPORT.txt", ERROR_FILE_EXISTS}, // into a folder that has it
        {"gone.txt", "x.txt", ERROR_FILE_NOT_FOUND},
        {"renamed.txt", "theirs.txt", ERROR_FILE_EXISTS, false, true},
        // Here the way through a temporary name may fail: the name is too long for FAT, and a
        // folder cannot take the place of a placeholder file.
        {longName.c_str(), longUpper, ERROR_SUCCESS, true},
        {"Ordner", "ORDNER", ERROR_SUCCESS, true},
    };
    EXPECT_CHILD_OK(
        [&]() -> std::string {
            if (std::string skip = mountFatImage(image, mnt, true); !skip.empty()) return skip;
            const auto put = [&](const std::string& name, const char* text) {
                std::ofstream(mnt + "/" + name) << text;
            };
            put("report.txt", "r");
            put("other.txt", "o");
            put(longName, "long");
            mkdir((mnt + "/Ordner").c_str(), 0755);
            put("Ordner/REPORT.txt", "inside");
            const NameRules rules = nameRulesOf(mnt);
            if (!rules.windowsNames || !rules.caseInsensitive) return "FAT not recognised";
            std::string result;
            for (const auto& s : steps) {
                const std::vector<std::string> before = listing(mnt);
                if (s.theirsMeanwhile) writeBeforeNextLook = mnt + "/" + s.to;
                const OpResult r = renameNoReplace(mnt + "/" + s.from, mnt + "/" + s.to);
                const std::vector<std::string> after = listing(mnt);
                const bool failedCleanly = !r.ok() && (s.theirsMeanwhile || after == before);
                const bool done = r.ok() && std::count(after.begin(), after.end(), s.to) == 1;
                if (r.code == s.code ? !(done || failedCleanly)
                                     : !(s.orFails && failedCleanly && r.code != ERROR_FILE_EXISTS))
                    result += std::string(s.from) + " -> " + s.to + ": code " + std::to_string(r.code) + "\n";
            }
            // FAT finds each file under either case of its name.
            if (TempDir::read(mnt + "/report.txt") != "r" || TempDir::read(mnt + "/renamed.txt") != "o" ||
                TempDir::read(mnt + "/theirs.txt") != "theirs" || TempDir::read(mnt + "/" + longName) != "long" ||
                TempDir::read(mnt + "/ordner/report.txt") != "inside")
                result += "content lost or changed\n";
            for (const std::string& folder : {mnt, mnt + "/ordner"})
                for (const std::string& name : listing(folder))
                    if (name.find("orvane") != std::string::npos) result += "left behind: " + name + "\n";
            umount2(mnt.c_str(), MNT_DETACH);
            return result;
        },
        true);
}

TEST(NaturalOrder, NumbersByValueAndCaseIgnored) {
    const NaturalOrder order;
    const std::vector<std::string> sorted{"a.txt", "B.txt", "c.txt", "Seite 2", "seite 10", "Seite 10a", "\xE4rger"};
    for (std::size_t i = 0; i + 1 < sorted.size(); ++i) {
        EXPECT_LT(order.compare(sorted[i], sorted[i + 1]), 0) << sorted[i] << " < " << sorted[i + 1];
        EXPECT_LT(order.key(sorted[i]), order.key(sorted[i + 1])) << sorted[i];
    }
    EXPECT_EQ(order.compare("x", "x"), 0);
    EXPECT_NE(order.compare("X", "x"), 0); // equal but for case: still one fixed order
}
