#include "cli/CliCommands.h"

#include <QDateTime>
#include <QDir>
#include <QJsonObject>
#include <climits>
#include <cstdio>
#include <map>

#include "cli/CliOutput.h"
#include "core/journal/Journal.h"
#include "core/messages/Messages.h"
#include "core/ops/UndoCommand.h"
#include "core/runs/CVNRun.h"
#include "core/runs/FindCommand.h"
#include "platform/FileTime.h"
#include "res/Format.h"
#include "res/LoadString.h"
#include "res/Version.h"

namespace {

constexpr int kDone = 0, kSomeFailed = 1, kBadCall = 2;

std::string pathOf(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + '/' + name;
}

void message(const std::string& text) { std::fprintf(stderr, "orvane-cli: %s\n", text.c_str()); }

// The window's Finden: the same preparation, scan and order.
// details: whether size, times and attributes matter (a change of them), which costs a system
// call or two per file; a rename looks its files up while it renames.
bool find(const CliOptions& o, FileListModel& model, FindRequest& request, bool details) {
    request.folder = o.args[0];
    // A command line takes a relative folder from where it is called.
    if (!request.folder.empty() && request.folder[0] != '/' && request.folder[0] != '~')
        request.folder = QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromLocal8Bit(request.folder.c_str())))
                             .toLocal8Bit()
                             .toStdString();
    request.pattern = o.args[1];
    request.regExp = o.regex;
    request.subfolders = o.recursive;
    request.maxFiles = o.max;
    request.attributes = details;
    request.namesOnly = !details;
    CVNFileNameMatcher matcher;
    if (PrepareFind(request, matcher) != FindProblem::None) return false;
    MessagePump pump;
    bool stop = false;
    RunFind(request, model, matcher, pump, stop);
    return true;
}

// The files of a run over the list, in the order they were done.
struct FileResults : RunObserver {
    void rowSelected(int, int) override {}
    void fileDone(int row, bool ok) override { done.emplace_back(row, ok); }
    std::vector<std::pair<int, bool>> done;
};

// What a run over the list prints: one line per file, then the summary.
int report(CliOutput& out, const FileListModel& model, const std::vector<std::string>& before, const FileResults& results,
           const CVNRun& run, const RunCounts& counts, bool rename, bool apply) {
    // What the plan found in the way of each new name, by row.
    std::vector<int> planned(before.size(), -1);
    for (std::size_t i = 0; i < run.plan().size() && i < run.conflicts().size(); ++i)
        if (const int row = run.plan()[i].row; row >= 0 && static_cast<std::size_t>(row) < planned.size())
            planned[static_cast<std::size_t>(row)] = static_cast<int>(i);
    for (const auto& [row, ok] : results.done) {
        const FileListRecord* r = model.record(row);
        const std::string& old = before[static_cast<std::size_t>(row)];
        const int entry = planned[static_cast<std::size_t>(row)];
        const PlanConflict* conflict = entry >= 0 ? &run.conflicts()[static_cast<std::size_t>(entry)] : nullptr;
        const bool blocked = conflict && Blocks(conflict->kind);
        // A file in conflict keeps its name; show the name it would have got.
        const std::string& newName = blocked ? run.plan()[static_cast<std::size_t>(entry)].newName : r->name;
        const std::string reason = conflict && conflict->kind != NameConflict::None ? conflict->reason : std::string();
        if (out.json()) {
            QJsonObject o;
            CliOutput::putName(o, QStringLiteral("folder"), r->folderText());
            CliOutput::putName(o, QStringLiteral("old"), old);
            if (rename) CliOutput::putName(o, QStringLiteral("new"), newName);
            o.insert(QStringLiteral("status"), blocked                    ? QStringLiteral("conflict")
                                               : !ok                      ? QStringLiteral("failed")
                                               : rename && r->name == old ? QStringLiteral("unchanged")
                                               : rename                   ? QStringLiteral("renamed")
                                                                          : QStringLiteral("changed"));
            if (!reason.empty()) o.insert(QStringLiteral("reason"), QString::fromStdString(reason));
            out.object(o);
        } else if ((ok || blocked) && (!rename || newName != old)) {
            std::string line = rename ? pathOf(r->folderText(), old) + "\t" + newName : pathOf(r->folderText(), old);
            if (!reason.empty()) line += "\t" + reason;
            out.line(line);
        }
    }
    const std::string summary = run.summary(counts);
    if (out.json()) {
        QJsonObject o;
        o.insert(QStringLiteral("summary"), QString::fromStdString(summary));
        o.insert(QStringLiteral("files"), counts.okFiles);
        o.insert(QStringLiteral("failed"), counts.errFiles);
        o.insert(QStringLiteral("occurrences"), counts.okOps);
        o.insert(QStringLiteral("applied"), apply);
        out.object(o);
    } else {
        out.line(summary);
        if (!apply) out.line(LoadString(34015));
    }
    return counts.aborted || counts.errFiles > 0 ? kSomeFailed : kDone;
}

int runOverList(const CliOptions& o, RunSettings settings) {
    CliOutput out(o.json);
    FileListModel model;
    FindRequest request;
    if (!find(o, model, request, !settings.rename)) return kBadCall;
    settings.kind = o.regex ? PATTERN_REGEXP : PATTERN_WILDCARD;
    settings.search = request.pattern;
    settings.preview = !o.apply;
    settings.renAllMode = o.stopOnError ? 0 : 1;
    settings.folder = request.folder;
    settings.source = "cli";
    settings.showSummary = false;
    settings.previewNote = false;
    // The dry run finds the same conflicts as the real one; nobody is there to be asked, so
    // the files in conflict are left as they are and the others renamed.
    settings.conflictsInPreview = true;
    settings.askOnConflicts = false;
    settings.failuresShown = INT_MAX; // stderr needs no box closed: every failure is named
    std::vector<std::string> before;
    for (int i = 0; i < model.itemCount(); ++i) before.push_back(model.record(i)->name);
    UndoLog undo(false); // a command is taken back from the journal, by a later process
    Journal journal;
    FileResults results;
    CVNRun run(model, undo, results, o.apply ? &journal : nullptr);
    if (!run.prepare(settings)) return kBadCall;
    const RunCounts counts = run.runAll(0, -1);
    return report(out, model, before, results, run, counts, settings.rename, o.apply);
}

int findCommand(const CliOptions& o) {
    CliOutput out(o.json);
    FileListModel model;
    FindRequest request;
    if (!find(o, model, request, false)) return kBadCall;
    for (int i = 0; i < model.itemCount(); ++i) {
        const FileListRecord* r = model.record(i);
        if (out.json()) {
            QJsonObject obj;
            CliOutput::putName(obj, QStringLiteral("folder"), r->folderText());
            CliOutput::putName(obj, QStringLiteral("name"), r->name);
            out.object(obj);
        } else {
            out.line(pathOf(r->folderText(), r->name));
        }
    }
    FindOutcome outcome;
    outcome.count = model.itemCount();
    outcome.stopped = o.max > 0 && model.itemCount() >= o.max;
    if (out.json()) {
        QJsonObject obj;
        obj.insert(QStringLiteral("summary"), QString::fromStdString(FindStatus(outcome)));
        obj.insert(QStringLiteral("files"), outcome.count);
        out.object(obj);
    } else {
        message(FindStatus(outcome)); // the list itself stays clean for other programs
    }
    return kDone;
}

int changeCommand(const CliOptions& o) {
    RunSettings settings;
    settings.rename = false;
    settings.mode = VIEW_DATE_ATTRIBUTES;
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        if (!o.times[i]) continue;
        const QDateTime t = QDateTime::fromString(QString::fromStdString(*o.times[i]), QStringLiteral("dd.MM.yyyy HH:mm:ss"));
        SYSTEMTIME st;
        st.wYear = t.date().year(), st.wMonth = t.date().month(), st.wDay = t.date().day();
        st.wHour = t.time().hour(), st.wMinute = t.time().minute(), st.wSecond = t.time().second();
        if (!t.isValid() || !SystemTimeToFileTime(st, settings.times.local[i])) {
            message(FormatId(146, {ColumnTitle(kTimeColumns[i])}));
            return kBadCall;
        }
        settings.times.given[i] = any = true;
    }
    if (o.attributes) {
        const std::string& given = *o.attributes;
        const std::map<char, std::uint32_t> bits{{'A', FILE_ATTRIBUTE_ARCHIVE}, {'R', FILE_ATTRIBUTE_READONLY},
                                                 {'H', FILE_ATTRIBUTE_HIDDEN}, {'S', FILE_ATTRIBUTE_SYSTEM}};
        char sign = 0;
        for (char c : given) {
            const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (c == '+' || c == '-') {
                sign = c;
            } else if (sign && bits.count(upper)) {
                settings.mask |= bits.at(upper);
                if (sign == '+') settings.value |= bits.at(upper);
                else settings.value &= ~bits.at(upper);
            } else {
                message(FormatId(34007, {given}));
                return kBadCall;
            }
        }
        if (settings.mask == 0) {
            message(FormatId(34007, {given}));
            return kBadCall;
        }
        any = true;
    }
    if (!any) {
        message(FormatId(34008, {o.command}));
        return kBadCall;
    }
    return runOverList(o, settings);
}

int historyCommand(const CliOptions& o) {
    CliOutput out(o.json);
    Journal journal;
    for (const JournalRun& run : journal.runs()) {
        const JournalHeader& h = run.header;
        if (out.json()) {
            QJsonObject obj;
            obj.insert(QStringLiteral("id"), QString::fromStdString(run.id));
            obj.insert(QStringLiteral("time"), QString::fromStdString(run.time));
            obj.insert(QStringLiteral("source"), QString::fromStdString(h.source));
            obj.insert(QStringLiteral("mode"), h.mode == VIEW_DATE_ATTRIBUTES ? QStringLiteral("change") : QStringLiteral("rename"));
            CliOutput::putName(obj, QStringLiteral("folder"), h.folder);
            obj.insert(QStringLiteral("search"), QString::fromStdString(h.search));
            obj.insert(QStringLiteral("replacement"), QString::fromStdString(h.replacement));
            obj.insert(QStringLiteral("changed"), run.changed());
            obj.insert(QStringLiteral("undone"), run.undone());
            obj.insert(QStringLiteral("files"), run.files());
            obj.insert(QStringLiteral("interrupted"), run.interrupted);
            out.object(obj);
            continue;
        }
        std::string line = run.id + "\t" + run.time + "\t" + h.folder + "\t" + h.search +
               (h.mode != VIEW_DATE_ATTRIBUTES ? " -> " + h.replacement : std::string()) + "\t" +
               std::to_string(run.files()) + " Datei(en)";
        if (run.undone() > 0) line += ", " + std::to_string(run.filesUndone()) + " " + LoadString(34011);
        if (run.interrupted) line += ", " + LoadString(34012);
        out.line(line);
    }
    return kDone;
}

int undoCommand(const CliOptions& o) {
    CliOutput out(o.json);
    Journal journal;
    std::optional<JournalRun> run;
    if (!o.args.empty()) {
        run = journal.run(o.args[0]);
        if (!run) {
            message(FormatId(34009, {o.args[0]}));
            return kBadCall;
        }
    } else {
        for (JournalRun& r : journal.runs())
            if (r.changed() > 0) {
                run = std::move(r);
                break;
            }
        if (!run) {
            message(LoadString(34010));
            return kDone;
        }
    }
    if (!o.apply) {
        for (auto it = run->ops.rbegin(); it != run->ops.rend(); ++it) {
            if (it->state != JournalRun::OpState::Done) continue;
            const UndoRecord& u = it->record;
            if (out.json()) {
                QJsonObject obj;
                CliOutput::putName(obj, QStringLiteral("folder"), u.folderText());
                CliOutput::putName(obj, QStringLiteral("name"), u.name);
                if (u.kind == UNDO_RENAME) CliOutput::putName(obj, QStringLiteral("old"), u.oldName);
                out.object(obj);
            } else {
                out.line(u.kind == UNDO_RENAME ? u.path() + "\t" + u.oldName : u.path());
            }
        }
        out.line(FormatId(34013, {run->changed()}));
        out.line(LoadString(34015));
        if (out.json()) {
            QJsonObject obj;
            obj.insert(QStringLiteral("run"), QString::fromStdString(run->id));
            obj.insert(QStringLiteral("summary"), QString::fromStdString(FormatId(34013, {run->changed()})));
            obj.insert(QStringLiteral("applied"), false);
            out.object(obj);
        }
        return kDone;
    }
    // Lines on stderr need no closing one by one: every file is named.
    const UndoOutcome outcome = UndoJournalRun(journal, run->id, nullptr, nullptr, INT_MAX);
    std::string summary = FormatId(34014, {outcome.restored});
    if (outcome.failed > 0) summary += " " + FormatId(33126, {outcome.failed});
    out.line(summary);
    if (out.json()) {
        QJsonObject obj;
        obj.insert(QStringLiteral("run"), QString::fromStdString(run->id));
        obj.insert(QStringLiteral("summary"), QString::fromStdString(summary));
        obj.insert(QStringLiteral("restored"), outcome.restored);
        obj.insert(QStringLiteral("failed"), outcome.failed);
        obj.insert(QStringLiteral("applied"), true);
        out.object(obj);
    }
    return outcome.failed > 0 ? kSomeFailed : kDone;
}

} // namespace

int RunCliCommand(const CliOptions& o) {
    if (o.help) {
        std::printf("%s\n", LoadString(34000).c_str());
        return kDone;
    }
    if (o.version) {
        std::printf("%s\n", FormatId(34016, {ORVANE_VERSION_STRING}).c_str());
        return kDone;
    }
    if (o.command == "find") return findCommand(o);
    if (o.command == "rename") {
        RunSettings settings;
        settings.replacement = o.args[2];
        return runOverList(o, settings);
    }
    if (o.command == "change") return changeCommand(o);
    if (o.command == "history") return historyCommand(o);
    return undoCommand(o);
}
