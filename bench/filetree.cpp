#include "bench/filetree.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

#include "bench/corpus.h"

namespace {

// Leaf folders are grouped under parents of this many, so that the scan has to recurse.
constexpr int kGroup = 10;

constexpr std::array kParentNames{"Fotos",    "Musik",  "Dokumente", "Rechnungen", "Projekte",
                                  "Urlaub",   "Scans",  "Archiv",    "Downloads",  "Schule",
                                  "Familie",  "Steuer", "Videos",    "Backup",     "Verein",
                                  "Hochzeit", "Garten", "Auto",      "Wohnung",    "Bewerbung"};
constexpr std::array kLeafNames{"Januar",  "Februar", "März",       "April",  "Mai",
                                "Juni",    "Juli",    "August",     "Sommer", "Winter",
                                "Ostsee",  "Berlin",  "Geburtstag", "Alt",    "Neu",
                                "Entwurf", "Fertig",  "Sonstiges",  "Kopie",  "Export"};

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}


// Names from the corpus in order, refilled with another seed when used up.
class NameStream {
public:
    explicit NameStream(std::size_t batch) : batch_(batch) {}
    const std::string& next() {
        if (at_ == names_.size()) {
            names_ = makeCorpus(batch_, kCorpusSeed + 1000 + refills_++);
            at_ = 0;
        }
        return names_[at_++];
    }

private:
    std::size_t batch_;
    std::vector<std::string> names_;
    std::size_t at_ = 0;
    std::uint64_t refills_ = 0;
};

bool usable(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string twoDigits(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

int removeEntry(const char* path, const struct stat*, int, struct FTW*) {
    return ::remove(path) == 0 ? 0 : -1;
}

// nftw offers no user pointer.
FileTree* gCounting = nullptr;

} // namespace

FileTree::FileTree(const std::string& parent, int leafFolders, int filesPerFolder) {
    const auto t0 = std::chrono::steady_clock::now();
    std::string pattern = parent + "/orvane-files-XXXXXX";
    if (!mkdtemp(pattern.data())) fail("cannot make", pattern);
    root_ = pattern;

    Rng rng{0x5eed0f11e5ULL};
    NameStream names(static_cast<std::size_t>(leafFolders) * filesPerFolder + 1000);
    // 2005-01-01 .. 2025-01-01 in Unix seconds.
    constexpr std::int64_t kFrom = 1104537600, kSpan = 631152000;

    for (int leaf = 0; leaf < leafFolders; ++leaf) {
        const int group = leaf / kGroup;
        const std::string groupPath = root_ + "/" + kParentNames[group % kParentNames.size()] +
                                      " " + std::to_string(2005 + group);
        if (leaf % kGroup == 0) {
            if (mkdir(groupPath.c_str(), 0755) != 0) fail("cannot make", groupPath);
            ++folders_;
        }
        const std::string leafPath = groupPath + "/" + twoDigits(leaf % kGroup + 1) + " " +
                                     kLeafNames[leaf % kLeafNames.size()];
        if (mkdir(leafPath.c_str(), 0755) != 0) fail("cannot make", leafPath);
        ++folders_;
        const int dir = open(leafPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0) fail("cannot open", leafPath);

        std::unordered_set<std::string> taken;
        for (int made = 0; made < filesPerFolder;) {
            const std::string& name = names.next();
            if (!usable(name) || !taken.insert(name).second) continue;
            const int fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0) fail("cannot make", leafPath + "/" + name);
            // Sizes from 64 bytes to 1 MiB, most of them small; sparse, so the disk stays empty.
            const int bits = 6 + static_cast<int>(rng.below(15));
            const off_t size = static_cast<off_t>(rng.below(std::uint64_t{1} << bits));
            if (ftruncate(fd, size) != 0) fail("cannot size", name);
            const std::int64_t mtime = kFrom + static_cast<std::int64_t>(rng.below(kSpan));
            const std::int64_t atime = mtime + static_cast<std::int64_t>(rng.below(86400 * 400));
            const struct timespec times[2] = {{atime, static_cast<long>(rng.below(1000000000))},
                                              {mtime, static_cast<long>(rng.below(1000000000))}};
            if (futimens(fd, times) != 0) fail("cannot set the times of", name);
            if (rng.below(100) < 3 && fchmod(fd, 0444) != 0) fail("cannot protect", name);
            close(fd);
            bytes_ += static_cast<std::uint64_t>(size);
            ++files_;
            ++made;
        }
        close(dir);
    }
    seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

FileTree::FileTree(const std::string& existingRoot) : root_(existingRoot), keep_(true) {
    struct Count {
        static int entry(const char* path, const struct stat* st, int type, struct FTW* ftw) {
            if (ftw->level == 0) return 0;
            if (type == FTW_F) {
                ++gCounting->files_;
                gCounting->bytes_ += static_cast<std::uint64_t>(st->st_size);
            } else if (type == FTW_D) {
                ++gCounting->folders_;
            } else {
                errno = ENOENT;
                fail("cannot read", path);
            }
            return 0;
        }
    };
    gCounting = this;
    if (nftw(root_.c_str(), Count::entry, 32, FTW_PHYS) != 0) fail("cannot read", root_);
    gCounting = nullptr;
}

FileTree::~FileTree() {
    if (!root_.empty() && !keep_) nftw(root_.c_str(), removeEntry, 32, FTW_DEPTH | FTW_PHYS);
}
