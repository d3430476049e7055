#include "ui/form/MainViewFactory.h"

#include "ui/list/CVNFileListCtrl.h"
#include "ui/form/CROZariduView.h"
#include "ui/frame/CROZariduFrame.h"
#include "ui/shell/ShellOperations.h"

QWidget* MakeMainView(CROZariduFrame& frame, CROZariduPars& pars, CVNAppInfo& app,
                      CVNCommandTarget*& target) {
    auto* view = new CROZariduView(pars, &frame);
    QObject::connect(view, &CROZariduView::statusTextChanged, &frame, &CVNFrameWnd::SetMessageText);
    QObject::connect(view, &CROZariduView::runStateChanged, &frame,
                     [&frame] { frame.updateCommandStates(); });
    // The list's keys, context menu, Escape and drags act on the listed files, never during a run.
    new ShellOperations(*view->fileList(), [view] { return view->isRunning(); }, view);
    view->OnInitialUpdate(&app);
    target = view;
    return view;
}
