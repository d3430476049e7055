#pragma once

// Builds the main form inside the frame at start-up: its status text goes to the frame's
// message pane, its run state refreshes the frame's commands, its lists are loaded, and the
// file list gets its desktop operations (ShellOperations).

class QWidget;
class CVNAppInfo;
class CVNCommandTarget;
class CROZariduFrame;
class CROZariduPars;

QWidget* MakeMainView(CROZariduFrame& frame, CROZariduPars& pars, CVNAppInfo& app,
                      CVNCommandTarget*& target);
