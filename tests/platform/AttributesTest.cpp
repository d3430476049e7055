#include <gtest/gtest.h>

#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/FileAttributes.h"
#include "platform/FileTime.h"
#include "platform/FileTimes.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t A = FILE_ATTRIBUTE_ARCHIVE, R = FILE_ATTRIBUTE_READONLY,
                        H = FILE_ATTRIBUTE_HIDDEN, S = FILE_ATTRIBUTE_SYSTEM;

std::uint32_t attrs(const std::string& path) {
    std::uint32_t a = 0;
    EXPECT_TRUE(getFileAttributes(path, a).ok()) << path;
    return a & kChangeableAttributes;
}

std::string dosAttrib(const std::string& path) {
    char buf[64] = {};
    ssize_t n = lgetxattr(path.c_str(), "user.DOSATTRIB", buf, sizeof buf - 1);
    return n < 0 ? std::string("<none>") : std::string(buf, static_cast<std::size_t>(n));
}

FileTimes timesOf(const std::string& path) {
    FileTimes t;
    EXPECT_TRUE(readFileTimes(path, t).ok()) << path;
    return t;
}

bool hasUserXattrs(const std::string& folder) {
    const std::string probe = folder + "/.probe";
    { std::ofstream(probe) << ""; }
    bool ok = lsetxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
    unlink(probe.c_str());
    return ok;
}

} // namespace

TEST(Attributes, EveryCombinationRoundTripsOnAFileSystemWithXattrs) {
    TempDir dir;
    if (!hasUserXattrs(dir.path())) GTEST_SKIP() << "temporary folder keeps no user xattrs";
    const std::string f = dir.file("file.txt", "x");
    for (std::uint32_t want = 0; want <= kChangeableAttributes; ++want) {
        if (want & ~kChangeableAttributes) continue;
        SCOPED_TRACE(want);
        ASSERT_TRUE(setFileAttributes(f, want).ok());
        EXPECT_EQ(attrs(f), want); // R as the mode: see ReadOnlyIsTheWritePermission
        EXPECT_EQ(TempDir::read(f), "x");
    }
    ASSERT_TRUE(setFileAttributes(f, A | S).ok());
    EXPECT_EQ(dosAttrib(f), "0x24"); // the text form other programs read
    ASSERT_TRUE(setFileAttributes(f, 0).ok());
    EXPECT_EQ(dosAttrib(f), "<none>");
}

// R is the owner's write permission: clearing it gives back that one bit only.
TEST(Attributes, ReadOnlyIsTheWritePermission) {
    TempDir dir;
    const std::string f = dir.file("f", "x");
    chmod(f.c_str(), 0444);
    EXPECT_EQ(attrs(f) & R, R);
    for (const auto& [want, mode] : {std::pair{0u, fs::perms(0644)}, {R, fs::perms(0444)}}) {
        ASSERT_TRUE(setFileAttributes(f, want).ok());
        EXPECT_EQ(fs::status(f).permissions(), mode);
    }
    std::uint32_t a = 0;
    EXPECT_EQ(getFileAttributes(dir / "none", a).code, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(setFileAttributes(dir / "none", A).code, ERROR_FILE_NOT_FOUND);
}

TEST(Attributes, DotFilesStayHidden) {
    TempDir dir;
    const std::string f = dir.file(".config", "x");
    EXPECT_EQ(attrs(f), H);
    OpResult r = setFileAttributes(f, 0);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.text().find("Punkt"), std::string::npos) << r.text();
    EXPECT_EQ(attrs(f), H);
    if (hasUserXattrs(dir.path())) {
        ASSERT_TRUE(setFileAttributes(f, H | A).ok());
        EXPECT_EQ(attrs(f), H | A);
    }
}

// A file system that keeps no extended attributes refuses A, H and S with a clear message and
// changes nothing, not even R when both were asked for.
TEST(Attributes, FileSystemWithoutXattrsRefusesCleanly) {
    TempDir dir;
    const std::string mnt = dir / "mnt";
    mkdir(mnt.c_str(), 0755);
    EXPECT_CHILD_OK(
        [&]() -> std::string {
            if (mount("none", mnt.c_str(), "ramfs", 0, nullptr) != 0) return "SKIP: cannot mount ramfs";
            const std::string f = mnt + "/file";
            std::ofstream(f) << "x";
            OpResult r = setFileAttributes(f, A | R);
            std::uint32_t a = 99;
            getFileAttributes(f, a);
            struct stat st {};
            stat(f.c_str(), &st);
            const bool readOnlyAlone = setFileAttributes(f, R).ok();
            umount2(mnt.c_str(), MNT_DETACH);
            if (r.ok()) return "A was accepted";
            if (r.text().find("Dateisystem") == std::string::npos) return "unclear text: " + r.text();
            if ((a & kChangeableAttributes) != 0 || (st.st_mode & 0200) == 0) return "half changed";
            return readOnlyAlone ? "" : "R alone must still work";
        },
        true);
}

// On FAT the attributes are the file system's own, all four of them (the kernel's vfat only:
// fusefat keeps none).
TEST(Attributes, FatKeepsItsOwnAttributes) {
    TempDir dir;
    const std::string mnt = dir / "mnt";
    mkdir(mnt.c_str(), 0755);
    EXPECT_CHILD_OK(
        [&]() -> std::string {
            if (std::string skip = mountFatImage(dir / "fat.img", mnt); !skip.empty()) return skip;
            const std::string f = mnt + "/file.txt";
            std::ofstream(f) << "x";
            std::string result;
            for (std::uint32_t want : {A, A | R | H | S, H | S, R, 0u}) {
                std::uint32_t got = 0;
                if (!setFileAttributes(f, want).ok() || !getFileAttributes(f, got).ok() ||
                    (got & kChangeableAttributes) != want)
                    result += "want " + std::to_string(want) + " got " + std::to_string(got) + "\n";
            }
            umount2(mnt.c_str(), MNT_DETACH);
            return result;
        },
        true);
}

// Times go to disk with full precision, each only when asked for; a read-only file's times can
// still be set by its owner.
TEST(FileTimes, SetKeepsFullPrecisionAndLeavesOthersAlone) {
    TempDir dir;
    const std::string f = dir.file("f", "x");
    chmod(f.c_str(), 0444);
    const FileTimes before = timesOf(f);
    // 2014-04-01 08:00:00.1234567 and 2001-09-09 01:46:40.9999999
    const FILETIME access = FILETIME::fromTicks(kUnixEpochTicks + 13963392001234567ULL),
                   write = FILETIME::fromTicks(kUnixEpochTicks + 10000000009999999ULL);
    ASSERT_TRUE(setFileTimes(f, nullptr, &access, nullptr).ok());
    EXPECT_EQ(timesOf(f).lastAccess, access);
    EXPECT_EQ(timesOf(f).lastWrite, before.lastWrite);
    ASSERT_TRUE(setFileTimes(f, nullptr, nullptr, &write).ok());
    EXPECT_EQ(timesOf(f).lastWrite, write);
    EXPECT_EQ(timesOf(f).lastAccess, access);
}

// Where the creation time cannot be written, the call fails with a clear text and nothing
// changes, not even the other two times that were asked for.
TEST(FileTimes, CreationTimeRefusedWithoutChangingAnything) {
    TempDir dir;
    const std::string f = dir.file("f", "x");
    const FileTimes before = timesOf(f);
    const FILETIME t = FILETIME::fromTicks(kUnixEpochTicks + 12000000000000000ULL);
    OpResult r = setFileTimes(f, &t, &t, &t);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.text().find("Erstellungszeit"), std::string::npos) << r.text();
    const FileTimes after = timesOf(f);
    EXPECT_EQ(after.lastWrite, before.lastWrite);
    EXPECT_EQ(after.lastAccess, before.lastAccess);
    EXPECT_EQ(setFileTimes(dir / "none", nullptr, &t, nullptr).code, ERROR_FILE_NOT_FOUND);
}
