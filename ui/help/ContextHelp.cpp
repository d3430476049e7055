#include "ui/help/ContextHelp.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolTip>
#include <QWhatsThis>
#include <memory>

#include "core/messages/Messages.h"
#include "res/LoadString.h"
#include "ui/help/CVNHelpViewer.h"
#include "ui/help/CVNHelpWindow.h"
#include "ui/help/HelpFile.h"
#include "ui/help/HelpIds.h"

namespace {

constexpr unsigned IDS_HELP_FAILED = 61703;
constexpr unsigned IDS_HELP_POPUP_ITEM = 33611;

int gMode = kContextHelpOn;

bool hasId(const QWidget* w) {
    return w->property("controlId").isValid();
}

int idOf(const QWidget* w) {
    return w->property("controlId").toInt();
}

// The widget itself or its nearest ancestor below the window that carries an id.
QWidget* controlOf(QWidget* window, QWidget* w) {
    for (; w && w != window; w = w->parentWidget())
        if (hasId(w)) return w;
    return nullptr;
}

// The first widget of a layout item, in the order it was laid out.
QWidget* firstWidget(QLayoutItem* item) {
    if (!item) return nullptr;
    if (item->widget()) return item->widget();
    if (QLayout* l = item->layout())
        for (int i = 0; i < l->count(); ++i)
            if (QWidget* w = firstWidget(l->itemAt(i))) return w;
    return nullptr;
}

QLayout* layoutHolding(QLayout* layout, QWidget* w) {
    if (!layout) return nullptr;
    if (layout->indexOf(w) >= 0) return layout;
    for (int i = 0; i < layout->count(); ++i)
        if (QLayout* found = layoutHolding(layout->itemAt(i)->layout(), w)) return found;
    return nullptr;
}

// The widget laid out after w: the next cell of its grid row, or the next item of its box.
QWidget* nextInLayout(QWidget* w) {
    QLayout* layout = w->parentWidget() ? layoutHolding(w->parentWidget()->layout(), w) : nullptr;
    if (!layout) return nullptr;
    const int index = layout->indexOf(w);
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(index, &row, &column, &rows, &columns);
        for (int c = column + columns; c < grid->columnCount(); ++c)
            if (QWidget* next = firstWidget(grid->itemAtPosition(row, c))) return next;
        return nullptr;
    }
    for (int i = index + 1; i < layout->count(); ++i)
        if (QWidget* next = firstWidget(layout->itemAt(i))) return next;
    return nullptr;
}

// w itself, or the first widget inside it, that carries an id.
QWidget* firstControlIn(QWidget* w) {
    if (hasId(w)) return w;
    for (QWidget* child : w->findChildren<QWidget*>())
        if (hasId(child)) return child;
    return nullptr;
}

// A label without an id stands for its buddy or, without one, for the control laid out after it.
QWidget* labelTarget(QWidget* window, QLabel* label) {
    QWidget* next = label->buddy() ? label->buddy() : nextInLayout(label);
    if (!next || !window->isAncestorOf(next)) return nullptr;
    QWidget* inside = firstControlIn(next);
    return inside ? inside : controlOf(window, next);
}

// The widget a help request on w is about.
QWidget* targetOf(QWidget* window, QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w); label && !hasId(label))
        return labelTarget(window, label);
    return controlOf(window, w);
}

// A control's own right-click menu that the help menu takes in: the edit field's.
std::unique_ptr<QMenu> ownMenu(QWidget* control) {
    auto* edit = qobject_cast<QLineEdit*>(control);
    if (!edit) edit = control->findChild<QLineEdit*>();
    if (!edit) return nullptr;
    return std::unique_ptr<QMenu>(edit->createStandardContextMenu());
}

// Whether an item view shows a tip of its own for the item at the point.
bool itemTipAt(QWidget* w, const QPoint& pos) {
    auto* view = qobject_cast<QAbstractItemView*>(w->parentWidget());
    return view && view->viewport() == w && view->indexAt(pos).isValid();
}

class HelpEventFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::ToolTip:
            return helpTip(w, static_cast<QHelpEvent*>(event));
        case QEvent::QueryWhatsThis:
        case QEvent::WhatsThis:
            return whatsThis(w, static_cast<QHelpEvent*>(event));
        case QEvent::ContextMenu:
            return contextMenu(w, static_cast<QContextMenuEvent*>(event));
        case QEvent::KeyPress:
            return helpKey(w, static_cast<QKeyEvent*>(event));
        default:
            return false;
        }
    }

private:
    static bool helpTip(QWidget* w, QHelpEvent* e) {
        CVNHelpWindow* window = CVNHelpWindow::Of(w);
        if (!window || itemTipAt(w, e->pos())) return false;
        // Only a control's own id gives a tip; a label without one has none.
        QWidget* control = controlOf(window->helpWidget(), w);
        if (!control) return false;
        const int id = idOf(control);
        if (id <= 0 || id >= 32768) return false;
        const QString tip = QString::fromStdString(LoadString(window->MapControlId(id)));
        if (tip.isEmpty()) return false;
        if (window->helpTipsEnabled())
            QToolTip::showText(e->globalPos(), tip, w, w->rect());
        else
            QToolTip::hideText();
        return true;
    }

    static bool whatsThis(QWidget* w, QHelpEvent* e) {
        if (!CVNHelpWindow::Of(w)) return false;
        const std::uint32_t id = HelpHitTest(w);
        if (id == 0) return false;
        e->accept();
        if (e->type() == QEvent::WhatsThis) WinHelp(id, w, e->globalPos());
        return true;
    }

    static bool contextMenu(QWidget* w, QContextMenuEvent* e) {
        CVNHelpWindow* window = CVNHelpWindow::Of(w);
        if (!window || !(gMode & kContextHelpOn)) return false;
        QWidget* control = targetOf(window->helpWidget(), w);
        // A control that builds its own menu asks for the help entry itself.
        if (control && control->property("ownContextMenu").toBool()) return false;
        const bool keyboard = e->reason() == QContextMenuEvent::Keyboard;
        if (!IsControlHelpId(HelpHitTest(w))) return false;
        std::unique_ptr<QMenu> extra = control ? ownMenu(control) : nullptr;
        return TrackHelpMenu(w, e->globalPos(), keyboard, extra.get());
    }

    static bool helpKey(QWidget* w, QKeyEvent* e) {
        if (e->key() != Qt::Key_F1 || e->isAutoRepeat() ||
            (e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        CVNHelpWindow* window = CVNHelpWindow::Of(w);
        if (!window || window->windowHelpId() == 0) return false;
        ShowHelpTopic(window->helpWidget(), window->windowHelpId());
        return true;
    }
};

} // namespace

QEvent::Type HelpTipModeEvent::type() {
    static const auto t =
        static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 0x8001));
    return t;
}

int CurrentHelpTipMode() {
    return gMode;
}

void SetCurrentHelpTipMode(int mode) {
    gMode = mode & 7;
}

void InstallContextHelp() {
    static QPointer<HelpEventFilter> filter;
    if (filter || !qApp) return;
    filter = new HelpEventFilter(qApp);
    qApp->installEventFilter(filter);
}

QWidget* FindControl(QWidget* window, int controlId) {
    for (QWidget* w : window->findChildren<QWidget*>())
        if (hasId(w) && idOf(w) == controlId && CVNHelpWindow::Of(w)->helpWidget() == window)
            return w;
    return nullptr;
}

int ControlIdAt(QWidget* window, QWidget* w) {
    QWidget* control = targetOf(window, w);
    return control ? idOf(control) : 0;
}

std::uint32_t HelpHitTest(QWidget* w) {
    CVNHelpWindow* window = CVNHelpWindow::Of(w);
    if (!window) return 0;
    QWidget* self = window->helpWidget();
    if (auto* label = qobject_cast<QLabel*>(w); label && !hasId(label)) {
        QWidget* target = labelTarget(self, label);
        return target ? window->controlHelpId(window->MapControlId(idOf(target))) : 0;
    }
    QWidget* control = controlOf(self, w);
    if (!control) return window->windowHelpId();
    return window->controlHelpId(window->MapControlId(idOf(control)));
}

void WinHelp(std::uint32_t id, QWidget* from, const QPoint& globalPos) {
    if (id == 0) return;
    if (IsControlHelpId(id))
        ShowControlHelpPopup(id, from, globalPos);
    else
        ShowHelpTopic(from, id);
}

bool ShowHelpTopic(QWidget* owner, std::uint32_t topicId) {
    const HelpFile& content = HelpFile::Get();
    if (content.ok() && content.hasTopic(topicId) && CVNHelpViewer::Open(owner)->ShowTopic(topicId))
        return true;
    GetMessagePresenter()->show(LoadString(IDS_HELP_FAILED), MB_OK, 0);
    return false;
}

bool ShowControlHelpPopup(std::uint32_t helpId, QWidget* control, const QPoint& globalPos) {
    if (!(gMode & kContextHelpOn) || !IsControlHelpId(helpId)) return false;
    QString text;
    if (gMode & kPopupsFromStrings) {
        text = QString::fromStdString(LoadString(helpId & 0xFFFF));
    } else {
        const HelpFile& content = HelpFile::Get();
        if (!content.ok()) return false;
        text = content.popupText(helpId);
    }
    if (text.isEmpty()) return false;
    QWhatsThis::showText(globalPos, text, control);
    return true;
}

bool TrackHelpMenu(QWidget* w, const QPoint& globalPos, bool keyboard, QMenu* extra) {
    QMenu menu(w);
    QAction* help = nullptr;
    std::uint32_t id = 0;
    QPoint at = globalPos;
    if (gMode & kContextHelpOn) {
        id = HelpHitTest(w);
        if (keyboard) at = w->mapToGlobal(w->rect().center());
        if (IsControlHelpId(id)) {
            help = menu.addAction(QString::fromStdString(LoadString(IDS_HELP_POPUP_ITEM)));
            help->setData(ID_HELP_POPUP);
        }
    }
    if (extra && !extra->isEmpty()) {
        if (!menu.isEmpty()) menu.addSeparator();
        menu.addActions(extra->actions());
        menu.setDefaultAction(extra->defaultAction());
    }
    if (menu.isEmpty()) return false;
    QAction* chosen = menu.exec(at);
    if (help && chosen == help) ShowControlHelpPopup(id, w, at);
    return true;
}
