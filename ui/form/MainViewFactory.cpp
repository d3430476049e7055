#include "ui/form/MainViewFactory.h"

#include <QMenu>

#include "ui/list/CVNFileListCtrl.h"
#include "ui/form/CROZariduView.h"
#include "ui/frame/CROZariduFrame.h"

QWidget* MakeMainView(CROZariduFrame& frame, CROZariduPars& pars, CVNAppInfo& app,
                      CVNCommandTarget*& target) {
    auto* view = new CROZariduView(pars, &frame);
    QObject::connect(view, &CROZariduView::statusTextChanged, &frame, &CVNFrameWnd::SetMessageText);
    QObject::connect(view, &CROZariduView::runStateChanged, &frame,
                     [&frame] { frame.updateCommandStates(); });
    // The list's context menu is the Bearbeiten menu until the list offers file operations of
    // its own.
    CVNFileListCtrl* list = view->fileList();
    QObject::connect(list, &CVNFileListCtrl::contextMenuRequestedAt, &frame,
                     [&frame, list](int, const QPoint& at) {
                         frame.updateCommandStates();
                         frame.editMenu()->popup(list->viewport()->mapToGlobal(at));
                     });
    view->OnInitialUpdate(&app);
    target = view;
    return view;
}
