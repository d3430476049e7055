#include "core/journal/Journal.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <cstring>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/journal/JournalFormat.h"
#include "core/messages/Messages.h"
#include "platform/Rename.h"
#include "res/Format.h"

namespace {

constexpr char kEnding[] = ".journal";
constexpr unsigned IDS_RUN_KEPT_ASIDE = 33139, IDS_RUNS_KEPT_ASIDE = 33140;

std::string now(const char* format) {
    return QLocale::c().toString(QDateTime::currentDateTime(), QString::fromLatin1(format)).toStdString();
}

bool endsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        at += static_cast<std::size_t>(n);
    }
    return true;
}

// Whether another program holds the run open for writing.
bool isLive(int fd) {
    if (flock(fd, LOCK_SH | LOCK_NB) == 0) {
        flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

// The run files of the folder, oldest first (their names begin with the time).
std::vector<std::string> runFiles(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (endsWith(name, kEnding)) names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A damaged run is kept aside, never silently lost. Gives where it went, empty when it stayed.
std::string keepAside(const std::string& path) {
    for (int n = 1; n < 100; ++n) {
        std::string target = path + ".damaged-" + now("yyyyMMdd-HHmmss");
        if (n > 1) target.append(1, '-').append(std::to_string(n));
        const OpResult r = renameNoReplace(path, target);
        if (r.ok()) return target;
        if (r.code != ERROR_FILE_EXISTS && r.code != ERROR_ALREADY_EXISTS) break;
    }
    return {};
}

// Where the written lines of a run file end: before the zeros a crashed run leaves behind
// (its file grows ahead of what is written), and before a line it did not finish.
std::size_t writtenEnd(std::string_view text) {
    const std::size_t zero = text.find('\0');
    if (zero == std::string_view::npos) return text.size();
    const std::size_t lastBreak = text.substr(0, zero).rfind('\n');
    return lastBreak == std::string_view::npos ? 0 : lastBreak + 1;
}

std::string readAll(int fd) {
    std::string text;
    char buf[65536];
    for (ssize_t n; (n = ::pread(fd, buf, sizeof buf, static_cast<off_t>(text.size()))) > 0;)
        text.append(buf, static_cast<std::size_t>(n));
    return text;
}

void appendLines(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (fd < 0) return;
    if (flock(fd, LOCK_EX) == 0) {
        // A crashed run's zeros go first, so that the new lines follow the written ones.
        struct stat st {};
        char last = 0;
        if (fstat(fd, &st) == 0 && st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 && last == '\0')
            if (ftruncate(fd, static_cast<off_t>(writtenEnd(readAll(fd)))) != 0) {
                ::close(fd);
                return;
            }
        writeAll(fd, text);
    }
    ::close(fd);
}

} // namespace

int JournalRun::changed() const {
    return static_cast<int>(std::count_if(ops.begin(), ops.end(), [](const Op& o) { return o.state == OpState::Done; }));
}

int JournalRun::undone() const {
    return static_cast<int>(std::count_if(ops.begin(), ops.end(), [](const Op& o) { return o.state == OpState::Undone; }));
}

namespace {

// The files among the operations that reached the disk and pass keep. An operation on the
// name an earlier one left its file under changes that same file again.
template <typename Keep> int countFiles(const std::vector<JournalRun::Op>& ops, Keep keep) {
    using State = JournalRun::OpState;
    std::map<std::string, std::size_t> fileAt; // folder and name -> file
    std::vector<bool> counted;
    int files = 0;
    for (const JournalRun::Op& op : ops) {
        if (op.state != State::Done && op.state != State::Undone) continue;
        const UndoRecord& r = op.record;
        const std::string folder = r.folderText() + '\0';
        std::size_t file = counted.size();
        const auto at = fileAt.find(folder + (r.kind == UNDO_RENAME ? r.oldName : r.name));
        if (at != fileAt.end()) {
            file = at->second;
            fileAt.erase(at);
        } else {
            counted.push_back(false);
        }
        fileAt[folder + r.name] = file;
        if (keep(op.state) && !counted[file]) {
            counted[file] = true;
            ++files;
        }
    }
    return files;
}

} // namespace

int JournalRun::files() const {
    return countFiles(ops, [](OpState) { return true; });
}

int JournalRun::filesChanged() const {
    return countFiles(ops, [](OpState s) { return s == OpState::Done; });
}

int JournalRun::filesUndone() const {
    return countFiles(ops, [](OpState s) { return s == OpState::Undone; });
}

std::string Journal::defaultFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/Orvane";
    return QDir::homePath().toStdString() + "/.local/state/Orvane";
}

Journal::Journal(std::string folder) : folder_(std::move(folder)) {}

Journal::~Journal() { end(); }

// The run file is written through a shared mapping, which another process (and the next
// start after a crash, even after SIGKILL) reads like written lines, without a system call
// per file. Its room is reserved ahead with posix_fallocate, so that a full disk is an error
// here and never a fault on a page; the file is cut to the written length at the end.
bool Journal::reserve(std::size_t more) {
    if (used_ + more <= mapSize_) return true;
    const std::size_t step = std::clamp<std::size_t>(mapSize_, 1u << 20, 16u << 20);
    const std::size_t size = (used_ + more + step - 1) / step * step;
    if (posix_fallocate(fd_, static_cast<off_t>(mapSize_), static_cast<off_t>(size - mapSize_)) != 0) return false;
    void* map = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (map == MAP_FAILED) return false;
    if (map_) munmap(map_, mapSize_);
    map_ = static_cast<char*>(map);
    mapSize_ = size;
    return true;
}

void Journal::closeFile() {
    if (map_) {
        msync(map_, used_, MS_SYNC);
        munmap(map_, mapSize_);
        map_ = nullptr;
        if (ftruncate(fd_, static_cast<off_t>(used_)) != 0) {
            // The zeros stay behind; a reader stops at them.
        }
    }
    fsync(fd_);
    ::close(fd_);
    fd_ = -1;
    mapSize_ = used_ = 0;
}

bool Journal::write(const std::string& text) {
    if (fd_ < 0) return false;
    if (!unmapped_ && reserve(text.size())) {
        std::memcpy(map_ + used_, text.data(), text.size());
        used_ += text.size();
        return true;
    }
    // A file system without mappings writes line by line, from the start of the file.
    if (used_ == 0 && !map_) {
        unmapped_ = true;
        if (ftruncate(fd_, 0) == 0 && writeAll(fd_, text)) return true;
    } else if (unmapped_ && writeAll(fd_, text)) {
        return true;
    }
    // A full disk or a vanished folder: the run goes on without its journal.
    closeFile();
    return false;
}

bool Journal::begin(const JournalHeader& h) {
    end();
    if (!QDir().mkpath(QString::fromStdString(folder_))) return false;
    static int counter = 0;
    const std::string id = now("yyyyMMdd-HHmmss") + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    const std::string path = folder_ + "/" + id + kEnding;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ < 0) return false;
    flock(fd_, LOCK_EX);
    unmapped_ = false;
    used_ = mapSize_ = 0;
    runId_ = id;
    nextSeq_ = 1;
    pending_.clear();
    return write(std::string(journal::kHeader) + "\n" +
                 journal::line({"run", now("yyyy-MM-dd HH:mm:ss"), h.source, std::to_string(h.mode),
                                std::to_string(h.kind), h.folder, h.search, h.replacement}));
}

std::uint64_t Journal::intent(const UndoRecord& before) {
    if (fd_ < 0) return 0;
    const std::uint64_t seq = nextSeq_++;
    // The done line of the last operation goes with this one: one write per file.
    journal::LineWriter w(pending_);
    w.text("op").num(seq).text(before.folderText());
    journal::writeRecord(w, before);
    w.end();
    const bool ok = write(pending_);
    pending_.clear();
    return ok ? seq : 0;
}

void Journal::done(std::uint64_t seq, const FileIdentity* identityAfter) {
    if (fd_ < 0 || seq == 0) return;
    journal::LineWriter w(pending_);
    w.text("done").num(seq);
    if (identityAfter) journal::writeIdentity(w, *identityAfter);
    w.end();
}

void Journal::end() {
    if (fd_ < 0) return;
    if (nextSeq_ == 1) {
        // Nothing was about to change (nothing matched, a name refused before the disk was
        // asked): no run to tell of or to take back.
        const std::string path = folder_ + "/" + runId_ + kEnding;
        closeFile();
        ::unlink(path.c_str());
        return;
    }
    pending_ += journal::line({"end"});
    write(pending_);
    pending_.clear();
    if (fd_ >= 0) closeFile();
    prune();
}

std::optional<JournalRun> Journal::load(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    JournalRun run;
    run.path = path;
    run.live = isLive(fd);
    std::string text = readAll(fd);
    ::close(fd);

    // A last line without its line break was being written when the program died: not there.
    text.resize(writtenEnd(text));
    const std::size_t lastBreak = text.rfind('\n');
    text.resize(lastBreak == std::string::npos ? 0 : lastBreak + 1);
    std::map<std::uint64_t, std::size_t> bySeq;
    bool damaged = text.rfind(std::string(journal::kHeader) + "\n", 0) != 0;
    std::size_t at = damaged ? text.size() : journal::kHeader.size() + 1;
    bool sawRun = false;
    while (!damaged && at < text.size()) {
        const std::size_t eol = text.find('\n', at);
        const auto f = journal::fields(std::string_view(text).substr(at, eol - at));
        at = eol + 1;
        if (!f || f->empty()) {
            damaged = true;
            break;
        }
        const std::string& what = (*f)[0];
        std::uint64_t seq = 0;
        const bool withSeq = f->size() >= 2 && !(*f)[1].empty() &&
                             std::all_of((*f)[1].begin(), (*f)[1].end(), [](char c) { return c >= '0' && c <= '9'; });
        if (withSeq) seq = std::stoull((*f)[1]);
        if (what == "run" && f->size() == 8 && !sawRun) {
            sawRun = true;
            run.time = (*f)[1];
            run.header = {(*f)[2], std::atoi((*f)[3].c_str()), std::atoi((*f)[4].c_str()), (*f)[5], (*f)[6], (*f)[7]};
        } else if (what == "op" && withSeq && f->size() > 3 && sawRun) {
            auto record = journal::recordFrom(*f, 3);
            if (!record) {
                damaged = true;
                break;
            }
            record->folder = std::make_shared<const std::string>((*f)[2]);
            bySeq[seq] = run.ops.size();
            run.ops.push_back({seq, std::move(*record), JournalRun::OpState::Pending});
        } else if ((what == "done" || what == "undone" || what == "lost") && withSeq && bySeq.count(seq)) {
            JournalRun::Op& op = run.ops[bySeq[seq]];
            op.state = what == "done" ? JournalRun::OpState::Done
                       : what == "undone" ? JournalRun::OpState::Undone
                                          : JournalRun::OpState::Lost;
            if (what == "done" && f->size() == 2 + journal::kIdentityFields)
                if (auto id = journal::identityFrom(*f, 2)) op.record.identity = *id;
        } else if (what == "end") {
            run.complete = true;
            run.interrupted = f->size() > 1 && (*f)[1] == "interrupted";
        } else {
            damaged = true;
        }
    }
    if (damaged || !sawRun) {
        if (!run.live)
            if (std::string kept = keepAside(path); !kept.empty()) keptAside_.emplace_back(path, std::move(kept));
        return std::nullopt;
    }
    std::string name = path.substr(path.rfind('/') + 1);
    run.id = name.substr(0, name.size() - (sizeof kEnding - 1));
    return run;
}

// A run a program left unfinished: what did its pending operations do?
void Journal::settle(JournalRun& run) {
    std::string lines;
    for (JournalRun::Op& op : run.ops) {
        if (op.state != JournalRun::OpState::Pending) continue;
        const UndoRecord& r = op.record;
        // A rename happened when the file is found under its new name; a change of times or
        // attributes is taken as done, since putting back what was there before harms nothing.
        const bool happened = sameFile(r.identity, identityOf(r.path())) && identityOf(r.path()).known;
        op.state = happened ? JournalRun::OpState::Done : JournalRun::OpState::Lost;
        lines += journal::line({happened ? "done" : "lost", std::to_string(op.seq)});
    }
    lines += journal::line({"end", "interrupted"});
    appendLines(run.path, lines);
    run.complete = true;
    run.interrupted = true;
    run.settledNow = true;
}

// The user can no longer take back a run that was kept aside and must hear why: once per
// reading, however many runs a damaged folder held.
void Journal::reportKeptAside() {
    if (keptAside_.size() == 1)
        GetMessagePresenter()->show(FormatId(IDS_RUN_KEPT_ASIDE, {keptAside_[0].first, keptAside_[0].second}),
                                    MB_OK | MB_ICONWARNING, 0);
    else if (keptAside_.size() > 1)
        GetMessagePresenter()->show(FormatId(IDS_RUNS_KEPT_ASIDE, {static_cast<int>(keptAside_.size()), folder_}),
                                    MB_OK | MB_ICONWARNING, 0);
    keptAside_.clear();
}

std::vector<JournalRun> Journal::runs() {
    std::vector<JournalRun> out;
    const std::vector<std::string> names = runFiles(folder_);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        auto run = load(folder_ + "/" + *it);
        if (!run) continue;
        if (!run->complete && !run->live && run->id != runId_) settle(*run);
        out.push_back(std::move(*run));
    }
    reportKeptAside();
    return out;
}

std::optional<JournalRun> Journal::run(const std::string& id) {
    if (id.empty() || id.find('/') != std::string::npos) return std::nullopt;
    auto r = load(folder_ + "/" + id + kEnding);
    if (r && !r->complete && !r->live && r->id != runId_) settle(*r);
    reportKeptAside();
    return r;
}

void Journal::markUndone(const std::string& id, const std::vector<std::uint64_t>& seqs) {
    if (id.empty() || seqs.empty() || id.find('/') != std::string::npos) return;
    std::string lines;
    for (std::uint64_t seq : seqs) lines += journal::line({"undone", std::to_string(seq)});
    if (id == runId_ && fd_ >= 0) {
        pending_ += lines;
        return;
    }
    appendLines(folder_ + "/" + id + kEnding, lines);
}

void Journal::prune() {
    const std::vector<std::string> names = runFiles(folder_);
    std::vector<std::pair<std::string, std::uint64_t>> files;
    std::uint64_t total = 0;
    for (const std::string& n : names) {
        struct stat st {};
        if (stat((folder_ + "/" + n).c_str(), &st) != 0) continue;
        files.emplace_back(n, static_cast<std::uint64_t>(st.st_size));
        total += static_cast<std::uint64_t>(st.st_size);
    }
    std::size_t count = files.size();
    for (const auto& [name, size] : files) {
        if (count <= kMaxRuns && total <= kMaxBytes) break;
        if (name == runId_ + kEnding) continue; // the run just written is never dropped
        const std::string path = folder_ + "/" + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        const bool live = isLive(fd);
        ::close(fd);
        if (live) continue;
        if (unlink(path.c_str()) == 0) {
            --count;
            total -= size;
        }
    }
}
