#pragma once

// The column "Neuer Name" while the user types: after a short pause, the plan of Alle
// Umbenennen is worked out again in slices of a few milliseconds between the window's events,
// so that typing never waits; the names appear as they are planned, the conflicts when all are.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "core/list/FileListModel.h"

class ConflictFinder;
class RenamePlanner;
class PlanSource;

class LivePreview : public QObject {
    Q_OBJECT
public:
    struct Inputs {
        int kind = 1;
        std::string search, replacement;
        int firstRow = 0;
    };

    explicit LivePreview(FileListModel& model, QObject* parent = nullptr);
    ~LivePreview() override;

    // The inputs changed: plan again after a short pause.
    void schedule(const Inputs& inputs);
    // Stops and empties the column.
    void clear();
    bool busy() const { return working_.isActive() || pause_.isActive(); }

    // How long the last plan took from the pause's end, for the benchmark.
    qint64 lastDurationMs() const { return lastDurationMs_; }

signals:
    // The German text for the status bar: an invalid pattern's error, or how many new names are
    // in conflict; empty when there is nothing to say.
    void statusChanged(const QString& text);
    void finished();

private:
    void start();
    void work();
    void announce(const QString& text);

    FileListModel& model_;
    Inputs inputs_;
    QTimer pause_;
    QTimer working_;
    std::unique_ptr<RenamePlanner> planner_;
    std::unique_ptr<PlanSource> source_;
    std::unique_ptr<ConflictFinder> finder_;
    std::string substitutionError_;
    QElapsedTimer clock_;
    qint64 lastDurationMs_ = 0;
    QString status_;
};
