#pragma once

// The main window: menu, toolbar and status bar around the main form. Commands the form takes
// go to it (CVNCommandTarget); the frame itself answers Beenden, Optionen, Info, the bar
// toggles and Direkthilfe. Enabled states are refreshed when a menu opens, when the focus
// moves, when a run starts or ends, and a few times a second for the toolbar.

#include <QHash>

#include "ui/frame/CVNFrameWnd.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class CVNCommandTarget;
class CROZariduPars;

class CROZariduFrame : public CVNFrameWnd {
    Q_OBJECT
public:
    CROZariduFrame(CVNWinApp& app, CROZariduPars& pars, QWidget* parent = nullptr);
    ~CROZariduFrame() override;

    // The form becomes the central widget; target is the form's command interface.
    void SetView(QWidget* view, CVNCommandTarget* target);

    QAction* action(int id) const { return actions_.value(id); }
    QToolBar* toolBar() const { return toolBar_; }
    // The "Bearbeiten" menu.
    QMenu* editMenu() const { return editMenu_; }

    // Refreshes enabled and checked states of every command.
    void updateCommandStates();

    void OnOptions();
    void OnAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createToolBar();
    void createIndicators();
    void updateIndicators();
    QAction* makeAction(int id, const char* text, const char* icon = nullptr);
    void onAction(int id);

    CROZariduPars& pars_;
    CVNCommandTarget* target_ = nullptr;
    QHash<int, QAction*> actions_;
    QToolBar* toolBar_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QLabel* indicators_[3] = {}; // caps, num, scroll
    QTimer* refresh_ = nullptr;
};
