#include "ui/form/CVNFormView.h"

#include "ui/help/ContextHelp.h"

CVNFormView::CVNFormView(int templateId, QWidget* parent)
    : QWidget(parent), CVNHelpWindow(templateId) {
    InstallContextHelp();
    ApplyHelpTipMode(CurrentHelpTipMode());
}

bool CVNFormView::event(QEvent* e) {
    if (e->type() == HelpTipModeEvent::type()) {
        ApplyHelpTipMode(static_cast<HelpTipModeEvent*>(e)->mode());
        return true;
    }
    return QWidget::event(e);
}
