// The settings file with many keys: parsing its text, loading it (ReadHive: read and parse),
// finding every key, and saving a change (UpdateHive: lock, read again, change, write), for a
// hive of 20,000 and of 100,000 user patterns with a few values each, in a temporary
// $XDG_CONFIG_HOME. The last line divides the larger size's times by the smaller's: work
// linear in the keys gives about 5, work growing with their square about 25.
//
// Usage: bench_settings [SMALL LARGE]   (default 20000 100000)
//
// Each figure is the best of as many runs as fit in about a second (at least one, at most 5),
// in wall-clock time.

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/RegistryFile.h"
#include "platform/RegistryHive.h"
#include "platform/WinTypes.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

double bestOf(const std::function<void()>& prepare, const std::function<void()>& run) {
    double best = 1e300;
    double spent = 0;
    for (int rep = 0; rep < 5 && (rep == 0 || spent < 1.0); ++rep) {
        prepare();
        const auto t = Clock::now();
        run();
        const double s = seconds(t);
        best = std::min(best, s);
        spent += s;
    }
    return best;
}

const char kPatterns[] = "Patterns\\UserDefined\\Wildcard Patterns";

std::string patternName(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Muster %06d", i);
    return buf;
}

// What a user's file looks like, with a pattern library of count entries.
RegKey makeHive(int count) {
    RegKey root;
    RegKey& settings = root.createKey("Settings");
    settings.setValue("MaxFiles", RegValue::dword(0));
    settings.setValue("RenAllMode", RegValue::dword(1));
    settings.setValue("ShowHelpTips", RegValue::dword(0));
    const struct {
        const char* section;
        const char* entry;
    } lists[] = {{"MRU SearchFolder", "Folder"},
                 {"MRU SearchPattern", "Pattern"},
                 {"MRU ReplacePattern", "Pattern"}};
    for (const auto& l : lists) {
        RegKey& list = root.createKey(l.section);
        for (int i = 0; i < 10; ++i)
            list.setValue(l.entry + std::to_string(i),
                          RegValue::text("/home/anna/Bilder/Urlaub " + std::to_string(i)));
    }
    RegKey* library = &root;
    for (const std::string& name : SplitKeyPath(kPatterns))
        library = &library->createKey(name);
    for (int i = 0; i < count; ++i) {
        RegKey& p = library->createKey(patternName(i));
        p.setValue("SearchPattern", RegValue::text("IMG_" + std::to_string(i) + "_*.jpeg"));
        p.setValue("ReplacePattern", RegValue::text("Bild_" + std::to_string(i) + "_*.jpg"));
        p.setValue("Statusline", RegValue::text("Muster Nummer " + std::to_string(i)));
        p.setValue("CaretPosType", RegValue::dword(static_cast<std::uint32_t>(i % 2)));
        p.setValue("CaretPos", RegValue::dword(static_cast<std::uint32_t>(i % 17)));
    }
    return root;
}

struct Figures {
    int keys = 0;
    std::size_t bytes = 0;
    double parse = 0, load = 0, lookup = 0, save = 0, unchanged = 0;
};

Figures measure(int count, const std::string& hive) {
    Figures f;
    f.keys = count;
    const std::string text = FormatHive(makeHive(count));
    f.bytes = text.size();
    const auto writeFile = [&] {
        std::filesystem::remove(hive);
        std::ofstream(hive, std::ios::binary) << text;
    };
    bool ok = true;

    // The tree of the previous run goes before the clock starts.
    std::optional<RegKey> parsed;
    f.parse = bestOf([&] { parsed.reset(); },
                     [&] {
                         parsed = ParseHive(text);
                         ok = parsed.has_value() && ok;
                     });
    parsed.reset();

    // A new file each time, so that the load cannot come from the cache of parsed trees; and
    // the cache's tree of the previous run is freed before the clock starts.
    HiveSnapshot loaded;
    const auto freshFile = [&] {
        loaded = {};
        std::filesystem::remove(hive);
        std::ofstream(hive, std::ios::binary) << FormatHive(RegKey());
        ReadHive(hive); // the cache now holds this empty tree
        writeFile();
    };
    f.load = bestOf(freshFile, [&] {
        loaded = ReadHive(hive);
        ok = loaded.state == HiveState::Ok && ok;
    });

    const RegKey* library = loaded.root->findPath(SplitKeyPath(kPatterns));
    ok = library && ok;
    f.lookup = bestOf([] {}, [&] {
        for (int i = 0; library && i < count; ++i)
            ok = library->findKey(patternName(count - 1 - i)) != nullptr && ok;
    });

    // One changed value, as when the program saves its lists at exit.
    std::uint32_t round = 0;
    f.save = bestOf([] {}, [&] {
        ++round;
        ok = UpdateHive(hive, [&](RegKey& root) {
                 root.createKey("MRU SearchPattern")
                     .setValue("Pattern0", RegValue::text("0:*.txt " + std::to_string(round)));
                 return std::uint32_t{ERROR_SUCCESS};
             }) == ERROR_SUCCESS &&
             ok;
    });
    // Nothing changed: the file is read and compared, not written.
    f.unchanged = bestOf([] {}, [&] {
        ok = UpdateHive(hive, [](RegKey&) { return std::uint32_t{ERROR_SUCCESS}; }) ==
                 ERROR_SUCCESS &&
             ok;
    });
    if (!ok) {
        std::fprintf(stderr, "bench_settings: a step failed for %d keys\n", count);
        std::exit(1);
    }
    return f;
}

void printRow(const char* label, const Figures& f) {
    std::printf("%-10s %8d %10.1f %10.3f %10.3f %10.3f %10.3f %10.3f\n", label, f.keys,
                static_cast<double>(f.bytes) / 1e6, f.parse, f.load, f.lookup, f.save, f.unchanged);
}

} // namespace

int main(int argc, char** argv) {
    const int small = argc > 2 ? std::atoi(argv[1]) : 20000;
    const int large = argc > 2 ? std::atoi(argv[2]) : 100000;
    if (small <= 0 || large <= 0) {
        std::fprintf(stderr, "usage: bench_settings [SMALL LARGE]\n");
        return 2;
    }
    std::string folder =
        (std::filesystem::temp_directory_path() / "orvane-bench-settings-XXXXXX").string();
    if (!mkdtemp(folder.data())) return 1;
    std::filesystem::create_directories(folder + "/user");
    std::filesystem::create_directories(folder + "/machine");
    setenv("XDG_CONFIG_HOME", (folder + "/user").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (folder + "/machine").c_str(), 1);
    QCoreApplication app(argc, argv);
    // Each row as soon as it is measured, also into a pipe: the old code took minutes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string hive = UserHivePath();
    std::filesystem::create_directories(std::filesystem::path(hive).parent_path());

    std::printf("Settings file with N user patterns of 5 values each, in %s\n", hive.c_str());
    std::printf("seconds: parse = ParseHive of the text; load = ReadHive of a new file; lookup =\n"
                "findKey of every pattern; save = UpdateHive changing one value; unchanged =\n"
                "UpdateHive changing nothing\n\n");
    std::printf("%-10s %8s %10s %10s %10s %10s %10s %10s\n", "", "keys", "MB", "parse", "load",
                "lookup", "save", "unchanged");
    const Figures a = measure(small, hive);
    printRow("small", a);
    const Figures b = measure(large, hive);
    printRow("large", b);
    const auto ratio = [](double x, double y) { return y > 0 ? x / y : 0.0; };
    std::printf("%-10s %8.1f %10.1f %10.1f %10.1f %10.1f %10.1f %10.1f\n", "large/small",
                ratio(b.keys, a.keys), ratio(double(b.bytes), double(a.bytes)),
                ratio(b.parse, a.parse), ratio(b.load, a.load), ratio(b.lookup, a.lookup),
                ratio(b.save, a.save), ratio(b.unchanged, a.unchanged));

    std::filesystem::remove_all(folder);
    return 0;
}
