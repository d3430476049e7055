#include "runs/MainViewFactory.h"

#include "runs/CROZariduView.h"
#include "shell/CROZariduFrame.h"

QWidget* MakeMainView(CROZariduFrame& frame, CROZariduPars& pars, CVNAppInfo& app,
                      CVNCommandTarget*& target) {
    auto* view = new CROZariduView(pars, &frame);
    QObject::connect(view, &CROZariduView::statusTextChanged, &frame, &CVNFrameWnd::SetMessageText);
    QObject::connect(view, &CROZariduView::runStateChanged, &frame,
                     [&frame] { frame.updateCommandStates(); });
    view->OnInitialUpdate(&app);
    target = view;
    return view;
}
