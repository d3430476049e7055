#include "core/runs/CVNRun.h"

#include "core/messages/Messages.h"
#include "core/ops/UndoCommand.h"
#include "core/runs/RunLines.h"
#include "res/Format.h"

#include <cstdio>
#include <random>
#include <unordered_map>
#include "res/LoadString.h"

namespace {

constexpr unsigned IDS_RENAMED = 131, IDS_OCCURRENCES_RENAMED = 132, IDS_NOT_FOUND = 134,
                   IDS_PREVIEW_RENAME = 139, IDS_PREVIEW_CHANGE = 140, IDS_NOT_RENAMED = 143,
                   IDS_RENAME_STOPPED = 148, IDS_CHANGE_STOPPED = 150, IDS_CHANGED = 151,
                   IDS_NOT_CHANGED = 152, IDS_OCCURRENCES_NOT_RENAMED = 167, IDS_SHORTENED = 33121,
                   IDS_ASK_CONFLICTS = 33133, IDS_MORE_FAILED = 33141;

void show(const std::string& text, unsigned type) { GetMessagePresenter()->show(text, type, 0); }

// A name no other file has: where a file steps aside so that a cycle of renames can go round.
std::string TemporaryName() {
    static std::random_device random;
    char name[40];
    std::snprintf(name, sizeof name, ".orvane-%08x%08x.tmp", random(), random());
    return name;
}

} // namespace

class CVNRun::Lines : public RunLines {
    using RunLines::RunLines;
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
            if (ops_.RenameItem(row, WildcardName(settings_.kind, old, text), settings_.preview, &used)) {
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
    stop_ = false;
    ops_.failures() = FailureMessages(settings_.failuresShown);
    const RunCounts c = settings_.rename ? renameAll(start, focused) : changeAll(start, focused);
    ops_.failures() = FailureMessages(); // a single step shows its failure, however many came before
    return c;
}

bool CVNRun::count(RunCounts& c, bool ok, int ops) const {
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
}

bool CVNRun::betweenFiles(RunCounts& c, int done, int total) {
    observer_.progress(done, total);
    if (observer_.pump()) {
        c.quit = true;
        return false;
    }
    if (stop_) c.stopped = true;
    return !stop_;
}

RunCounts CVNRun::finish(RunCounts c) {
    endJournal();
    if (c.quit) return c;
    ops_.failures().tellNotShown(IDS_MORE_FAILED);
    if (c.okOps == 0 && undo_.hasEntries()) UndoHeadGroup(undo_, model_, nullptr, journal_); // only the empty group
    if (!c.aborted && !c.cancelled && settings_.showSummary) show(summary(c), MB_OK | MB_ICONINFORMATION);
    return c;
}

RunCounts CVNRun::renameAll(int start, int focused) {
    RunCounts c;
    const int firstRow = start >= 0 ? start : focused >= 0 ? focused : 0;
    RenamePlanner planner(model_);
    std::string error;
    if (!planner.start(settings_.kind, settings_.search, settings_.replacement, firstRow, error)) {
        show(error, MB_OK | MB_ICONERROR);
        return c;
    }
    // A list of names only leaves the files to be looked up for undo: that goes on meanwhile.
    if (!settings_.preview) ops_.lookUpAhead(firstRow);
    struct EndLookUp {
        FileOperations& ops;
        ~EndLookUp() { ops.endLookUpAhead(); }
    } endLookUp{ops_};
    // Planning costs little even for a million rows, but Anhalten and closing act meanwhile too.
    while (!planner.step(15))
        if (!betweenFiles(c, planner.nextRow() - firstRow, model_.itemCount() - firstRow)) return finish(c);
    plan_ = planner.takeEntries();
    if (!planner.matcherError().empty()) show(planner.matcherError(), MB_OK | MB_ICONWARNING);
    conflicts_ = !settings_.preview || settings_.conflictsInPreview ? FindConflicts(model_, plan_)
                                                                   : std::vector<PlanConflict>(plan_.size());

    int blocked = 0;
    for (const PlanConflict& k : conflicts_) blocked += Blocks(k.kind);
    if (blocked > 0 && settings_.askOnConflicts) {
        const std::string question = FormatId(IDS_ASK_CONFLICTS, {blocked, static_cast<int>(plan_.size())});
        if (GetMessagePresenter()->show(question, MB_YESNO | MB_ICONQUESTION, 0) != IDYES) {
            c.cancelled = true;
            return c;
        }
    }
    beginGroup();
    // What cannot be renamed is counted first: a substitution error (shown now, once per file),
    // or a name in the way (the question above told of them).
    for (std::size_t i = 0; i < plan_.size(); ++i) {
        if (plan_[i].error.empty() && !Blocks(conflicts_[i].kind)) continue;
        observer_.fileDone(plan_[i].row, false);
        if (Blocks(conflicts_[i].kind)) {
            // Known before anything changed, and accepted: no reason to stop the run.
            c.errOps += plan_[i].occurrences;
            ++c.errFiles;
            c.multi |= plan_[i].occurrences > 1;
            continue;
        }
        ops_.failures().show(plan_[i].error, MB_ICONERROR);
        if (!count(c, false, plan_[i].occurrences)) {
            c.aborted = true;
            return finish(c);
        }
    }
    std::vector<RenameStep> steps;
    if (settings_.preview) {
        // Only the list changes: every row in list order, nothing waits for anything.
        for (std::size_t i = 0; i < plan_.size(); ++i)
            if (plan_[i].error.empty() && !Blocks(conflicts_[i].kind)) steps.push_back({static_cast<int>(i), RenameStep::Direct});
    } else {
        steps = OrderRenames(model_, plan_, conflicts_);
        for (std::size_t i = 0; i < plan_.size(); ++i) {
            const FileListRecord* r = model_.record(plan_[i].row);
            if (plan_[i].error.empty() && !Blocks(conflicts_[i].kind) && r && plan_[i].newName == r->name)
                steps.push_back({static_cast<int>(i), RenameStep::Direct}); // counts as renamed, as ever
        }
    }

    undo_.reserve(steps.size());
    int previous = -2, done = 0;
    std::unordered_map<int, std::string> aside; // the own names of files that stepped aside
    for (const RenameStep& step : steps) {
        const PlannedRename& p = plan_[static_cast<std::size_t>(step.entry)];
        if (step.kind == RenameStep::FromTemporary && !aside.count(step.entry)) continue; // it never stepped aside
        observer_.rowSelected(p.row, previous);
        previous = p.row;
        std::string used;
        if (step.kind == RenameStep::ToTemporary) {
            const std::string original = model_.record(p.row)->name;
            if (ops_.RenameItem(p.row, TemporaryName(), false, &used)) {
                aside[step.entry] = original;
                continue;
            }
        } else {
            const std::string& name = p.newName;
            const bool ok = ops_.RenameItem(p.row, name, settings_.preview, &used);
            if (ok && used != name) ++c.shortened;
            if (!ok && step.kind == RenameStep::FromTemporary) {
                // Someone took the name meanwhile: the file goes back to its own name.
                std::string back = aside[step.entry];
                ops_.RenameItem(p.row, back, false);
            }
            aside.erase(step.entry);
            observer_.fileDone(p.row, ok);
            if (!count(c, ok, p.occurrences)) {
                c.aborted = true;
                break;
            }
            ++done;
        }
        if (step.kind == RenameStep::ToTemporary) {
            // It could not step aside: the cycle cannot go round; the others fail on their own.
            observer_.fileDone(p.row, false);
            if (!count(c, false, p.occurrences)) {
                c.aborted = true;
                break;
            }
            continue;
        }
        // A cycle is finished before the run stops: no file may keep a temporary name.
        if (aside.empty() && !betweenFiles(c, done, static_cast<int>(steps.size()))) {
            if (c.quit) {
                endJournal();
                return c;
            }
            break;
        }
    }
    return finish(c);
}

RunCounts CVNRun::changeAll(int start, int focused) {
    RunCounts c;
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
    int previous = -2;
    for (;;) {
        CVNTextPos from, to;
        std::string error;
        if (engine_->MatchSelection(from, to, error)) {
            const int row = from.line;
            const bool changed = changeRow(row) == 1;
            observer_.fileDone(row, changed);
            if (!count(c, changed, 1)) {
                c.aborted = true;
                break;
            }
            // One change per file, however often the pattern occurs in its name.
            to = {row + 1, 0};
        } else if (!error.empty()) {
            ops_.failures().show(error, MB_ICONERROR);
            const int row = lines_->selected;
            observer_.fileDone(row, false);
            if (!count(c, false, 1)) {
                c.aborted = true;
                break;
            }
            to = {row + 1, 0};
        } else {
            engine_->GetSelection(from, to);
            if (from == to) from = to = {0, 0};
        }
        engine_->SetPosition(to);
        CVNTextPos next, nextEnd;
        std::string findError;
        const bool found = engine_->FindNext(next, nextEnd, findError);
        if (!betweenFiles(c, (found ? next.line : model_.itemCount()) - firstRow, total)) {
            if (c.quit) {
                endJournal();
                return c;
            }
            break;
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
    return finish(c);
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
