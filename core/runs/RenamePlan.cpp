#include "core/runs/RenamePlan.h"

#include <QElapsedTimer>
#include <QString>
#include <dirent.h>
#include <unordered_map>
#include <unordered_set>

#include "core/messages/CVNException.h"
#include "core/ops/FileOperations.h"
#include "core/runs/RunLines.h"
#include "platform/NameRules.h"
#include "res/Format.h"

namespace {

constexpr unsigned IDS_DUPLICATE = 33130, IDS_EXISTS = 33131, IDS_DOUBTFUL = 33132;

std::string folded(const std::string& name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toCaseFolded().toUtf8().toStdString();
}

struct Folder {
    NameRules rules;
    std::unordered_set<std::string> onDisk; // keys of every entry of the folder
    std::string key(const std::string& name) const { return rules.caseInsensitive ? folded(name) : name; }
};

// The folders of the plan, each read once.
class Folders {
public:
    Folder& of(const std::string& folder) {
        auto [it, added] = folders_.try_emplace(folder);
        if (added) {
            it->second.rules = nameRulesOf(folder);
            if (DIR* d = opendir(folder.c_str())) {
                while (const dirent* e = readdir(d)) it->second.onDisk.insert(it->second.key(e->d_name));
                closedir(d);
            }
        }
        return it->second;
    }

private:
    std::unordered_map<std::string, Folder> folders_;
};

std::string place(const std::string& folder, const std::string& key) { return folder + '\0' + key; }

} // namespace

std::string WildcardName(int kind, const std::string& oldName, std::string newName) {
    if (kind == PATTERN_WILDCARD && !newName.empty() && newName.back() == '.' &&
        (oldName.empty() || oldName.back() != '.'))
        newName.pop_back();
    return newName;
}

class RenamePlanner::Lines : public RunLines {
    using RunLines::RunLines;
};

RenamePlanner::RenamePlanner(const FileListModel& model) : model_(model), lines_(std::make_unique<Lines>(model)) {}

RenamePlanner::~RenamePlanner() = default;

bool RenamePlanner::start(int kind, const std::string& search, const std::string& replacement, int firstRow,
                          std::string& error) {
    kind_ = kind;
    entries_.clear();
    occurrences_ = 0;
    matcherError_.clear();
    finished_ = true;
    lines_->selected = firstRow < 0 ? 0 : firstRow;
    lines_->focused = -1;
    lines_->pendingRow = -1;
    engine_ = std::make_unique<CVNSearchEngine>(*lines_, kind);
    if (!engine_->Compile(search, error) || !engine_->CompileReplacement(replacement, error)) return false;
    CVNTextPos s, e;
    engine_->GetSelection(s, e);
    engine_->SetPosition(s);
    engine_->ReloadLine();
    finished_ = model_.itemCount() == 0;
    return true;
}

int RenamePlanner::nextRow() const { return finished_ ? model_.itemCount() : lines_->selected; }

void RenamePlanner::commitPending() {
    if (lines_->pendingRow < 0) return;
    const int row = lines_->pendingRow;
    lines_->pendingRow = -1;
    entries_.push_back({row, WildcardName(kind_, model_.record(row)->name, std::move(lines_->pendingName)), occurrences_, {}});
    occurrences_ = 0;
}

bool RenamePlanner::step(int budgetMs) {
    if (finished_) return true;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (budgetMs > 0 && clock.elapsed() >= budgetMs) return false;
        CVNTextPos from, to;
        std::string error, text;
        if (engine_->ReplaceSelection(from, to, text, error)) {
            lines_->pendingRow = from.line;
            lines_->pendingName = std::move(text);
            ++occurrences_;
            engine_->ReloadLine();
        } else if (!error.empty()) {
            // A substitution error: the file cannot be renamed, whatever its other occurrences.
            const int row = lines_->selected;
            entries_.push_back({row, {}, occurrences_ + 1, error});
            occurrences_ = 0;
            lines_->pendingRow = -1;
            to = {row + 1, 0};
        } else {
            engine_->GetSelection(from, to);
            if (from == to) from = to = {0, 0};
        }
        engine_->SetPosition(to);
        CVNTextPos next, nextEnd;
        std::string findError;
        const bool found = engine_->FindNext(next, nextEnd, findError);
        if (!found || next.line != lines_->pendingRow) commitPending();
        if (!found) {
            matcherError_ = findError;
            finished_ = true;
            return true;
        }
        lines_->selected = next.line;
    }
}

std::vector<PlanConflict> FindConflicts(const FileListModel& model, const std::vector<PlannedRename>& plan) {
    std::vector<PlanConflict> out(plan.size());
    Folders folders;
    // Where each renamed file stands now, and where each wants to go.
    std::unordered_map<std::string, std::size_t> leaving, arriving;
    std::vector<std::string> from(plan.size()), to(plan.size());
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const PlannedRename& p = plan[i];
        const FileListRecord* r = model.record(p.row);
        if (!p.error.empty() || !r || p.newName == r->name) continue;
        Folder& f = folders.of(r->folderText());
        std::string checked = p.newName;
        try {
            CheckNewName(f.rules, r->folderText(), checked);
        } catch (const CVNException& e) {
            out[i] = {NameConflict::Invalid, -1, e.text()};
            continue;
        }
        from[i] = place(r->folderText(), f.key(r->name));
        to[i] = place(r->folderText(), f.key(checked));
        leaving.emplace(from[i], i);
        const auto [other, first] = arriving.emplace(to[i], i);
        if (!first) {
            const int otherRow = plan[other->second].row;
            out[i] = {NameConflict::Duplicate, otherRow, FormatId(IDS_DUPLICATE, {model.record(otherRow)->name})};
            if (!Blocks(out[other->second].kind))
                out[other->second] = {NameConflict::Duplicate, p.row, FormatId(IDS_DUPLICATE, {r->name})};
            continue;
        }
        if (!checked.empty() && (checked.front() == ' ' || checked.back() == ' ' || checked.back() == '.'))
            out[i] = {NameConflict::Doubtful, -1, FormatId(IDS_DOUBTFUL, {})};
    }
    // A name on the disk is free only if the run renames its file away; a file that cannot be
    // renamed keeps its name, which may block others in turn.
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            if (to[i].empty() || Blocks(out[i].kind) || to[i] == from[i]) continue;
            const std::string& folder = model.record(plan[i].row)->folderText();
            const Folder& f = folders.of(folder);
            const std::string key = to[i].substr(folder.size() + 1);
            if (!f.onDisk.count(key)) continue;
            const auto away = leaving.find(to[i]);
            if (away != leaving.end() && !Blocks(out[away->second].kind)) continue;
            const int otherRow = away != leaving.end() ? plan[away->second].row : -1;
            out[i] = {NameConflict::Exists, otherRow, FormatId(IDS_EXISTS, {plan[i].newName})};
            changed = true;
        }
    }
    return out;
}

std::vector<RenameStep> OrderRenames(const FileListModel& model, const std::vector<PlannedRename>& plan,
                                     const std::vector<PlanConflict>& conflicts) {
    Folders folders;
    // Each file waits for the one that stands where it goes: chains and cycles, nothing else,
    // since two files never go to the same place (that is a conflict).
    std::unordered_map<std::string, int> standing;
    std::vector<std::string> target(plan.size());
    std::vector<bool> moves(plan.size(), false);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const FileListRecord* r = model.record(plan[i].row);
        if (!plan[i].error.empty() || !r || plan[i].newName == r->name || Blocks(conflicts[i].kind)) continue;
        const Folder& f = folders.of(r->folderText());
        moves[i] = true;
        standing.emplace(place(r->folderText(), f.key(r->name)), static_cast<int>(i));
        target[i] = place(r->folderText(), f.key(plan[i].newName));
    }
    std::vector<int> waitsFor(plan.size(), -1);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        if (!moves[i]) continue;
        const auto it = standing.find(target[i]);
        if (it != standing.end() && it->second != static_cast<int>(i)) waitsFor[i] = it->second;
    }
    enum : std::uint8_t { Fresh, OnPath, Done };
    std::vector<std::uint8_t> state(plan.size(), Fresh);
    std::vector<RenameStep> steps;
    std::vector<int> path;
    for (std::size_t start = 0; start < plan.size(); ++start) {
        if (!moves[start] || state[start] != Fresh) continue;
        path.clear();
        int at = static_cast<int>(start);
        while (at >= 0 && state[static_cast<std::size_t>(at)] == Fresh) {
            state[static_cast<std::size_t>(at)] = OnPath;
            path.push_back(at);
            at = waitsFor[static_cast<std::size_t>(at)];
        }
        std::size_t chainEnd = path.size(); // path[0..chainEnd) waits for what comes after it
        if (at >= 0 && state[static_cast<std::size_t>(at)] == OnPath) {
            // A cycle from at to the end of the path: one of its files steps aside first.
            std::size_t first = 0;
            while (path[first] != at) ++first;
            steps.push_back({at, RenameStep::ToTemporary});
            for (std::size_t k = path.size(); k-- > first + 1;) steps.push_back({path[k], RenameStep::Direct});
            steps.push_back({at, RenameStep::FromTemporary});
            chainEnd = first;
        }
        for (std::size_t k = chainEnd; k-- > 0;) steps.push_back({path[k], RenameStep::Direct});
        for (int p : path) state[static_cast<std::size_t>(p)] = Done;
    }
    return steps;
}
