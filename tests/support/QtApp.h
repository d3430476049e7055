#pragma once

// One QApplication for all widget tests of a test program (offscreen when no display is set).

#include <QApplication>
#include <cstdlib>

inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "orvane-test";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(argc, argv);
    return app;
}
