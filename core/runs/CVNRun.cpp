#include "core/runs/CVNRun.h"

#include "core/messages/Messages.h"
#include "core/ops/UndoCommand.h"
#include "res/Format.h"
#include "res/LoadString.h"

namespace {

constexpr unsigned IDS_RENAMED = 131, IDS_OCCURRENCES_RENAMED = 132, IDS_NOT_FOUND = 134,
                   IDS_PREVIEW_RENAME = 139, IDS_PREVIEW_CHANGE = 140, IDS_NOT_RENAMED = 143,
                   IDS_RENAME_STOPPED = 148, IDS_CHANGE_STOPPED = 150, IDS_CHANGED = 151,
                   IDS_NOT_CHANGED = 152, IDS_OCCURRENCES_NOT_RENAMED = 167, IDS_SHORTENED = 33121;

void show(const std::string& text, unsigned type) { GetMessagePresenter()->show(text, type, 0); }

} // namespace

// The list as lines of text for the search engine: the run's own selection, and the name a
// file will get, while its occurrences are being replaced in memory.
class CVNRun::Lines : public CVNLineSource {
public:
    explicit Lines(FileListModel& model) : model_(model) {}

    int lineCount() const override { return model_.itemCount(); }
    std::string lineText(int line) const override {
        if (line == pendingRow) return pendingName;
        const FileListRecord* r = model_.record(line);
        return r ? r->name : std::string();
    }
    int firstSelectedLine() const override { return selected; }
    int focusedLine() const override { return focused; }

    int selected = -1;
    int focused = -1;
    int pendingRow = -1;
    std::string pendingName;

private:
    FileListModel& model_;
};

CVNRun::CVNRun(FileListModel& model, UndoLog& undo, RunObserver& observer, Journal* journal)
    : model_(model), undo_(undo), observer_(observer), journal_(journal), ops_(model, undo, journal),
      lines_(std::make_unique<Lines>(model)) {}

CVNRun::~CVNRun() { endJournal(); }

void CVNRun::beginGroup() {
    undo_.beginGroup(settings_.mode);
    if (settings_.preview || !journal_) return;
    const JournalHeader header{settings_.source, settings_.mode, settings_.kind, settings_.folder,
                               settings_.search, settings_.rename ? settings_.replacement : std::string()};
    if (journal_->begin(header)) undo_.setHeadJournalRun(journal_->runId());
}

void CVNRun::endJournal() {
    if (journal_) journal_->end();
}

// In a wildcard replacement, "*.*" on a name without extension leaves a dot that only the
// wildcard put there ("report" with "old_*.*" gives "old_report."): it goes, unless the old
// name itself ended with a dot. A regular expression gives exactly what it says.
std::string CVNRun::wildcardName(const std::string& oldName, std::string newName) const {
    if (settings_.kind == PATTERN_WILDCARD && !newName.empty() && newName.back() == '.' &&
        (oldName.empty() || oldName.back() != '.'))
        newName.pop_back();
    return newName;
}

bool CVNRun::prepare(const RunSettings& settings) {
    settings_ = settings;
    model_.flushPending();
    if (!settings.preview) RevertPreviewGroups(undo_, model_);
    engine_ = std::make_unique<CVNSearchEngine>(*lines_, settings.kind);
    std::string error;
    if (!engine_->Compile(settings.search, error) ||
        (settings.rename && !engine_->CompileReplacement(settings.replacement, error))) {
        show(error, MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

int CVNRun::changeRow(int row) {
    const std::uint32_t value = settings_.value, mask = settings_.mask;
    const ChangeTimes& t = settings_.times;
    const bool preview = settings_.preview;
    // A file is made writable before its times are written, and read-only only after.
    const bool readOnlyFirst = (mask & FILE_ATTRIBUTE_READONLY) && !(value & FILE_ATTRIBUTE_READONLY);
    if (mask != 0 && readOnlyFirst && !ops_.SetItemAttributes(row, value, mask, preview)) return 0;
    if (!ops_.SetItemTimes(row, t.get(TIME_CREATED), t.get(TIME_MODIFIED), t.get(TIME_ACCESSED), preview))
        return 0;
    if (mask != 0 && !readOnlyFirst && !ops_.SetItemAttributes(row, value, mask, preview)) return 0;
    return 1;
}

CVNRun::SingleResult CVNRun::runSingle(int selected, int focused, bool warnPreview) {
    SingleResult result;
    lines_->selected = selected;
    lines_->focused = focused;
    lines_->pendingRow = -1;
    CVNTextPos start, end;
    engine_->GetSelection(start, end);
    engine_->SetPosition(start);
    engine_->ReloadLine();
    beginGroup();

    std::string error;
    bool moveOn = false; // the name came out unchanged: the next match lies in a later row
    if (settings_.rename) {
        std::string text;
        if (engine_->ReplaceSelection(start, end, text, error)) {
            const int row = start.line;
            const std::string old = model_.record(row)->name;
            std::string used;
            if (ops_.RenameItem(row, wildcardName(old, text), settings_.preview, &used)) {
                result.outcome = 1;
                end.column += static_cast<int>(used.size()) - static_cast<int>(text.size());
                moveOn = used == old && text != old;
                engine_->ReloadLine();
            } else {
                result.outcome = 0;
            }
        } else if (!error.empty()) {
            show(error, MB_OK | MB_ICONERROR);
            result.outcome = 0;
        }
    } else if (engine_->MatchSelection(start, end, error)) {
        result.outcome = changeRow(start.line);
    } else if (!error.empty()) {
        show(error, MB_OK | MB_ICONERROR);
        result.outcome = 0;
    }

    int previous = -2;
    if (result.outcome == 1) {
        if (warnPreview && settings_.preview) {
            show(LoadString(settings_.rename ? IDS_PREVIEW_RENAME : IDS_PREVIEW_CHANGE), MB_OK | MB_ICONINFORMATION);
            result.warned = true;
        }
        previous = start.line;
    } else {
        // A failed step is taken back; a step without a match leaves only an empty group.
        UndoHeadGroup(undo_, model_, nullptr, journal_);
        endJournal();
        if (result.outcome == 0) return result;
        engine_->GetSelection(start, end);
        if (start == end) start = end = {0, 0};
    }
    endJournal();
    if (moveOn) end = {start.line + 1, 0};
    engine_->SetPosition(end);
    std::string findError;
    if (engine_->FindNext(start, end, findError)) {
        observer_.rowSelected(start.line, previous);
        lines_->selected = start.line;
    } else if (!findError.empty()) {
        show(findError, MB_OK | MB_ICONWARNING);
    } else {
        show(FormatId(IDS_NOT_FOUND, {settings_.search}), MB_OK | MB_ICONINFORMATION);
    }
    return result;
}

RunCounts CVNRun::runAll(int start, int focused) {
    RunCounts c;
    stop_ = false;
    lines_->selected = start;
    lines_->focused = focused;
    lines_->pendingRow = -1;
    CVNTextPos s, e;
    engine_->GetSelection(s, e);
    engine_->SetPosition(s);
    engine_->ReloadLine();
    const int firstRow = s.line;
    const int total = model_.itemCount() - firstRow;
    beginGroup();

    int occurrences = 0; // of the pending file
    // Counts a file's outcome; false when the failure policy ends the run.
    auto count = [&](bool ok, int ops) {
        if (ok) {
            c.okOps += ops;
            ++c.okFiles;
        } else {
            if (settings_.renAllMode == 0) return false;
            c.errOps += ops;
            ++c.errFiles;
        }
        if (ops > 1) c.multi = true;
        return true;
    };
    // Renames the pending file to the name its occurrences gave it, once.
    auto commit = [&] {
        if (lines_->pendingRow < 0) return true;
        const int row = lines_->pendingRow;
        lines_->pendingRow = -1;
        const std::string name = wildcardName(model_.record(row)->name, std::move(lines_->pendingName));
        std::string used;
        const bool ok = ops_.RenameItem(row, name, settings_.preview, &used);
        if (ok && used != name) ++c.shortened;
        observer_.fileDone(row, ok);
        const int ops = occurrences;
        occurrences = 0;
        return count(ok, ops);
    };

    int previous = -2;
    for (;;) {
        CVNTextPos from, to;
        std::string error;
        int outcome = -1; // 1: a step done, 0: this file failed before its rename, -1: no match
        if (settings_.rename) {
            std::string text;
            if (engine_->ReplaceSelection(from, to, text, error)) {
                lines_->pendingRow = from.line;
                lines_->pendingName = std::move(text);
                ++occurrences;
                engine_->ReloadLine();
                outcome = 1;
            } else if (!error.empty()) {
                outcome = 0;
            }
        } else if (engine_->MatchSelection(from, to, error)) {
            const int row = from.line;
            const bool changed = changeRow(row) == 1;
            observer_.fileDone(row, changed);
            if (!count(changed, 1)) {
                c.aborted = true;
                break;
            }
            // One change per file, however often the pattern occurs in its name.
            to = {row + 1, 0};
            outcome = 1;
        } else if (!error.empty()) {
            outcome = 0;
        }
        if (outcome == 0) {
            // A substitution or matcher error: the file fails as a whole and the run moves on.
            show(error, MB_OK | MB_ICONERROR);
            const int row = lines_->selected;
            observer_.fileDone(row, false);
            const int ops = occurrences + 1;
            occurrences = 0;
            lines_->pendingRow = -1;
            if (!count(false, ops)) {
                c.aborted = true;
                break;
            }
            to = {row + 1, 0};
        } else if (outcome == -1) {
            engine_->GetSelection(from, to);
            if (from == to) from = to = {0, 0};
        }

        engine_->SetPosition(to);
        CVNTextPos next, nextEnd;
        std::string findError;
        const bool found = engine_->FindNext(next, nextEnd, findError);
        if (!found || next.line != lines_->pendingRow) {
            if (!commit()) {
                c.aborted = true;
                break;
            }
            observer_.progress((found ? next.line : model_.itemCount()) - firstRow, total);
            if (observer_.pump()) {
                c.quit = true;
                endJournal();
                return c;
            }
            if (stop_) {
                c.stopped = true;
                break;
            }
        }
        if (!found) {
            if (!findError.empty()) show(findError, MB_OK | MB_ICONWARNING);
            break;
        }
        if (next.line != lines_->selected) {
            observer_.rowSelected(next.line, previous);
            lines_->selected = next.line;
        }
        previous = next.line;
    }

    endJournal();
    if (c.aborted) {
        if (c.okOps == 0) UndoHeadGroup(undo_, model_, nullptr, journal_);
        return c;
    }
    if (c.okOps == 0) UndoHeadGroup(undo_, model_, nullptr, journal_); // only removes the empty group
    if (settings_.showSummary) show(summary(c), MB_OK | MB_ICONINFORMATION);
    return c;
}

std::string CVNRun::summary(const RunCounts& c) const {
    const bool rename = settings_.rename;
    std::string message;
    if (rename && c.multi) {
        message = FormatId(IDS_OCCURRENCES_RENAMED, {c.okOps, c.okFiles});
        if (c.errOps > 0) message += " " + FormatId(IDS_OCCURRENCES_NOT_RENAMED, {c.errOps, c.errFiles});
    } else if (rename) {
        message = FormatId(IDS_RENAMED, {c.okFiles});
        if (c.errOps > 0) message += " " + FormatId(IDS_NOT_RENAMED, {c.errFiles});
    } else {
        message = FormatId(IDS_CHANGED, {c.okFiles});
        if (c.errOps > 0) message += " " + FormatId(IDS_NOT_CHANGED, {c.errFiles});
    }
    if (c.shortened > 0) message += " " + FormatId(IDS_SHORTENED, {c.shortened});
    if (c.stopped) message += " " + LoadString(rename ? IDS_RENAME_STOPPED : IDS_CHANGE_STOPPED);
    if (settings_.preview && settings_.previewNote)
        message += "\n\n" + LoadString(rename ? IDS_PREVIEW_RENAME : IDS_PREVIEW_CHANGE);
    return message;
}
