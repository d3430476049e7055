// The command line renaming 100,000 files in one folder, next to a plain loop of renameat2
// calls, to the least a run must do that can be taken back after a crash, and to perl's
// rename(1), in the same run; and what the undo journal costs, measured by the same command
// with a journal folder it cannot write (the run then goes on without).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <atomic>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "renamefiles.h"

namespace {

using bench::Clock;
using bench::name;
using bench::seconds;

// Runs a command with its output thrown away; the seconds it took, or -1 on failure.
double timed(const std::vector<std::string>& args, const char* stateHome, const std::string& input = {}) {
    int in[2];
    if (pipe(in) != 0) return -1;
    const auto t = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        close(in[0]);
        close(in[1]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        if (stateHome) setenv("XDG_STATE_HOME", stateHome, 1);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    for (std::size_t at = 0; at < input.size();) {
        const ssize_t n = write(in[1], input.data() + at, input.size() - at);
        if (n <= 0) break;
        at += static_cast<std::size_t>(n);
    }
    close(in[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    const double s = seconds(t);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? s : -1;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::string cli = ORVANE_CLI;
    std::string folder = (std::filesystem::temp_directory_path() / "orvane-bench-cli-XXXXXX").string();
    std::string state = (std::filesystem::temp_directory_path() / "orvane-bench-state-XXXXXX").string();
    if (!mkdtemp(folder.data()) || !mkdtemp(state.data())) return 1;
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < count; ++i) close(openat(dir, name(i, "jpg").c_str(), O_CREAT | O_WRONLY, 0644));
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::printf("orvane-cli renaming %d files in %s (median of %d rounds)\n\n", count, folder.c_str(), rounds);

    auto plain = [&](const char* from, const char* to) {
        const auto t = Clock::now();
        for (int i = 0; i < count; ++i)
            if (renameat2(dir, name(i, from).c_str(), dir, name(i, to).c_str(), RENAME_NOREPLACE) != 0) return -1.0;
        return seconds(t);
    };
    // The same loop as a program must run it that is not told the names: the folder is read
    // first, and each entry with the old ending renamed.
    // The names in the folder with the given ending, as the folder lists them.
    auto read = [&](const char* ending) {
        std::vector<std::string> names;
        DIR* d = fdopendir(dup(dir));
        if (!d) return names;
        rewinddir(d); // the duplicate shares the offset the last reading left at the end
        for (const dirent* e; (e = readdir(d));)
            if (const std::string n = e->d_name; n.size() > 4 && n.compare(n.size() - 3, 3, ending) == 0) names.push_back(n);
        closedir(d);
        return names;
    };
    auto listed = [&](const char* from, const char* to) {
        const auto t = Clock::now();
        const std::vector<std::string> names = read(from);
        if (names.empty()) return -1.0;
        for (const std::string& n : names)
            if (renameat2(dir, n.c_str(), dir, (n.substr(0, n.size() - 3) + to).c_str(), RENAME_NOREPLACE) != 0) return -1.0;
        return seconds(t);
    };
    // The least a run does that can be taken back after a crash: the folder read, each file
    // looked up (on a second thread, ahead of the renames) and a line written to a journal in a
    // shared mapping before its rename, the journal synced at the end. No plan, no conflict
    // check, no undo list, no output: what is left between this and orvane-cli is ours to cut.
    const std::string journal = state + "/least.journal";
    auto least = [&](const char* from, const char* to) {
        const auto t = Clock::now();
        const std::vector<std::string> names = read(from);
        if (names.empty()) return -1.0;
        std::vector<struct statx> found(names.size());
        std::atomic<std::size_t> ready{0};
        std::thread lookUp([&] {
            for (std::size_t i = 0; i < names.size(); ++i) {
                statx(dir, names[i].c_str(), AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME, &found[i]);
                ready.store(i + 1, std::memory_order_release);
            }
        });
        const int fd = open(journal.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        const std::size_t size = names.size() * 256 + 4096;
        char* map = fd >= 0 && posix_fallocate(fd, 0, static_cast<off_t>(size)) == 0
                        ? static_cast<char*>(mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0))
                        : static_cast<char*>(MAP_FAILED);
        bool ok = map != MAP_FAILED;
        std::size_t used = 0;
        for (std::size_t i = 0; ok && i < names.size(); ++i) {
            while (ready.load(std::memory_order_acquire) <= i) {
            }
            const std::string& n = names[i];
            const std::string target = n.substr(0, n.size() - 3) + to;
            used += static_cast<std::size_t>(std::snprintf(map + used, 256, "op\t%zu\t%s\t%s\t%s\t%llu\t%llu\t%lld\n", i,
                                                           folder.c_str(), n.c_str(), target.c_str(),
                                                           static_cast<unsigned long long>(found[i].stx_ino),
                                                           static_cast<unsigned long long>(found[i].stx_size),
                                                           static_cast<long long>(found[i].stx_mtime.tv_sec)));
            ok = renameat2(dir, n.c_str(), dir, target.c_str(), RENAME_NOREPLACE) == 0;
            used += static_cast<std::size_t>(std::snprintf(map + used, 256, "done\t%zu\n", i));
        }
        lookUp.join();
        if (map != MAP_FAILED) {
            msync(map, used, MS_SYNC);
            munmap(map, size);
        }
        if (fd >= 0) {
            ok = ok && ftruncate(fd, static_cast<off_t>(used)) == 0 && fsync(fd) == 0;
            close(fd);
        }
        return ok ? seconds(t) : -1.0;
    };
    auto ours = [&](const char* stateHome) {
        const double there = timed({cli, "rename", "--apply", folder, "*.jpg", "*.png"}, stateHome);
        const double back = timed({cli, "rename", "--apply", folder, "*.png", "*.jpg"}, stateHome);
        return there < 0 || back < 0 ? -1.0 : (there + back) / 2;
    };
    auto perl = [&]() {
        std::string there, back;
        for (int i = 0; i < count; ++i) {
            there.append(folder).append(1, '/').append(name(i, "jpg")).append(1, '\n');
            back.append(folder).append(1, '/').append(name(i, "png")).append(1, '\n');
        }
        const double a = timed({"rename", "s/\\.jpg$/.png/"}, nullptr, there);
        const double b = timed({"rename", "s/\\.png$/.jpg/"}, nullptr, back);
        return a < 0 || b < 0 ? -1.0 : (a + b) / 2;
    };

    // The kinds run interleaved, so that the folder's state and the machine's load change alike
    // for all of them; each figure is the median of its rounds, since a busy moment of the
    // machine can double a single round.
    std::vector<double> plains, listeds, leasts, ourses, bares, perls;
    for (int round = 0; round < rounds; ++round) {
        plains.push_back((plain("jpg", "png") + plain("png", "jpg")) / 2);
        listeds.push_back((listed("jpg", "png") + listed("png", "jpg")) / 2);
        leasts.push_back((least("jpg", "png") + least("png", "jpg")) / 2);
        ourses.push_back(ours(state.c_str()));
        bares.push_back(ours("/proc/orvane-no-journal"));
        perls.push_back(perl());
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double tPlain = median(plains), tListed = median(listeds), tLeast = median(leasts), tOurs = median(ourses), tBare = median(bares),
                 tPerl = median(perls);
    const auto rate = [&](double t) { return t > 0 ? count / t : 0.0; };
    std::printf("%-46s %12s %10s\n", "", "files/s", "s");
    std::printf("%-46s %12.0f %10.3f\n", "plain renameat2 loop", rate(tPlain), tPlain);
    std::printf("%-46s %12.0f %10.3f\n", "readdir, then the renameat2 loop", rate(tListed), tListed);
    std::printf("%-46s %12.0f %10.3f\n", "readdir, look-up, journal, renameat2 (least)", rate(tLeast), tLeast);
    std::printf("%-46s %12.0f %10.3f\n", "orvane-cli rename --apply (with journal)", rate(tOurs), tOurs);
    std::printf("%-46s %12.0f %10.3f\n", "orvane-cli rename --apply (journal off)", rate(tBare), tBare);
    std::printf("%-46s %12.0f %10.3f\n\n", "perl rename(1)", rate(tPerl), tPerl);
    const double vsPlain = tPlain / tOurs, vsPerl = tPerl / tOurs, journalCost = tOurs / tBare - 1;
    std::printf("orvane-cli vs plain loop: %.2fx (target >= 0.8: %s)\n", vsPlain, vsPlain >= 0.8 ? "met" : "MISSED");
    std::printf("orvane-cli vs readdir and loop: %.2fx (for comparison)\n", tListed / tOurs);
    std::printf("least journaled run vs plain loop: %.2fx (what 0.8x leaves room for)\n", tPlain / tLeast);
    std::printf("orvane-cli vs perl rename: %.2fx faster (target > 1: %s)\n", vsPerl, vsPerl > 1 ? "met" : "MISSED");
    std::printf("journal cost: %+.1f%% (target <= 15%%: %s)\n", journalCost * 100,
                journalCost <= 0.15 ? "met" : "MISSED");

    close(dir);
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(state);
    return 0;
}
