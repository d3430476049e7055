#pragma once

// A throw-away tree of real files for the file benchmarks: folders two levels deep, each leaf
// folder holding files named from the benchmark corpus, with small sizes and times spread over
// twenty years. The tree lives under a fresh temporary folder and is removed with the object.

#include <cstddef>
#include <cstdint>
#include <string>

// splitmix64, as the corpus uses: the same tree and the same rows on every run.
struct Rng {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
        z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
        return z ^ (z >> 31);
    }
    std::uint64_t below(std::uint64_t n) { return next() % n; }
};

class FileTree {
public:
    // Makes leafFolders folders of filesPerFolder files each under a new folder in parent.
    // Throws std::runtime_error when the file system refuses.
    FileTree(const std::string& parent, int leafFolders, int filesPerFolder);
    // A tree an earlier run kept, counted and left in place; for profiling the measurements
    // without paying for a new tree each time.
    explicit FileTree(const std::string& existingRoot);
    ~FileTree();

    // Leaves the tree on disk when the object goes.
    void keep() { keep_ = true; }
    FileTree(const FileTree&) = delete;
    FileTree& operator=(const FileTree&) = delete;

    const std::string& root() const { return root_; }
    std::size_t files() const { return files_; }
    std::size_t folders() const { return folders_; } // below the root
    std::uint64_t bytes() const { return bytes_; }   // sum of the file sizes
    double secondsToMake() const { return seconds_; }

private:
    std::string root_;
    std::size_t files_ = 0;
    std::size_t folders_ = 0;
    std::uint64_t bytes_ = 0;
    double seconds_ = 0;
    bool keep_ = false;
};
