// The column "Neuer Name" on the main form, as the user types the replacement: how long the
// window waits on each keystroke, how soon after the last keystroke the column (names and
// conflicts) is complete, and what the column costs per row beside the names' text. Run with
// 100,000 and 1,000,000 listed rows; a few of the new names already exist on disk.

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <malloc.h>
#include <string>
#include <vector>

#include "core/list/FileListModel.h"
#include "core/messages/MessagePresenter.h"
#include "core/settings/CVNPars.h"
#include "ui/form/CROZariduView.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "ui/form/LivePreview.h"
#include "ui/list/CVNFileListCtrl.h"

namespace {

class NoBoxes : public MessagePresenter {
public:
    int show(const std::string& text, unsigned, unsigned) override {
        std::fprintf(stderr, "unexpected message box: %s\n", text.c_str());
        return IDOK;
    }
};

std::size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

struct Figures {
    double worstKeyMs = 0;      // the longest a keystroke waited for the window
    double completeMs = 0;      // last keystroke to the complete column
    double worstStallMs = 0;    // the longest the window did not answer while the column was built
    double steadyPerRow = 0;    // bytes per row kept beside the names' text
    double peakPerRow = 0;      // bytes per row at the worst moment, beside the names' text
    int conflicts = 0;
};

Figures measure(int rows, const std::string& folder) {
    CROZariduPars pars;
    CROZariduView view(pars);
    view.resize(1000, 700);
    view.show();
    FileListModel& model = *view.fileList()->fileModel();
    const SharedText where = std::make_shared<const std::string>(folder);
    char name[64];
    for (int i = 0; i < rows; ++i) {
        FindData fd;
        std::snprintf(name, sizeof name, "foto_%07d.jpg", i);
        fd.name = name;
        model.addFile(where, fd);
    }
    model.flushPending();
    view.searchBox()->setEditText(QStringLiteral("foto_*.jpg"));
    QApplication::processEvents();

    Figures f;
    const std::size_t before = heapInUse();
    std::size_t peak = before;
    // The window's pulse: how late a 5 ms timer fires tells how long an event waited.
    QElapsedTimer clock;
    clock.start();
    qint64 lastBeat = clock.elapsed();
    bool building = false;
    QTimer beat;
    beat.setInterval(5);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (building) f.worstStallMs = std::max<double>(f.worstStallMs, now - lastBeat);
        lastBeat = now;
        peak = std::max(peak, heapInUse());
    });
    beat.start();

    // Typed one key every 200 ms, so that each key meets the column at work on the previous text.
    const QString typed = QStringLiteral("bild_:(1).jpg");
    QLineEdit* edit = view.replaceBox()->lineEdit();
    edit->setFocus();
    QElapsedTimer sinceLastKey;
    bool done = false;
    QObject::connect(view.livePreview(), &LivePreview::finished, [&] { done = true; });
    for (const QChar c : typed) {
        QElapsedTimer wait;
        wait.start();
        QTest::keyClick(edit, c.toLatin1());
        f.worstKeyMs = std::max<double>(f.worstKeyMs, wait.nsecsElapsed() / 1e6);
        building = true;
        sinceLastKey.start();
        const qint64 until = clock.elapsed() + 200;
        while (clock.elapsed() < until) {
            const qint64 posted = clock.elapsed();
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            f.worstKeyMs = std::max<double>(f.worstKeyMs, clock.elapsed() - posted);
        }
    }
    done = false;
    while (!done) QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    f.completeMs = sinceLastKey.nsecsElapsed() / 1e6;
    building = false;

    std::size_t text = 0;
    for (int row = 0; row < rows; ++row) {
        text += model.newName(row).size();
        f.conflicts += model.newNameConflict(row) != 0;
    }
    const std::size_t after = heapInUse();
    f.steadyPerRow = (static_cast<double>(after) - static_cast<double>(before) - static_cast<double>(text)) / rows;
    f.peakPerRow = (static_cast<double>(peak) - static_cast<double>(before) - static_cast<double>(text)) / rows;
    return f;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    NoBoxes boxes;
    SetMessagePresenter(&boxes);
    std::string folder = (std::filesystem::temp_directory_path() / "orvane-bench-live-XXXXXX").string();
    if (!mkdtemp(folder.data())) return 1;
    // Three of the new names are taken on disk: their rows are conflicts.
    for (const char* taken : {"bild_1.jpg", "bild_500.jpg", "bild_99999.jpg"})
        std::ofstream(folder + "/" + taken).put('x');

    std::printf("Column \"Neuer Name\": replacement \"bild_:(1).jpg\" typed into Ersetzen, one key every\n"
                "200 ms, over rows foto_0000000.jpg ... listed in %s\n\n",
                folder.c_str());
    std::printf("%10s %12s %14s %14s %12s %12s %10s\n", "rows", "worst key", "complete", "worst stall",
                "B/row kept", "B/row peak", "conflicts");
    bool met = true;
    for (const int rows : {100000, 1000000}) {
        const Figures f = measure(rows, folder);
        std::printf("%10d %9.1f ms %11.0f ms %11.1f ms %12.1f %12.1f %10d\n", rows, f.worstKeyMs, f.completeMs,
                    f.worstStallMs, f.steadyPerRow, f.peakPerRow, f.conflicts);
        const double completeTarget = rows <= 100000 ? 1000 : 10000;
        met = met && f.completeMs <= completeTarget && f.peakPerRow <= 64 && (rows > 100000 || f.worstKeyMs <= 50);
    }
    std::printf("\ntargets: 100,000 rows complete <= 1000 ms, every key <= 50 ms; 1,000,000 rows <= 10000 ms;\n"
                "at most 64 bytes per row beside the names' text: %s\n",
                met ? "met" : "MISSED");
    std::filesystem::remove_all(folder);
    return 0;
}
