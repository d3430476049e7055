#pragma once

// One QApplication for all widget tests of a test program (offscreen when no display is set).

#include <QApplication>
#include <cstdlib>

inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "orvane-test";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Never destroyed: at exit Qt's own caches may already be gone, and tearing the
    // application down after them crashes. The pointer keeps it reachable for leak checkers.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
