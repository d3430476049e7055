// The Edit and View commands of the main form: each goes to the focused edit field or to the
// file list, and is off while a run is in progress where it would touch the list.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

#include "ui/list/CVNFileListCtrl.h"
#include "ui/form/CROZariduView.h"
#include "core/scan/MessagePump.h"
#include "res/Format.h"
#include "ui/dialogs/CVNHistoryDlg.h"

namespace {
constexpr unsigned IDS_UNDONE = 33125, IDS_NOT_UNDONE = 33126;
}

QWidget* CROZariduView::commandFocus() const {
    QWidget* focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus)) return focus;
    // While the frame's menu bar or an open menu has the keyboard (Alt+B), the commands act on
    // what had the focus in the form before: a menu opened by keyboard must offer what one
    // opened by mouse offers.
    if (!focus || qobject_cast<QMenu*>(focus) || (focus->window() == window() && !isAncestorOf(focus)))
        return lastFocus_;
    return focus;
}

QLineEdit* CROZariduView::focusedEdit() const {
    QWidget* focus = commandFocus();
    // An editable combo box keeps the focus itself and hands keys to its edit field.
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit())
        return combo->lineEdit();
    return qobject_cast<QLineEdit*>(focus);
}

bool CROZariduView::listHasFocus() const {
    return commandFocus() == list_;
}

bool CROZariduView::handlesCommand(int id) const {
    switch (id) {
    case ID_EDIT_UNDO:
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_PASTE:
    case ID_EDIT_SELECT_ALL:
    case ID_EDIT_INVERT_SELECTION:
    case ID_VIEW_FIND_RENAME:
    case ID_VIEW_DATE_ATTRIBUTES:
    case ID_HISTORY:
    case ID_PATTERN_ADD:
        return true;
    default:
        return false;
    }
}

bool CROZariduView::commandEnabled(int id) const {
    if (id == ID_VIEW_FIND_RENAME || id == ID_VIEW_DATE_ATTRIBUTES || id == ID_HISTORY) return !running_;
    if (id == ID_PATTERN_ADD) return patternCommandEnabled();
    if (QLineEdit* edit = focusedEdit()) {
        switch (id) {
        case ID_EDIT_CUT:
            return edit->hasSelectedText() && !edit->isReadOnly();
        case ID_EDIT_COPY:
            return edit->hasSelectedText();
        case ID_EDIT_PASTE:
            return !edit->isReadOnly() && clipboardHasText_;
        case ID_EDIT_SELECT_ALL:
            return true;
        case ID_EDIT_UNDO:
            return edit->isUndoAvailable();
        default:
            return false; // Markierung umkehren
        }
    }
    if (!listHasFocus() || running_) return false;
    switch (id) {
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
        return list_->selectedCount() > 0;
    case ID_EDIT_SELECT_ALL:
        return true;
    case ID_EDIT_UNDO:
        return list_->undoLog().hasEntries();
    case ID_EDIT_INVERT_SELECTION:
        return list_->itemCount() > 0;
    default:
        return false; // Einfügen: files are not pasted into the list
    }
}

bool CROZariduView::commandChecked(int id) const {
    return (id == ID_VIEW_FIND_RENAME && mode_ == VIEW_FIND_RENAME) ||
           (id == ID_VIEW_DATE_ATTRIBUTES && mode_ == VIEW_DATE_ATTRIBUTES);
}

void CROZariduView::onCommand(int id) {
    // A shortcut may arrive before the frame has refreshed its enabled states.
    if (!commandEnabled(id)) return;
    QLineEdit* edit = focusedEdit();
    switch (id) {
    case ID_VIEW_FIND_RENAME:
        SetViewMode(VIEW_FIND_RENAME);
        break;
    case ID_VIEW_DATE_ATTRIBUTES:
        SetViewMode(VIEW_DATE_ATTRIBUTES);
        break;
    case ID_EDIT_SELECT_ALL:
        OnEditSelectAll();
        break;
    case ID_HISTORY:
        OnHistory();
        break;
    case ID_EDIT_UNDO:
        OnEditUndo();
        break;
    case ID_EDIT_INVERT_SELECTION:
        list_->InvertSelection();
        break;
    case ID_EDIT_CUT:
        if (edit)
            edit->cut();
        else
            emit list_->verbRequested(QStringLiteral("cut"), false);
        break;
    case ID_EDIT_COPY:
        if (edit)
            edit->copy();
        else
            emit list_->verbRequested(QStringLiteral("copy"), false);
        break;
    case ID_EDIT_PASTE:
        if (edit) edit->paste();
        break;
    case ID_PATTERN_ADD:
        OnStorePattern();
        break;
    default:
        break;
    }
}

void CROZariduView::OnEditSelectAll() {
    if (QLineEdit* edit = focusedEdit()) {
        edit->selectAll(); // the caret goes to the end, which scrolls it into view
    } else if (listHasFocus() && !running_) {
        list_->SelectAllRows(true);
    }
}

void CROZariduView::OnEditUndo() {
    if (QLineEdit* edit = focusedEdit()) {
        edit->undo();
    } else if (int mode = 0; listHasFocus() && !running_ && list_->undoLog().peekMode(mode)) {
        SetViewMode(mode);
        const UndoOutcome outcome = UndoHeadGroup(list_->undoLog(), *list_->fileModel(), this, &journal_);
        std::string status = FormatId(IDS_UNDONE, {outcome.restored});
        if (outcome.failed > 0) status += " " + FormatId(IDS_NOT_UNDONE, {outcome.failed});
        setStatusText(QString::fromStdString(status));
    }
}

void CROZariduView::OnHistory() {
    CVNHistoryDlg dialog(journal_, [this](const std::string& id) {
        const UndoOutcome outcome = UndoJournalRun(journal_, id, list_->fileModel(), this);
        list_->undoLog().dropJournalRun(id); // taken back: Rückgängig must not try it again
        std::string status = FormatId(IDS_UNDONE, {outcome.restored});
        if (outcome.failed > 0) status += " " + FormatId(IDS_NOT_UNDONE, {outcome.failed});
        setStatusText(QString::fromStdString(status));
    }, window());
    dialog.exec();
}

void CROZariduView::abandonRun() {
    if (running_) MessagePump::requestQuit(true);
}

void CROZariduView::watchClipboard() {
    // Asking another program's clipboard for its formats takes a round trip to it, and the
    // frame asks for the commands' states several times a second; so ask once per change.
    QClipboard* clipboard = QApplication::clipboard();
    auto update = [this, clipboard] {
        const QMimeData* data = clipboard->mimeData();
        clipboardHasText_ = data && data->hasText();
    };
    connect(clipboard, &QClipboard::dataChanged, this, update);
    update();
}
