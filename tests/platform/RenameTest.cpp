#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DirectoryReader.h"
#include "platform/NameRules.h"
#include "platform/NaturalOrder.h"
#include "platform/Rename.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace {

bool exists(const std::string& p) {
    struct stat st {};
    return lstat(p.c_str(), &st) == 0;
}

std::vector<std::string> listing(const std::string& folder) {
    std::vector<std::string> names;
    DirectoryReader r;
    FindData fd;
    if (r.open(folder))
        while (r.next(fd)) names.push_back(fd.name);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(Rename, RenamesAndKeepsContent) {
    TempDir dir;
    dir.file("a.txt", "alpha");
    const struct {
        const char* from;
        std::string to;
    } steps[] = {
        {"a.txt", "b.txt"},           {"b.txt", "B.TXT"}, // case only: a rename of its own
        {"B.TXT", "\xE4rger.txt"},    {"\xE4rger.txt", "-dash"},
        {"-dash", std::string(255, 'z')},
    };
    std::string current = "a.txt";
    for (const auto& s : steps) {
        SCOPED_TRACE(s.to);
        ASSERT_TRUE(renameNoReplace(dir / s.from, dir / s.to).ok());
        EXPECT_FALSE(exists(dir / s.from));
        EXPECT_EQ(TempDir::read(dir / s.to), "alpha");
        current = s.to;
    }
    EXPECT_EQ(listing(dir.path()).size(), 1u);
}

TEST(Rename, NeverReplacesAnExistingFile) {
    TempDir dir;
    dir.file("a.txt", "alpha");
    dir.file("b.txt", "beta");
    OpResult r = renameNoReplace(dir / "a.txt", dir / "b.txt");
    EXPECT_EQ(r.code, ERROR_FILE_EXISTS);
    EXPECT_EQ(r.text(), "Die Datei existiert bereits.\n");
    EXPECT_EQ(TempDir::read(dir / "a.txt"), "alpha");
    EXPECT_EQ(TempDir::read(dir / "b.txt"), "beta");
    mkdir((dir / "folder").c_str(), 0755);
    EXPECT_EQ(renameNoReplace(dir / "a.txt", dir / "folder").code, ERROR_FILE_EXISTS);
    EXPECT_EQ(TempDir::read(dir / "a.txt"), "alpha");
}

TEST(Rename, FailuresNameWhatIsMissingOrWrong) {
    TempDir dir;
    dir.file("a.txt", "alpha");
    EXPECT_EQ(renameNoReplace(dir / "gone.txt", dir / "x.txt").code, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(renameNoReplace(dir / "nofolder/a.txt", dir / "nofolder/x.txt").code, ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(renameNoReplace(dir / "a.txt", dir / std::string(256, 'l')).code,
              ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(TempDir::read(dir / "a.txt"), "alpha");
}

TEST(Rename, PathsNearTheLimit) {
    TempDir dir;
    std::string folder = dir.path();
    while (folder.size() + 256 < PATH_MAX - 300) {
        folder += "/" + std::string(200, 'd');
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    }
    const std::string from = folder + "/a";
    TempDir::read(from);
    { std::ofstream(from) << "deep"; }
    std::string longName(PATH_MAX - folder.size() - 2, 'x'); // the path then needs PATH_MAX bytes
    if (longName.size() > 255) longName.resize(255);
    EXPECT_TRUE(renameNoReplace(from, folder + "/" + longName).ok());
    EXPECT_EQ(TempDir::read(folder + "/" + longName), "deep");
}

TEST(Rename, ReadOnlyFolderRefusesAndKeepsTheFile) {
    TempDir dir;
    mkdir((dir / "ro").c_str(), 0755);
    dir.file("ro/a.txt", "alpha");
    chmod((dir / "ro").c_str(), 0555);
    chmod(dir.path().c_str(), 0755);
    EXPECT_CHILD_OK([&]() -> std::string {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return "SKIP: cannot drop root";
        OpResult r = renameNoReplace(dir / "ro/a.txt", dir / "ro/b.txt");
        return r.code == ERROR_ACCESS_DENIED ? "" : "code " + std::to_string(r.code);
    });
    EXPECT_TRUE(exists(dir / "ro/a.txt"));
    EXPECT_FALSE(exists(dir / "ro/b.txt"));
}

// On FAT, names differ only in case name the same file: a change of case goes through a
// temporary name, and an existing target is still refused. Through fusefat, which refuses both
// RENAME_NOREPLACE and hard links, every rename takes the placeholder way.
TEST(Rename, OnAFatFileSystemNothingIsEverReplaced) {
    TempDir dir;
    const std::string image = dir / "fat.img";
    const std::string mnt = dir / "mnt";
    mkdir(mnt.c_str(), 0755);
    EXPECT_CHILD_OK(
        [&]() -> std::string {
            if (std::string skip = mountFatImage(image, mnt, true); !skip.empty()) return skip;
            std::string result;
            { std::ofstream(mnt + "/report.txt") << "r"; }
            { std::ofstream(mnt + "/other.txt") << "o"; }
            const NameRules rules = nameRulesOf(mnt);
            if (!rules.windowsNames || !rules.caseInsensitive) result = "FAT not recognised as a Windows file system";
            const std::vector<std::string> expected{"Report.TXT", "renamed.txt"};
            if (!result.empty()) {
            } else if (!renameNoReplace(mnt + "/report.txt", mnt + "/Report.TXT").ok()) result = "case rename failed";
            else if (renameNoReplace(mnt + "/other.txt", mnt + "/REPORT.txt").code != ERROR_FILE_EXISTS)
                result = "replaced a file that differs only in case";
            else if (!renameNoReplace(mnt + "/other.txt", mnt + "/renamed.txt").ok()) result = "plain rename failed";
            else if (renameNoReplace(mnt + "/renamed.txt", mnt + "/Report.TXT").code != ERROR_FILE_EXISTS)
                result = "replaced an existing file";
            else if (listing(mnt) != expected) result = "listing wrong";
            else if (TempDir::read(mnt + "/Report.TXT") != "r" || TempDir::read(mnt + "/renamed.txt") != "o")
                result = "content changed";
            umount2(mnt.c_str(), MNT_DETACH);
            return result;
        },
        true);
}

TEST(NameRules, OnlyWindowsFileSystemsRefuseCharactersAndIgnoreCase) {
    for (const char* type : {"vfat", "exfat", "ntfs3", "cifs", "fuseblk", "fuse.fusefat"})
        EXPECT_TRUE(nameRulesOfType(type).windowsNames && nameRulesOfType(type).caseInsensitive) << type;
    for (const char* type : {"ext4", "btrfs", "xfs", "tmpfs", "overlay", "fuse.sshfs", ""})
        EXPECT_FALSE(nameRulesOfType(type).windowsNames || nameRulesOfType(type).caseInsensitive) << type;
    TempDir dir;
    EXPECT_FALSE(nameRulesOf(dir.path()).windowsNames);
    EXPECT_EQ(withoutTrailingDotsAndSpaces("a. . "), "a");
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
