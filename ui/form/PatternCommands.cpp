// The pattern library in the main form: the ">" menus beside "Suchen" and "Ersetzen", and
// "Muster speichern" (Strg+Umschalt+Einfg).

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "core/settings/CROZariduPattern.h"
#include "core/settings/PatternInsertion.h"
#include "core/settings/SettingsSaveReport.h"
#include "ui/dialogs/CROZariduPattDlg.h"
#include "ui/form/CROZariduView.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "ui/form/CVNPattMenuButton.h"

namespace {

constexpr unsigned IDS_PATTERN_NOT_SAVED = 33333;

// One step of the field's own undo, so that Strg+Z takes back a pattern chosen by mistake.
void putText(QLineEdit* edit, const QString& text) {
    if (edit->text() == text) return;
    edit->selectAll();
    edit->insert(text);
}

} // namespace

void CROZariduView::InsertStoredPattern(int field) {
    if (running_) return;
    CVNPattMenuButton* button = patternMenuButton(field);
    const int type = regExp_->isChecked() ? 1 : 0;
    const int filter = field == kSearchField ? CROZariduPattern::kWithSearchPattern
                                             : CROZariduPattern::kReplacementOnly;
    if (button->ShowMenu(type, filter) <= 0) return;

    const PatternInsertion in =
        InsertPattern(button->selected(), field, mode_ == VIEW_DATE_ATTRIBUTES,
                      search_->currentText().toStdString(), replace_->currentText().toStdString());
    putText(search_->lineEdit(), QString::fromStdString(in.search));
    putText(replace_->lineEdit(), QString::fromStdString(in.replacement));
    CVNComboBoxMRU* box = in.caretField == kReplaceField ? replace_ : search_;
    const std::string& text = in.caretField == kReplaceField ? in.replacement : in.search;
    box->setFocus();
    // The caret offset is in bytes of UTF-8; the edit counts UTF-16 units.
    box->lineEdit()->setCursorPosition(
        static_cast<int>(QString::fromStdString(text.substr(0, in.caretByte)).size()));
    updateRunButtons();
}

bool CROZariduView::patternBoxFocused() const {
    QWidget* focus = commandFocus();
    if (!focus) return false;
    auto inside = [focus](QWidget* box) {
        return !box->isHidden() && (focus == box || box->isAncestorOf(focus));
    };
    return inside(search_) || inside(replace_);
}

bool CROZariduView::patternCommandEnabled() const {
    return app_ && !running_ && patternBoxFocused();
}

void CROZariduView::OnStorePattern() {
    if (!patternCommandEnabled()) return;
    const int type = regExp_->isChecked() ? 1 : 0;
    std::vector<std::string> names;
    CROZariduPattern::ListNames(*app_, 1, type, names);
    CROZariduPattDlg editor(CROZariduPattDlg::kAdd, 1, type, names, this);
    editor.SetPatterns(search_->currentText().toStdString(),
                       mode_ == VIEW_FIND_RENAME ? replace_->currentText().toStdString()
                                                 : std::string());
    if (editor.exec() != QDialog::Accepted) return;
    ReportSettingsNotSaved(IDS_PATTERN_NOT_SAVED, editor.record().SaveResult(*app_));
}

namespace {

// Strg+Umschalt+Einfg also pastes in an edit field under X11. In the form's boxes it is the key
// of "Muster speichern" alone: in "Suchen" and "Ersetzen" it stores, elsewhere nothing.
class StoreKeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool storeKey =
            key->key() == Qt::Key_Insert &&
            (key->modifiers() & ~Qt::KeypadModifier) == (Qt::ControlModifier | Qt::ShiftModifier);
        // Left unaccepted, the override lets the window's shortcut have the key.
        return storeKey;
    }
};

} // namespace

void CROZariduView::installPatternKeys() {
    auto* filter = new StoreKeyFilter(this);
    // The box has the focus and hands keys to its edit field directly, past the field's filters.
    for (CVNComboBoxMRU* box : {folder_, search_, replace_}) {
        box->installEventFilter(filter);
        box->lineEdit()->installEventFilter(filter);
    }
}
