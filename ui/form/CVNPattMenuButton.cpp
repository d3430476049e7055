#include "ui/form/CVNPattMenuButton.h"

#include <QAction>
#include <QMenu>

#include "res/LoadString.h"
#include "ui/frame/CVNFrameWnd.h"

namespace {

constexpr unsigned IDS_NO_PATTERNS = 33334;

// A menu takes '&' for the mnemonic and a tab for the start of a shortcut; a menu text shows
// both as they are.
QString menuItemText(const std::string& text) {
    QString q = QString::fromStdString(text);
    q.replace(QLatin1Char('&'), QStringLiteral("&&"));
    q.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return q;
}

} // namespace

CVNPattMenuButton::CVNPattMenuButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {}

QString CVNPattMenuButton::statusText() const {
    auto* frame = qobject_cast<CVNFrameWnd*>(window());
    return frame ? frame->messageText() : QString();
}

void CVNPattMenuButton::setStatusText(const QString& text) {
    if (auto* frame = qobject_cast<CVNFrameWnd*>(window())) frame->SetMessagePaneText(text);
}

int CVNPattMenuButton::ShowMenu(int type, int filter) {
    if (!app_ || menu_) return -1;
    QMenu menu(this);
    items_.Load(*app_, type, filter);
    for (const PatternMenu::Item& item : items_.Items()) {
        if (item.separator) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(menuItemText(item.text));
        a->setData(item.id);
    }
    // An empty pop-up would be a bare frame; a greyed line says why nothing is offered.
    if (items_.IsEmpty())
        menu.addAction(QString::fromStdString(LoadString(IDS_NO_PATTERNS)))->setEnabled(false);

    const QString before = statusText();
    connect(&menu, &QMenu::hovered, this, [this](QAction* a) {
        const CROZariduPattern* p = items_.Record(a->data().toInt());
        setStatusText(p ? QString::fromStdString(p->m_statusline) : QString());
    });
    menu_ = &menu;
    QAction* chosen = menu.exec(mapToGlobal(rect().topRight()));
    menu_ = nullptr;
    setStatusText(before);

    const int id = chosen ? chosen->data().toInt() : 0;
    if (const CROZariduPattern* p = items_.Record(id)) selected_ = *p;
    items_.Clear();
    return id;
}
