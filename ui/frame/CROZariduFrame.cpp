#include "ui/frame/CROZariduFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWhatsThis>

#include "platform/KeyboardLeds.h"
#include "res/LoadString.h"
#include "ui/dialogs/CROZariduAboutDlg.h"
#include "ui/dialogs/CROZariduGnrlPage.h"
#include "ui/dialogs/CROZariduPattPage.h"
#include "ui/frame/CVNCommandTarget.h"
#include "core/settings/CVNPars.h"
#include "ui/dialogs/CVNPropertySheet.h"
#include "ui/frame/CVNWinApp.h"
#include "ui/help/CVNHelpWindow.h"

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initToolbarResources() {
    Q_INIT_RESOURCE(toolbar);
}

namespace {

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

// A command's prompt: the status-bar text before "\n", the tooltip after it.
void setPrompt(QAction* a, int id) {
    if (!HasString(id)) return;
    const QString prompt = QString::fromStdString(LoadString(id));
    const int split = prompt.indexOf(QLatin1Char('\n'));
    a->setStatusTip(prompt.left(split));
    if (split >= 0) a->setToolTip(prompt.mid(split + 1));
}

} // namespace

CROZariduFrame::CROZariduFrame(CVNWinApp& app, CROZariduPars& pars, QWidget* parent)
    : CVNFrameWnd(app, parent), pars_(pars) {
    initToolbarResources();
    setWindowTitle(QString::fromStdString(LoadString(57344)));
    createMenus();
    createToolBar();
    createStatusBar();
    createIndicators();
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

    refresh_ = new QTimer(this);
    refresh_->setInterval(250);
    connect(refresh_, &QTimer::timeout, this, [this] {
        updateCommandStates();
        updateIndicators();
    });
    refresh_->start();
    connect(qApp, &QApplication::focusChanged, this, [this] { updateCommandStates(); });
    updateIndicators();
}

CROZariduFrame::~CROZariduFrame() {
    // The form is destroyed after this; nothing may ask it for its commands on the way.
    target_ = nullptr;
    refresh_->stop();
    disconnect(qApp, nullptr, this, nullptr);
}

QAction* CROZariduFrame::makeAction(int id, const char* text, const char* icon) {
    auto* a = new QAction(u8(text), this);
    a->setData(id);
    setPrompt(a, id);
    if (icon)
        a->setIcon(
            QIcon::fromTheme(u8(icon), QIcon(QStringLiteral(":/toolbar/%1.svg").arg(u8(icon)))));
    connect(a, &QAction::triggered, this, [this, id] { onAction(id); });
    addAction(a); // shortcuts work while the menu bar is hidden, too
    actions_.insert(id, a);
    return a;
}

void CROZariduFrame::createMenus() {
    QMenu* file = menuBar()->addMenu(u8("&Datei"));
    file->addAction(makeAction(ID_FILE_EXIT, "&Beenden"));

    QMenu* edit = menuBar()->addMenu(u8("&Bearbeiten"));
    editMenu_ = edit;
    edit->addAction(makeAction(ID_EDIT_UNDO, "&Rückgängig", "edit-undo"));
    actions_[ID_EDIT_UNDO]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    edit->addAction(makeAction(ID_HISTORY, "&Verlauf...", "document-open-recent"));
    edit->addSeparator();
    edit->addAction(makeAction(ID_EDIT_CUT, "&Ausschneiden", "edit-cut"));
    actions_[ID_EDIT_CUT]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    edit->addAction(makeAction(ID_EDIT_COPY, "&Kopieren", "edit-copy"));
    actions_[ID_EDIT_COPY]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    edit->addAction(makeAction(ID_EDIT_PASTE, "E&infügen", "edit-paste"));
    actions_[ID_EDIT_PASTE]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    edit->addSeparator();
    edit->addAction(makeAction(ID_EDIT_SELECT_ALL, "Alles &markieren"));
    actions_[ID_EDIT_SELECT_ALL]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    edit->addAction(makeAction(ID_EDIT_INVERT_SELECTION, "Markierung &umkehren"));
    edit->addSeparator();
    edit->addAction(makeAction(ID_PATTERN_ADD, LoadString(33331).c_str()));
    actions_[ID_PATTERN_ADD]->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert));

    QMenu* view = menuBar()->addMenu(u8("&Ansicht"));
    auto* modes = new QActionGroup(this);
    for (auto [id, text, icon] :
         {std::tuple{ID_VIEW_FIND_RENAME, "&Finden/Umbenennen", "edit-find-replace"},
          std::tuple{ID_VIEW_DATE_ATTRIBUTES, "&Datum/Attribute", "x-office-calendar"}}) {
        QAction* a = makeAction(id, text, icon);
        a->setCheckable(true);
        modes->addAction(a);
        view->addAction(a);
    }
    view->addSeparator();
    for (auto [id, text] : {std::pair{ID_VIEW_TOOLBAR, "&Symbolleiste"},
                            std::pair{ID_VIEW_STATUS_BAR, "S&tatusleiste"}}) {
        QAction* a = makeAction(id, text);
        a->setCheckable(true);
        a->setChecked(true);
        view->addAction(a);
    }
    view->addSeparator();
    view->addAction(makeAction(ID_OPTIONS, "&Optionen...", "preferences-system"));

    QMenu* help = menuBar()->addMenu(u8("&Hilfe"));
    help->addAction(makeAction(ID_HELP_FINDER, "&Hilfethemen"));
    actions_[ID_HELP_FINDER]->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F1));
    help->addAction(makeAction(ID_CONTEXT_HELP, "&Direkthilfe", "help-contextual"));
    actions_[ID_CONTEXT_HELP]->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    help->addSeparator();
    help->addAction(makeAction(ID_APP_ABOUT, "Inf&o über..."));
    // F1 has no menu item: the topic of the mode shown.
    makeAction(ID_HELP, "Hilfe")->setShortcut(QKeySequence(Qt::Key_F1));

    for (QMenu* m : {file, edit, view, help})
        connect(m, &QMenu::aboutToShow, this, [this] { updateCommandStates(); });
}

void CROZariduFrame::createToolBar() {
    toolBar_ = new QToolBar(u8("Symbolleiste"), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setProperty("controlId", static_cast<int>(ID_VIEW_TOOLBAR));
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setIconSize(QSize(16, 16));
    const int buttons[] = {ID_VIEW_FIND_RENAME,
                           ID_VIEW_DATE_ATTRIBUTES,
                           0,
                           ID_EDIT_CUT,
                           ID_EDIT_COPY,
                           ID_EDIT_PASTE,
                           ID_EDIT_UNDO,
                           0,
                           ID_OPTIONS,
                           ID_CONTEXT_HELP};
    for (int id : buttons) {
        if (id == 0)
            toolBar_->addSeparator();
        else
            toolBar_->addAction(actions_[id]);
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
    connect(toolBar_, &QToolBar::visibilityChanged, actions_[ID_VIEW_TOOLBAR],
            &QAction::setChecked);
}

void CROZariduFrame::createIndicators() {
    const char* names[3] = {"UF", "NUM", "RF"};
    for (int i = 0; i < 3; ++i) {
        indicators_[i] = new QLabel(u8(names[i]), statusBar());
        indicators_[i]->setAlignment(Qt::AlignCenter);
        indicators_[i]->setMinimumWidth(indicators_[i]->fontMetrics().horizontalAdvance(u8("NUM")) +
                                        10);
        indicators_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addPermanentWidget(indicators_[i]);
    }
}

void CROZariduFrame::updateIndicators() {
    const LockKeyStates keys = ReadLockKeyStates();
    const bool on[3] = {keys.caps, keys.num, keys.scroll};
    for (int i = 0; i < 3; ++i)
        indicators_[i]->setEnabled(on[i]); // a dim indicator is a lock that is off
}

void CROZariduFrame::SetView(QWidget* view, CVNCommandTarget* target) {
    target_ = target;
    setCentralWidget(view);
    updateCommandStates();
}

void CROZariduFrame::updateCommandStates() {
    const bool running = target_ && target_->runInProgress();
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        const int id = it.key();
        QAction* a = it.value();
        if (target_ && target_->handlesCommand(id)) {
            a->setEnabled(target_->commandEnabled(id));
            if (a->isCheckable()) a->setChecked(target_->commandChecked(id));
        } else if (id == ID_OPTIONS || id == ID_APP_ABOUT) {
            a->setEnabled(!running);
        } else if (id == ID_CONTEXT_HELP) {
            a->setEnabled(contextHelpOn());
        }
    }
    actions_[ID_VIEW_STATUS_BAR]->setChecked(statusBar()->isVisible() || !isVisible());
}

void CROZariduFrame::onAction(int id) {
    if (target_ && target_->handlesCommand(id)) {
        target_->onCommand(id);
        updateCommandStates();
        return;
    }
    switch (id) {
    case ID_FILE_EXIT:
        close();
        break;
    case ID_OPTIONS:
        if (!(target_ && target_->runInProgress())) OnOptions();
        break;
    case ID_APP_ABOUT:
        if (!(target_ && target_->runInProgress())) OnAbout();
        break;
    case ID_VIEW_TOOLBAR:
        toolBar_->setVisible(actions_[id]->isChecked());
        break;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(actions_[id]->isChecked());
        break;
    case ID_CONTEXT_HELP:
        if (contextHelpOn()) QWhatsThis::enterWhatsThisMode();
        break;
    case ID_HELP_FINDER:
        ShowHelpTopic(this, HID_CONTENTS);
        break;
    case ID_HELP:
        if (auto* view = dynamic_cast<CVNHelpWindow*>(centralWidget()))
            ShowHelpTopic(this, view->windowHelpId());
        break;
    default:
        break;
    }
}

void CROZariduFrame::OnOptions() {
    auto* general = new CROZariduGnrlPage;
    general->m_maxFiles = pars_.MaxFiles;
    general->m_renAllMode = pars_.RenAllMode;
    general->m_showHelpTips = pars_.ShowHelpTips;
    auto* patterns = new CROZariduPattPage(app_.appInfo());
    CVNPropertySheet sheet(QString::fromStdString(LoadString(144)), this, 0);
    sheet.AddPage(general);
    sheet.AddPage(patterns);
    if (sheet.DoModal() != QDialog::Accepted) return;
    (void)patterns->Save(); // a failed write is told by the page itself
    const int helpTipsBefore = pars_.ShowHelpTips;
    pars_.MaxFiles = general->m_maxFiles;
    pars_.RenAllMode = general->m_renAllMode;
    pars_.ShowHelpTips = general->m_showHelpTips;
    (void)pars_.Save(); // a failed write keeps the new values for this session
    if (pars_.ShowHelpTips != helpTipsBefore) app_.SetHelpTipMode(pars_.GetHelpTipMode(), this);
}

void CROZariduFrame::OnAbout() {
    CROZariduAboutDlg about(app_.versionInfo(), this);
    about.exec();
    setWindowTitle(QString::fromStdString(LoadString(57344)));
}

void CROZariduFrame::closeEvent(QCloseEvent* event) {
    // A run is on the stack below this event: it leaves at its next pump, and the event loop
    // ends once it is back.
    if (target_ && target_->runInProgress()) target_->abandonRun();
    event->accept();
}
