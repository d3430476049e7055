#include "ui/dialogs/CVNDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>

#include "res/LoadString.h"
#include "ui/help/ContextHelp.h"

CVNDialog::CVNDialog(int templateId, QWidget* parent) : QDialog(parent), CVNHelpWindow(templateId) {
    InstallContextHelp();
    ApplyHelpTipMode(CurrentHelpTipMode());
}

QPushButton* CVNDialog::AddHelpButton(QDialogButtonBox* buttons) {
    QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
    help->setText(QString::fromStdString(LoadString(33612)));
    help->setProperty("controlId", static_cast<int>(IDC_HELP));
    connect(help, &QPushButton::clicked, this, &CVNDialog::OnHelp);
    return help;
}

void CVNDialog::OnHelp() {
    ShowHelpTopic(this, windowHelpId());
}

bool CVNDialog::event(QEvent* e) {
    if (e->type() == HelpTipModeEvent::type()) {
        ApplyHelpTipMode(static_cast<HelpTipModeEvent*>(e)->mode());
        return true;
    }
    return QDialog::event(e);
}
