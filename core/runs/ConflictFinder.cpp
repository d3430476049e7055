#include "core/runs/ConflictFinder.h"

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <dirent.h>

#include "core/messages/CVNException.h"
#include "core/ops/FileOperations.h"
#include "platform/NameRules.h"
#include "res/Format.h"

namespace {

constexpr unsigned IDS_DUPLICATE = 33130, IDS_EXISTS = 33131, IDS_DOUBTFUL = 33132;

std::uint64_t hashOf(std::string_view key) { return std::hash<std::string_view>{}(key); }

bool doubtful(std::string_view name) {
    return !name.empty() && (name.front() == ' ' || name.back() == ' ' || name.back() == '.');
}

} // namespace

struct ConflictFinder::Folder {
    std::string path;
    NameRules rules;
    std::vector<std::uint64_t> onDisk; // hashes of the keys of every entry, sorted once read
    DIR* reading = nullptr;
    bool read = false;
};

ConflictFinder::ConflictFinder(const FileListModel& model, const PlanSource& plan)
    : model_(model), plan_(plan), kinds_(plan.size(), NameConflict::None) {
    arriving_.reserve(plan.size());
    leaving_.reserve(plan.size());
}

ConflictFinder::~ConflictFinder() {
    for (Folder& f : folders_)
        if (f.reading) closedir(f.reading);
}

std::uint32_t ConflictFinder::folderOf(const FileListRecord& r) {
    const std::string* text = r.folder.get();
    auto [it, added] = folderIds_.try_emplace(text, static_cast<std::uint32_t>(folders_.size()));
    if (added) {
        Folder f;
        f.path = r.folderText();
        f.rules = nameRulesOf(f.path);
        folders_.push_back(std::move(f));
    }
    return it->second;
}

// Names compare as the file system compares them.
std::string ConflictFinder::key(const Folder& f, std::string_view name) const {
    std::string n(name);
    if (f.rules.windowsNames) n = withoutTrailingDotsAndSpaces(std::move(n));
    if (!f.rules.caseInsensitive) return n;
    return QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size())).toCaseFolded().toUtf8().toStdString();
}

// Whether entry a's new name is where entry b stands now.
bool ConflictFinder::sameKey(std::size_t a, std::size_t b) const {
    const FileListRecord* ra = model_.record(plan_.row(a));
    const FileListRecord* rb = model_.record(plan_.row(b));
    if (!ra || !rb || ra->folder.get() != rb->folder.get()) return false;
    const Folder& f = folders_[folderIds_.at(ra->folder.get())];
    return key(f, plan_.newName(a)) == key(f, rb->name);
}

void ConflictFinder::block(std::size_t i, NameConflict kind, int other) {
    if (Blocks(kinds_[i])) return;
    kinds_[i] = kind;
    if (other >= 0) others_[static_cast<std::uint32_t>(i)] = other;
    work_.push_back(static_cast<std::uint32_t>(i));
}

bool ConflictFinder::readFolders(int budgetMs, long long startMs) {
    QElapsedTimer clock;
    clock.start();
    for (Folder& f : folders_) {
        if (f.read) continue;
        if (!f.reading) f.reading = opendir(f.path.c_str());
        int count = 0;
        while (f.reading) {
            if (budgetMs > 0 && ++count % 1024 == 0 && startMs + clock.elapsed() >= budgetMs) return false;
            const dirent* e = readdir(f.reading);
            if (!e) {
                closedir(f.reading);
                f.reading = nullptr;
                break;
            }
            f.onDisk.push_back(hashOf(key(f, e->d_name)));
        }
        std::sort(f.onDisk.begin(), f.onDisk.end());
        f.read = true;
    }
    return true;
}

bool ConflictFinder::step(int budgetMs) {
    QElapsedTimer clock;
    clock.start();
    const auto late = [&] { return budgetMs > 0 && clock.elapsed() >= budgetMs; };
    if (phase_ == 0) {
        // Each entry that changes its name: refused names, doubtful names, and where it goes.
        for (; next_ < plan_.size(); ++next_) {
            if ((next_ & 255) == 0 && late()) return false;
            const std::size_t i = next_;
            const FileListRecord* r = model_.record(plan_.row(i));
            const std::string_view name = plan_.newName(i);
            if (plan_.failed(i) || !r || name.empty() || name == r->name) continue;
            const std::uint32_t fid = folderOf(*r);
            const Folder& f = folders_[fid];
            std::string checked(name);
            try {
                CheckNewName(f.rules, f.path, checked);
            } catch (const CVNException&) {
                kinds_[i] = NameConflict::Invalid;
                continue;
            }
            if (doubtful(checked)) kinds_[i] = NameConflict::Doubtful;
            arriving_.push_back({hashOf(key(f, checked)), fid, static_cast<std::uint32_t>(i)});
            leaving_.push_back({hashOf(key(f, r->name)), fid, static_cast<std::uint32_t>(i)});
        }
        phase_ = 1;
    }
    if (phase_ == 1) {
        if (!readFolders(budgetMs, clock.elapsed())) return false;
        std::sort(arriving_.begin(), arriving_.end());
        std::sort(leaving_.begin(), leaving_.end());
        phase_ = 2;
        next_ = 0;
    }
    if (phase_ == 2) {
        // The same new name twice in one folder: both are in the way of each other.
        for (; next_ < arriving_.size(); ++next_) {
            if ((next_ & 255) == 0 && late()) return false;
            const Place& p = arriving_[next_];
            for (std::size_t k = next_ + 1; k < arriving_.size() && arriving_[k].folder == p.folder &&
                                            arriving_[k].hash == p.hash;
                 ++k) {
                const std::size_t a = p.entry, b = arriving_[k].entry;
                const Folder& f = folders_[p.folder];
                if (key(f, plan_.newName(a)) != key(f, plan_.newName(b))) continue;
                block(a, NameConflict::Duplicate, static_cast<int>(b));
                block(b, NameConflict::Duplicate, static_cast<int>(a));
            }
        }
        phase_ = 3;
        next_ = 0;
    }
    if (phase_ == 3) {
        // A new name that is on the disk is free only if its file is renamed away by the run.
        for (; next_ < arriving_.size(); ++next_) {
            if ((next_ & 255) == 0 && late()) return false;
            const Place& p = arriving_[next_];
            const std::size_t i = p.entry;
            if (Blocks(kinds_[i])) continue;
            const Folder& f = folders_[p.folder];
            if (!std::binary_search(f.onDisk.begin(), f.onDisk.end(), p.hash)) continue;
            if (sameKey(i, i)) continue; // its own name, in another case
            const auto range = std::equal_range(leaving_.begin(), leaving_.end(), Place{p.hash, p.folder, 0},
                                                [](const Place& x, const Place& y) {
                                                    return x.folder != y.folder ? x.folder < y.folder : x.hash < y.hash;
                                                });
            int standing = -1;
            bool away = false;
            for (auto it = range.first; it != range.second; ++it) {
                if (it->entry == i || !sameKey(i, it->entry)) continue;
                standing = static_cast<int>(it->entry);
                away = !Blocks(kinds_[it->entry]);
            }
            if (!away) block(i, NameConflict::Exists, standing);
        }
        phase_ = 4;
    }
    // A file that cannot be renamed keeps its name, which then blocks whoever wanted it.
    while (!work_.empty()) {
        if (late()) return false;
        const std::uint32_t j = work_.back();
        work_.pop_back();
        const FileListRecord* r = model_.record(plan_.row(j));
        if (!r) continue;
        const std::uint32_t fid = folderIds_.at(r->folder.get());
        const std::uint64_t h = hashOf(key(folders_[fid], r->name));
        const auto range = std::equal_range(arriving_.begin(), arriving_.end(), Place{h, fid, 0},
                                            [](const Place& x, const Place& y) {
                                                return x.folder != y.folder ? x.folder < y.folder : x.hash < y.hash;
                                            });
        for (auto it = range.first; it != range.second; ++it)
            if (it->entry != j && !Blocks(kinds_[it->entry]) && sameKey(it->entry, j))
                block(it->entry, NameConflict::Exists, static_cast<int>(j));
    }
    return phase_ == 4;
}

std::string ConflictReason(const FileListModel& model, int row, std::string_view newName, NameConflict kind,
                           int otherRow) {
    switch (kind) {
    case NameConflict::Duplicate:
        if (const FileListRecord* o = model.record(otherRow)) return FormatId(IDS_DUPLICATE, {o->name});
        [[fallthrough]];
    case NameConflict::Exists: return FormatId(IDS_EXISTS, {std::string(newName)});
    case NameConflict::Invalid: {
        const FileListRecord* r = model.record(row);
        std::string checked(newName);
        try {
            if (r) CheckNewName(nameRulesOf(r->folderText()), r->folderText(), checked);
        } catch (const CVNException& e) {
            return e.text();
        }
        return {};
    }
    case NameConflict::Doubtful: return FormatId(IDS_DOUBTFUL, {});
    default: return {};
    }
}

std::string ConflictFinder::reason(std::size_t i) const {
    const int other = this->other(i) >= 0 ? plan_.row(static_cast<std::size_t>(this->other(i))) : -1;
    return ConflictReason(model_, plan_.row(i), plan_.newName(i), kinds_[i], other);
}
