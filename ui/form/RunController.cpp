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
#include "ui/list/CVNFileListCtrl.h"
#include "res/LoadString.h"
#include "ui/form/CROZariduView.h"
#include "core/scan/FolderScan.h"
#include "core/scan/MessagePump.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "core/settings/CVNPars.h"
#include "core/messages/Messages.h"

namespace {

constexpr unsigned IDS_FOUND = 130, IDS_FIND_STOPPED = 147, IDS_RELATIVE_FOLDER = 33120,
                   IDS_RENAME_PROGRESS = 33122, IDS_CHANGE_PROGRESS = 33123, IDS_FIND_PROGRESS = 33124, IDS_NO_FOLDER = 33128;

void ShowText(const std::string& text, unsigned type) {
    GetMessagePresenter()->show(text, type, 0);
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

bool CROZariduView::NormalizeFolder(std::string& folder) {
    if (folder == "~" || folder.rfind("~/", 0) == 0)
        folder = QDir::homePath().toStdString() + folder.substr(1);
    if (folder.empty() || folder[0] != '/') return false;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return true;
}

void CROZariduView::setStatusText(const QString& text) {
    statusText_ = text;
    emit statusTextChanged(text);
}

void CROZariduView::OnFind() {
    if (running_) return;
    std::string folder = folder_->currentText().toStdString();
    if (!NormalizeFolder(folder)) {
        ShowMessageId(IDS_RELATIVE_FOLDER, folder_->currentText().toStdString(),
                      MB_OK | MB_ICONERROR);
        folder_->setFocus();
        return;
    }
    folder_->setEditText(qs(folder));
    // A start folder that is not there is the user's typing, not a folder that cannot be read.
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        ShowMessageId(IDS_NO_FOLDER, folder, MB_OK | MB_ICONWARNING);
        folder_->setFocus();
        return;
    }
    folder_->AddToMRU(folder, 0);

    const bool regExp = regExp_->isChecked();
    std::string pattern = search_->currentText().toStdString();
    if (pattern.empty()) {
        pattern = regExp ? ".+" : "*";
        search_->setEditText(qs(pattern));
    }
    if (regExp) {
        if (!matcher_.compile(pattern, false)) {
            ShowText(matcher_.errorMessage(), MB_OK | MB_ICONERROR);
            search_->setFocus();
            return;
        }
    } else if (pattern.back() == '.') {
        // "*.txt." means the names ending in ".txt"
        pattern.pop_back();
        search_->setEditText(qs(pattern));
    }
    search_->AddToMRU(pattern, regExp ? 1 : 0);

    list_->deleteAllItems();
    list_->undoLog().clear();
    previewWarning_ = 1;
    SetRunState(true);
    stop_ = false;
    bool quit = false;
    std::vector<std::uint32_t> ignoredErrors;
    MessagePump pump;
    QElapsedTimer sinceStatus;
    FileListModel& model = *list_->fileModel();
    pump.setBeforePump([&] {
        model.maybeFlushPending();
        if (sinceStatus.isValid() && sinceStatus.elapsed() < 250) return;
        sinceStatus.start();
        setStatusText(QString::fromStdString(FormatId(IDS_FIND_PROGRESS, {QLocale().toString(model.itemCount()).toStdString()})));
    });
    ScanContext ctx{model, matcher_, pump, pars_.MaxFiles, stop_, quit, ignoredErrors, {}};
    ScanFolder(ctx, folder, pattern, subfolders_->isChecked(), regExp);
    if (quit) return; // the application is closing
    model.flushPending();

    SetRunState(false);
    list_->fitColumnsToContents();
    std::string status = FormatId(IDS_FOUND, {list_->itemCount()});
    if (stop_) status += " " + LoadString(IDS_FIND_STOPPED);
    setStatusText(qs(status));
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
