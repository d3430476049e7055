#include "core/runs/RenamePlan.h"

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <deque>
#include <unordered_map>

#include "core/messages/CVNException.h"
#include "core/ops/FileOperations.h"
#include "core/runs/RunLines.h"
#include "platform/NameRules.h"
#include "res/Format.h"

namespace {

// Names as the file system of a folder compares them: without the trailing dots and spaces a
// Windows file system drops, and without regard to case where it ignores case. Where neither
// applies (the usual case on Linux) the name itself is the key, without a copy.
class Keys {
public:
    struct Place {
        const std::string* folder;
        std::string_view key;
        bool operator==(const Place& o) const { return folder == o.folder && key == o.key; }
    };
    struct Hash {
        std::size_t operator()(const Place& p) const {
            return std::hash<std::string_view>{}(p.key) ^ (std::hash<const void*>{}(p.folder) * 0x9e3779b97f4a7c15ULL);
        }
    };

    Place of(const FileListRecord& r, const std::string& name) {
        const std::string* folder = r.folder.get();
        auto it = rules_.find(folder);
        if (it == rules_.end()) it = rules_.emplace(folder, nameRulesOf(r.folderText())).first;
        const NameRules& rules = it->second;
        if (!rules.windowsNames && !rules.caseInsensitive) return {folder, name};
        std::string n = rules.windowsNames ? withoutTrailingDotsAndSpaces(name) : name;
        if (rules.caseInsensitive)
            n = QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size())).toCaseFolded().toUtf8().toStdString();
        return {folder, owned_.emplace_back(std::move(n))};
    }

private:
    std::unordered_map<const std::string*, NameRules> rules_;
    std::deque<std::string> owned_; // keys that differ from their names; a deque keeps them in place
};

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
    lines_->selected = std::max(firstRow, 0);
    lines_->focused = -1;
    lines_->pendingRow = -1;
    engine_ = std::make_unique<CVNSearchEngine>(*lines_, kind);
    if (!engine_->Compile(search, error) || !engine_->CompileReplacement(replacement, error)) return false;
    CVNTextPos s, e;
    engine_->GetSelection(s, e);
    engine_->SetPosition(s);
    engine_->ReloadLine();
    finished_ = model_.itemCount() == 0;
    // Room for every row at once: growing step by step would copy the entries again and again.
    // Pages that stay unused cost nothing.
    entries_.reserve(static_cast<std::size_t>(std::max(model_.itemCount() - lines_->selected, 0)));
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

namespace {

class PlanVector : public PlanSource {
public:
    explicit PlanVector(const std::vector<PlannedRename>& plan) : plan_(plan) {}
    std::size_t size() const override { return plan_.size(); }
    int row(std::size_t i) const override { return plan_[i].row; }
    std::string_view newName(std::size_t i) const override { return plan_[i].newName; }
    bool failed(std::size_t i) const override { return !plan_[i].error.empty(); }

private:
    const std::vector<PlannedRename>& plan_;
};

} // namespace

std::vector<PlanConflict> FindConflicts(const FileListModel& model, const std::vector<PlannedRename>& plan) {
    const PlanVector source(plan);
    ConflictFinder finder(model, source);
    finder.step(0);
    std::vector<PlanConflict> out(plan.size());
    for (std::size_t i = 0; i < plan.size(); ++i) {
        if (finder.kind(i) == NameConflict::None) continue;
        const int other = finder.other(i);
        out[i] = {finder.kind(i), other >= 0 ? plan[static_cast<std::size_t>(other)].row : -1, finder.reason(i)};
    }
    return out;
}

std::vector<RenameStep> OrderRenames(const FileListModel& model, const std::vector<PlannedRename>& plan,
                                     const std::vector<PlanConflict>& conflicts) {
    Keys keys;
    // Each file waits for the one that stands where it goes: chains and cycles, nothing else,
    // since two files never go to the same place (that is a conflict).
    std::unordered_map<Keys::Place, int, Keys::Hash> standing;
    std::vector<Keys::Place> target(plan.size());
    std::vector<std::uint8_t> moves(plan.size(), 0); // bytes, not bits: quicker, and bounds-checked in checked builds
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const FileListRecord* r = model.record(plan[i].row);
        if (!plan[i].error.empty() || !r || plan[i].newName == r->name || Blocks(conflicts[i].kind)) continue;
        moves[i] = true;
        standing.emplace(keys.of(*r, r->name), static_cast<int>(i));
        target[i] = keys.of(*r, plan[i].newName);
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
