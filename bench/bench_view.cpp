// The main form's run over a real folder of 100,000 files, as the user drives it: Finden lists
// the files, "Alle Umbenennen" in preview mode steps through them with the window shown and
// painted. Measures how soon Anhalten (or Escape) ends a run, counted from the moment the user
// acts, and whether a run keeps its pace from the first row to the last.

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

#include "ui/list/CVNFileListCtrl.h"
#include "ui/form/CROZariduView.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "core/settings/CVNPars.h"
#include "core/messages/MessagePresenter.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Answers every box with OK, as a user would the run's closing message, and keeps the last
// text: its first number is the count of files the run renamed.
class OkPresenter : public MessagePresenter {
public:
    int show(const std::string& text, unsigned, unsigned) override {
        last = text;
        return IDOK;
    }
    int firstNumber() const {
        const auto at = last.find_first_of("0123456789");
        return at == std::string::npos ? -1 : std::atoi(last.c_str() + at);
    }
    std::string last;
};

// The folder of files and its removal, also when the program leaves early.
struct TempFolder {
    std::string path;
    TempFolder() {
        path = (std::filesystem::temp_directory_path() / "orvane-bench-view-XXXXXX").string();
        if (!mkdtemp(path.data())) path.clear();
    }
    ~TempFolder() {
        if (!path.empty()) std::filesystem::remove_all(path);
    }
};

struct RunResult {
    double runMs = 0;     // click to return
    double handledMs = 0; // from when Stop was due to when it was handled; -1: never handled
    double latencyMs = 0; // from when Stop was due to the return
    int rows = 0;         // files renamed, from the closing message
    double rate() const { return rows / (runMs / 1000); }
};

struct RunOptions {
    int stopAfterMs = -1; // Stop that long after the click
    bool escape = false;  // Escape instead of the Anhalten button
    // Called every 10 ms of the run (as often as the run lets events through), with the ms
    // since the click.
    std::function<void(double)> tick;
};

class Form {
public:
    Form(CROZariduView& view, CROZariduPars& pars, OkPresenter& presenter)
        : view_(view), pars_(pars), presenter_(presenter) {}

    QPushButton* button(int id) const { return static_cast<QPushButton*>(view_.control(id)); }
    int row() const { return view_.fileList()->focusedLine(); }

    // Finden with the given list limit (0: none); gives the rows listed.
    int find(int maxFiles) {
        pars_.MaxFiles = maxFiles;
        button(IDC_FIND)->click();
        pars_.MaxFiles = 0;
        return view_.fileList()->itemCount();
    }

    // Clicks the row a run without "Ganze Liste" starts from; -1 goes back to the whole list.
    void startAt(int row) {
        auto* whole = static_cast<QCheckBox*>(view_.control(IDC_WHOLE_LIST));
        whole->setChecked(row < 0);
        if (row >= 0) view_.fileList()->SelectItem(row, -2);
    }

    void stop(bool escape) {
        if (!escape) {
            button(IDC_STOP)->click();
            return;
        }
        QWidget* target = QApplication::focusWidget();
        if (!target) target = view_.fileList();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }

    RunResult renameAll(const RunOptions& options = {}) {
        QTimer stopTimer, ticker;
        stopTimer.setSingleShot(true);
        stopTimer.setTimerType(Qt::PreciseTimer);
        ticker.setTimerType(Qt::PreciseTimer);
        Clock::time_point start, due, handled;
        bool fired = false;
        QObject::connect(&stopTimer, &QTimer::timeout, [&] {
            fired = true;
            stop(options.escape);
            handled = Clock::now();
        });
        QObject::connect(&ticker, &QTimer::timeout, [&] { options.tick(ms(start, Clock::now())); });
        QPushButton* renameAll = button(IDC_RENAME_ALL);
        start = Clock::now();
        if (options.stopAfterMs >= 0) {
            // The user's moment: a timer may fire late, and that lateness counts.
            due = start + std::chrono::milliseconds(options.stopAfterMs);
            stopTimer.start(options.stopAfterMs);
        }
        if (options.tick) ticker.start(10);
        renameAll->click();
        const auto end = Clock::now();
        RunResult r;
        r.runMs = ms(start, end);
        r.rows = presenter_.firstNumber();
        if (options.stopAfterMs >= 0) {
            r.handledMs = fired ? ms(due, handled) : -1;
            r.latencyMs = ms(due, end);
        }
        return r;
    }

private:
    CROZariduView& view_;
    CROZariduPars& pars_;
    OkPresenter& presenter_;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void printRun(const char* what, int listed, int rows, double runMs) {
    std::printf("%-42s %7d %7d %8.0f %8.0f\n", what, listed, rows, runMs, rows / (runMs / 1000));
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // keeps the figures in order with Qt's warnings
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TempFolder folder;
    if (folder.path.empty()) return 1;
    {
        const int dir = open(folder.path.c_str(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "file_%06d.txt", i);
            close(openat(dir, name, O_CREAT | O_WRONLY, 0644));
        }
        close(dir);
    }

    OkPresenter presenter;
    SetMessagePresenter(&presenter);
    int failures = 0;
    {
        CROZariduPars pars;
        CROZariduView view(pars);
        view.OnInitialUpdate(nullptr);
        view.resize(1000, 700);
        view.show();
        QApplication::processEvents();
        view.folderBox()->setEditText(QString::fromStdString(folder.path));
        view.searchBox()->setEditText(QStringLiteral("*.txt"));
        view.replaceBox()->setEditText(QStringLiteral("*.bak"));
        // Preview: the rows change, the files stay, so every run starts from the same folder.
        static_cast<QCheckBox*>(view.control(IDC_PREVIEW))->click();
        Form form(view, pars, presenter);

        std::printf("Main form, 1000x700 offscreen, %d files in %s\n", count, folder.path.c_str());
        std::printf(
            "\"Alle Umbenennen\" *.txt -> *.bak in preview mode on the rows Finden listed\n\n");

        // Pace. Other load on the machine moves the figures by tens of percent from second to
        // second, so the short runs alternate and their medians are compared: a run over a
        // tenth of the files (the list limit stops Finden there), and on the full list the
        // first tenth (Anhalten once the run is past it) and the last (started from its first
        // row).
        constexpr int kRounds = 5;
        const int tenth = count / 10;
        std::vector<double> smallRate, firstRate, lastRate, smallMs, firstMs, lastMs;
        std::vector<int> smallRows, firstRows, lastRows;
        int smallListed = 0, listed = 0;
        bool everyRow = true;
        for (int round = 0; round < kRounds; ++round) {
            smallListed = form.find(tenth);
            RunResult r = form.renameAll();
            everyRow = everyRow && r.rows == smallListed;
            smallRate.push_back(r.rate()), smallMs.push_back(r.runMs), smallRows.push_back(r.rows);

            listed = form.find(0);
            RunOptions first;
            first.tick = [&](double) {
                if (form.row() >= tenth) form.stop(false);
            };
            r = form.renameAll(first);
            firstRate.push_back(r.rate()), firstMs.push_back(r.runMs), firstRows.push_back(r.rows);

            form.find(0);
            form.startAt(listed - tenth);
            r = form.renameAll();
            form.startAt(-1);
            everyRow = everyRow && r.rows == tenth;
            lastRate.push_back(r.rate()), lastMs.push_back(r.runMs), lastRows.push_back(r.rows);
        }

        // One full run, with the current row sampled to show its pace over the list.
        form.find(0);
        std::vector<std::pair<double, int>> samples{{0.0, 0}};
        RunOptions sampled;
        sampled.tick = [&](double at) { samples.push_back({at, form.row()}); };
        const RunResult full = form.renameAll(sampled);
        everyRow = everyRow && full.rows == listed;
        samples.push_back({full.runMs, full.rows});
        auto timeAt = [&](int row) {
            std::size_t i = 1;
            while (i + 1 < samples.size() && samples[i].second < row)
                ++i;
            const auto& [t0, r0] = samples[i - 1];
            const auto& [t1, r1] = samples[i];
            return r1 == r0 ? t1 : t0 + (t1 - t0) * (row - r0) / (r1 - r0);
        };

        auto medianRun = [](const std::vector<double>& rates, const std::vector<double>& runMs,
                            const std::vector<int>& rows) {
            // The run with the median rate, so that its figures agree with each other.
            const double m = median(rates);
            std::size_t best = 0;
            for (std::size_t i = 1; i < rates.size(); ++i)
                if (std::abs(rates[i] - m) < std::abs(rates[best] - m)) best = i;
            return std::make_pair(rows[best], runMs[best]);
        };
        char heading[48];
        std::snprintf(heading, sizeof heading, "pace (medians of %d alternating runs)", kRounds);
        std::printf("%-42s %7s %7s %8s %8s\n", heading, "listed", "rows", "ms", "rows/s");
        auto [rows, runMs] = medianRun(smallRate, smallMs, smallRows);
        printRun("full run", smallListed, rows, runMs);
        std::tie(rows, runMs) = medianRun(firstRate, firstMs, firstRows);
        printRun("first tenth, then Anhalten", listed, rows, runMs);
        std::tie(rows, runMs) = medianRun(lastRate, lastMs, lastRows);
        printRun("last tenth, from its first row", listed, rows, runMs);
        printRun("full run, once", listed, full.rows, full.runMs);
        std::printf("  its rows/s by tenth:");
        for (int k = 0; k < 10; ++k)
            std::printf(" %.0f", tenth / ((timeAt((k + 1) * tenth) - timeAt(k * tenth)) / 1000));
        std::printf("\nlast tenth / first tenth: %.2f; %d-row list / %d-row list: %.2f (1 = "
                    "linear)\n\n",
                    median(lastRate) / median(firstRate), listed, smallListed,
                    median(firstRate) / median(smallRate));
        if (!everyRow) {
            std::printf("a run did not rename every row it should: \"%s\"\n",
                        presenter.last.c_str());
            ++failures;
        }

        // Stop: the time from the moment the user acts until the run has returned.
        std::vector<double> latencies;
        std::printf("%-42s %8s %8s %8s %8s\n", "stop", "run ms", "handled", "latency", "rows");
        // A quarter, half and three quarters into a full run, so that every stop lands inside it.
        std::vector<int> delays;
        for (double part : {0.25, 0.5, 0.75})
            delays.push_back(std::max(1, static_cast<int>(full.runMs * part)));
        for (int delay : delays) {
            for (int rep = 0; rep < 4; ++rep) {
                RunOptions options;
                options.stopAfterMs = delay;
                options.escape = rep % 2 == 1;
                form.find(0);
                const RunResult r = form.renameAll(options);
                char label[48];
                std::snprintf(label, sizeof label, "%s %d ms after the click",
                              options.escape ? "Escape" : "Anhalten", delay);
                std::printf("%-42s %8.1f %8.1f %8.1f %8d\n", label, r.runMs, r.handledMs,
                            r.latencyMs, r.rows);
                // A run that ended by itself says nothing about Stop.
                if (r.handledMs >= 0 && r.rows < listed)
                    latencies.push_back(r.latencyMs);
                else
                    std::printf("  (the run ended by itself before the stop; not counted)\n");
            }
        }
        if (!latencies.empty()) {
            const double worst = *std::max_element(latencies.begin(), latencies.end());
            std::printf("stop latency over %zu stops, min/median/max: %.1f / %.1f / %.1f ms; "
                        "target < 100 ms: %s\n",
                        latencies.size(), *std::min_element(latencies.begin(), latencies.end()),
                        median(latencies), worst, worst < 100 ? "PASS" : "FAIL");
            if (worst >= 100) ++failures;
        }
        view.hide();
    }
    SetMessagePresenter(nullptr);
    return failures == 0 ? 0 : 1;
}
