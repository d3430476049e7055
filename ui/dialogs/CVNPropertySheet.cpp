#include "ui/dialogs/CVNPropertySheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/dialogs/CVNPropertyPage.h"

CVNPropertySheet::CVNPropertySheet(const QString& caption, QWidget* parent, int selectPage)
    : QDialog(parent), tabs_(new QTabWidget(this)), selectPage_(selectPage) {
    setWindowTitle(caption);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setProperty("controlId", 1);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", 2);
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
