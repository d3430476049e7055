#include "ui/frame/CVNFrameWnd.h"

#include <QLabel>
#include <QStatusBar>

#include "res/LoadString.h"
#include "ui/frame/CVNCommandTarget.h"
#include "ui/frame/CVNWinApp.h"

CVNFrameWnd::CVNFrameWnd(CVNWinApp& app, QWidget* parent)
    : QMainWindow(parent), app_(app),
      contextHelp_((CurrentHelpTipMode() & kContextHelpOn) != 0) {}

QStatusBar* CVNFrameWnd::createStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setProperty("controlId", static_cast<int>(ID_VIEW_STATUS_BAR));
    messagePane_ = new QLabel(bar);
    messagePane_->setTextFormat(Qt::PlainText);
    bar->addWidget(messagePane_, 1);
    setStatusBar(bar);
    SetMessageText(QString());
    return bar;
}

void CVNFrameWnd::SetMessageText(const QString& text) {
    if (!messagePane_) return;
    messagePane_->setText(text.isEmpty() ? QString::fromStdString(LoadString(ID_IDLE_PROMPT))
                                         : text);
}

void CVNFrameWnd::SetMessagePaneText(const QString& text) {
    if (messagePane_) messagePane_->setText(text);
}

QString CVNFrameWnd::messageText() const {
    return messagePane_ ? messagePane_->text() : QString();
}

bool CVNFrameWnd::event(QEvent* e) {
    if (e->type() == HelpTipModeEvent::type()) {
        // The frame shows no tips of its own; its children answer for themselves.
        contextHelp_ = (static_cast<HelpTipModeEvent*>(e)->mode() & kContextHelpOn) != 0;
        e->accept();
        return true;
    }
    return QMainWindow::event(e);
}
