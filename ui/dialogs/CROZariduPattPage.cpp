#include "ui/dialogs/CROZariduPattPage.h"
#include "ui/LoadText.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "core/messages/Messages.h"
#include "core/settings/SettingsSaveReport.h"
#include "res/Format.h"
#include "res/LoadString.h"
#include "ui/dialogs/CROZariduPattDlg.h"
#include "ui/dialogs/CVNPatternListCtrl.h"

namespace {

enum : unsigned {
    IDS_REMOVE_QUESTION = 33322,
    IDS_PAGE_TITLE = 33323,
    IDS_TYPE_GROUP = 33324,
    IDS_WILDCARD = 33325,
    IDS_REGEXP = 33326,
    IDS_ADD = 33327,
    IDS_EDIT = 33328,
    IDS_REMOVE = 33329,
    IDS_PATTERNS_NOT_SAVED = 33332,
    IDS_PAGE_NOTE = 33335,
};


void tag(QWidget* w, int id) {
    w->setProperty("controlId", id);
}

} // namespace

CROZariduPattPage::CROZariduPattPage(const CVNAppInfo& app, QWidget* parent)
    : CVNPropertyPage(IDD_PATTERN_PAGE, LoadText(IDS_PAGE_TITLE), parent), app_(app) {
    auto* note = new QLabel(LoadText(IDS_PAGE_NOTE), this);
    note->setWordWrap(true);

    auto* typeBox = new QGroupBox(LoadText(IDS_TYPE_GROUP), this);
    auto* typeGroup = new QButtonGroup(this);
    auto* typeRow = new QHBoxLayout(typeBox);
    stack_ = new QStackedWidget(this);
    for (int t = 0; t < 2; ++t) {
        types_[t] = new QRadioButton(LoadText(t == 0 ? IDS_WILDCARD : IDS_REGEXP), typeBox);
        tag(types_[t], 1010 + t);
        typeGroup->addButton(types_[t], t);
        typeRow->addWidget(types_[t]);

        lists_[t] = new CVNPatternListCtrl(1, t, stack_);
        tag(lists_[t], 1012 + t);
        for (int field : {kFieldMenuText, kFieldSearch, kFieldReplacement})
            lists_[t]->InsertColumn(field, 120);
        stack_->addWidget(lists_[t]);
        connect(lists_[t], &QTreeWidget::itemSelectionChanged, this,
                [this] { updateVisibility(); });
        connect(lists_[t], &CVNPatternListCtrl::addRequested, this, [this] { OnAdd(); });
        connect(lists_[t], &CVNPatternListCtrl::editRequested, this, [this] { OnEdit(); });
        connect(lists_[t], &CVNPatternListCtrl::removeRequested, this, [this] { OnRemove(); });
    }
    typeRow->addStretch(1);
    types_[0]->setChecked(true);
    connect(typeGroup, &QButtonGroup::idToggled, this, [this] { updateVisibility(); });

    add_ = new QPushButton(LoadText(IDS_ADD), this);
    tag(add_, 1014);
    edit_ = new QPushButton(LoadText(IDS_EDIT), this);
    tag(edit_, 1015);
    remove_ = new QPushButton(LoadText(IDS_REMOVE), this);
    tag(remove_, 1016);
    connect(add_, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(edit_, &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(remove_, &QPushButton::clicked, this, [this] { OnRemove(); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {add_, edit_, remove_})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(stack_, 1);
    listRow->addLayout(buttons);

    auto* page = new QVBoxLayout(this);
    page->addWidget(note);
    page->addWidget(typeBox);
    page->addLayout(listRow, 1);
    updateVisibility();
}

int CROZariduPattPage::type() const {
    return types_[1]->isChecked() ? 1 : 0;
}

bool CROZariduPattPage::DoDataExchange(bool save) {
    if (!save && !loaded_) {
        loaded_ = true;
        for (CVNPatternListCtrl* l : lists_)
            l->Load(app_);
        updateVisibility();
    }
    return true;
}

void CROZariduPattPage::updateVisibility() {
    const int shown = type();
    for (int t = 0; t < 2; ++t)
        lists_[t]->setEnabled(t == shown);
    stack_->setCurrentIndex(shown);
    const bool selected = shownList()->SelectedIndex() >= 0;
    edit_->setEnabled(selected);
    remove_->setEnabled(selected);
}

void CROZariduPattPage::OnAdd() {
    CVNPatternListCtrl* l = shownList();
    CROZariduPattDlg editor(CROZariduPattDlg::kAdd, 1, type(), l->Names(), this);
    if (editor.exec() != QDialog::Accepted) return;
    l->Insert(l->patterns().size(), PatternList::kNew, editor.record());
    l->setFocus();
}

void CROZariduPattPage::OnEdit() {
    CVNPatternListCtrl* l = shownList();
    const int index = l->SelectedIndex();
    if (index < 0) return;
    CROZariduPattDlg editor(CROZariduPattDlg::kEdit, 1, type(), l->Names(), this);
    editor.SetRecord(l->patterns().entries()[static_cast<std::size_t>(index)].record);
    if (editor.exec() != QDialog::Accepted) return;
    l->Edit(index, editor.record());
    l->setFocus();
}

void CROZariduPattPage::OnRemove() {
    CVNPatternListCtrl* l = shownList();
    const int index = l->SelectedIndex();
    if (index < 0) return;
    const std::string& name =
        l->patterns().entries()[static_cast<std::size_t>(index)].record.m_menuText;
    if (GetMessagePresenter()->show(FormatId(IDS_REMOVE_QUESTION, {name}),
                                    MB_YESNO | MB_ICONQUESTION, 0) != IDYES)
        return;
    l->Remove(index);
    l->setFocus();
}

bool CROZariduPattPage::Save() {
    if (!loaded_) return true;
    const SettingsSaveResult saved =
        SavePatternLists(app_, {&lists_[0]->patterns(), &lists_[1]->patterns()});
    ReportSettingsNotSaved(IDS_PATTERNS_NOT_SAVED, saved);
    return saved.ok();
}
