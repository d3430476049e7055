// The run commands of the main form: Find, the single steps and the runs over the list.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <vector>

#include "ui/list/CVNFileListCtrl.h"
#include "res/LoadString.h"
#include "ui/form/CROZariduView.h"
#include "core/scan/FolderScan.h"
#include "core/scan/MessagePump.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "core/settings/CVNPars.h"
#include "core/messages/Messages.h"

namespace {

constexpr unsigned IDS_FOUND = 130, IDS_RENAMED = 131, IDS_OCCURRENCES_RENAMED = 132,
                   IDS_NOT_FOUND = 134, IDS_PREVIEW_RENAME = 139, IDS_PREVIEW_CHANGE = 140,
                   IDS_NOT_RENAMED = 143, IDS_FIND_STOPPED = 147, IDS_RENAME_STOPPED = 148,
                   IDS_CHANGE_STOPPED = 150, IDS_CHANGED = 151, IDS_NOT_CHANGED = 152,
                   IDS_OCCURRENCES_NOT_RENAMED = 167, IDS_RELATIVE_FOLDER = 33120;

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
    pump.setBeforePump([this] { list_->maybeFlushPendingRows(); });
    ScanContext ctx{*list_, matcher_, pump, pars_.MaxFiles, stop_, quit, ignoredErrors, {}};
    ScanFolder(ctx, folder, pattern, subfolders_->isChecked(), regExp);
    if (quit) return; // the application is closing
    list_->flushPendingRows();

    SetRunState(false);
    std::string status = FormatId(IDS_FOUND, {list_->itemCount()});
    if (stop_) status += " " + LoadString(IDS_FIND_STOPPED);
    setStatusText(qs(status));
    if (list_->itemCount() > 0) list_->SelectItem(0, -2);
}

bool CROZariduView::PrepareRun(bool rename, CVNSearchEngine& engine, ChangeTimes& times,
                               std::uint32_t& value, std::uint32_t& mask) {
    find_->setDefault(true);
    std::string error;
    const std::string pattern = search_->currentText().toStdString();
    if (!engine.Compile(pattern, error)) {
        ShowText(error, MB_OK | MB_ICONERROR);
        return false;
    }
    search_->AddToMRU(pattern, regExp_->isChecked() ? 1 : 0);
    if (rename) {
        replace_->AddToMRU(replace_->currentText().toStdString(), 0);
    } else {
        const ChangeFormState form = changeForm();
        int invalidRow = 0;
        if (!ReadChangeTimes(form, times, &invalidRow)) {
            changeTime_[invalidRow]->setFocus();
            return false;
        }
        GetAttributeChange(form, value, mask);
    }
    return true;
}

int CROZariduView::Step(bool rename, CVNSearchEngine& engine, CVNTextPos& start, CVNTextPos& end,
                        const ChangeTimes& times, std::uint32_t value, std::uint32_t mask) {
    if (rename)
        return RenameStep(engine, *list_, replace_->currentText().toStdString(), start, end);
    return ChangeStep(engine, *list_, start, end, times, value, mask);
}

bool CROZariduView::AdvanceToNextMatch(CVNSearchEngine& engine, int previous, CVNTextPos& start,
                                       CVNTextPos& end) {
    engine.SetPosition(end);
    std::string error;
    if (engine.FindNext(start, end, error)) {
        list_->SelectItem(start.line, previous);
        list_->setFocus();
        return true;
    }
    if (!error.empty()) ShowText(error, MB_OK | MB_ICONWARNING);
    return false;
}

void CROZariduView::RunSingle(bool rename) {
    if (running_) return;
    CVNSearchEngine engine(*list_, regExp_->isChecked() ? PATTERN_REGEXP : PATTERN_WILDCARD);
    ChangeTimes times;
    std::uint32_t value = 0, mask = 0;
    if (!PrepareRun(rename, engine, times, value, mask)) return;

    list_->setFocus();
    if (list_->selectedCount() > 1) list_->SelectItem(list_->firstSelectedLine(), -2);
    list_->undoLog().beginGroup(mode_);
    CVNTextPos start, end;
    const int outcome = Step(rename, engine, start, end, times, value, mask);
    int previous = -2;
    if (outcome == 1) {
        if (list_->previewFlag() && previewWarning_ == 1) {
            ShowText(LoadString(rename ? IDS_PREVIEW_RENAME : IDS_PREVIEW_CHANGE),
                     MB_OK | MB_ICONINFORMATION);
            previewWarning_ = 0;
        }
        previous = start.line;
    } else {
        // A failed step is reverted; a step without a match leaves only an empty group.
        list_->UndoHeadGroup();
        if (outcome == 0) return;
    }
    if (!AdvanceToNextMatch(engine, previous, start, end))
        ShowMessageId(IDS_NOT_FOUND, search_->currentText().toStdString(),
                      MB_OK | MB_ICONINFORMATION);
}

void CROZariduView::RunAll(bool rename) {
    if (running_) return;
    CVNSearchEngine engine(*list_, regExp_->isChecked() ? PATTERN_REGEXP : PATTERN_WILDCARD);
    ChangeTimes times;
    std::uint32_t value = 0, mask = 0;
    if (!PrepareRun(rename, engine, times, value, mask)) return;

    if (wholeList_->isChecked())
        list_->SelectItem(0, -2);
    else if (list_->selectedCount() > 1)
        list_->SelectItem(list_->firstSelectedLine(), -2);

    SetRunState(true);
    stop_ = false;
    list_->undoLog().beginGroup(mode_);
    int okOps = 0, okFiles = 0, errOps = 0, errFiles = 0;
    int lastOk = -1, lastFailed = -1, previous = -2;
    bool multi = false;
    MessagePump pump;
    CVNTextPos start, end;
    for (;;) {
        const int outcome = Step(rename, engine, start, end, times, value, mask);
        const int item = start.line;
        if (outcome == 1) {
            ++okOps;
            if (item != lastOk) ++okFiles, lastOk = item;
        } else if (outcome == 0) {
            if (pars_.RenAllMode == 0) {
                if (okOps == 0) list_->UndoHeadGroup();
                SetRunState(false);
                return;
            }
            ++errOps;
            if (item != lastFailed) ++errFiles, lastFailed = item;
        }
        if (outcome != -1) {
            if (item == previous)
                multi = true;
            else
                previous = item;
        }
        if (pump.PumpMessages()) return; // the application is closing
        if (stop_) break;
        if (!AdvanceToNextMatch(engine, previous, start, end)) break;
    }

    if (okOps == 0) list_->UndoHeadGroup();
    std::string message;
    if (rename && multi) {
        message = FormatId(IDS_OCCURRENCES_RENAMED, {okOps, okFiles});
        if (errOps > 0)
            message += " " + FormatId(IDS_OCCURRENCES_NOT_RENAMED, {errOps, errFiles});
    } else if (rename) {
        message = FormatId(IDS_RENAMED, {okFiles});
        if (errOps > 0) message += " " + FormatId(IDS_NOT_RENAMED, {errFiles});
    } else {
        message = FormatId(IDS_CHANGED, {okFiles});
        if (errOps > 0) message += " " + FormatId(IDS_NOT_CHANGED, {errFiles});
    }
    if (stop_) message += " " + LoadString(rename ? IDS_RENAME_STOPPED : IDS_CHANGE_STOPPED);
    if (list_->previewFlag()) {
        message += "\n\n" + LoadString(rename ? IDS_PREVIEW_RENAME : IDS_PREVIEW_CHANGE);
        previewWarning_ = 0;
    }
    ShowText(message, MB_OK | MB_ICONINFORMATION);
    SetRunState(false);
}

void CROZariduView::SetRunState(bool running) {
    QWidget* groups[] = {folderLabel_, folder_,     browse_, subfolders_, searchLabel_,
                         search_,      searchMenu_, regExp_, preview_,    wholeList_};
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
        emit runStateChanged(true);
        return;
    }
    running_ = false;
    qApp->removeEventFilter(this);
    for (QWidget* w : groups)
        w->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(replaceLabel_), static_cast<QWidget*>(replace_),
                       static_cast<QWidget*>(replaceMenu_), static_cast<QWidget*>(dateGroup_),
                       static_cast<QWidget*>(attributeGroup_)})
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
            stop_ = true;
    }
    return QWidget::eventFilter(watched, event);
}
