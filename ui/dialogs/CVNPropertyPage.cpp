#include "ui/dialogs/CVNPropertyPage.h"

#include "ui/help/ContextHelp.h"

CVNPropertyPage::CVNPropertyPage(int templateId, const QString& title, QWidget* parent)
    : QWidget(parent), CVNHelpWindow(templateId), title_(title) {
    InstallContextHelp();
    ApplyHelpTipMode(CurrentHelpTipMode());
}

bool CVNPropertyPage::event(QEvent* e) {
    if (e->type() == HelpTipModeEvent::type()) {
        ApplyHelpTipMode(static_cast<HelpTipModeEvent*>(e)->mode());
        return true;
    }
    return QWidget::event(e);
}
