// The command line renaming 100,000 files in one folder, next to a plain loop of renameat2
// calls and to perl's rename(1), in the same run; and what the undo journal costs, measured by
// the same command with a journal folder it cannot write (the run then goes on without).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
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
    auto listed = [&](const char* from, const char* to) {
        const auto t = Clock::now();
        DIR* d = fdopendir(dup(dir));
        if (!d) return -1.0;
        rewinddir(d); // the duplicate shares the offset the last reading left at the end

        std::vector<std::string> names;
        for (const dirent* e; (e = readdir(d));)
            if (const std::string n = e->d_name; n.size() > 4 && n.compare(n.size() - 3, 3, from) == 0) names.push_back(n);
        closedir(d);
        for (const std::string& n : names)
            if (renameat2(dir, n.c_str(), dir, (n.substr(0, n.size() - 3) + to).c_str(), RENAME_NOREPLACE) != 0) return -1.0;
        return seconds(t);
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
    std::vector<double> plains, listeds, ourses, bares, perls;
    for (int round = 0; round < rounds; ++round) {
        plains.push_back((plain("jpg", "png") + plain("png", "jpg")) / 2);
        listeds.push_back((listed("jpg", "png") + listed("png", "jpg")) / 2);
        ourses.push_back(ours(state.c_str()));
        bares.push_back(ours("/proc/orvane-no-journal"));
        perls.push_back(perl());
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double tPlain = median(plains), tListed = median(listeds), tOurs = median(ourses), tBare = median(bares),
                 tPerl = median(perls);
    const auto rate = [&](double t) { return t > 0 ? count / t : 0.0; };
    std::printf("%-46s %12s %10s\n", "", "files/s", "s");
    std::printf("%-46s %12.0f %10.3f\n", "plain renameat2 loop", rate(tPlain), tPlain);
    std::printf("%-46s %12.0f %10.3f\n", "readdir, then the renameat2 loop", rate(tListed), tListed);
    std::printf("%-46s %12.0f %10.3f\n", "orvane-cli rename --apply (with journal)", rate(tOurs), tOurs);
    std::printf("%-46s %12.0f %10.3f\n", "orvane-cli rename --apply (journal off)", rate(tBare), tBare);
    std::printf("%-46s %12.0f %10.3f\n\n", "perl rename(1)", rate(tPerl), tPerl);
    const double vsPlain = tPlain / tOurs, vsPerl = tPerl / tOurs, journalCost = tOurs / tBare - 1;
    std::printf("orvane-cli vs plain loop: %.2fx (target >= 0.8: %s)\n", vsPlain, vsPlain >= 0.8 ? "met" : "MISSED");
    std::printf("orvane-cli vs readdir and loop: %.2fx (for comparison)\n", tListed / tOurs);
    std::printf("orvane-cli vs perl rename: %.2fx faster (target > 1: %s)\n", vsPerl, vsPerl > 1 ? "met" : "MISSED");
    std::printf("journal cost: %+.1f%% (target <= 15%%: %s)\n", journalCost * 100,
                journalCost <= 0.15 ? "met" : "MISSED");

    close(dir);
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(state);
    return 0;
}
