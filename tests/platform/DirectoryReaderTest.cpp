#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DirectoryReader.h"
#include "platform/FileTimes.h"
#include "tests/support/TempDir.h"

namespace {

std::map<std::string, FindData> readAll(const std::string& folder, std::uint32_t* error = nullptr) {
    std::map<std::string, FindData> entries;
    DirectoryReader reader;
    EXPECT_TRUE(reader.open(folder)) << folder;
    FindData fd;
    while (reader.next(fd)) entries[fd.name] = fd;
    if (error) *error = reader.error();
    return entries;
}

} // namespace

TEST(DirectoryReader, NamesAreKeptAsBytesWhateverTheyHold) {
    TempDir dir;
    const std::string names[] = {"plain.txt", "Grüße.txt", "\xE4rger.txt", "line\nbreak",
                                 "-leading-dash", std::string(255, 'n'), " spaced ", "日本語.md"};
    for (const auto& n : names) dir.file(n, "x");
    auto entries = readAll(dir.path());
    ASSERT_EQ(entries.size(), std::size(names));
    for (const auto& n : names) EXPECT_TRUE(entries.count(n)) << n;
    EXPECT_FALSE(entries.count(".")) << "dot entries are left out";
}

TEST(DirectoryReader, RecordsHoldSizeTimesAndAttributes) {
    TempDir dir;
    dir.file("empty");
    dir.file("kilo", std::string(1025, 'k'));
    dir.file(".hidden", "h");
    chmod(dir.file("readonly", "r").c_str(), 0444);
    mkdir((dir / "sub").c_str(), 0755);
    auto e = readAll(dir.path());
    EXPECT_EQ(e["empty"].size, 0u);
    EXPECT_EQ(e["kilo"].size, 1025u);
    const std::uint32_t R = FILE_ATTRIBUTE_READONLY, H = FILE_ATTRIBUTE_HIDDEN, D = FILE_ATTRIBUTE_DIRECTORY;
    for (const auto& [name, want] : std::map<std::string, std::uint32_t>{
             {".hidden", H}, {"readonly", R}, {"kilo", 0}, {"sub", D}})
        EXPECT_EQ(e[name].attributes & (R | H | D), want) << name;

    FileTimes t;
    ASSERT_TRUE(readFileTimes(dir / "kilo", t).ok());
    EXPECT_EQ(e["kilo"].lastWriteTime, t.lastWrite);
    EXPECT_EQ(e["kilo"].lastAccessTime, t.lastAccess);
    EXPECT_EQ(e["kilo"].creationTime, t.creation);
    EXPECT_GT(e["kilo"].lastWriteTime.ticks(), kUnixEpochTicks);
}

// Links and pipes: a link to a file is a file with the link's own data; a link to a
// folder is never followed; anything that is no file is marked to be skipped.
TEST(DirectoryReader, SpecialEntriesAreMarked) {
    TempDir dir;
    dir.file("target.txt", "0123456789");
    mkdir((dir / "folder").c_str(), 0755);
    for (const auto& [link, target] : std::map<std::string, std::string>{
             {"link-to-file", "target.txt"}, {"link-to-folder", "folder"}, {"dangling", "nowhere"},
             {"loop-a", "loop-b"}, {"loop-b", "loop-a"}})
        symlink(target.c_str(), (dir / link).c_str());
    mkfifo((dir / "pipe").c_str(), 0644); // stands for sockets and devices too
    auto e = readAll(dir.path());
    const std::uint32_t skip = FILE_ATTRIBUTE_TEMPORARY, D = FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(e["link-to-file"].size, std::string("target.txt").size()); // the link's own size
    for (const auto& [name, want] : std::map<std::string, std::uint32_t>{ // a loop is no folder
             {"link-to-file", 0}, {"link-to-folder", skip}, {"dangling", 0}, {"loop-a", 0},
             {"pipe", skip}, {"folder", D}})
        EXPECT_EQ(e[name].attributes & (skip | D), want) << name;
}

TEST(DirectoryReader, PseudoFileSystemsAreSystemFolders) {
    auto e = readAll("/");
    if (!e.count("proc")) GTEST_SKIP() << "no /proc";
    EXPECT_EQ(e["proc"].attributes & FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(e["usr"].attributes & FILE_ATTRIBUTE_SYSTEM, 0u);
}

TEST(DirectoryReader, MissingAndWrongFoldersGiveTheirCodes) {
    TempDir dir;
    DirectoryReader r;
    for (const std::string& folder : {dir / "missing", dir.file("plain"), dir / "missing/deeper"}) {
        EXPECT_FALSE(r.open(folder)) << folder;
        EXPECT_EQ(r.error(), ERROR_PATH_NOT_FOUND) << folder;
    }
}

// A file deleted after the folder was listed but before it is examined is simply not there.
TEST(DirectoryReader, EntryThatVanishesIsLeftOut) {
    TempDir dir;
    for (int i = 0; i < 20; ++i) dir.file("f" + std::to_string(i));
    DirectoryReader r;
    FindData fd;
    ASSERT_TRUE(r.open(dir.path()) && r.next(fd)); // the whole small folder is in the buffer now
    for (int i = 0, removed = 0; i < 20 && removed < 5; ++i)
        if (const std::string n = "f" + std::to_string(i); n != fd.name)
            removed += unlink((dir / n).c_str()) == 0;
    int seen = 1;
    while (r.next(fd)) ++seen;
    EXPECT_EQ(r.error(), 0u);
    EXPECT_EQ(seen, 15);
}
