#include "ui/dialogs/CVNPropertySheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "res/LoadString.h"
#include "ui/dialogs/CVNPropertyPage.h"
#include "ui/help/ContextHelp.h"

CVNPropertySheet::CVNPropertySheet(const QString& caption, QWidget* parent, int selectPage)
    : QDialog(parent), CVNHelpWindow(0), tabs_(new QTabWidget(this)), selectPage_(selectPage) {
    InstallContextHelp();
    ApplyHelpTipMode(CurrentHelpTipMode());
    setWindowTitle(caption);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setProperty("controlId", 1);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", 2);
    // No mnemonic: "&Hilfe" would clash with "&Hinzufügen..." of the patterns page; F1 does it.
    QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
    help->setText(QString::fromStdString(LoadString(33613)));
    help->setProperty("controlId", 9);
    connect(help, &QPushButton::clicked, this, &CVNPropertySheet::OnHelp);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

void CVNPropertySheet::AddPage(CVNPropertyPage* page) {
    pages_.push_back(page);
    tabs_->addTab(page, page->title());
}

CVNPropertyPage* CVNPropertySheet::activePage() const {
    return qobject_cast<CVNPropertyPage*>(tabs_->currentWidget());
}

std::uint32_t CVNPropertySheet::windowHelpId() const {
    const CVNPropertyPage* page = activePage();
    return page ? page->windowHelpId() : 0;
}

void CVNPropertySheet::OnHelp() {
    ShowHelpTopic(this, windowHelpId());
}

bool CVNPropertySheet::event(QEvent* e) {
    if (e->type() == HelpTipModeEvent::type()) {
        ApplyHelpTipMode(static_cast<HelpTipModeEvent*>(e)->mode());
        return true;
    }
    return QDialog::event(e);
}

void CVNPropertySheet::showEvent(QShowEvent* event) {
    if (!filled_) {
        filled_ = true;
        for (CVNPropertyPage* p : pages_)
            p->DoDataExchange(false);
        if (selectPage_ >= 0 && selectPage_ < tabs_->count()) tabs_->setCurrentIndex(selectPage_);
    }
    QDialog::showEvent(event);
}

int CVNPropertySheet::DoModal() {
    return exec();
}

void CVNPropertySheet::accept() {
    for (CVNPropertyPage* p : pages_) {
        if (!p->DoDataExchange(true)) {
            tabs_->setCurrentWidget(p);
            if (QWidget* w = p->focusWidget()) w->setFocus(); // the control that refused
            return;
        }
    }
    QDialog::accept();
}
