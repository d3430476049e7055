#include "ui/dialogs/CROZariduPattDlg.h"
#include "ui/LoadText.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "core/messages/Messages.h"
#include "core/settings/PatternEditorRules.h"
#include "res/Format.h"
#include "res/LoadString.h"

namespace {

enum : unsigned {
    IDS_ADD = 153,
    IDS_EDIT = 154,
    IDS_TITLE = 33300,
    IDS_TYPE_LABEL = 33301,
    IDS_TYPE_WILDCARD = 33302,
    IDS_TYPE_REGEXP = 33303,
    IDS_MENU_TEXT = 33304,
    IDS_SEARCH = 33305,
    IDS_REPLACEMENT = 33306,
    IDS_STATUSLINE = 33307,
    IDS_CARET_GROUP = 33308,
    IDS_CARET_FIELD = 33309,
    IDS_CARET_IN_SEARCH = 33310,
    IDS_CARET_IN_REPLACEMENT = 33311,
    IDS_CARET_PLACE = 33312,
    IDS_CARET_AT_END = 33313,
    IDS_CARET_AT_START = 33314,
    IDS_CARET_AFTER = 33315,
    IDS_CARET_CHARS = 33316,
};


void tag(QWidget* w, int id) {
    w->setProperty("controlId", id);
}

QLineEdit* lineEdit(QWidget* parent, int id, int maxChars) {
    auto* e = new QLineEdit(parent);
    tag(e, id);
    e->setMaxLength(maxChars);
    e->setMinimumWidth(e->fontMetrics().averageCharWidth() * 48);
    return e;
}

// A stored text longer than the edit takes is shown whole, so that OK can ask to shorten it
// instead of cutting it without a word.
void setLimitedText(QLineEdit* edit, int maxChars, const std::string& value) {
    const QString q = QString::fromStdString(value);
    edit->setMaxLength(std::max<int>(maxChars, static_cast<int>(q.size())));
    edit->setText(q);
}

} // namespace

CROZariduPattDlg::CROZariduPattDlg(int mode, int userDefined, int type,
                                   std::vector<std::string> names, QWidget* parent)
    : CVNDialog(IDD_PATTERN_DIALOG, parent), mode_(mode == kEdit ? kEdit : kAdd), userDefined_(userDefined), type_(type),
      names_(std::move(names)) {
    setWindowTitle(QString::fromStdString(
        FormatId(IDS_TITLE, {LoadString(mode_ == kEdit ? IDS_EDIT : IDS_ADD)})));

    auto* typeLabel = new QLabel(LoadText(IDS_TYPE_LABEL), this);
    typeText_ = new QLabel(LoadText(type_ == 1 ? IDS_TYPE_REGEXP : IDS_TYPE_WILDCARD), this);
    tag(typeText_, type_ == 1 ? 1021 : 1020);
    typeText_->setProperty("helpId", 0); // the type explains itself
    menuText_ = lineEdit(this, 1022, kMaxMenuTextChars);
    search_ = lineEdit(this, 1023, 32767);
    replacement_ = lineEdit(this, 1024, 32767);
    statusline_ = lineEdit(this, 1033, kMaxStatuslineChars);

    auto* fields = new QGridLayout;
    fields->addWidget(typeLabel, 0, 0);
    fields->addWidget(typeText_, 0, 1);
    const std::pair<unsigned, QLineEdit*> rows[] = {{IDS_MENU_TEXT, menuText_},
                                                    {IDS_SEARCH, search_},
                                                    {IDS_REPLACEMENT, replacement_},
                                                    {IDS_STATUSLINE, statusline_}};
    int row = 1;
    for (const auto& [id, edit] : rows) {
        auto* label = new QLabel(LoadText(id), this);
        label->setBuddy(edit);
        fields->addWidget(label, row, 0);
        fields->addWidget(edit, row, 1);
        ++row;
    }
    fields->setColumnStretch(1, 1);

    auto* caret = new QGroupBox(LoadText(IDS_CARET_GROUP), this);
    caretField_ = new QButtonGroup(this);
    caretPlace_ = new QButtonGroup(this);
    auto radio = [caret](unsigned id, int controlId, QButtonGroup* group, int value) {
        auto* r = new QRadioButton(LoadText(id), caret);
        tag(r, controlId);
        group->addButton(r, value);
        return r;
    };
    auto* inSearch = radio(IDS_CARET_IN_SEARCH, 1026, caretField_, 0);
    auto* inReplacement = radio(IDS_CARET_IN_REPLACEMENT, 1027, caretField_, 1);
    auto* atEnd = radio(IDS_CARET_AT_END, 1028, caretPlace_, kCaretAtEnd);
    auto* atStart = radio(IDS_CARET_AT_START, 1029, caretPlace_, kCaretAtStart);
    auto* after = radio(IDS_CARET_AFTER, 1030, caretPlace_, kCaretAfterChars);
    caretNumber_ = new QLineEdit(caret);
    tag(caretNumber_, 1031);
    caretNumber_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*")), caretNumber_));
    caretNumber_->setMaxLength(5);
    caretNumber_->setFixedWidth(
        caretNumber_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    caretNumber_->setAlignment(Qt::AlignRight);

    auto* caretGrid = new QGridLayout(caret);
    caretGrid->addWidget(new QLabel(LoadText(IDS_CARET_FIELD), caret), 0, 0);
    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(inSearch);
    fieldRow->addWidget(inReplacement);
    fieldRow->addStretch(1);
    caretGrid->addLayout(fieldRow, 0, 1);
    caretGrid->addWidget(new QLabel(LoadText(IDS_CARET_PLACE), caret), 1, 0, Qt::AlignTop);
    caretGrid->addWidget(atEnd, 1, 1);
    caretGrid->addWidget(atStart, 2, 1);
    auto* afterRow = new QHBoxLayout;
    afterRow->addWidget(after);
    afterRow->addWidget(caretNumber_);
    afterRow->addWidget(new QLabel(LoadText(IDS_CARET_CHARS), caret));
    afterRow->addStretch(1);
    caretGrid->addLayout(afterRow, 3, 1);
    caretGrid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setProperty("controlId", 1);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", 2);
    AddHelpButton(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(caret);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(caretPlace_, &QButtonGroup::idToggled, this, [this] { updateCaretNumber(); });
    setForm(PatternForm{});
    menuText_->setFocus();
}

QRadioButton* CROZariduPattDlg::caretFieldButton(int field) const {
    return qobject_cast<QRadioButton*>(caretField_->button(field));
}

QRadioButton* CROZariduPattDlg::caretPlaceButton(int place) const {
    return qobject_cast<QRadioButton*>(caretPlace_->button(place));
}

void CROZariduPattDlg::SetRecord(const CROZariduPattern& record) {
    if (mode_ == kEdit) {
        const auto at = std::find(names_.begin(), names_.end(), record.m_menuText);
        ownIndex_ = at == names_.end() ? -1 : static_cast<int>(at - names_.begin());
    }
    setForm(FormFromPattern(record));
}

void CROZariduPattDlg::SetPatterns(const std::string& search, const std::string& replacement) {
    search_->setText(QString::fromStdString(search));
    replacement_->setText(QString::fromStdString(replacement));
}

void CROZariduPattDlg::setForm(const PatternForm& form) {
    setLimitedText(menuText_, kMaxMenuTextChars, form.menuText);
    search_->setText(QString::fromStdString(form.search));
    replacement_->setText(QString::fromStdString(form.replacement));
    setLimitedText(statusline_, kMaxStatuslineChars, form.statusline);
    caretField_->button(form.caretField == 1 ? 1 : 0)->setChecked(true);
    caretPlace_->button(form.caretPlace)->setChecked(true);
    caretNumber_->setText(QString::fromStdString(form.caretNumber));
    updateCaretNumber();
}

PatternForm CROZariduPattDlg::form() const {
    PatternForm f;
    f.menuText = menuText_->text().toStdString();
    f.search = search_->text().toStdString();
    f.replacement = replacement_->text().toStdString();
    f.statusline = statusline_->text().toStdString();
    f.caretField = caretField_->checkedId() == 1 ? 1 : 0;
    f.caretPlace = caretPlace_->checkedId();
    f.caretNumber = caretNumber_->text().toStdString();
    return f;
}

void CROZariduPattDlg::updateCaretNumber() {
    caretNumber_->setEnabled(caretPlace_->checkedId() == kCaretAfterChars);
}

void CROZariduPattDlg::accept() {
    const PatternForm f = form();
    const PatternFormProblem problem = CheckPatternForm(f, names_, ownIndex_);
    if (!problem.ok()) {
        GetMessagePresenter()->show(problem.message, MB_OK | MB_ICONEXCLAMATION, 0);
        QLineEdit* field = problem.field == PatternFormField::MenuText      ? menuText_
                           : problem.field == PatternFormField::Statusline  ? statusline_
                           : problem.field == PatternFormField::CaretNumber ? caretNumber_
                                                                            : search_;
        field->setFocus();
        field->selectAll();
        return;
    }
    record_ = PatternFromForm(f, userDefined_, type_);
    QDialog::accept();
}
