#include "ui/help/CVNHelpWindow.h"

#include <QVariant>
#include <QWidget>

#include "ui/help/ContextHelp.h"

const HelpIdPair* CVNHelpWindow::GetHelpIdMap() const {
    static const HelpIdPair empty[] = {{0, 0}};
    return empty;
}

int CVNHelpWindow::MapControlId(int id) const {
    for (const HelpIdPair* p = GetHelpIdMap(); p && p->control != 0; ++p)
        if (p->control == id) return p->help;
    return id;
}

std::uint32_t CVNHelpWindow::controlHelpId(int controlId) const {
    QWidget* self = helpWidget();
    QWidget* control = self ? FindControl(self, controlId) : nullptr;
    if (!control) return 0;
    const QVariant own = control->property("helpId");
    if (own.isValid()) return own.toUInt();
    return ControlHelpId(templateId_, controlId);
}

void CVNHelpWindow::ApplyHelpTipMode(int mode) {
    tips_ = (mode & kHelpTipsOn) != 0;
    QWidget* self = helpWidget();
    // Changing the flags of a shown window would hide it; shown windows keep their caption.
    if (self && self->isWindow() && !self->isVisible())
        self->setWindowFlag(Qt::WindowContextHelpButtonHint, (mode & kContextHelpOn) != 0);
}

QWidget* CVNHelpWindow::helpWidget() const {
    return dynamic_cast<QWidget*>(const_cast<CVNHelpWindow*>(this));
}

CVNHelpWindow* CVNHelpWindow::Of(QWidget* w) {
    for (; w; w = w->parentWidget())
        if (auto* h = dynamic_cast<CVNHelpWindow*>(w)) return h;
    return nullptr;
}
