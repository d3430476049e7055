#include "ui/form/CROZariduView.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/list/CVNFileListCtrl.h"
#include "res/Format.h"
#include "res/LoadString.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "ui/form/CVNDateTimeEdit.h"
#include "ui/form/LivePreview.h"
#include "ui/form/CVNPattMenuButton.h"
#include "ui/frame/MnemonicGuard.h"
#include "core/messages/CVNException.h"
#include "core/settings/CVNPars.h"
#include "core/messages/Messages.h"

namespace {

// Hands the list's name edits to the view, which renames the file.
class NameEditDelegate : public QStyledItemDelegate {
public:
    NameEditDelegate(CROZariduView* view) : QStyledItemDelegate(view), view_(view) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != COL_NAME || !view_->BeginLabelEdit(index.row())) return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        auto* edit = qobject_cast<QLineEdit*>(editor);
        if (!edit) return;
        std::string name = edit->text().toStdString();
        if (view_->EndLabelEdit(index.row(), name)) edit->setText(QString::fromStdString(name));
    }

private:
    CROZariduView* view_;
};

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

} // namespace

CROZariduView::CROZariduView(CROZariduPars& pars, QWidget* parent)
    : CVNFormView(IDD_MAIN_FORM, parent), pars_(pars) {
    InstallMnemonicGuard();
    buildControls();
    watchClipboard();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && isAncestorOf(now)) lastFocus_ = now;
    });
}

void CROZariduView::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    QWidget* focus = QApplication::focusWidget();
    // The boxes press Finden themselves; the list opens files with Return.
    if (!enter || mods != Qt::NoModifier || running_ || !focus || focus == list_ || list_->isAncestorOf(focus) ||
        qobject_cast<QComboBox*>(focus) || qobject_cast<QComboBox*>(focus->parentWidget())) {
        QWidget::keyPressEvent(event);
        return;
    }
    auto* button = qobject_cast<QPushButton*>(focus);
    if (!button) button = find_;
    if (button->isEnabled()) button->click();
    event->accept();
}

CROZariduView::~CROZariduView() {
    // All three lists in one write: a busy lock is waited for once, and a failure told once.
    if (app_)
        ReportSettingsNotSaved(IDS_MRU_LISTS_NOT_SAVED,
                               CVNComboBoxMRU::SaveMRU({folder_, search_, replace_}, *app_));
}

const HelpIdPair* CROZariduView::GetHelpIdMap() const {
    static const HelpIdPair map[] = {
        {IDC_CHANGE_MODIFIED, IDC_CHANGE_CREATED}, {IDC_CHANGE_ACCESSED, IDC_CHANGE_CREATED},
        {IDC_DATE_MODIFIED, IDC_DATE_CREATED},     {IDC_DATE_ACCESSED, IDC_DATE_CREATED},
        {IDC_TIME_MODIFIED, IDC_TIME_CREATED},     {IDC_TIME_ACCESSED, IDC_TIME_CREATED},
        {IDC_CHANGE_READONLY, IDC_CHANGE_ARCHIVE}, {IDC_CHANGE_HIDDEN, IDC_CHANGE_ARCHIVE},
        {IDC_CHANGE_SYSTEM, IDC_CHANGE_ARCHIVE},   {IDC_VALUE_READONLY, IDC_VALUE_ARCHIVE},
        {IDC_VALUE_HIDDEN, IDC_VALUE_ARCHIVE},     {IDC_VALUE_SYSTEM, IDC_VALUE_ARCHIVE},
        {IDC_FOLDER_LABEL, IDC_FOLDER},            {IDC_SEARCH_LABEL, IDC_SEARCH},
        {IDC_REPLACE_LABEL, IDC_REPLACE},          {0, 0}};
    return map;
}

std::uint32_t CROZariduView::windowHelpId() const {
    return mode_ == VIEW_DATE_ATTRIBUTES ? HID_DATE_ATTRIBUTES : CVNFormView::windowHelpId();
}

void CROZariduView::tag(QWidget* w, int id) {
    w->setProperty("controlId", id);
}

QWidget* CROZariduView::control(int id) const {
    for (QWidget* w : findChildren<QWidget*>())
        if (w->property("controlId").toInt() == id) return w;
    return nullptr;
}

void CROZariduView::buildControls() {
    auto label = [this](const char* text, QWidget* buddy, int id) {
        auto* l = new QLabel(u8(text), this);
        l->setBuddy(buddy);
        tag(l, id);
        return l;
    };
    auto check = [this](const char* text, int id, QWidget* parent) {
        auto* c = new QCheckBox(u8(text), parent);
        tag(c, id);
        return c;
    };
    auto button = [this](const char* text, int id) {
        auto* b = new QPushButton(u8(text), this);
        tag(b, id);
        return b;
    };

    folder_ = new CVNComboBoxMRU(this);
    tag(folder_, IDC_FOLDER);
    folder_->InitMRU(kMRUSearchFolder);
    folderLabel_ = label("&Ordner:", folder_, IDC_FOLDER_LABEL);
    browse_ = button("...", IDC_BROWSE);
    subfolders_ = check("U&ntergeordnete Ordner einbeziehen", IDC_SUBFOLDERS, this);
    search_ = new CVNComboBoxMRU(this);
    tag(search_, IDC_SEARCH);
    search_->InitMRU(kMRUSearchPattern);
    searchLabel_ = label("&Suchen:", search_, IDC_SEARCH_LABEL);
    searchMenu_ = new CVNPattMenuButton(u8(">"), this);
    tag(searchMenu_, IDC_SEARCH_MENU);
    replace_ = new CVNComboBoxMRU(this);
    tag(replace_, IDC_REPLACE);
    replace_->InitMRU(kMRUReplacePattern);
    replaceLabel_ = label("&Ersetzen:", replace_, IDC_REPLACE_LABEL);
    replaceMenu_ = new CVNPattMenuButton(u8(">"), this);
    tag(replaceMenu_, IDC_REPLACE_MENU);
    regExp_ = check("&Regulärer Ausdruck", IDC_REGEXP, this);
    preview_ = check("&Vorschau", IDC_PREVIEW, this);
    wholeList_ = check("&Ganze Liste", IDC_WHOLE_LIST, this);
    for (QComboBox* c : {static_cast<QComboBox*>(folder_), static_cast<QComboBox*>(search_),
                         static_cast<QComboBox*>(replace_)}) {
        c->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        c->setMinimumContentsLength(20);
        c->setInsertPolicy(QComboBox::NoInsert);
    }
    for (QPushButton* b : {searchMenu_, replaceMenu_})
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(u8(">")) + 18);
    browse_->setFixedWidth(browse_->fontMetrics().horizontalAdvance(u8("...")) + 24);

    // Date group: one row per time, its change box, then date and time picker.
    dateGroup_ = new QGroupBox(u8("Dateidatum umändern"), this);
    tag(dateGroup_, IDC_DATE_GROUP);
    auto* dateGrid = new QGridLayout(dateGroup_);
    const char* timeCaptions[3] = {"Erste&llt am:", "Geänder&t am:", "Letzter &Zugriff:"};
    const QDateTime now = QDateTime::currentDateTime();
    for (int r = 0; r < 3; ++r) {
        changeTime_[r] = check(timeCaptions[r], IDC_CHANGE_CREATED + r, dateGroup_);
        date_[r] = new CVNDateEdit(now.date(), dateGroup_);
        tag(date_[r], IDC_DATE_CREATED + 2 * r);
        time_[r] = new CVNTimeEdit(now.time(), dateGroup_);
        tag(time_[r], IDC_TIME_CREATED + 2 * r);
        dateGrid->addWidget(changeTime_[r], r, 0);
        dateGrid->addWidget(date_[r], r, 1);
        dateGrid->addWidget(time_[r], r, 2);
    }

    dateGrid->setColumnStretch(3, 1);

    attributeGroup_ = new QGroupBox(u8("Dateiattribute umändern"), this);
    tag(attributeGroup_, IDC_ATTRIBUTE_GROUP);
    auto* attrGrid = new QGridLayout(attributeGroup_);
    const char* attrCaptions[4] = {"Arch&iv", "S&chreibgeschützt", "Verstec&kt", "S&ystem"};
    const char* valueCaptions[4] = {"(A):", "(R):", "(H):", "(S):"};
    for (int a = 0; a < 4; ++a) {
        changeAttr_[a] = check(attrCaptions[a], IDC_CHANGE_ARCHIVE + a, attributeGroup_);
        valueAttr_[a] = check(valueCaptions[a], IDC_VALUE_ARCHIVE + a, attributeGroup_);
        valueAttr_[a]->setLayoutDirection(Qt::RightToLeft); // the caption stands before the box
        attrGrid->addWidget(changeAttr_[a], a % 2, (a / 2) * 2);
        attrGrid->addWidget(valueAttr_[a], a % 2, (a / 2) * 2 + 1);
    }

    find_ = button("&Finden", IDC_FIND);
    find_->setDefault(true);
    rename_ = button("&Umbenennen", IDC_RENAME);
    renameAll_ = button("Alle U&mbenennen", IDC_RENAME_ALL);
    change_ = button("&Umändern", IDC_CHANGE);
    changeAll_ = button("Alle U&mändern", IDC_CHANGE_ALL);
    stopButton_ = button("Anhalten", IDC_STOP);

    list_ = new CVNFileListCtrl(this);
    tag(list_, IDC_FILE_LIST);
    list_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    // Left: the folder and pattern rows with the option boxes beside them; right: the buttons.
    auto* fields = new QGridLayout;
    fields->addWidget(folderLabel_, 0, 0);
    // The browse button ends where the option boxes' column ends, right beside the folder box.
    auto* folderRow = new QHBoxLayout;
    folderRow->setSpacing(1);
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse_);
    fields->addLayout(folderRow, 0, 1, 1, 3);
    fields->addWidget(subfolders_, 1, 1, 1, 3);
    fields->addWidget(searchLabel_, 2, 0);
    fields->addWidget(search_, 2, 1);
    fields->addWidget(searchMenu_, 2, 2);
    fields->addWidget(regExp_, 2, 3);
    fields->addWidget(replaceLabel_, 3, 0);
    fields->addWidget(replace_, 3, 1);
    fields->addWidget(replaceMenu_, 3, 2);
    fields->addWidget(preview_, 3, 3);
    fields->addWidget(wholeList_, 4, 3);
    fields->setColumnStretch(1, 1);
    auto* groups = new QHBoxLayout;
    groups->addWidget(dateGroup_, 1);
    groups->addWidget(attributeGroup_);
    fields->addLayout(groups, 5, 0, 1, 4);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {find_, rename_, change_, renameAll_, changeAll_, stopButton_})
        buttons->addWidget(b);
    buttons->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addSpacing(16);
    top->addLayout(buttons);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(list_, 1);

    // Initial values.
    subfolders_->setChecked(true);
    wholeList_->setChecked(true);
    stopButton_->setEnabled(false);

    connect(folder_, &QComboBox::editTextChanged, this, [this] { updateFindButton(); });
    connect(replace_, &QComboBox::editTextChanged, this, [this] {
        updateRunButtons();
        scheduleLivePreview();
    });
    live_ = new LivePreview(*list_->fileModel(), this);
    connect(live_, &LivePreview::statusChanged, this, [this](const QString& text) {
        previewStatus_ = text;
        setStatusText(statusText_);
    });
    connect(search_, &QComboBox::editTextChanged, this, [this] { scheduleLivePreview(); });
    for (QCheckBox* c : {regExp_, wholeList_})
        connect(c, &QCheckBox::toggled, this, [this] { scheduleLivePreview(); });
    // Without "Ganze Liste" the run starts at the selection.
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!wholeList_->isChecked()) scheduleLivePreview();
    });
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!wholeList_->isChecked()) scheduleLivePreview();
    });
    connect(search_, &QComboBox::activated, this,
            [this](int index) { regExp_->setChecked(search_->datum(index) != 0); });
    for (QCheckBox* c : changeTime_)
        connect(c, &QCheckBox::toggled, this, [this] { updateChangeInputs(); });
    for (QCheckBox* c : changeAttr_)
        connect(c, &QCheckBox::toggled, this, [this] { updateChangeInputs(); });
    QAbstractItemModel* model = list_->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, [this] { updateRunButtons(); });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { updateRunButtons(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { updateRunButtons(); });
    // Other rows or other names: the new names follow. The column's own changes do not count.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, signal, this, [this] { scheduleLivePreview(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { scheduleLivePreview(); });
    connect(model, &QAbstractItemModel::layoutChanged, this, [this] { scheduleLivePreview(); });
    connect(model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& from) {
        if (from.column() < COL_NEWNAME) scheduleLivePreview();
    });
    connect(find_, &QPushButton::clicked, this, [this] { OnFind(); });
    connect(rename_, &QPushButton::clicked, this, [this] { OnRename(); });
    connect(renameAll_, &QPushButton::clicked, this, [this] { OnRenameAll(); });
    connect(change_, &QPushButton::clicked, this, [this] { OnChange(); });
    connect(changeAll_, &QPushButton::clicked, this, [this] { OnChangeAll(); });
    connect(stopButton_, &QPushButton::clicked, this, [this] { OnStop(); });
    connect(preview_, &QCheckBox::clicked, this, [this](bool on) {
        list_->setPreviewFlag(on ? 1 : 0);
        previewWarning_ = 1;
    });
    auto* names = new NameEditDelegate(this);
    list_->setItemDelegateForColumn(COL_NAME, names);
    connect(names, &QAbstractItemDelegate::closeEditor, this, [this] { FinishLabelEdit(); });
    list_->installEventFilter(this);
    // Finden is the default button: Return in one of the boxes presses it, as in a dialog.
    for (CVNComboBoxMRU* c : {folder_, search_, replace_})
        connect(c->lineEdit(), &QLineEdit::returnPressed, this, [this] {
            if (find_->isEnabled()) find_->click();
        });
    connect(browse_, &QPushButton::clicked, this, [this] { OnBrowse(); });
    // The pattern menus need the settings, which OnInitialUpdate brings; no menu during a run.
    connect(searchMenu_, &QPushButton::clicked, this, [this] { OnSearchMenu(); });
    connect(replaceMenu_, &QPushButton::clicked, this, [this] { OnReplaceMenu(); });
    installPatternKeys();
    for (CVNPattMenuButton* b : {searchMenu_, replaceMenu_}) {
        b->setEnabled(false);
        connect(this, &CROZariduView::runStateChanged, b,
                [this, b](bool running) { b->setEnabled(app_ && !running); });
    }

    updateFindButton();
    updateChangeInputs();
    SetViewMode(VIEW_FIND_RENAME);
}

void CROZariduView::OnInitialUpdate(const CVNAppInfo* app) {
    app_ = app;
    for (CVNPattMenuButton* b : {searchMenu_, replaceMenu_}) {
        b->SetAppInfo(app_);
        b->setEnabled(app_ && !running_);
    }
    if (app_) {
        folder_->LoadMRU(*app_);
        search_->LoadMRU(*app_);
        replace_->LoadMRU(*app_);
    }
    folder_->setFocus();
    SetViewMode(VIEW_FIND_RENAME);
    // A run a crash left unfinished: say which files it changed, once the window is up.
    if (app_)
        QTimer::singleShot(0, this, [this] {
            for (const JournalRun& run : journal_.runs())
                if (run.settledNow)
                    GetMessagePresenter()->show(FormatId(33511, {run.time, run.filesChanged()}),
                                                MB_OK | MB_ICONINFORMATION, 0);
        });
}

void CROZariduView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The first size the form gets is the smallest it may become, but never more than its
    // natural size: a window that opens large may still be made smaller again.
    if (!minimumFixed_ && width() >= 1 && height() >= 1) {
        minimumFixed_ = true;
        firstSize_ = size().boundedTo(sizeHint());
    }
    applyMinimumSize();
}

void CROZariduView::applyMinimumSize() {
    // Never smaller than the first size, nor than what the current mode's controls need, so
    // that the date and attribute groups are not clipped after a switch.
    if (minimumFixed_) setMinimumSize(firstSize_.expandedTo(layout()->minimumSize()));
}

void CROZariduView::SetViewMode(int mode) {
    mode = mode == VIEW_DATE_ATTRIBUTES ? VIEW_DATE_ATTRIBUTES : VIEW_FIND_RENAME;
    if (mode == mode_) return;
    const bool dates = mode == VIEW_DATE_ATTRIBUTES;
    for (QWidget* w : {static_cast<QWidget*>(replaceLabel_), static_cast<QWidget*>(replace_),
                       static_cast<QWidget*>(replaceMenu_), static_cast<QWidget*>(rename_),
                       static_cast<QWidget*>(renameAll_)})
        w->setVisible(!dates);
    for (QWidget* w : {static_cast<QWidget*>(change_), static_cast<QWidget*>(changeAll_),
                       static_cast<QWidget*>(dateGroup_), static_cast<QWidget*>(attributeGroup_)})
        w->setVisible(dates);
    list_->setViewMode(mode);
    mode_ = mode;
    scheduleLivePreview();
    applyMinimumSize();
    updateRunButtons();
    updateChangeInputs();
    if (!QApplication::focusWidget() && isVisible()) search_->setFocus();
}

bool CROZariduView::anyChangeChecked() const {
    for (QCheckBox* c : changeTime_)
        if (c->isChecked()) return true;
    for (QCheckBox* c : changeAttr_)
        if (c->isChecked()) return true;
    return false;
}

void CROZariduView::updateFindButton() {
    if (running_) return;
    find_->setEnabled(!folder_->currentText().isEmpty());
}

void CROZariduView::updateRunButtons() {
    if (running_) return;
    const bool rows = list_->itemCount() > 0;
    const bool renameOk = rows && !replace_->currentText().isEmpty();
    rename_->setEnabled(renameOk);
    renameAll_->setEnabled(renameOk);
    const bool changeOk = rows && anyChangeChecked();
    change_->setEnabled(changeOk);
    changeAll_->setEnabled(changeOk);
}

void CROZariduView::updateChangeInputs() {
    for (int r = 0; r < 3; ++r) {
        date_[r]->setEnabled(changeTime_[r]->isChecked());
        time_[r]->setEnabled(changeTime_[r]->isChecked());
    }
    for (int a = 0; a < 4; ++a)
        valueAttr_[a]->setEnabled(changeAttr_[a]->isChecked());
    updateRunButtons();
}

ChangeFormState CROZariduView::changeForm() const {
    ChangeFormState form;
    for (int r = 0; r < 3; ++r) {
        DateTimeInput& in = form.times[r];
        in.change = changeTime_[r]->isChecked();
        const QDate d = date_[r]->date();
        const QTime t = time_[r]->time();
        in.dateValid = d.isValid();
        in.timeValid = t.isValid();
        in.year = d.year();
        in.month = d.month();
        in.day = d.day();
        in.hour = t.hour();
        in.minute = t.minute();
        in.second = t.second();
    }
    AttributeInput* attrs[4] = {&form.archive, &form.readOnly, &form.hidden, &form.system};
    for (int a = 0; a < 4; ++a) {
        attrs[a]->change = changeAttr_[a]->isChecked();
        attrs[a]->value = valueAttr_[a]->isChecked();
    }
    return form;
}

bool CROZariduView::BeginLabelEdit(int row) {
    if (running_ || list_->GetColumnId(0) != COL_NAME || !list_->itemRecord(row)) return false;
    // An in-place rename acts on the disk: the list must show the disk's names first.
    RevertPreviewGroups(list_->undoLog(), *list_->fileModel());
    list_->undoLog().beginGroup(mode_);
    labelEditing_ = true;
    labelAccepted_ = false;
    return true;
}

bool CROZariduView::EndLabelEdit(int row, std::string& newName) {
    if (!labelEditing_ || !list_->itemRecord(row)) return false;
    const std::string oldName = list_->itemRecord(row)->name;
    const JournalHeader header{"window", mode_, PATTERN_LITERAL, list_->itemRecord(row)->folderText(), oldName,
                               newName};
    if (journal_.begin(header)) list_->undoLog().setHeadJournalRun(journal_.runId());
    try {
        // Always on disk: an in-place rename is the user's own act, not a preview run.
        FileOperations(*list_->fileModel(), list_->undoLog(), &journal_).rename(row, newName, false);
    } catch (const CVNException& e) {
        journal_.end();
        GetMessagePresenter()->show(e.text(), MB_OK | MB_ICONEXCLAMATION, 0);
        return false;
    }
    journal_.end();
    labelAccepted_ = true;
    return true;
}

void CROZariduView::FinishLabelEdit() {
    if (!labelEditing_) return;
    labelEditing_ = false;
    // Only the group opened for this edit is removed; it is empty when the edit was refused.
    if (!labelAccepted_) UndoHeadGroup(list_->undoLog(), *list_->fileModel(), nullptr, &journal_);
}

void CROZariduView::OnBrowse() {
    QString start = folder_->currentText();
    if (start.isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QString::fromStdString(LoadString(136)), start, QFileDialog::ShowDirsOnly);
    if (!chosen.isEmpty()) {
        folder_->setEditText(chosen);
        updateFindButton();
    }
    folder_->setFocus();
}
