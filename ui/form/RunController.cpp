// The run commands of the main form: Find, the single steps and the runs over the list.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <sys/stat.h>
#include <vector>

#include "core/ops/UndoCommand.h"
#include "ui/form/LivePreview.h"
#include "ui/list/CVNFileListCtrl.h"
#include "res/LoadString.h"
#include "ui/form/CROZariduView.h"
#include "core/runs/FindCommand.h"
#include "core/scan/MessagePump.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "core/settings/CVNPars.h"
#include "core/messages/Messages.h"

namespace {

constexpr unsigned IDS_RENAME_PROGRESS = 33122, IDS_CHANGE_PROGRESS = 33123, IDS_FIND_PROGRESS = 33124;


QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

void CROZariduView::setStatusText(const QString& text) {
    statusText_ = text;
    if (previewStatus_.isEmpty() || running_) emit statusTextChanged(text);
    else emit statusTextChanged(text.isEmpty() ? previewStatus_ : text + QStringLiteral(" \u2013 ") + previewStatus_);
}

void CROZariduView::scheduleLivePreview() {
    if (running_ || !live_) return;
    const bool shown = mode_ == VIEW_FIND_RENAME && !replace_->currentText().isEmpty();
    list_->setNewNameColumnShown(shown);
    if (!shown) {
        live_->clear();
        return;
    }
    LivePreview::Inputs inputs;
    inputs.kind = regExp_->isChecked() ? PATTERN_REGEXP : PATTERN_WILDCARD;
    inputs.search = search_->currentText().toStdString();
    inputs.replacement = replace_->currentText().toStdString();
    // Alle Umbenennen starts at the first row, or with "Ganze Liste" off at the selection.
    const int selected = list_->firstSelectedLine(), focused = list_->focusedLine();
    inputs.firstRow = wholeList_->isChecked() ? 0 : selected >= 0 ? selected : std::max(focused, 0);
    live_->schedule(inputs);
}

void CROZariduView::OnFind() {
    if (running_) return;
    FindRequest request;
    request.folder = folder_->currentText().toStdString();
    request.pattern = search_->currentText().toStdString();
    request.regExp = regExp_->isChecked();
    request.subfolders = subfolders_->isChecked();
    request.maxFiles = pars_.MaxFiles;
    switch (PrepareFind(request, matcher_)) {
    case FindProblem::RelativeFolder:
    case FindProblem::NoFolder:
        folder_->setFocus();
        return;
    case FindProblem::BadPattern:
        search_->setFocus();
        return;
    case FindProblem::None:
        break;
    }
    folder_->setEditText(qs(request.folder));
    folder_->AddToMRU(request.folder, 0);
    search_->setEditText(qs(request.pattern));
    search_->AddToMRU(request.pattern, request.regExp ? 1 : 0);

    list_->ClearSort();
    list_->undoLog().clear();
    previewWarning_ = 1;
    SetRunState(true);
    MessagePump pump;
    QElapsedTimer sinceStatus;
    FileListModel& model = *list_->fileModel();
    pump.setBeforePump([&] {
        model.maybeFlushPending();
        if (sinceStatus.isValid() && sinceStatus.elapsed() < 250) return;
        sinceStatus.start();
        setStatusText(QString::fromStdString(FormatId(IDS_FIND_PROGRESS, {QLocale().toString(model.itemCount()).toStdString()})));
    });
    const FindOutcome outcome = RunFind(request, model, matcher_, pump, stop_);
    if (outcome.quit) return; // the application is closing

    SetRunState(false);
    list_->fitColumnsToContents();
    setStatusText(qs(FindStatus(outcome)));
    if (list_->itemCount() > 0) list_->SelectItem(0, -2);
}

bool CROZariduView::PrepareRun(bool rename, CVNRun& run) {
    find_->setDefault(true);
    RunSettings settings;
    settings.rename = rename;
    settings.kind = regExp_->isChecked() ? PATTERN_REGEXP : PATTERN_WILDCARD;
    settings.search = search_->currentText().toStdString();
    settings.replacement = replace_->currentText().toStdString();
    settings.preview = list_->previewFlag() != 0;
    settings.renAllMode = pars_.RenAllMode;
    settings.mode = mode_;
    settings.folder = folder_->currentText().toStdString();
    if (!rename) {
        const ChangeFormState form = changeForm();
        int invalidRow = 0;
        if (!ReadChangeTimes(form, settings.times, &invalidRow)) {
            changeTime_[invalidRow]->setFocus();
            return false;
        }
        GetAttributeChange(form, settings.value, settings.mask);
    }
    if (!run.prepare(settings)) return false;
    search_->AddToMRU(settings.search, regExp_->isChecked() ? 1 : 0);
    if (rename) replace_->AddToMRU(settings.replacement, 0);
    return true;
}

void CROZariduView::rowSelected(int row, int previous) {
    list_->SelectItem(row, previous);
}

void CROZariduView::progress(int done, int total) {
    // A few times a second is enough to follow, and costs the run nothing measurable.
    if (done < total && progressClock_.isValid() && progressClock_.elapsed() < 250) return;
    progressClock_.start();
    const QLocale locale;
    setStatusText(QString::fromStdString(FormatId(runIsRename_ ? IDS_RENAME_PROGRESS : IDS_CHANGE_PROGRESS,
                                                  {locale.toString(done).toStdString(),
                                                   locale.toString(total).toStdString()})));
}

bool CROZariduView::pump() {
    return pump_.PumpMessages();
}

void CROZariduView::undoingRow(int row, int previous) {
    list_->SelectItem(row, previous);
}

void CROZariduView::refresh() {
    list_->viewport()->repaint();
}

void CROZariduView::RunSingle(bool rename) {
    if (running_) return;
    CVNRun run(*list_->fileModel(), list_->undoLog(), *this, &journal_);
    if (!PrepareRun(rename, run)) return;
    list_->setFocus();
    if (list_->selectedCount() > 1) list_->SelectItem(list_->firstSelectedLine(), -2);
    const CVNRun::SingleResult result =
        run.runSingle(list_->firstSelectedLine(), list_->focusedLine(), previewWarning_ == 1);
    if (result.warned) previewWarning_ = 0;
}

void CROZariduView::RunAll(bool rename) {
    if (running_) return;
    CVNRun run(*list_->fileModel(), list_->undoLog(), *this, &journal_);
    if (!PrepareRun(rename, run)) return;
    if (wholeList_->isChecked())
        list_->SelectItem(0, -2);
    else if (list_->selectedCount() > 1)
        list_->SelectItem(list_->firstSelectedLine(), -2);

    SetRunState(true);
    stop_ = false;
    const QString statusBefore = statusText_;
    activeRun_ = &run;
    runIsRename_ = rename;
    progressClock_.invalidate();
    pump_ = MessagePump();
    const RunCounts counts = run.runAll(list_->firstSelectedLine(), list_->focusedLine());
    activeRun_ = nullptr;
    if (counts.quit) return; // the application is closing
    if (list_->previewFlag() && !counts.aborted) previewWarning_ = 0;
    setStatusText(statusBefore);
    list_->fitColumnsToContents(); // the new names may be longer
    SetRunState(false);
}

void CROZariduView::requestStop() {
    stop_ = true;
    if (activeRun_) activeRun_->stop();
}

void CROZariduView::SetRunState(bool running) {
    QWidget* groups[] = {folderLabel_, folder_, browse_,  subfolders_, searchLabel_,
                         search_,      regExp_, preview_, wholeList_};
    if (running) {
        for (QWidget* w : groups)
            w->setEnabled(false);
        stopButton_->setEnabled(true);
        stopButton_->setFocus();
        find_->setEnabled(false);
        for (QWidget* w : {static_cast<QWidget*>(replaceLabel_), static_cast<QWidget*>(replace_),
                           static_cast<QWidget*>(replaceMenu_), static_cast<QWidget*>(rename_),
                           static_cast<QWidget*>(renameAll_), static_cast<QWidget*>(dateGroup_),
                           static_cast<QWidget*>(attributeGroup_), static_cast<QWidget*>(change_),
                           static_cast<QWidget*>(changeAll_)})
            w->setEnabled(false);
        live_->clear(); // the run changes the names under it
        running_ = true;
        qApp->installEventFilter(this);
        list_->header()->setSectionsClickable(false); // rows must not move under a run
        emit runStateChanged(true);
        return;
    }
    running_ = false;
    qApp->removeEventFilter(this);
    list_->header()->setSectionsClickable(true);
    for (QWidget* w : groups)
        w->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(replaceLabel_), static_cast<QWidget*>(replace_),
                       static_cast<QWidget*>(dateGroup_), static_cast<QWidget*>(attributeGroup_)})
        w->setEnabled(true);
    updateFindButton();
    find_->setFocus();
    stopButton_->setEnabled(false);
    list_->setFocus();
    updateRunButtons();
    emit runStateChanged(false);
    scheduleLivePreview();
}

bool CROZariduView::eventFilter(QObject* watched, QEvent* event) {
    // F2 renames the focused row in place, with every other row deselected.
    if (watched == list_ && !running_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
        const QModelIndex current = list_->currentIndex();
        if (current.isValid()) {
            list_->clearSelection();
            list_->edit(list_->model()->index(current.row(), COL_NAME));
        }
        return true;
    }
    // Escape stops a run wherever the focus is in this window; the key is then handled as usual.
    if (running_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* target = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_Escape && !key->isAutoRepeat() && target &&
            target->window() == window())
            requestStop();
    }
    return QWidget::eventFilter(watched, event);
}
