#include "ui/form/LivePreview.h"

#include "core/runs/ConflictFinder.h"
#include "core/runs/RenamePlan.h"
#include "res/Format.h"

namespace {

constexpr int kPauseMs = 150; // typing on
constexpr int kSliceMs = 12;  // one slice of work between the window's events
constexpr unsigned IDS_BLOCKED = 33135, IDS_DOUBTFUL = 33136;

// The column's own names as a plan: one entry per row.
class ColumnSource : public PlanSource {
public:
    explicit ColumnSource(const FileListModel& model) : model_(model) {}
    std::size_t size() const override { return static_cast<std::size_t>(model_.rowCount()); }
    int row(std::size_t i) const override { return static_cast<int>(i); }
    std::string_view newName(std::size_t i) const override { return model_.newName(static_cast<int>(i)); }
    bool failed(std::size_t) const override { return false; }

private:
    const FileListModel& model_;
};

} // namespace

LivePreview::LivePreview(FileListModel& model, QObject* parent) : QObject(parent), model_(model) {
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    working_.setInterval(0);
    connect(&pause_, &QTimer::timeout, this, [this] { start(); });
    connect(&working_, &QTimer::timeout, this, [this] { work(); });
}

LivePreview::~LivePreview() = default;

void LivePreview::schedule(const Inputs& inputs) {
    inputs_ = inputs;
    working_.stop();
    pause_.start();
}

void LivePreview::clear() {
    pause_.stop();
    working_.stop();
    finder_.reset();
    source_.reset();
    planner_.reset();
    model_.clearNewNames();
    announce(QString());
}

void LivePreview::announce(const QString& text) {
    // Only a change reaches the status bar, which shows other texts too.
    if (text == status_) return;
    status_ = text;
    emit statusChanged(text);
}

void LivePreview::start() {
    clock_.start();
    finder_.reset();
    source_.reset();
    model_.clearNewNames();
    substitutionError_.clear();
    if (inputs_.replacement.empty() || model_.rowCount() == 0) {
        announce(QString());
        return;
    }
    planner_ = std::make_unique<RenamePlanner>(model_);
    std::string error;
    if (!planner_->start(inputs_.kind, inputs_.search, inputs_.replacement, inputs_.firstRow, error)) {
        planner_.reset();
        announce(QString::fromStdString(error)); // while typing: no message box
        return;
    }
    working_.start();
}

void LivePreview::work() {
    if (planner_) {
        const bool done = planner_->step(kSliceMs);
        // The names appear as they are planned; rows that keep their name show nothing.
        int first = -1, last = -1;
        for (const PlannedRename& p : planner_->takeEntries()) {
            if (!p.error.empty()) {
                if (substitutionError_.empty()) substitutionError_ = p.error;
                continue;
            }
            const FileListRecord* r = model_.record(p.row);
            if (!r || p.newName == r->name) continue;
            model_.setNewName(p.row, p.newName);
            if (first < 0) first = p.row;
            last = p.row;
        }
        model_.newNamesChanged(first, last);
        if (!done) return;
        const std::string matcherError = planner_->matcherError();
        planner_.reset();
        if (!matcherError.empty() || !substitutionError_.empty()) {
            announce(QString::fromStdString(!matcherError.empty() ? matcherError : substitutionError_));
            working_.stop();
            lastDurationMs_ = clock_.elapsed();
            emit finished();
            return;
        }
        source_ = std::make_unique<ColumnSource>(model_);
        finder_ = std::make_unique<ConflictFinder>(model_, *source_);
        return;
    }
    if (!finder_ || !finder_->step(kSliceMs)) return;
    working_.stop();
    int blocked = 0, doubtful = 0, first = -1, last = -1;
    for (std::size_t i = 0; i < source_->size(); ++i) {
        const NameConflict kind = finder_->kind(i);
        if (kind == NameConflict::None) continue;
        const int row = static_cast<int>(i);
        model_.setNewNameConflict(row, static_cast<std::uint8_t>(kind), finder_->other(i));
        if (Blocks(kind)) ++blocked;
        else ++doubtful;
        if (first < 0) first = row;
        last = row;
    }
    model_.newNamesChanged(first, last);
    finder_.reset();
    source_.reset();
    QString status;
    if (blocked > 0) status = QString::fromStdString(FormatId(IDS_BLOCKED, {blocked}));
    if (doubtful > 0)
        status += (status.isEmpty() ? QString() : QStringLiteral(" ")) + QString::fromStdString(FormatId(IDS_DOUBTFUL, {doubtful}));
    announce(status);
    lastDurationMs_ = clock_.elapsed();
    emit finished();
}
