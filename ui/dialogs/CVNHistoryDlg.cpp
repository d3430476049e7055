#include "ui/dialogs/CVNHistoryDlg.h"
#include "ui/LoadText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/journal/Journal.h"
#include "core/list/FileListRecord.h"
#include "core/messages/Messages.h"
#include "res/Format.h"
#include "res/LoadString.h"

namespace {

constexpr unsigned IDS_TITLE = 33500, IDS_COLUMNS = 33501, IDS_TAKE_BACK = 33502, IDS_CLOSE = 33503,
                   IDS_CONFIRM = 33504, IDS_FILES = 33505, IDS_TAKEN_BACK = 33506, IDS_INTERRUPTED = 33507,
                   IDS_EMPTY = 33508, IDS_SOME_TAKEN_BACK = 33509, IDS_CHANGE_MODE = 33510;
constexpr int IDC_RUNS = 1090, IDC_TAKE_BACK = 1091;

QString utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

CVNHistoryDlg::CVNHistoryDlg(Journal& journal, std::function<void(const std::string&)> takeBack, QWidget* parent)
    : CVNDialog(IDD_HISTORY, parent), journal_(journal), takeBackRun_(std::move(takeBack)), runs_(new QTreeWidget(this)),
      takeBack_(new QPushButton(LoadText(IDS_TAKE_BACK), this)) {
    setWindowTitle(LoadText(IDS_TITLE));
    runs_->setRootIsDecorated(false);
    runs_->setHeaderLabels(LoadText(IDS_COLUMNS).split(QLatin1Char('\n')));
    runs_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(takeBack_, QDialogButtonBox::ActionRole);
    buttons->addButton(LoadText(IDS_CLOSE), QDialogButtonBox::RejectRole)
        ->setProperty("controlId", static_cast<int>(IDC_CLOSE));
    AddHelpButton(buttons);
    runs_->setProperty("controlId", IDC_RUNS);
    takeBack_->setProperty("controlId", IDC_TAKE_BACK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(runs_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(takeBack_, &QPushButton::clicked, this, [this] { onTakeBack(); });
    connect(runs_, &QTreeWidget::itemSelectionChanged, this, [this] { updateButton(); });
    resize(760, 380);
    reload();
}

void CVNHistoryDlg::reload() {
    runs_->clear();
    for (const JournalRun& run : journal_.runs()) {
        const JournalHeader& h = run.header;
        QString patterns = utf8(h.search);
        if (h.mode == VIEW_DATE_ATTRIBUTES) patterns += QStringLiteral(" (") + LoadText(IDS_CHANGE_MODE) + QLatin1Char(')');
        else patterns += QStringLiteral(" \u2192 ") + utf8(h.replacement);
        QString state;
        if (run.undone() > 0) state = run.changed() > 0 ? LoadText(IDS_SOME_TAKEN_BACK) : LoadText(IDS_TAKEN_BACK);
        if (run.interrupted) state += (state.isEmpty() ? QString() : QStringLiteral(", ")) + LoadText(IDS_INTERRUPTED);
        auto* item = new QTreeWidgetItem(
            runs_, {utf8(run.time), utf8(h.folder), patterns,
                    utf8(FormatId(IDS_FILES, {run.files()})), state});
        item->setData(0, Qt::UserRole, QString::fromStdString(run.id));
        item->setData(1, Qt::UserRole, run.changed());
    }
    if (runs_->topLevelItemCount() == 0)
        new QTreeWidgetItem(runs_, {LoadText(IDS_EMPTY)});
    for (int c = 0; c < runs_->columnCount(); ++c) runs_->resizeColumnToContents(c);
    if (QTreeWidgetItem* first = runs_->topLevelItem(0)) runs_->setCurrentItem(first);
    updateButton();
}

void CVNHistoryDlg::updateButton() {
    const QTreeWidgetItem* item = runs_->currentItem();
    takeBack_->setEnabled(item && item->data(1, Qt::UserRole).toInt() > 0);
}

void CVNHistoryDlg::onTakeBack() {
    const QTreeWidgetItem* item = runs_->currentItem();
    if (!item) return;
    const int changed = item->data(1, Qt::UserRole).toInt();
    if (ShowMessage(LoadString(IDS_CONFIRM), std::to_string(changed), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    takeBackRun_(item->data(0, Qt::UserRole).toString().toStdString());
    reload();
}
