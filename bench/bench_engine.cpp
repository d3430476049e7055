// The engine benchmark: our matcher against std::regex, PCRE2 (interpreter and JIT) and RE2 on
// the same generated file names and the same patterns, with a check that all of them agree on
// match or no match, and a set of adversarial patterns and names that would make a naive
// backtracking matcher take exponential time.
//
// Usage: bench_engine [--names N] [--reps N] [--ours-only] [--only user|pathological]
//   --ours-only and --only narrow the run down, for profiling.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "bench/engines.h"
#include "engine/RegExp.h"
#include "engine/RegProgram.h"
#include "engine/Wildcard.h"

namespace {

using Clock = std::chrono::steady_clock;

struct UserPattern {
    const char* typed;
    bool wildcard;
};

// Patterns as users type them into the search box.
constexpr UserPattern kUserPatterns[] = {
    {"*.jpg", true},
    {"IMG_????.JPG", true},
    {"*.*", true},
    {"Rechnung_*.pdf", true},
    {"^(.*)\\.txt$", false},
    {"[0-9]+", false},
    {"\\<the\\>", false},
    {"^(.*)_([0-9]+)\\.(.*)$", false},
    {"zzqx", false},
    {"(a|b)*c", false},
    {"müller", false},
    {"(19|20)[0-9][0-9]-[0-9]{2}-[0-9]{2}", false},
    {"\\.(jpe?g|png|heic)$", false},
};

// Patterns that make a naive backtracking matcher explode; some our compiler refuses (a repeat
// of something that can match the empty string), which the report shows.
constexpr const char* kPathological[] = {
    "^(a|aa)*$",
    "(a|a)*b",
    "^(a*)*$",
    "((a|b)*)*c",
    "(x+x+)+y",
    "(a+)+b",
    "^([a-z]+)+$",
    "^([a-z0-9]+[._-]?)*@x$",
    "^(.*)(.*)(.*)(.*)(.*)x$",
    "(.*)(.*)(.*)(.*)(.*)(.*)(.*)(.*)(.*)!x$",
    "(.*a){10}y",
    "(a|ab|b)*c",
};

struct Options {
    std::size_t names = 100000;
    int reps = 5;
    bool oursOnly = false;
    bool user = true;         // the user patterns over the corpus
    bool pathological = true; // the adversarial set
};

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--names" && i + 1 < argc)
            o.names = std::max(1ul, std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--reps" && i + 1 < argc)
            o.reps = std::max(1, std::atoi(argv[++i]));
        else if (a == "--ours-only")
            o.oursOnly = true;
        else if (a == "--only" && i + 1 < argc && std::strcmp(argv[i + 1], "user") == 0)
            o.pathological = false, ++i;
        else if (a == "--only" && i + 1 < argc && std::strcmp(argv[i + 1], "pathological") == 0)
            o.user = false, ++i;
        else {
            std::fprintf(stderr,
                         "usage: %s [--names N] [--reps N] [--ours-only] [--only "
                         "user|pathological]\n",
                         argv[0]);
            std::exit(2);
        }
    }
    return o;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double nsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
}

const char* kindName(NameKind k) {
    switch (k) {
    case NameKind::Ascii:
        return "ASCII";
    case NameKind::Utf8:
        return "UTF-8";
    default:
        return "stray";
    }
}

const char* outcomeName(Outcome o) {
    switch (o) {
    case Outcome::Match:
        return "match";
    case Outcome::NoMatch:
        return "no match";
    default:
        return "gave up";
    }
}

// Ours first; the tables and ratios rely on this order.
enum EngineIndex { kOurs, kStdRegex, kPcre2, kPcre2Jit, kRe2 };

std::vector<std::unique_ptr<Engine>> makeEngines(bool oursOnly) {
    std::vector<std::unique_ptr<Engine>> e;
    e.push_back(makeOurEngine());
    if (oursOnly) return e;
    e.push_back(makeStdRegexEngine());
    e.push_back(makePcre2Engine(false));
    e.push_back(makePcre2Engine(true));
    e.push_back(makeRe2Engine());
    return e;
}

// ---------------------------------------------------------------------------------------------
// The corpus

void printCorpusSummary(const std::vector<std::string>& names) {
    std::size_t kinds[3] = {};
    std::size_t bytes = 0, longest = 0, over200 = 0;
    for (const std::string& n : names) {
        ++kinds[static_cast<int>(classifyName(n))];
        bytes += n.size();
        longest = std::max(longest, n.size());
        over200 += n.size() >= 200;
    }
    std::printf(
        "Corpus: %zu names (seed %#llx), %zu ASCII, %zu other UTF-8, %zu with stray bytes;\n"
        "        mean %.1f bytes, longest %zu, %zu of 200 bytes or more.\n",
        names.size(), static_cast<unsigned long long>(kCorpusSeed), kinds[0], kinds[1], kinds[2],
        static_cast<double>(bytes) / static_cast<double>(names.size()), longest, over200);
    std::printf("Samples:");
    for (std::size_t i = 0; i < names.size() && i < 12; ++i)
        std::printf("%s\"%s\"", i % 3 ? "  " : "\n  ", printableName(names[i]).c_str());
    std::printf("\n\n");
}

// ---------------------------------------------------------------------------------------------
// User patterns: speed and agreement

struct Disagreement {
    std::size_t count[3] = {}; // by NameKind
    std::size_t gaveUp = 0;
    // A few names per kind, to print.
    std::vector<std::size_t> examples[3];
};

struct PatternResult {
    std::string typed;
    std::string regex; // our syntax
    bool wildcard = false;
    std::size_t matches = 0;       // ours
    double visitsPerName = 0;      // ours: mean regexecVisits()
    std::vector<double> nsPerName; // per engine; NaN if the engine refused the pattern
    std::vector<Disagreement> dis; // per engine (index 0, ours, unused)
    std::vector<std::string> refusals;
};

PatternResult runUserPattern(const UserPattern& up, std::vector<std::unique_ptr<Engine>>& engines,
                             const std::vector<std::string>& names, int reps) {
    PatternResult r;
    r.typed = up.typed;
    r.wildcard = up.wildcard;
    r.regex = up.wildcard ? wildcardToRegExp(up.typed) : std::string(up.typed);
    const std::size_t ne = engines.size();
    r.nsPerName.assign(ne, std::nan(""));
    r.dis.resize(ne);
    r.refusals.resize(ne);

    std::vector<bool> ok(ne);
    for (std::size_t e = 0; e < ne; ++e)
        ok[e] = engines[e]->compile(r.regex, r.refusals[e]);
    if (!ok[0]) return r;

    std::vector<std::vector<Outcome>> out(ne, std::vector<Outcome>(names.size()));
    std::vector<std::vector<double>> times(ne);
    // Engines take turns within each repetition, so that a slow phase of the machine does not
    // hit one engine only.
    for (int rep = 0; rep < reps; ++rep)
        for (std::size_t e = 0; e < ne; ++e) {
            if (!ok[e]) continue;
            Engine& eng = *engines[e];
            std::vector<Outcome>& o = out[e];
            auto t0 = Clock::now();
            for (std::size_t i = 0; i < names.size(); ++i)
                o[i] = eng.match(names[i]);
            times[e].push_back(nsSince(t0) / static_cast<double>(names.size()));
        }
    for (std::size_t e = 0; e < ne; ++e)
        if (ok[e]) r.nsPerName[e] = median(times[e]);

    // Outside the timed passes: how much matcher work a name costs on average.
    std::uint64_t visits = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        r.matches += out[kOurs][i] == Outcome::Match;
        engines[kOurs]->match(names[i]);
        visits += regexecVisits();
    }
    r.visitsPerName = static_cast<double>(visits) / static_cast<double>(names.size());
    for (std::size_t e = 1; e < ne; ++e) {
        if (!ok[e]) continue;
        Disagreement& d = r.dis[e];
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (out[e][i] == Outcome::Error || out[kOurs][i] == Outcome::Error) {
                ++d.gaveUp;
                continue;
            }
            if (out[e][i] == out[kOurs][i]) continue;
            int k = static_cast<int>(classifyName(names[i]));
            ++d.count[k];
            if (d.examples[k].size() < 2) d.examples[k].push_back(i);
        }
    }
    return r;
}

std::string cell(double v, const char* fmt) {
    if (std::isnan(v)) return "n/a";
    char buf[32];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

void printSpeedTable(const std::vector<PatternResult>& results,
                     const std::vector<std::unique_ptr<Engine>>& engines, std::size_t names,
                     int reps) {
    std::printf("Speed on %zu names, ns per name (median of %d passes over all names)\n", names,
                reps);
    std::printf("%-3s %-38s %8s %7s", "", "pattern (W = wildcard, R = regex)", "matches", "visits");
    for (const auto& e : engines)
        std::printf(" %10s", e->name());
    if (engines.size() > 1) std::printf(" %9s %9s", "std/ours", "PCRE/ours");
    std::printf("\n");
    for (std::size_t p = 0; p < results.size(); ++p) {
        const PatternResult& r = results[p];
        std::printf("%-3zu %c %-36s %8zu %7.1f", p + 1, r.wildcard ? 'W' : 'R', r.typed.c_str(),
                    r.matches, r.visitsPerName);
        // Byte width of UTF-8 text confuses printf padding; pad by characters instead.
        for (const char* c = r.typed.c_str(); *c; ++c)
            if ((static_cast<unsigned char>(*c) & 0xC0) == 0x80) std::printf(" ");
        for (std::size_t e = 0; e < engines.size(); ++e)
            std::printf(" %10s", cell(r.nsPerName[e], "%.1f").c_str());
        if (engines.size() > 1)
            std::printf(" %9s %9s",
                        cell(r.nsPerName[kStdRegex] / r.nsPerName[kOurs], "%.2fx").c_str(),
                        cell(r.nsPerName[kPcre2] / r.nsPerName[kOurs], "%.2fx").c_str());
        std::printf("\n");
    }
    std::printf("(matches and visits = our matches and mean node visits per name)\n");
    std::printf("Wildcards as our engine receives them:\n");
    for (const PatternResult& r : results)
        if (r.wildcard) std::printf("  %-16s -> %s\n", r.typed.c_str(), r.regex.c_str());
    for (const PatternResult& r : results)
        for (std::size_t e = 0; e < engines.size(); ++e)
            if (!r.refusals[e].empty() && std::isnan(r.nsPerName[e]))
                std::printf("  %s refused %s: %s\n", engines[e]->name(), r.typed.c_str(),
                            r.refusals[e].c_str());
    std::printf("\n");
}

double geometricMean(const std::vector<PatternResult>& results, std::size_t engine) {
    double logSum = 0;
    int n = 0;
    for (const PatternResult& r : results) {
        double q = r.nsPerName[engine] / r.nsPerName[kOurs];
        if (std::isnan(q) || q <= 0) continue;
        logSum += std::log(q);
        ++n;
    }
    return n ? std::exp(logSum / n) : std::nan("");
}

void printAgreement(const std::vector<PatternResult>& results,
                    const std::vector<std::unique_ptr<Engine>>& engines,
                    const std::vector<std::string>& names) {
    std::printf(
        "Agreement with ours on match / no match, per pattern: disagreements on names that\n"
        "are ASCII / other UTF-8 / with stray bytes (+g<n>: an engine gave up on n names)\n");
    std::printf("%-3s %-38s", "", "pattern");
    for (std::size_t e = 1; e < engines.size(); ++e)
        std::printf(" %18s", engines[e]->name());
    std::printf("\n");
    std::vector<std::size_t> totals(engines.size() * 3, 0);
    for (std::size_t p = 0; p < results.size(); ++p) {
        const PatternResult& r = results[p];
        std::printf("%-3zu %c %-36s", p + 1, r.wildcard ? 'W' : 'R', r.typed.c_str());
        for (const char* c = r.typed.c_str(); *c; ++c)
            if ((static_cast<unsigned char>(*c) & 0xC0) == 0x80) std::printf(" ");
        for (std::size_t e = 1; e < engines.size(); ++e) {
            const Disagreement& d = r.dis[e];
            char buf[64];
            if (std::isnan(r.nsPerName[e]))
                std::snprintf(buf, sizeof buf, "refused");
            else
                std::snprintf(buf, sizeof buf, "%zu / %zu / %zu", d.count[0], d.count[1],
                              d.count[2]);
            if (d.gaveUp)
                std::snprintf(buf + std::strlen(buf), sizeof buf - std::strlen(buf), " +g%zu",
                              d.gaveUp);
            std::printf(" %18s", buf);
            for (int k = 0; k < 3; ++k)
                totals[e * 3 + k] += d.count[k];
        }
        std::printf("\n");
    }
    std::printf("%-3s %-38s", "", "total");
    for (std::size_t e = 1; e < engines.size(); ++e) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%zu / %zu / %zu", totals[e * 3], totals[e * 3 + 1],
                      totals[e * 3 + 2]);
        std::printf(" %18s", buf);
    }
    std::printf("\n\nExamples (every pattern and engine with disagreements, at most one name per"
                " kind):\n");
    for (const PatternResult& r : results)
        for (std::size_t e = 1; e < engines.size(); ++e)
            for (int k = 0; k < 3; ++k)
                for (std::size_t j = 0; j < r.dis[e].examples[k].size() && j < 1; ++j) {
                    const std::string& n = names[r.dis[e].examples[k][j]];
                    RegExp ours(r.regex, false);
                    bool m = ours.exec(n);
                    std::printf("  %-10s %-20s %-5s ours %-8s \"%s\"\n", engines[e]->name(),
                                r.typed.c_str(), kindName(static_cast<NameKind>(k)),
                                m ? "match" : "no match", printableName(n).c_str());
                }
    std::printf("\n");
}

// ---------------------------------------------------------------------------------------------
// Pathological patterns

// Median time of one call in ns: calls are batched so a batch lasts long enough to time, and
// slow calls (an engine running into its match limit) are timed fewer times.
template <class F> double medianCallNs(F&& call) {
    auto t0 = Clock::now();
    call();
    double first = nsSince(t0);
    if (first > 20e6) return first;
    int batch = std::clamp(static_cast<int>(100000.0 / std::max(first, 1.0)), 1, 2000);
    int reps = first > 2e6 ? 3 : 9;
    std::vector<double> v;
    for (int r = 0; r < reps; ++r) {
        t0 = Clock::now();
        for (int b = 0; b < batch; ++b)
            call();
        v.push_back(nsSince(t0) / batch);
    }
    return median(v);
}

struct PathoCell {
    Outcome outcome = Outcome::NoMatch;
    double ns = 0;
    std::uint64_t visits = 0; // ours only
};

void runPathological(bool oursOnly) {
    const std::vector<Adversary> adv = adversarialNames();
    // std::regex has no defence against these; on a 255-byte name it would not finish. PCRE2
    // gives up at its match limit after up to half a second per name; a tenth of the default
    // limit keeps the run short and changes nothing but how soon it gives up.
    constexpr std::uint32_t kPcre2Limit = 1000000;
    std::vector<std::unique_ptr<Engine>> engines;
    engines.push_back(makeOurEngine());
    if (!oursOnly) {
        engines.push_back(makePcre2Engine(false, kPcre2Limit));
        engines.push_back(makePcre2Engine(true, kPcre2Limit));
        engines.push_back(makeRe2Engine());
    }
    const std::size_t ne = engines.size();

    std::printf("Pathological patterns against %zu adversarial names of up to 255 bytes\n",
                adv.size());
    std::printf("(std::regex left out: it backtracks without a bound and would not finish;\n"
                " PCRE2 runs with a match limit of %u here)\n\n",
                kPcre2Limit);

    struct PatternRow {
        std::string pattern;
        std::vector<std::vector<PathoCell>> cells; // [engine][name]
        std::vector<bool> ok;
        std::uint32_t programSize = 0;
    };
    std::vector<PatternRow> rows;
    for (const char* pat : kPathological) {
        RegExp probe(pat, false);
        if (!probe.isValid()) {
            std::printf("  %-40s refused by our compiler: %s\n", pat, probe.errorText().c_str());
            continue;
        }
        PatternRow row;
        row.pattern = pat;
        row.programSize = probe.program()->programSize;
        row.cells.assign(ne, std::vector<PathoCell>(adv.size()));
        row.ok.assign(ne, false);
        for (std::size_t e = 0; e < ne; ++e) {
            std::string err;
            row.ok[e] = engines[e]->compile(pat, err);
            if (!row.ok[e])
                std::printf("  %-40s refused by %s: %s\n", pat, engines[e]->name(), err.c_str());
        }
        for (std::size_t n = 0; n < adv.size(); ++n)
            for (std::size_t e = 0; e < ne; ++e) {
                if (!row.ok[e]) continue;
                Engine& eng = *engines[e];
                PathoCell& c = row.cells[e][n];
                const std::string& name = adv[n].name;
                c.outcome = eng.match(name);
                if (e == 0) c.visits = regexecVisits();
                c.ns = medianCallNs([&] { eng.match(name); });
            }
        rows.push_back(std::move(row));
    }

    // Our time and work per name, so the cost of each adversary is visible.
    auto matrix = [&](const char* title, auto&& value) {
        std::printf("\n%s\n%-18s", title, "name");
        for (std::size_t p = 0; p < rows.size(); ++p)
            std::printf(" %8s", ("P" + std::to_string(p + 1)).c_str());
        std::printf("\n");
        for (std::size_t n = 0; n < adv.size(); ++n) {
            std::printf("%-18s", adv[n].label.c_str());
            for (const char* c = adv[n].label.c_str(); *c; ++c)
                if ((static_cast<unsigned char>(*c) & 0xC0) == 0x80) std::printf(" ");
            for (const PatternRow& row : rows)
                std::printf(" %8s", value(row.cells[kOurs][n]).c_str());
            std::printf("\n");
        }
    };
    matrix("Our engine, microseconds per name (median of repeated calls):", [](const PathoCell& c) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2f", c.ns / 1000);
        return std::string(buf);
    });
    matrix("Our engine, node visits of one exec (regexecVisits()):",
           [](const PathoCell& c) { return std::to_string(c.visits); });

    std::printf("\nPer pattern, the worst name for each engine, microseconds (median of repeated"
                " calls):\n");
    std::printf("%-3s %-40s %7s", "", "pattern", "program");
    for (const auto& e : engines)
        std::printf(" %12s", e->name());
    std::printf("  %-16s %9s  %s\n", "ours: worst name", "visits", "disagreements");
    double worstOurs = 0;
    std::string worstWhere;
    std::uint64_t worstVisits = 0;
    std::size_t totalDis = 0, strayDis = 0;
    for (std::size_t p = 0; p < rows.size(); ++p) {
        const PatternRow& row = rows[p];
        std::printf("P%-2zu %-40s %7u", p + 1, row.pattern.c_str(), row.programSize);
        std::size_t oursWorst = 0;
        for (std::size_t e = 0; e < ne; ++e) {
            if (!row.ok[e]) {
                std::printf(" %12s", "refused");
                continue;
            }
            std::size_t w = 0, gaveUp = 0;
            for (std::size_t n = 0; n < adv.size(); ++n) {
                if (row.cells[e][n].ns > row.cells[e][w].ns) w = n;
                gaveUp += row.cells[e][n].outcome == Outcome::Error;
            }
            if (e == 0) oursWorst = w;
            char buf[48];
            if (gaveUp)
                std::snprintf(buf, sizeof buf, "%.1f g%zu", row.cells[e][w].ns / 1000, gaveUp);
            else
                std::snprintf(buf, sizeof buf, "%.2f", row.cells[e][w].ns / 1000);
            std::printf(" %12s", buf);
        }
        const PathoCell& ow = row.cells[kOurs][oursWorst];
        // Disagreements with any engine that gave an answer. PCRE2 and RE2 let nothing match a
        // stray byte, so on those names a different answer is expected and only counted.
        std::string dis;
        for (std::size_t e = 1; e < ne; ++e) {
            if (!row.ok[e]) continue;
            for (std::size_t n = 0; n < adv.size(); ++n) {
                const PathoCell& c = row.cells[e][n];
                if (c.outcome == Outcome::Error || c.outcome == row.cells[kOurs][n].outcome)
                    continue;
                if (classifyName(adv[n].name) == NameKind::Stray) {
                    ++strayDis;
                    continue;
                }
                ++totalDis;
                dis += std::string(dis.empty() ? "" : "; ") + engines[e]->name() + " on " +
                       adv[n].label + ": ours " + outcomeName(row.cells[kOurs][n].outcome) + ", " +
                       outcomeName(c.outcome);
            }
        }
        std::printf("  %-16s %9llu  %s\n", adv[oursWorst].label.c_str(),
                    static_cast<unsigned long long>(ow.visits), dis.empty() ? "none" : dis.c_str());
        if (ow.ns > worstOurs) {
            worstOurs = ow.ns;
            worstWhere = row.pattern + " on \"" + adv[oursWorst].label + "\"";
            worstVisits = ow.visits;
        }
    }
    std::printf("(program = bytes of our compiled program; g<n> = gave up on n names at the match "
                "limit,\n the time shown is then the time to give up)\n\n");
    std::printf("Pathological worst case for ours: %.2f us per name, %s\n", worstOurs / 1000,
                worstWhere.c_str());
    std::printf("  regexecVisits() of that exec: %llu node visits\n",
                static_cast<unsigned long long>(worstVisits));
    std::printf("  target: no name above 100 us -> %s\n", worstOurs <= 100000 ? "met" : "MISSED");
    if (!oursOnly)
        std::printf("  disagreements with RE2/PCRE2 on these names: %zu (plus %zu on the name with "
                    "stray bytes, expected)\n",
                    totalDis, strayDis);
}

void runUserPatterns(const Options& opt) {
    const std::vector<std::string> names = makeCorpus(opt.names);
    printCorpusSummary(names);

    std::vector<std::unique_ptr<Engine>> engines = makeEngines(opt.oursOnly);
    std::vector<PatternResult> results;
    for (const UserPattern& up : kUserPatterns) {
        RegExp probe(up.wildcard ? wildcardToRegExp(up.typed) : std::string(up.typed), false);
        if (!probe.isValid()) {
            std::printf("skipped %s: our compiler refuses it: %s\n", up.typed,
                        probe.errorText().c_str());
            continue;
        }
        results.push_back(runUserPattern(up, engines, names, opt.reps));
    }
    printSpeedTable(results, engines, names.size(), opt.reps);
    if (opt.oursOnly) return;

    double gStd = geometricMean(results, kStdRegex);
    double gPcre = geometricMean(results, kPcre2);
    double gJit = geometricMean(results, kPcre2Jit);
    double gRe2 = geometricMean(results, kRe2);
    std::printf("Geometric mean over the %zu user patterns of (other engine time / ours):\n",
                results.size());
    std::printf("  std::regex / ours        %7.2fx   target >= 10x: %s\n", gStd,
                gStd >= 10 ? "met" : "MISSED");
    std::printf("  PCRE2 interpreter / ours %7.2fx   target >= 1x:  %s\n", gPcre,
                gPcre >= 1 ? "met" : "MISSED");
    std::printf("  PCRE2 JIT / ours         %7.2fx   (for information)\n", gJit);
    std::printf("  RE2 / ours               %7.2fx   (for information)\n\n", gRe2);
    printAgreement(results, engines, names);
    std::printf(
        "Why some disagreements are expected:\n"
        "  std::regex works on bytes: '.' and '?' take one byte of a multi-byte character,\n"
        "    case is folded for ASCII only (\"MÜLLER\" is not \"müller\"), and only ASCII\n"
        "    letters are word characters (so \\< sees a word start after \"ü\").\n"
        "  PCRE2 (with PCRE2_MATCH_INVALID_UTF) and RE2 (UTF-8 mode) let no pattern item match\n"
        "    a stray byte, not even '.', so patterns that must span one fail where ours (a\n"
        "    stray byte is a character of its own) matches.\n"
        "  RE2's \\b knows only ASCII word characters, like std::regex; it has no look-around\n"
        "    to do better.\n"
        "  Disagreements on ASCII names have none of these excuses and point at a bug.\n\n");
}

} // namespace

int main(int argc, char** argv) {
    const Options opt = parseOptions(argc, argv);
    auto start = Clock::now();
    if (opt.user) runUserPatterns(opt);
    if (opt.pathological) runPathological(opt.oursOnly);
    std::printf("\nTotal run time %.1f s\n", nsSince(start) / 1e9);
    return 0;
}
