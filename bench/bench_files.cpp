// The file benchmark: how fast folders are read, and scanned into the file list, next to find(1)
// on the same tree in the same run; how much heap a listed file costs; how long sorting a
// million rows takes; and how fast the search engine walks a million names.
//
// Usage: bench_files [--folders N] [--files N] [--rows N] [--reps N] [--scan-reps N] [--tmp DIR]
//                    [--locale NAME] [--keep-tree | --tree DIR] [--only PART]...
//   --folders, --files: leaf folders of the tree and files in each (200 x 1000)
//   --rows: rows to sort and names to search (1000000)
//   --reps: runs of each enumeration (5); sorts and Find Next passes take at most 3
//   --scan-reps: runs of each scan, ours and find's (3); a scan takes seconds
//   --locale NAME: the locale of sizes, dates and name collation (de_DE, the program's users')
//   --only enum|scan|memory|sort|find narrows the run down, for profiling; may be repeated.
//   The tree is made under --tmp, else $TMPDIR, else /tmp, and removed at the end.
//   --keep-tree leaves it in place and --tree DIR measures such a kept tree again; making
//   200,000 files takes seconds, and minutes on ext4 soon after as many were deleted.
//
// Every figure is a median. Times are wall-clock times, as the user waits for them; the CPU
// time beside them (user + system, of this process or of find) tells how much of a slow
// figure a busy machine caused.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <optional>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench/corpus.h"
#include "bench/filetree.h"
#include "engine/CVNFileNameMatcher.h"
#include "ui/list/CVNFileListCtrl.h"
#include "core/list/FileListModel.h"
#include "core/list/FileListRecord.h"
#include "platform/DirectoryReader.h"
#include "core/search/CVNSearchEngine.h"
#include "core/scan/FolderScan.h"
#include "core/scan/MessagePump.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Matches every name with an extension: most of the tree, yet the finder still has to test
// each name (it passes "*" and "*.*" through untested).
constexpr const char* kScanPattern = "*.?*";
constexpr double kEnumTarget = 0.7;  // of find's records per second
constexpr double kScanTarget = 0.5;  // of find -iname's files per second
constexpr double kBytesTarget = 300; // heap bytes per listed file
constexpr double kSortTarget = 2.0;  // seconds per sort of the full list

struct Options {
    int folders = 200;
    int files = 1000;
    int rows = 1000000;
    int reps = 5;
    int scanReps = 3;
    std::string tmp;
    std::string locale = "de_DE";
    std::string tree; // an existing tree to measure
    bool keepTree = false;
    bool enumeration = true, scan = true, memory = true, sort = true, find = true;
};

[[noreturn]] void usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s [--folders N] [--files N] [--rows N] [--reps N] [--scan-reps N]\n"
                 "       [--tmp DIR] [--locale NAME] [--keep-tree | --tree DIR]\n"
                 "       [--only enum|scan|memory|sort|find]...\n",
                 program);
    std::exit(2);
}

Options parseOptions(int argc, char** argv) {
    Options o;
    bool narrowed = false;
    auto number = [&](int& i) { return std::max(1, std::atoi(argv[++i])); };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--folders" && hasValue)
            o.folders = number(i);
        else if (a == "--files" && hasValue)
            o.files = number(i);
        else if (a == "--rows" && hasValue)
            o.rows = std::max(2, number(i));
        else if (a == "--reps" && hasValue)
            o.reps = number(i);
        else if (a == "--scan-reps" && hasValue)
            o.scanReps = number(i);
        else if (a == "--tmp" && hasValue)
            o.tmp = argv[++i];
        else if (a == "--locale" && hasValue)
            o.locale = argv[++i];
        else if (a == "--tree" && hasValue)
            o.tree = argv[++i];
        else if (a == "--keep-tree")
            o.keepTree = true;
        else if (a == "--only" && hasValue) {
            if (!narrowed) o.enumeration = o.scan = o.memory = o.sort = o.find = false;
            narrowed = true;
            const std::string part = argv[++i];
            bool* flag = part == "enum"     ? &o.enumeration
                         : part == "scan"   ? &o.scan
                         : part == "memory" ? &o.memory
                         : part == "sort"   ? &o.sort
                         : part == "find"   ? &o.find
                                            : nullptr;
            if (!flag) usage(argv[0]);
            *flag = true;
        } else {
            usage(argv[0]);
        }
    }
    if (o.tmp.empty()) {
        const char* t = std::getenv("TMPDIR");
        o.tmp = t && *t ? t : "/tmp";
    }
    return o;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double secondsSince(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

double seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6;
}

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

struct Timing {
    double wall = 0;
    double cpu = 0;
};

class Stopwatch {
public:
    Timing elapsed() const { return {secondsSince(wall_), processCpuSeconds() - cpu_}; }

private:
    Clock::time_point wall_ = Clock::now();
    double cpu_ = processCpuSeconds();
};

// Medians of wall and CPU time, each taken on its own.
struct Timings {
    std::vector<double> wall, cpu;
    void add(const Timing& t) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    Timing median() const { return {::median(wall), ::median(cpu)}; }
};

// 1234567 -> "1,234,567"
std::string grouped(double v) {
    const std::string digits = std::to_string(static_cast<long long>(std::llround(v)));
    std::string out;
    const std::size_t lead = digits[0] == '-' ? 1 : 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > lead && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string format(const char* fmt, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

// The 1, 5 and 15 minute load averages.
std::string loadAverage() {
    double l[3] = {};
    FILE* f = std::fopen("/proc/loadavg", "r");
    const bool ok = f && std::fscanf(f, "%lf %lf %lf", &l[0], &l[1], &l[2]) == 3;
    if (f) std::fclose(f);
    char buf[64] = "?";
    if (ok) std::snprintf(buf, sizeof buf, "%.2f %.2f %.2f", l[0], l[1], l[2]);
    return buf;
}

// The lines of the summary at the end.
struct Result {
    std::string what;
    std::string figure;
    std::string target;
    std::optional<bool> met; // none: for information
};
std::vector<Result> gResults;

void addResult(std::string what, std::string figure, std::string target, std::optional<bool> met) {
    gResults.push_back({std::move(what), std::move(figure), std::move(target), met});
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

// ---------------------------------------------------------------------------------------------
// find(1), run as a child

std::vector<char*> argvOf(std::vector<std::string>& args) {
    std::vector<char*> v;
    for (std::string& a : args)
        v.push_back(a.data());
    v.push_back(nullptr);
    return v;
}

// One run with its output thrown away: wall time, fork and exec included (about a
// millisecond), and the child's CPU time. Throws if it fails.
Timing timeCommand(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = argvOf(args);
    const auto t0 = Clock::now();
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    const bool started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    const bool ok = started && wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
                    WEXITSTATUS(status) == 0;
    const double wall = secondsSince(t0);
    posix_spawn_file_actions_destroy(&actions);
    if (!ok) throw std::runtime_error(args[0] + " failed");
    return {wall, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

// Bytes a command writes to its standard output.
std::size_t outputBytes(std::vector<std::string> args) {
    int fds[2];
    if (pipe(fds) != 0) return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv = argvOf(args);
    pid_t pid = 0;
    const bool started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    close(fds[1]);
    std::size_t total = 0;
    char buf[65536];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        total += static_cast<std::size_t>(n);
    close(fds[0]);
    int status = 0;
    if (started) waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return total;
}

// One line of a comparison with find: count, wall time, rate, CPU time.
void printRun(const char* who, double count, const char* unit, const Timing& t) {
    std::printf("   %-16s %9s %-8s %8.3f s %12s %s/s   CPU %6.3f s\n", who, grouped(count).c_str(),
                unit, t.wall, grouped(count / t.wall).c_str(), unit, t.cpu);
}

// ---------------------------------------------------------------------------------------------
// 1. Enumeration

struct Walk {
    std::size_t records = 0;
    std::size_t files = 0;
    std::uint64_t bytes = 0;
    std::size_t errors = 0;
};

// Every entry of every folder, depth first, as the scan descends.
void walk(const std::string& folder, Walk& w) {
    DirectoryReader reader;
    if (!reader.open(folder)) {
        ++w.errors;
        return;
    }
    std::vector<std::string> subfolders;
    FindData fd;
    while (reader.next(fd)) {
        ++w.records;
        if (fd.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(fd.attributes & FILE_ATTRIBUTE_SYSTEM))
                subfolders.push_back(folder + '/' + fd.name);
        } else {
            ++w.files;
            w.bytes += fd.size;
        }
    }
    if (reader.error()) ++w.errors;
    reader.close();
    for (const std::string& s : subfolders)
        walk(s, w);
}

void benchEnumeration(const FileTree& tree, int reps) {
    std::printf("1. Enumeration: DirectoryReader (open, next for every entry, into every folder)\n"
                "   next to find DIR -printf '%%s %%T@ %%A@\\n' > /dev/null; warm cache, median of "
                "%d runs each\n",
                reps);
    const std::vector<std::string> findArgs = {"find", tree.root(), "-printf", "%s %T@ %A@\n"};
    Walk check;
    walk(tree.root(), check); // warms the cache, and tells whether every entry was seen
    timeCommand(findArgs);
    const std::size_t findLines = outputBytes({"find", tree.root(), "-printf", "."});

    Timings ours, theirs;
    for (int r = 0; r < reps; ++r) {
        Walk w;
        const Stopwatch sw;
        walk(tree.root(), w);
        ours.add(sw.elapsed());
        theirs.add(timeCommand(findArgs));
    }
    const Timing tOurs = ours.median(), tFind = theirs.median();
    const double records = static_cast<double>(check.records);
    const double lines = static_cast<double>(findLines); // the root is one line more
    const double ratio = (records / tOurs.wall) / (lines / tFind.wall);
    const double cpuRatio = (records / tOurs.cpu) / (lines / tFind.cpu);
    printRun("DirectoryReader", records, "records", tOurs);
    printRun("find", lines, "lines", tFind);
    std::printf("   ratio %.2f of find's rate; target >= %.2f: %s   (by CPU time %.2f)\n", ratio,
                kEnumTarget, verdict(ratio >= kEnumTarget), cpuRatio);
    std::printf("   (%zu files of %s bytes seen, %zu read errors)\n\n", check.files,
                grouped(static_cast<double>(check.bytes)).c_str(), check.errors);
    if (check.files != tree.files() || check.bytes != tree.bytes() || check.errors)
        std::printf(
            "   WARNING: the tree holds %zu files of %s bytes; the reader saw otherwise\n\n",
            tree.files(), grouped(static_cast<double>(tree.bytes())).c_str());
    addResult("1 Enumeration, DirectoryReader / find",
              format("%.2f", ratio) + " (" + grouped(records / tOurs.wall) + " vs " +
                  grouped(lines / tFind.wall) + "/s)",
              ">= " + format("%.2f", kEnumTarget), ratio >= kEnumTarget);
}

// ---------------------------------------------------------------------------------------------
// 2. and 3. Scan into the list, and the memory it takes

struct ScanRun {
    Timing time;
    int listed = 0;
};

// One Find as the program runs it: the default 15 ms pump, which hands pending rows to the model
// now and then before processing events, and a last pass of the event loop so the view takes
// in the rows.
ScanRun scanOnce(CVNFileListCtrl& list, const std::string& root) {
    CVNFileNameMatcher matcher;
    MessagePump pump;
    FileListModel& model = *list.fileModel();
    pump.setBeforePump([&model] { model.maybeFlushPending(); });
    bool stop = false, quit = false;
    std::vector<std::uint32_t> ignored;
    ScanContext ctx{model, matcher, pump, 0, stop, quit, ignored, {}};
    const Stopwatch sw;
    ScanFolder(ctx, root, kScanPattern, true, false);
    model.flushPending();
    QCoreApplication::processEvents();
    return {sw.elapsed(), list.itemCount()};
}

void clearList(CVNFileListCtrl& list) {
    list.deleteAllItems();
    QCoreApplication::processEvents();
}

// Bytes of heap in use: the main arena's chunks plus the large blocks malloc maps by itself.
std::size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

long rssBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

void benchScan(const FileTree& tree, const Options& opt) {
    CVNFileListCtrl list;
    list.resize(900, 600);
    list.show(); // the list is on screen during a real Find
    QCoreApplication::processEvents();

    // The first scan pays for one-time caches (file types, locale, icon theme); its RSS growth
    // is shown for information, the heap figure is taken on a later scan.
    const long rss0 = rssBytes();
    const ScanRun first = scanOnce(list, tree.root());
    const long rss1 = rssBytes();
    clearList(list);

    if (opt.scan) {
        std::printf("2. Scan into the list: ScanFolder(\"%s\", subfolders, wildcard) into a shown "
                    "CVNFileListCtrl,\n   default 15 ms MessagePump, next to find DIR -iname '%s' "
                    "-printf '%%s %%T@\\n' > /dev/null;\n   warm cache, median of %d runs each\n",
                    kScanPattern, kScanPattern, opt.scanReps);
        const std::vector<std::string> findArgs = {"find",       tree.root(), "-iname",
                                                   kScanPattern, "-printf",   "%s %T@\n"};
        const std::size_t findMatches =
            outputBytes({"find", tree.root(), "-iname", kScanPattern, "-printf", "."});
        Timings ours, theirs;
        int listed = 0;
        for (int r = 0; r < opt.scanReps; ++r) {
            const ScanRun run = scanOnce(list, tree.root());
            listed = run.listed;
            ours.add(run.time);
            clearList(list);
            theirs.add(timeCommand(findArgs));
        }
        // The same scan into a list that is not on screen: what the view costs.
        Timings hidden;
        {
            CVNFileListCtrl offscreen;
            for (int r = 0; r < opt.scanReps; ++r) {
                hidden.add(scanOnce(offscreen, tree.root()).time);
                clearList(offscreen);
            }
        }
        const Timing tOurs = ours.median(), tFind = theirs.median(), tHidden = hidden.median();
        const double found = static_cast<double>(findMatches);
        const double ratio = (listed / tOurs.wall) / (found / tFind.wall);
        const double cpuRatio = (listed / tOurs.cpu) / (found / tFind.cpu);
        printRun("ScanFolder", listed, "files", tOurs);
        printRun("find -iname", found, "files", tFind);
        std::printf("   ratio %.2f of find's rate; target >= %.2f: %s   (by CPU time %.2f)\n",
                    ratio, kScanTarget, verdict(ratio >= kScanTarget), cpuRatio);
        printRun("list not shown", listed, "files", tHidden);
        std::printf("   (for information: %.2f of find's rate with the list not on screen)\n",
                    (listed / tHidden.wall) / (found / tFind.wall));
        std::printf("   (%zu files in the tree; the run's first scan, one-time caches included: "
                    "%.3f s)\n\n",
                    tree.files(), first.time.wall);
        addResult("2 Scan into the list, ScanFolder / find",
                  format("%.2f", ratio) + " (" + grouped(listed / tOurs.wall) + " vs " +
                      grouped(found / tFind.wall) + "/s)",
                  ">= " + format("%.2f", kScanTarget), ratio >= kScanTarget);
        clearList(list);
    }
    if (opt.memory) {
        std::printf("3. Memory per listed file: heap in use (mallinfo2 uordblks + hblkhd) before "
                    "and after\n   listing the tree into a shown, empty list\n");
        const std::size_t before = heapInUse();
        const ScanRun run = scanOnce(list, tree.root());
        const std::size_t after = heapInUse();
        const double grown = static_cast<double>(after) - static_cast<double>(before);
        const double perFile = grown / run.listed;
        std::printf(
            "   %d files listed, heap grew by %s bytes: %.1f bytes per file; target <= %.0f: "
            "%s\n",
            run.listed, grouped(grown).c_str(), perFile, kBytesTarget,
            verdict(perFile <= kBytesTarget));
        std::printf("   (sizeof(FileListRecord) = %zu; RSS grew by %.1f bytes per file on the "
                    "first scan,\n    one-time caches included)\n\n",
                    sizeof(FileListRecord),
                    static_cast<double>(rss1 - rss0) / std::max(1, first.listed));
        addResult("3 Memory per listed file", format("%.1f bytes", perFile),
                  "<= " + format("%.0f", kBytesTarget) + " bytes", perFile <= kBytesTarget);
    }
}

// ---------------------------------------------------------------------------------------------
// 4. Sorting, and 5. FindNext, over a million made-up rows


// What the enumeration would have found for a file of this name: sizes from a few bytes to
// gigabytes, most of them small, and times between 2005 and 2025.
FindData syntheticFind(Rng& rng, const std::string& name) {
    constexpr std::uint64_t kFrom = kUnixEpochTicks + 1104537600ULL * 10000000ULL;
    constexpr std::uint64_t kSpan = 631152000ULL * 10000000ULL;
    FindData fd;
    fd.name = name;
    fd.attributes = rng.below(100) < 3 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_ARCHIVE;
    const int bits = 4 + static_cast<int>(rng.below(28));
    fd.size = rng.below(std::uint64_t{1} << bits);
    const std::uint64_t created = kFrom + rng.below(kSpan);
    const std::uint64_t written = created + rng.below(kSpan / 20);
    fd.creationTime = FILETIME::fromTicks(created);
    fd.lastWriteTime = FILETIME::fromTicks(written);
    fd.lastAccessTime = FILETIME::fromTicks(written + rng.below(kSpan / 20));
    return fd;
}

std::vector<SharedText> syntheticFolders() {
    const char* parents[] = {"/home/anna/Bilder", "/home/anna/Dokumente", "/home/anna/Musik",
                             "/media/anna/USB-STICK", "/srv/archiv"};
    std::vector<SharedText> folders;
    for (const char* p : parents)
        for (int year = 2005; year <= 2025; ++year)
            for (int month = 1; month <= 12; month += 3)
                folders.push_back(std::make_shared<const std::string>(
                    std::string(p) + "/" + std::to_string(year) + "/" + std::to_string(year) + "-" +
                    (month < 10 ? "0" : "") + std::to_string(month)));
    return folders;
}

// The rows a list of that many found files holds, in batches as a scan hands them over.
template <class AddBatch> void makeRows(const std::vector<std::string>& names, AddBatch&& add) {
    const std::vector<SharedText> folders = syntheticFolders();
    Rng rng{0xf11e11575ULL};
    std::vector<std::unique_ptr<FileListRecord>> batch;
    for (const std::string& name : names) {
        batch.push_back(
            FileListRecord::make(folders[rng.below(folders.size())], syntheticFind(rng, name)));
        if (batch.size() == 10000) {
            add(std::move(batch));
            batch.clear();
        }
    }
    if (!batch.empty()) add(std::move(batch));
}

bool isSorted(const FileListModel& model, int id) {
    const int n = model.rowCount();
    // Names compare through the collator, which is slow one pair at a time: test a sample.
    const int step = id == COL_NAME ? std::max(1, n / 20000) : 1;
    for (int i = 0; i + 1 < n; i += step)
        if (FileListModel::compare(*model.record(i), *model.record(i + 1), id) > 0) return false;
    return true;
}

void benchSort(const std::vector<std::string>& names, int reps) {
    FileListModel model;
    const Stopwatch sw;
    makeRows(names, [&](std::vector<std::unique_ptr<FileListRecord>> b) {
        model.appendRows(std::move(b));
    });
    const double made = sw.elapsed().wall;
    std::printf("4. Sorting %s rows of a FileListModel (made with FileListRecord::make in %.2f s),"
                "\n   ascending; each sort starts from the order the sort by another column left, "
                "median of %d\n",
                grouped(model.rowCount()).c_str(), made, reps);
    struct Column {
        int id;
        const char* name;
        Timings times;
        bool sorted = true;
    };
    Column columns[] = {
        {COL_NAME, "name", {}}, {COL_SIZE, "size", {}}, {COL_MODIFIED, "modified", {}}};
    for (int r = 0; r < reps; ++r)
        for (Column& c : columns) {
            const Stopwatch s;
            model.sortRows(c.id, 1);
            c.times.add(s.elapsed());
            c.sorted = c.sorted && isSorted(model, c.id);
        }
    for (Column& c : columns) {
        const Timing t = c.times.median();
        std::printf("   by %-9s %7.3f s   CPU %6.3f s   target < %.1f s: %s%s\n", c.name, t.wall,
                    t.cpu, kSortTarget, verdict(t.wall < kSortTarget),
                    c.sorted ? "" : "   (WRONG ORDER)");
        addResult(std::string("4 Sort ") + grouped(model.rowCount()) + " rows by " + c.name,
                  format("%.3f s", t.wall) + (c.sorted ? "" : " (wrong order)"),
                  "< " + format("%.1f", kSortTarget) + " s", t.wall < kSortTarget && c.sorted);
    }
    std::printf("\n");
}

// Names as the search engine's cursor sees them, without the file list around them.
class NameLines : public CVNLineSource {
public:
    explicit NameLines(const std::vector<std::string>& names) : names_(names) {}
    int lineCount() const override { return static_cast<int>(names_.size()); }
    std::string lineText(int line) const override { return names_[static_cast<std::size_t>(line)]; }
    int firstSelectedLine() const override { return -1; }
    int focusedLine() const override { return -1; }

private:
    const std::vector<std::string>& names_;
};

// The rows of the list as a run's search engine sees them.
class ModelLines : public CVNLineSource {
public:
    explicit ModelLines(const FileListModel& model) : model_(model) {}
    int lineCount() const override { return model_.itemCount(); }
    std::string lineText(int line) const override { return model_.record(line)->name; }
    int firstSelectedLine() const override { return -1; }
    int focusedLine() const override { return -1; }

private:
    const FileListModel& model_;
};

struct Pass {
    Timing time;
    std::size_t matches = 0;
};

// A whole Find Next run: from (0,0) each step starts where the last match ended.
Pass findAll(const CVNLineSource& source, const char* pattern) {
    CVNSearchEngine engine(source, PATTERN_REGEXP);
    std::string error;
    if (!engine.Compile(pattern, error)) throw std::runtime_error(pattern + (": " + error));
    engine.SetPosition(0, 0);
    CVNTextPos s, e;
    Pass p;
    const Stopwatch sw;
    while (engine.FindNext(s, e, error)) {
        ++p.matches;
        engine.SetPosition(e);
    }
    p.time = sw.elapsed();
    if (!error.empty()) throw std::runtime_error(pattern + (": " + error));
    return p;
}

void benchFind(const std::vector<std::string>& names, int reps) {
    CVNFileListCtrl list;
    makeRows(names, [&](std::vector<std::unique_ptr<FileListRecord>> b) {
        list.fileModel()->appendRows(std::move(b));
    });
    const NameLines plain(names);
    const ModelLines rows(*list.fileModel());
    std::printf("5. FindNext across %s names, PATTERN_REGEXP, from (0,0) to the end, each step from"
                "\n   the last match's end; median of %d passes\n",
                grouped(static_cast<double>(names.size())).c_str(), reps);
    struct Source {
        const CVNLineSource* source;
        const char* name;
    };
    const Source sources[] = {{&rows, "list's rows"}, {&plain, "vector of names"}};
    const double count = static_cast<double>(names.size());
    for (const char* pattern : {"zzqx", "[0-9]+"}) {
        for (const Source& src : sources) {
            Timings times;
            std::size_t matches = 0;
            for (int r = 0; r < reps; ++r) {
                const Pass p = findAll(*src.source, pattern);
                times.add(p.time);
                matches = p.matches;
            }
            const Timing t = times.median();
            std::printf("   %-7s over the %-16s %8zu matches %7.3f s %11s names/s %11s "
                        "matches/s   CPU %6.3f s\n",
                        pattern, src.name, matches, t.wall, grouped(count / t.wall).c_str(),
                        grouped(static_cast<double>(matches) / t.wall).c_str(), t.cpu);
            if (src.source == &rows)
                addResult(std::string("5 FindNext \"") + pattern + "\", " + grouped(count) +
                              " names",
                          grouped(count / t.wall) + " names/s", "(for information)", std::nullopt);
        }
    }
    std::printf("\n");
}

void printSummary() {
    std::printf("Summary\n");
    std::printf("  %-42s %-36s %-18s %s\n", "measurement", "figure", "target", "result");
    for (const Result& r : gResults)
        std::printf("  %-42s %-36s %-18s %s\n", r.what.c_str(), r.figure.c_str(), r.target.c_str(),
                    r.met ? verdict(*r.met) : "-");
}

} // namespace

int main(int argc, char** argv) {
    const Options opt = parseOptions(argc, argv);
    const auto start = Clock::now();
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    char name[] = "bench_files";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    // Collation, size texts and file type names depend on the locale; C (what a bare shell
    // often has) would make the name sort a plain byte comparison and flatter it.
    QLocale::setDefault(QLocale(QString::fromStdString(opt.locale)));
    const std::string loadAtStart = loadAverage();
    std::printf("Locale %s, Qt %s, %ld processors, load average %s\n",
                QLocale().name().toUtf8().constData(), qVersion(), sysconf(_SC_NPROCESSORS_ONLN),
                loadAtStart.c_str());

    try {
        if (opt.enumeration || opt.scan || opt.memory) {
            std::unique_ptr<FileTree> made =
                opt.tree.empty() ? std::make_unique<FileTree>(opt.tmp, opt.folders, opt.files)
                                 : std::make_unique<FileTree>(opt.tree);
            const FileTree& tree = *made;
            if (opt.keepTree) made->keep();
            const std::string origin =
                opt.tree.empty() ? "made in " + format("%.1f", tree.secondsToMake()) + " s under"
                                 : std::string("kept from an earlier run:");
            std::printf("Tree: %zu files in %zu folders, %s bytes (sparse);\n      %s %s%s\n\n",
                        tree.files(), tree.folders(),
                        grouped(static_cast<double>(tree.bytes())).c_str(), origin.c_str(),
                        tree.root().c_str(), opt.keepTree ? " (kept)" : "");
            std::fflush(stdout);
            if (opt.enumeration) benchEnumeration(tree, opt.reps);
            std::fflush(stdout);
            if (opt.scan || opt.memory) benchScan(tree, opt);
            std::fflush(stdout);
        }
        if (opt.sort || opt.find) {
            const std::vector<std::string> names =
                makeCorpus(static_cast<std::size_t>(opt.rows), kCorpusSeed + 7);
            const int reps = std::min(opt.reps, 3);
            if (opt.sort) benchSort(names, reps);
            std::fflush(stdout);
            if (opt.find) benchFind(names, reps);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_files: %s\n", e.what());
        return 1;
    }
    printSummary();
    std::printf("\nLoad average at the start %s, at the end %s; total run time %.1f s\n",
                loadAtStart.c_str(), loadAverage().c_str(), secondsSince(start));
    return 0;
}
